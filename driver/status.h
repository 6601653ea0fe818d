// The status text and the window that shows it. The run sequence is written
// once against TStatusWindow; the console, the window toolkits and the tests
// each provide one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltas::driver {

// A piece of status text. The program's own texts and everything that comes
// from the source (lines, messages) are cp1252; file names come from the
// command line, the dialog or the file system and are already in the
// system's encoding, so they are kept apart and never converted again.
struct TStatusPiece {
  bool Native = false;
  std::string Bytes;
};

// StatusText only grows: every status text is appended, none removed.
class TStatusText {
 public:
  void AppendAnsi(std::string_view text);
  void AppendNative(std::string_view text);
  const std::vector<TStatusPiece>& Pieces() const { return Parts; }
  // All bytes as they stand (cp1252 pieces unconverted).
  std::string Raw() const;
  // cp1252 pieces converted to UTF-8, native pieces as they are.
  std::string Utf8() const;
  void Clear() { Parts.clear(); }

 private:
  std::vector<TStatusPiece> Parts;
};

enum class TCreateResult { Ok, NoAtom, NoHandle };

class TStatusWindow {
 public:
  virtual ~TStatusWindow() = default;
  virtual TCreateResult Create(std::string_view title) = 0;
  virtual void AddSearchButton() = 0;
  virtual void DisableSearchButton() = 0;
  virtual void SetText(const TStatusText& text) = 0;
  // Serves pending window events without blocking.
  virtual void PumpMessages() = 0;
  // Blocks until the next window event (used by the waiting loops, which
  // must not keep a processor busy).
  virtual void WaitForEvent() = 0;
  // False once the window has been closed.
  virtual bool Alive() const = 0;
  // The name chosen in the file dialog; empty until a file was chosen.
  virtual std::string ChosenSourceName() = 0;
  virtual void MessageBox(std::string_view text, std::string_view caption) = 0;
};

}  // namespace veltas::driver
