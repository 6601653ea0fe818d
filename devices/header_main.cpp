// veltas-header: converts processor headers of gputils (p16f877a.inc) into
// definition files of this assembler (P16F877A.INC). The build runs it once
// over every installed header; a user runs it on a header from elsewhere.
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "devices/convert.h"

#ifndef VELTAS_VERSION
#error "VELTAS_VERSION must be defined by the build"
#endif

using namespace veltas::devices;
namespace fs = std::filesystem;

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitBadHeader = 1;
constexpr int kExitUsage = 2;

constexpr const char* kHelp =
    "Benutzung: veltas-header [-d VERZEICHNIS | -o DATEI] [-l PFAD] KOPFDATEI...\n"
    "Wandelt Kopfdateien der gputils (p16f877a.inc) in Definitionsdateien für\n"
    "Veltas um (P16F877A.INC): Kern, Register, Bitnamen und Konfigurationsnamen\n"
    "eines Chips. Was nicht übernommen werden kann, nennt ein Kommentar.\n"
    "\n"
    "  -d VERZEICHNIS  Zielverzeichnis (Vorgabe: aktuelles Verzeichnis)\n"
    "  -o DATEI        Name der Ausgabedatei (nur mit einer KOPFDATEI)\n"
    "  -l PFAD         Linkerskript des Chips, oder Verzeichnis der Linkerskripte\n"
    "                  CHIP_g.lkr (Vorgabe: ../lkr neben der Kopfdatei); nur PIC18\n"
    "                  braucht es (Grenze der Access-Bank, Konfigurationsworte\n"
    "                  der J-Chips)\n"
    "  --help          diese Hilfe zeigen und beenden\n"
    "  --version       Programmname und Version zeigen und beenden\n"
    "\n"
    "Dateien, die nicht einen einzelnen Chip beschreiben (mehrere Chips über IFDEF,\n"
    "nur INCLUDE, Makros, weder Konfigurationsadresse noch PIC18), werden\n"
    "übersprungen und genannt. Jede Ausgabe entsteht unter einem vorläufigen\n"
    "Namen und wird erst vollständig umbenannt.\n"
    "\n"
    "Exit-Status:\n"
    "  0  jede Datei umgewandelt oder übersprungen\n"
    "  1  eine Datei fehlt, ist nicht lesbar oder fehlerhaft (die übrigen werden\n"
    "     trotzdem umgewandelt)\n"
    "  2  falscher Aufruf\n";

struct TOptions {
  std::string OutputDir = ".";
  std::optional<std::string> OutputFile;
  std::optional<std::string> Linker;
  std::vector<std::string> Headers;
  bool Help = false, Version = false;
  std::string Error;
};

TOptions ParseOptions(const std::vector<std::string>& args) {
  TOptions o;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (optionsEnded || a.size() < 2 || a[0] != '-') {
      o.Headers.push_back(a);
    } else if (a == "--") {
      optionsEnded = true;
    } else if (a == "--help") {
      o.Help = true;
    } else if (a == "--version") {
      o.Version = true;
    } else if (a[1] == 'd' || a[1] == 'o' || a[1] == 'l') {
      std::string value = a.size() > 2 ? a.substr(2) : (i + 1 < args.size() ? args[++i] : "");
      if (value.empty()) {
        o.Error = "Option \"-" + std::string(1, a[1]) + "\" braucht einen Namen";
        return o;
      }
      if (a[1] == 'd')
        o.OutputDir = value;
      else if (a[1] == 'o')
        o.OutputFile = value;
      else
        o.Linker = value;
    } else {
      o.Error = "unbekannte Option \"" + a + "\"";
      return o;
    }
  }
  if (o.Help || o.Version) return o;
  if (o.Headers.empty())
    o.Error = "keine Kopfdatei angegeben";
  else if (o.OutputFile && o.Headers.size() > 1)
    o.Error = "-o nur mit einer Kopfdatei";
  return o;
}

// The whole file, or nullopt with the system's reason.
std::optional<std::string> ReadFile(const std::string& name, std::string& reason) {
  std::error_code ec;
  if (fs::is_directory(name, ec)) {
    reason = std::strerror(EISDIR);
    return std::nullopt;
  }
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) {
    reason = std::strerror(errno);
    return std::nullopt;
  }
  std::string text;
  char buffer[1 << 16];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  bool failed = std::ferror(f);
  int error = errno;
  std::fclose(f);
  if (failed) {
    reason = std::strerror(error);
    return std::nullopt;
  }
  return text;
}

