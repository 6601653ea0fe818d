#include "devices/convert.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string_view>
#include <vector>

namespace veltas::devices {

namespace {

// ---------------------------------------------------------------------------
// Text helpers

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t\f\v");
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(" \t\f\v");
  return text.substr(first, last - first + 1);
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && Upper(text.substr(text.size() - suffix.size())) == Upper(suffix);
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    std::size_t start = i;
    while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

std::string Hex(std::int64_t value, int digits) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%0*llX", digits, static_cast<unsigned long long>(value));
  return buffer;
}

// A value as this dialect writes it, and an address as a comment shows it.
std::string Number(std::int64_t value, int digits = 2) { return "0x" + Hex(value, digits); }
std::string Address(std::int64_t value, int digits = 3) { return Hex(value, digits) + "h"; }

// Every text of this file is UTF-8; the definition file is a source of this
// assembler and therefore cp1252. Characters beyond cp1252's Latin-1 part do
// not occur in the texts written here.
std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if ((c == 0xC2 || c == 0xC3) && (next & 0xC0) == 0x80) {
      out += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// ---------------------------------------------------------------------------
// Reading the header

struct TFailure {
  std::string Message;
  int Line = 0;
  bool InLinkerScript = false;
};

struct TSkip {
  std::string Reason;
};

// A file that is not text fails on its first line with a control character.
void CheckText(const std::vector<std::string_view>& lines, bool linker) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    for (char ch : lines[i]) {
      auto c = static_cast<unsigned char>(ch);
      if ((c < 0x20 && c != '\t' && c != '\f' && c != '\v' && c != 0x1A) || c == 0x7F)
        throw TFailure{"Binärdaten: keine Textdatei", static_cast<int>(i + 1), linker};
    }
}

std::string_view CodePart(std::string_view line) { return line.substr(0, line.find(';')); }

constexpr std::string_view kNoCore = "kein PIC18 und nennt keine Konfigurationsadresse";

// Files that are not one chip's header: several chips chosen with IFDEF,
// files that only include others, macro files, and files from which no core
// follows: the configuration address gives it, or for a PIC18 the chip's
// name. The first IFNDEF of a double underscore name is the processor check
// every chip's header has.
void CheckOneChip(const std::vector<std::string_view>& lines) {
  bool checkSeen = false, configSeen = false;
  for (std::string_view line : lines) {
    std::vector<std::string_view> words = Words(CodePart(line));
    if (words.empty()) continue;
    std::string first = Upper(words[0]);
    if (first == "IFNDEF" && !checkSeen && words.size() == 2 && StartsWith(words[1], "__")) {
      checkSeen = true;
      configSeen = configSeen || StartsWith(words[1], "__18");
      continue;
    }
    if (first == "IFDEF" || first == "IFNDEF" || first == "IF" || first == "ELSE")
      throw TSkip{"wählt mit IFDEF zwischen mehreren Chips"};
    if (first == "INCLUDE" || first == "#INCLUDE") throw TSkip{"bindet nur andere Dateien ein"};
    for (std::string_view w : words)
      if (Upper(w) == "MACRO") throw TSkip{"enthält Makros"};
    if (words.size() == 3 && StartsWith(words[0], "_CONFIG") && Upper(words[1]) == "EQU") configSeen = true;
  }
  if (!configSeen) throw TSkip{std::string(kNoCore)};
}

// H'1F', D'31', B'11111', O'37', 0x1F or 31.
std::optional<std::int64_t> ParseValue(std::string_view text, int line) {
  int base = 10;
  std::string_view digits = text;
  if (text.size() >= 3 && text[1] == '\'' && text.back() == '\'') {
    switch (std::toupper(static_cast<unsigned char>(text[0]))) {
      case 'H': base = 16; break;
      case 'D': base = 10; break;
      case 'B': base = 2; break;
      case 'O': base = 8; break;
      default: return std::nullopt;
    }
    digits = text.substr(2, text.size() - 3);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    digits = text.substr(2);
  }
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char ch : digits) {
    int c = std::toupper(static_cast<unsigned char>(ch));
    int d = std::isdigit(c) ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : 99;
    if (d >= base) return std::nullopt;
    value = value * base + d;
    // The assembler's integers are signed 32-bit.
    if (value > 0x7FFFFFFF) throw TFailure{"Wert außerhalb des Bereiches: " + std::string(text), line};
  }
  return value;
}

