// What the server knows of one program after assembling it: the meaning
// (errors, names with value, kind and place, what each line became), copied
// out of the core after the run, and the places (every file's words), read
// from the text. Nothing here reads the core's globals after the run.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/files.h"

namespace veltas::lsp {

// A place in a file: line and column 1-based, the column a cp1252 byte.
struct TPlace {
  std::string File;
  int Line = 0;
  int Column = 0;
};

struct TError {
  TPlace Place;
  int TokenStart = 0;
  std::string Message;  // UTF-8
};

enum class TNameKind { CodeLabel, RamLabel, Constant, Bit, Failed };

struct TName {
  TNameKind Kind = TNameKind::CodeLabel;
  std::int32_t Value = 0;
  int BitNumber = 0;
  bool IsFloat = false;
  double FloatValue = 0;
  TPlace Place;  // where it is defined; File empty if no line says so
};

// What one line became, at its first reading.
struct TLineInfo {
  int Core = 0;
  bool Code = true;  // CODE segment
  std::uint16_t Address = 0;
  std::vector<std::uint16_t> Words;
};

enum class TTokenKind { Definition, Name, Mnemonic, Directive, Number, String, Comment, Keyword, FileName };

// A word of a source line: Column and Length in cp1252 bytes, Text the
// cp1252 bytes (as the assembler's names are).
struct TToken {
  int Line = 0;
  int Column = 0;
  int Length = 0;
  TTokenKind Kind = TTokenKind::Name;
  std::string Text;
};

struct TFileIndex {
  std::vector<std::string> Lines;  // UTF-8
  std::vector<TToken> Tokens;      // in order of place
};

struct TSnapshot {
  std::string Main;
  std::vector<std::string> Files;  // every file read, in the order first read
  std::vector<TError> Errors;
  std::map<std::string, TName> Names;
  std::map<std::pair<std::string, int>, TLineInfo> Lines;
  std::map<std::pair<std::string, int>, std::string> Includes;  // INCLUDE line -> file it read
  std::map<std::string, TFileIndex> Index;                      // every file read
  std::string DevicesDir;
  bool IsDefinitionFile(const std::string& file) const;
  const TToken* TokenAt(const std::string& file, int line, int column) const;
};

struct TAnalysisSettings {
  int MaxErrors = 100;
  std::vector<std::string> IncludeDirs;
  std::string DevicesDir;
};

// Assembles the program of main over files and takes its snapshot. The text
// of a file comes from utf8Text (the open buffer or the disk's, converted).
TSnapshot Analyze(host::TFileSystem& files, const std::string& main, const TAnalysisSettings& settings,
                  std::string (*utf8Text)(void* context, const std::string& file), void* context);

// The words of a line, classified (a line of cp1252 text).
std::vector<TToken> Tokenize(const std::string& line, int lineNumber);

}  // namespace veltas::lsp