// Written under a temporary name and renamed when complete, so that a
// failed or interrupted run leaves no half-written definition file.
bool WriteFile(const std::string& name, const std::string& text, std::string& reason) {
  std::string temporary = name + ".tmp";
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) {
    reason = std::strerror(errno);
    return false;
  }
  bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  int error = errno;
  if (std::fclose(f) != 0 && written) {
    written = false;
    error = errno;
  }
  std::error_code ec;
  if (written) fs::rename(temporary, name, ec);
  if (!written || ec) {
    reason = written ? ec.message() : std::strerror(error);
    fs::remove(temporary, ec);
    return false;
  }
  return true;
}

// p16f877a.inc -> 16f877a: the chip part of the linker script's name.
std::string ChipOfFile(const fs::path& header) {
  std::string stem = header.stem().string();
  for (char& c : stem) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (stem.size() > 1 && stem[0] == 'p' && std::isdigit(static_cast<unsigned char>(stem[1]))) stem.erase(0, 1);
  return stem;
}

std::string LinkerScriptFor(const std::string& header, const std::optional<std::string>& option) {
  fs::path dir = fs::path(header).parent_path() / ".." / "lkr";
  std::error_code ec;
  if (option) {
    if (!fs::is_directory(*option, ec)) return *option;
    dir = *option;
  }
  return (dir / (ChipOfFile(header) + "_g.lkr")).lexically_normal().string();
}

struct TTotals {
  int Converted = 0, Skipped = 0, Failed = 0;
  std::array<int, 4> PerCore{};
  std::array<int, ReasonCount> LeftOut{};
};

void ConvertOne(const TOptions& o, const std::string& header, TTotals& totals) {
  std::string reason;
  std::optional<std::string> text = ReadFile(header, reason);
  if (!text) {
    std::fprintf(stderr, "%s: Fehler: kann die Datei nicht lesen (%s)\n", header.c_str(), reason.c_str());
    ++totals.Failed;
    return;
  }
  std::string linkerName = LinkerScriptFor(header, o.Linker);
  std::optional<std::string> linker = ReadFile(linkerName, reason);
  TConversion c = Convert(header, *text, linkerName, linker);
  switch (c.Outcome) {
    case TOutcome::Skipped:
      std::printf("übersprungen: %s (%s)\n", header.c_str(), c.Message.c_str());
      ++totals.Skipped;
      return;
    case TOutcome::Failed: {
      std::string where = c.InLinkerScript ? linkerName : header;
      if (c.Line > 0) where += ":" + std::to_string(c.Line);
      std::fprintf(stderr, "%s: Fehler: %s\n", where.c_str(), c.Message.c_str());
      ++totals.Failed;
      return;
    }
    case TOutcome::Converted: break;
  }
  std::string name = fs::path(header).stem().string();
  for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  std::string output = o.OutputFile ? *o.OutputFile : (fs::path(o.OutputDir) / (name + ".INC")).string();
  if (!WriteFile(output, c.Text, reason)) {
    std::fprintf(stderr, "%s: Fehler: kann die Datei nicht schreiben (%s)\n", output.c_str(), reason.c_str());
    ++totals.Failed;
    return;
  }
  ++totals.Converted;
  static constexpr const char* kCores[] = {"CORE12", "CORE14", "CORE14ENH", "CORE16"};
  for (std::size_t i = 0; i < 4; ++i)
    if (c.Core == kCores[i]) ++totals.PerCore[i];
  for (int r = 0; r < ReasonCount; ++r)
    totals.LeftOut[static_cast<std::size_t>(r)] += c.LeftOut[static_cast<std::size_t>(r)];
}

void PrintTotals(const TTotals& t) {
  std::printf(
      "veltas-header: %d umgewandelt (CORE12 %d, CORE14 %d, CORE14ENH %d, CORE16 %d), %d übersprungen, "
      "%d fehlerhaft\n",
      t.Converted, t.PerCore[0], t.PerCore[1], t.PerCore[2], t.PerCore[3], t.Skipped, t.Failed);
  for (int r = 0; r < ReasonCount; ++r)
    if (int n = t.LeftOut[static_cast<std::size_t>(r)])
      std::printf("  nicht unter eigenem Namen: %6d  %s\n", n, ReasonText(static_cast<TReason>(r)));
}

}  // namespace

int main(int argc, char** argv) {
  TOptions o = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (o.Help) {
    std::fputs(kHelp, stdout);
    return kExitSuccess;
  }
  if (o.Version) {
    std::printf("veltas-header (Veltas) %s\n", VELTAS_VERSION);
    return kExitSuccess;
  }
  if (!o.Error.empty()) {
    std::fprintf(stderr, "veltas-header: %s\n\"veltas-header --help\" zeigt alle Optionen.\n", o.Error.c_str());
    return kExitUsage;
  }
  std::error_code ec;
  if (!o.OutputFile) fs::create_directories(o.OutputDir, ec);
  TTotals totals;
  for (const std::string& header : o.Headers) ConvertOne(o, header, totals);
  PrintTotals(totals);
  return totals.Failed ? kExitBadHeader : kExitSuccess;
}