enum class TKind { Constant, Register, Bit, ConfigAddress, ConfigOption, ConfigEquate };

struct TEntry {
  TKind Kind;
  std::string Name;
  std::int64_t Value;
  int Line;
  std::string Group;    // Bit: the register of its section; configuration: the section's word
  std::string Comment;  // the header's comment on the line
};

struct TDefine {
  std::string Name, Target;
  int Line;
};

struct THeader {
  std::string ChipSymbol;            // from the processor check: "__16F877A"
  std::vector<std::string> Notices;  // copyright lines
  std::vector<TEntry> Entries;       // in file order
  std::vector<TDefine> Defines;
  std::vector<std::string> RamLines;  // __MAXRAM, __BADRAM
};

enum class TSection { None, Registers, Bits, ConfigOptions, ConfigEquates };

// "Bank0", "Bank 31", "Unbanked": a part of the register files.
bool IsBankTitle(std::string_view title) {
  if (title == "Unbanked") return true;
  if (!StartsWith(Upper(title), "BANK")) return false;
  std::string_view number = Trim(title.substr(4));
  return !number.empty() &&
         std::all_of(number.begin(), number.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

constexpr std::int64_t kHighestRegister = 0xFFF;

THeader ReadHeader(const std::vector<std::string_view>& lines) {
  THeader h;
  TSection section = TSection::None;
  std::string group;
  bool inCheck = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int number = static_cast<int>(i + 1);
    std::string_view line = Trim(lines[i]);
    if (StartsWith(line, ";=")) {
      section = TSection::None;
      continue;
    }
    if (StartsWith(line, ";-----")) {
      std::string_view title = Trim(line.substr(1));
      title = Trim(title.substr(std::min(title.find_first_not_of('-'), title.size())));
      title = Trim(title.substr(0, title.find_last_not_of('-') + 1));
      std::vector<std::string_view> words = Words(title);
      if (title == "Register Files") {
        section = TSection::Registers;
      } else if (IsBankTitle(title)) {
        // a bank of the register files: the section goes on
      } else if (EndsWithNoCase(title, " Bits")) {
        if (words.size() != 2) throw TFailure{"Bit-Abschnitt nennt kein Register: " + std::string(title), number};
        section = TSection::Bits;
        group = words[0];
      } else if (words.size() == 2 && (words[1] == "Options" || words[1] == "Equates")) {
        section = words[1] == "Options" ? TSection::ConfigOptions : TSection::ConfigEquates;
        group = words[0];
      } else {
        section = TSection::None;
      }
      continue;
    }
    std::size_t semicolon = line.find(';');
    std::string_view comment = semicolon == std::string_view::npos ? "" : Trim(line.substr(semicolon + 1));
    std::vector<std::string_view> words = Words(line.substr(0, semicolon));
    if (words.empty()) {
      if (comment.find("Copyright") != std::string_view::npos) h.Notices.emplace_back(comment);
      continue;
    }
    std::string first = Upper(words[0]);
    if (first == "LIST" || first == "NOLIST" || first == "MESSG") continue;
    if (first == "IFNDEF") {  // the processor check (CheckOneChip let no other through)
      h.ChipSymbol = std::string(words[1]);
      inCheck = true;
      continue;
    }
    if (first == "ENDIF" && inCheck) {
      inCheck = false;
      continue;
    }
    if (first == "__MAXRAM" || first == "__BADRAM") {
      h.RamLines.emplace_back(line.substr(0, semicolon));
      continue;
    }
    if (first == "#DEFINE" && words.size() >= 2) {
      std::string target;
      for (std::size_t w = 2; w < words.size(); ++w) target += (w > 2 ? " " : "") + std::string(words[w]);
      h.Defines.push_back({std::string(words[1]), target, number});
      continue;
    }
    if (words.size() != 3 || Upper(words[1]) != "EQU") {
      std::string shown(Trim(line.substr(0, semicolon)).substr(0, 60));
      throw TFailure{"Zeile nicht lesbar: \"" + shown + "\"", number};
    }
    std::optional<std::int64_t> value = ParseValue(words[2], number);
    if (!value) throw TFailure{"Wert nicht lesbar: " + std::string(words[2]), number};
    TEntry e{TKind::Constant, std::string(words[0]), *value, number, group, std::string(comment)};
    switch (section) {
      case TSection::Registers:
        e.Kind = TKind::Register;
        if (e.Value > kHighestRegister)
          throw TFailure{"Registeradresse außerhalb des Datenspeichers: " + std::string(words[2]), number};
        break;
      case TSection::Bits:
        e.Kind = TKind::Bit;
        if (e.Value > 7) throw TFailure{"Bitnummer außerhalb von 0 bis 7: " + std::string(words[2]), number};
        break;
      case TSection::ConfigOptions: e.Kind = TKind::ConfigOption; break;
      case TSection::ConfigEquates: e.Kind = TKind::ConfigEquate; break;
      case TSection::None:
        // Outside the named sections stand the configuration addresses and
        // the constants of the instruction set (W, F, ACCESS ...).
        e.Group.clear();
        if (StartsWith(e.Name, "_CONFIG"))
          e.Kind = TKind::ConfigAddress;
        else if (StartsWith(e.Name, "_IDLOC") || StartsWith(e.Name, "_DEVID"))
          e.Kind = TKind::ConfigEquate;
        else if (StartsWith(e.Name, "_"))
          e.Kind = TKind::ConfigOption;
        break;
    }
    h.Entries.push_back(std::move(e));
  }
  return h;
}

struct TRange {
  std::int64_t Start = -1, End = -1;  // -1: not given or not readable
  int Line = 0;
};

// START and END of the linker script's line "KEYWORD NAME=name ...".
std::optional<TRange> LinkerRange(const std::vector<std::string_view>& lines, std::string_view keyword,
                                  std::string_view name) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string_view> words = Words(lines[i]);
    if (words.empty() || Upper(words[0]) != keyword) continue;
    if (std::find(words.begin(), words.end(), "NAME=" + std::string(name)) == words.end()) continue;
    TRange range{-1, -1, static_cast<int>(i + 1)};
    try {
      for (std::string_view w : words) {
        if (StartsWith(w, "START=")) range.Start = ParseValue(w.substr(6), range.Line).value_or(-1);
        if (StartsWith(w, "END=")) range.End = ParseValue(w.substr(4), range.Line).value_or(-1);
      }
    } catch (TFailure& failure) {
      failure.InLinkerScript = true;
      throw;
    }
    return range;
  }
  return std::nullopt;
}

// The first address of the access bank's special function registers, from
// "ACCESSBANK NAME=accesssfr START=0xF80 END=0xFFF".
std::int64_t AccessBankStart(const std::vector<std::string_view>& lines) {
  std::optional<TRange> r = LinkerRange(lines, "ACCESSBANK", "accesssfr");
  if (!r) throw TFailure{"nennt die Access-Bank der Sonderregister nicht (ACCESSBANK NAME=accesssfr)", 0, true};
  if (r->Start < 0xF00 || r->Start > 0xFFF || r->End != 0xFFF)
    throw TFailure{"Access-Bank nicht lesbar (erwartet START=0xF00..0xFFF END=0xFFF)", r->Line, true};
  return r->Start;
}

// The configuration words at the end of program memory, in bytes, from
// "CODEPAGE NAME=config START=0xFFF8 END=0xFFFF": whole words that the
// 16-bit counter of words reaches.
TRange ConfigArea(const std::vector<std::string_view>& lines) {
  std::optional<TRange> r = LinkerRange(lines, "CODEPAGE", "config");
  if (!r) throw TFailure{"nennt den Konfigurationsbereich nicht (CODEPAGE NAME=config)", 0, true};
  if (r->Start < 0 || r->Start % 2 != 0 || r->End % 2 != 1 || r->End < r->Start || r->End > 0x1FFFF)
    throw TFailure{"Konfigurationsbereich nicht lesbar (erwartet START gerade, END ungerade, bis 1FFFFh)", r->Line,
                   true};
  return *r;
}

// ---------------------------------------------------------------------------
// Writing the definition file

enum class TCore { Core12, Core14, Core14Enh, Core16 };

constexpr std::string_view kCoreNames[] = {"CORE12", "CORE14", "CORE14ENH", "CORE16"};

// Chips of the enhanced baseline core: 12-bit words with interrupts,
// MOVLB, RETFIE and RETURN, which this assembler does not have.
constexpr std::string_view kEnhancedBaseline[] = {"__12F529T39A", "__12F529T48A", "__16F527", "__16F570"};

constexpr std::string_view kFunctionWords[] = {"HI", "HIGH", "HIWORD", "NEAR", "LO", "LOW", "LOWORD", "ROUND"};
constexpr std::string_view kFlagWords[] = {"A", "ACCESS", "BANKED", "FAST", "W", "F"};

bool IsName(std::string_view name) {
  if (name.empty() || name.size() > 64 || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

class TWriter {
 public:
  explicit TWriter(TConversion& result) : Result(result) {}

  void Line(std::string_view text) {
    Text += text;
    Text += '\n';
  }
  void Comment(std::string_view text) { Line(text.empty() ? ";" : "; " + std::string(text)); }
  void Blank() { Line(""); }

  // Defines name ("EQU 0x06", "BIT STATUS,5") unless a rule of the dialect
  // forbids it; then the file says so in a comment. line: the header's.
  bool Define(const std::string& name, const std::string& definition, std::string_view comment, int line) {
    std::string upper = Upper(name);
    if (!IsName(name)) return LeftOut(InvalidName, name, line, "kein Name dieses Dialekts");
    for (std::string_view w : kFunctionWords)
      if (upper == w) return LeftOut(FunctionWord, name, line, "der Ausdrucksrechner liest " + upper + " als Funktion");
    for (std::string_view w : kFlagWords)
      if (upper == w)
        return LeftOut(FlagWord, name, line,
                       "Flaggen und Ziele schreibt dieser Dialekt als Wort (,F ,W ,A; ,A heißt a = 1)");
    if (Defined.count(name)) return LeftOut(Duplicate, name, line, "schon definiert");
    Defined.emplace(name, definition);
    ++Result.Defined;
    std::string text = name + ":";
    text.resize(std::max<std::size_t>(text.size() + 1, 18), ' ');
    text += definition;
    if (!comment.empty()) {
      text.resize(std::max<std::size_t>(text.size() + 1, 42), ' ');
      text += "; ";
      text += comment;
    }
    Line(text);
    return true;
  }

  bool LeftOut(TReason reason, const std::string& what, int line, const std::string& why) {
    ++Result.LeftOut[reason];
    Comment("ausgelassen: " + what + " (Zeile " + std::to_string(line) + "): " + why);
    return false;
  }

  std::string Text;
  std::map<std::string, std::string> Defined;  // name -> its definition

 private:
  TConversion& Result;
};

class TConverter {
 public:
  TConverter(const THeader& header, TConversion& result) : H(header), W(result) {}

  void Run(const std::string& headerName, const std::string& linkerName, const std::optional<std::string>& linker,
           std::string& core) {
    Core = ChooseCore();
    core = kCoreNames[static_cast<int>(Core)];
    if (Core == TCore::Core16) {
      if (!linker) throw TFailure{"PIC18: das Linkerskript " + linkerName + " fehlt (es nennt die Access-Bank)"};
      std::vector<std::string_view> lines = Lines(*linker);
      CheckText(lines, true);
      AccessStart = AccessBankStart(lines);
      if (!HasConfigAddress()) ConfigWords = ConfigArea(lines);
    }
    Head(headerName, linkerName);
    Constants();
    Registers();
    Bits();
    Configuration();
    Aliases();
    RamNotes();
  }

 private:
  bool HasConfigAddress() const {
    return std::any_of(H.Entries.begin(), H.Entries.end(),
                       [](const TEntry& e) { return e.Kind == TKind::ConfigAddress; });
  }

  TCore ChooseCore() const {
    for (const TEntry& e : H.Entries) {
      if (e.Kind != TKind::ConfigAddress) continue;
      if (e.Value >= 0x300000 && e.Value < 0x400000) return TCore::Core16;
      if (e.Value >= 0x8000 && e.Value <= 0x800F) return TCore::Core14Enh;
      if (e.Value >= 0x2000 && e.Value <= 0x200F) return TCore::Core14;
      if (e.Value < 0x2000) return TCore::Core12;
      throw TFailure{"Konfigurationsadresse " + Address(e.Value) + " passt zu keinem Kern", e.Line};
    }
    // The PIC18 J parts keep their configuration words in program memory.
    if (StartsWith(H.ChipSymbol, "__18")) return TCore::Core16;
    throw TSkip{std::string(kNoCore)};
  }

  bool EnhancedBaseline() const {
    return std::find(std::begin(kEnhancedBaseline), std::end(kEnhancedBaseline), H.ChipSymbol) !=
           std::end(kEnhancedBaseline);
  }

  std::string ChipName(const std::string& headerName) const {
    if (StartsWith(H.ChipSymbol, "__")) {
      std::string chip = H.ChipSymbol.substr(2);
      return std::isdigit(static_cast<unsigned char>(chip[0])) ? "PIC" + chip : chip;
    }
    return Upper(headerName);
  }

  void Head(const std::string& headerName, const std::string& linkerName) {
    W.Comment("Definitionsdatei für " + ChipName(headerName) + " (" + std::string(kCoreNames[static_cast<int>(Core)]) +
              "), erzeugt von veltas-header");
    W.Comment("aus " + headerName + " (gputils)" + (Core == TCore::Core16 ? " und " + linkerName : "") +
              ". Nicht von Hand ändern.");
    for (const std::string& notice : H.Notices) W.Comment(notice);
    W.Comment("");
    switch (Core) {
      case TCore::Core12:
        W.Comment("Register: der Wert des Registerfelds (untere 5 Bits); Adresse und Bank im Kommentar.");
        break;
      case TCore::Core14:
        W.Comment("Register: der Wert des Registerfelds (untere 7 Bits); die Bank (Kommentar) wählen RP0 und RP1.");
        break;
      case TCore::Core14Enh:
        W.Comment("Register: der Wert des Registerfelds (untere 7 Bits); die Bank (Kommentar) wählt MOVLB.");
        break;
      case TCore::Core16:
        W.Comment("Register der Access-Bank (ab " + Address(AccessStart) +
                  "): ihr Platz in der Access-Bank, ohne ,A zu benutzen.");
        W.Comment("Register außerhalb: ihr Platz in der Bank; nur nach MOVLB mit ,A (a = 1) erreichbar.");
        if (!ConfigWords) {
          W.Comment("Konfiguration: CONFIG Adresse, Wert schreibt ein Byte (CONFIG _CONFIG1H, Optionen mit AND).");
        } else if (std::none_of(H.Entries.begin(), H.Entries.end(),
                                [](const TEntry& e) { return e.Kind == TKind::ConfigOption; })) {
          W.Comment("Die Konfigurationsworte liegen am Ende des Programmspeichers (ORG _CONFIG1); Optionsnamen");
          W.Comment("nennt der Header nicht: DATA nimmt das rohe Wort.");
        } else {
          W.Comment("Die Konfigurationsworte liegen am Ende des Programmspeichers: ORG _CONFIG1, DATA.");
        }
        break;
    }
    W.Comment("Bits: BIT-Namen, benutzt als BSF NAME oder SKIP NOT NAME. Ein Bitname mehrerer");
    W.Comment("Register steht nur qualifiziert als REGISTER_NAME (PORTB_RB0).");
    if (EnhancedBaseline()) {
      W.Comment("Erweiterter Baseline-Kern: der Assembler übersetzt ihn als CORE12; die zusätzlichen");
      W.Comment("Befehle dieses Kerns (MOVLB, RETFIE, RETURN ...) kennt er nicht.");
    }
    W.Blank();
    W.Line("        " + std::string(kCoreNames[static_cast<int>(Core)]));
    if (StartsWith(H.ChipSymbol, "__")) W.Define(H.ChipSymbol, "EQU     1", "der gewählte Chip", 0);
  }

  void Constants() {
    bool any = false;
    for (const TEntry& e : H.Entries) {
      if (e.Kind != TKind::Constant) continue;
      if (!any) Section("Konstanten");
      any = true;
      W.Define(e.Name, "EQU     " + Number(e.Value), "", e.Line);
    }
  }

  void Registers() {
    Section("Register");
    for (const TEntry& e : H.Entries) {
      if (e.Kind != TKind::Register) continue;
      RegisterAddress.emplace(e.Name, e.Value);
      std::int64_t value = 0;
      std::string where = "Adresse " + Address(e.Value) + ", ";
      switch (Core) {
        case TCore::Core12:
          value = e.Value & 0x1F;
          where += "Bank " + std::to_string(e.Value >> 5);
          break;
        case TCore::Core14:
        case TCore::Core14Enh:
          value = e.Value & 0x7F;
          where += "Bank " + std::to_string(e.Value >> 7);
          break;
        case TCore::Core16:
          value = e.Value & 0xFF;
          if (InAccessBank(e.Value))
            where += "Access-Bank";
          else
            where += "Bank " + std::to_string(e.Value >> 8) + ": nur mit MOVLB " + std::to_string(e.Value >> 8) +
                     " und ,A (a = 1)";
          break;
      }
      if (W.Define(e.Name, "EQU     " + Number(value), where, e.Line)) RegisterNames.insert(e.Name);
    }
  }

  bool InAccessBank(std::int64_t address) const { return address >= AccessStart && address <= 0xFFF; }

  // What identifies a register: its address, or its name if it has none.
  std::string RegisterKey(const std::string& reg) const {
    auto it = RegisterAddress.find(reg);
    return it == RegisterAddress.end() ? "name " + reg : "address " + std::to_string(it->second);
  }

  void Bits() {
    Section("Bits");
    // A name counts once for each register (by address: aliases such as
    // INTCON1 for INTCON are one) and bit number it denotes.
    std::map<std::string, std::set<std::pair<std::string, std::int64_t>>> meanings;
    for (const TEntry& e : H.Entries)
      if (e.Kind == TKind::Bit) meanings[e.Name].insert({RegisterKey(e.Group), e.Value});

    std::string section;
    std::set<std::string> explained;
    std::set<std::pair<std::string, std::int64_t>> seenBits;  // name and bit number defined
    for (const TEntry& e : H.Entries) {
      if (e.Kind != TKind::Bit) continue;
      auto address = RegisterAddress.find(e.Group);
      bool numbers = address == RegisterAddress.end() || (Core == TCore::Core16 && !InAccessBank(address->second));
      if (e.Group != section) {
        section = e.Group;
        if (address == RegisterAddress.end())
          W.Comment(section + " hat keine Adresse (über W geladen): Bitnummern");
        else if (numbers)
          W.Comment(section +
                    " liegt außerhalb der Access-Bank: Bitnummern, denn ein Bitname erreichte die Access-Bank");
        else
          W.Comment(section);
      }
      bool qualified = meanings[e.Name].size() > 1;
      std::string name = qualified ? e.Group + "_" + e.Name : e.Name;
      // Sections of one register (INTCON, INTCON1) repeat its bits: defined once.
      if (!seenBits.insert({name, e.Value}).second) continue;
      if (qualified && explained.insert(e.Name).second) {
        std::set<std::string> listed;
        std::string list;
        for (const TEntry& other : H.Entries)
          if (other.Kind == TKind::Bit && other.Name == e.Name && listed.insert(other.Group).second)
            list += " " + other.Group + "_" + e.Name;
        W.LeftOut(OnlyQualified, e.Name, e.Line, "Bit mehrerer Register, nur qualifiziert:" + list);
      }
      if (numbers) {
        W.Define(name, "EQU     " + std::to_string(e.Value), "", e.Line);
      } else {
        std::string reg = RegisterNames.count(e.Group) ? e.Group : Number(RegisterValue(address->second));
        W.Define(name, "BIT     " + reg + "," + std::to_string(e.Value), "", e.Line);
      }
    }
  }

  std::int64_t RegisterValue(std::int64_t address) const {
    switch (Core) {
      case TCore::Core12: return address & 0x1F;
      case TCore::Core16: return address & 0xFF;
      default: return address & 0x7F;
    }
  }

  // A PIC18's configuration bytes and ID locations are what CONFIG writes,
  // its options byte values; other cores' words are reached with ORG.
  void Configuration() {
    Section("Konfiguration");
    if (ConfigWords)
      for (std::int64_t byte = ConfigWords->Start, n = 1; byte < ConfigWords->End; byte += 2, ++n) {
        std::string word = "CONFIG" + std::to_string(n);
        W.Define("_" + word, "EQU     " + Number(byte / 2, 4), word + "L/" + word + "H, Byte " + Address(byte, 4), 0);
      }
    bool pic18 = Core == TCore::Core16;
    std::string group = "-";
    for (const TEntry& e : H.Entries) {
      if (e.Kind != TKind::ConfigAddress && e.Kind != TKind::ConfigOption && e.Kind != TKind::ConfigEquate) continue;
      if (e.Group != group && !e.Group.empty())
        W.Comment(e.Group + (e.Kind == TKind::ConfigOption ? " (Optionen)" : ""));
      group = e.Group;
      if (e.Kind == TKind::ConfigOption) {
        if (e.Value > (pic18 ? 0xFF : 0xFFFF))
          throw TFailure{
              "Konfigurationswert außerhalb von " + std::string(pic18 ? "8" : "16") + " Bit: " + Address(e.Value),
              e.Line};
        W.Define(e.Name, "EQU     " + Number(e.Value, pic18 ? 2 : 4), e.Comment, e.Line);
      } else if (pic18 &&
                 !((e.Value >= 0x200000 && e.Value <= 0x200007) || (e.Value >= 0x300000 && e.Value <= 0x3000FF))) {
        W.LeftOut(NotWritable, e.Name + " = " + Address(e.Value), e.Line,
                  "Geräte-ID: nur lesbar, CONFIG schreibt sie nicht");
      } else if (!pic18 && e.Value > 0xFFFF) {
        W.LeftOut(NotWritable, e.Name + " = " + Address(e.Value), e.Line, "jenseits des 16-Bit-Codezählers");
      } else {
        W.Define(e.Name, "EQU     " + Number(e.Value, 4), e.Comment, e.Line);
      }
    }
  }

  // "#define DDRA TRISA": the same definition under the alias' name.
  void Aliases() {
    if (H.Defines.empty()) return;
    Section("Andere Namen (#define)");
    for (const TDefine& d : H.Defines) {
      auto target = W.Defined.find(d.Target);
      if (target == W.Defined.end()) {
        W.LeftOut(AliasTarget, "#define " + d.Name + " " + d.Target, d.Line, "Ziel nicht definiert");
        continue;
      }
      W.Define(d.Name, target->second, "wie " + d.Target, d.Line);
    }
  }

  void RamNotes() {
    if (H.RamLines.empty()) return;
    Section("Nicht übernommen: RAM-Grenzen (der Assembler prüft RAM-Adressen nicht)");
    for (const std::string& line : H.RamLines) W.Comment(std::string(Trim(line)));
  }

  void Section(const std::string& title) {
    W.Blank();
    W.Comment("----- " + title + " " + std::string(title.size() < 60 ? 60 - title.size() : 0, '-'));
  }

  const THeader& H;
  TCore Core = TCore::Core14;
  std::int64_t AccessStart = 0xF80;
  std::optional<TRange> ConfigWords;  // bytes, for a PIC18 whose header names no configuration address
  std::map<std::string, std::int64_t> RegisterAddress;  // first address of each register name
  std::set<std::string> RegisterNames;                  // registers defined under their name

 public:
  TWriter W;
};

}  // namespace

TConversion Convert(const std::string& headerName, const std::string& headerText, const std::string& linkerName,
                    const std::optional<std::string>& linkerText) {
  TConversion result;
  try {
    std::vector<std::string_view> lines = Lines(headerText);
    CheckText(lines, false);
    CheckOneChip(lines);
    THeader header = ReadHeader(lines);
    TConverter converter(header, result);
    converter.Run(headerName, linkerName, linkerText, result.Core);
    result.Text = Utf8ToCp1252(converter.W.Text);
    result.Outcome = TOutcome::Converted;
  } catch (const TSkip& skip) {
    result = TConversion{};
    result.Outcome = TOutcome::Skipped;
    result.Message = skip.Reason;
  } catch (const TFailure& failure) {
    result = TConversion{};
    result.Outcome = TOutcome::Failed;
    result.Message = failure.Message;
    result.Line = failure.Line;
    result.InLinkerScript = failure.InLinkerScript;
  }
  return result;
}

const char* ReasonText(TReason reason) {
  switch (reason) {
    case FunctionWord: return "Funktionswort des Ausdrucksrechners";
    case FlagWord: return "Flaggen- und Zielwort (A, ACCESS, BANKED, FAST, W, F)";
    case Duplicate: return "doppelt definiert";
    case OnlyQualified: return "Bitname mehrerer Register, nur qualifiziert";
    case NotWritable: return "Adresse, die kein Befehl beschreibt (Geräte-ID)";
    case AliasTarget: return "#define ohne definiertes Ziel";
    case InvalidName: return "kein Name dieses Dialekts";
    case ReasonCount: break;
  }
  return "";
}

}  // namespace veltas::devices
