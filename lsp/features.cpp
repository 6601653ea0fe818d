#include "lsp/features.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>

#include "expr/expr.h"
#include "isa/handlers.h"
#include "isa/table.h"
#include "lsp/forms.h"
#include "source/cp1252.h"
#include "source/lines.h"
#include "source/scanner.h"
#include "state/state.h"

namespace veltas::lsp {

namespace fs = std::filesystem;

namespace {

const std::string kEmptyLine;

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

std::string FileName(const std::string& path) { return fs::path(path).filename().string(); }

// Names and words are cp1252, as the assembler reads them; the protocol
// speaks UTF-8.
std::string U8(const std::string& cp1252) { return source::Cp1252ToUtf8(cp1252); }

// The name token under a position, or nullptr.
const TToken* TokenAt(const TView& view, const std::string& file, const TPosition& position) {
  return view.Snap.TokenAt(file, position.Line + 1, view.ColumnOf(file, position));
}

bool IsName(const TToken* t) { return t && (t->Kind == TTokenKind::Name || t->Kind == TTokenKind::Definition); }

const TName* NameOf(const TView& view, const TToken* t) {
  if (!IsName(t)) return nullptr;
  auto it = view.Snap.Names.find(t->Text);
  return it == view.Snap.Names.end() ? nullptr : &it->second;
}

// Every word of the program's files that is the name.
template <typename TVisit>
void EachUse(const TView& view, const std::string& name, TVisit visit) {
  for (const std::string& file : view.Snap.Files) {
    auto it = view.Snap.Index.find(file);
    if (it == view.Snap.Index.end()) continue;
    for (const TToken& t : it->second.Tokens)
      if (IsName(&t) && t.Text == name) visit(file, t);
  }
}

const char* KindWord(TNameKind kind) {
  switch (kind) {
    case TNameKind::CodeLabel: return "Codemarke";
    case TNameKind::RamLabel: return "RAM-Marke";
    case TNameKind::Constant: return "EQU-Konstante";
    case TNameKind::Bit: return "Bitname";
    default: return "fehlgeschlagene Definition";
  }
}

std::string ValueText(const TName& n) {
  if (n.Kind == TNameKind::Bit)
    return "BIT " + Hex(static_cast<std::uint32_t>(n.Value), 2) + "h," + std::to_string(n.BitNumber);
  if (n.IsFloat) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", n.FloatValue);
    return text;
  }
  return Hex(static_cast<std::uint32_t>(n.Value), 4) + "h = " + std::to_string(n.Value);
}

// The operand form of a row, as this dialect writes it.
std::string OperandForm(const isa::TMnemonicEntry& row) {
  const TForm* form = FormOf(row.Name);
  return form ? form->Form : std::string();
}

std::string Cores(const isa::TMnemonicEntry& row) {
  if (row.CoreMask == isa::DirectiveMask) return "alle";
  std::string text;
  const std::pair<std::uint16_t, const char*> kCores[] = {
      {isa::Mask12, "CORE12"}, {isa::Mask14, "CORE14"}, {isa::MaskEnh, "CORE14ENH"}, {isa::Mask16, "CORE16"}};
  for (auto [mask, name] : kCores)
    if (row.CoreMask & mask) text += (text.empty() ? "" : ", ") + std::string(name);
  return text;
}

const TLineInfo* LineInfo(const TView& view, const std::string& file, int line) {
  auto it = view.Snap.Lines.find({file, line});
  return it == view.Snap.Lines.end() ? nullptr : &it->second;
}

std::string WordsText(const TLineInfo& info) {
  std::string text = Hex(info.Address, 4) + ":";
  for (std::uint16_t w : info.Words) text += " " + Hex(w, 4);
  return text;
}

// A number as the evaluator reads it, or nothing.
std::optional<std::string> NumberText(const std::string& number) {
  source::CurrentLine = number;
  source::LinePos = 1;
  state::ClearError();
  expr::TValue v = expr::Expression('\0');
  bool ok = !state::Failed();
  state::ClearError();
  if (!ok) return std::nullopt;
  if (v.IsFloat()) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", v.Real);
    return std::string(text);
  }
  auto u = static_cast<std::uint32_t>(v.Int);
  std::string binary;
  for (int bit = 31; bit >= 0; --bit)
    if (!binary.empty() || (u >> bit) & 1 || bit == 0) binary += (u >> bit) & 1 ? '1' : '0';
  return Hex(u, 1) + "h = " + std::to_string(v.Int) + " = " + binary + "b";
}

}  // namespace

const std::string& TView::LineText(const std::string& file, int line) const {
  auto it = Snap.Index.find(file);
  if (it == Snap.Index.end() || line < 1 || line > static_cast<int>(it->second.Lines.size())) return kEmptyLine;
  return it->second.Lines[static_cast<std::size_t>(line - 1)];
}

TRange TView::RangeOf(const std::string& file, int line, int column, int length) const {
  const std::string& text = LineText(file, line);
  int l = std::max(line - 1, 0);
  return {{l, ToCharacter(text, column - 1, Encoding)}, {l, ToCharacter(text, column - 1 + length, Encoding)}};
}

int TView::ColumnOf(const std::string& file, const TPosition& position) const {
  return FromCharacter(LineText(file, position.Line + 1), position.Character, Encoding) + 1;
}

std::map<std::string, std::vector<TDiagnostic>> Diagnostics(const TView& view) {
  std::map<std::string, std::vector<TDiagnostic>> out;
  for (const TError& e : view.Snap.Errors) {
    if (view.Snap.IsDefinitionFile(e.Place.File)) {
      // Not the user's file, but the user's program fails there (a name of
      // its own defined again, say): shown at the INCLUDE that read it.
      for (const auto& [at, included] : view.Snap.Includes) {
        if (included != e.Place.File || view.Snap.IsDefinitionFile(at.first)) continue;
        TRange range = view.RangeOf(at.first, at.second, 1, 1);
        if (auto it = view.Snap.Index.find(at.first); it != view.Snap.Index.end())
          for (const TToken& t : it->second.Tokens)
            if (t.Line == at.second && t.Kind == TTokenKind::FileName)
              range = view.RangeOf(at.first, at.second, t.Column, t.Length);
        out[at.first].push_back(
            {range, FileName(e.Place.File) + ", Zeile " + std::to_string(e.Place.Line) + ": " + e.Message});
        break;
      }
      continue;
    }
    // From where the last token began to where the scanner stood; one
    // character at that column when that is empty, inside the line.
    int size = static_cast<int>(source::Utf8ToCp1252(view.LineText(e.Place.File, e.Place.Line)).size());
    int start = std::clamp(e.TokenStart, 1, size + 1), end = std::clamp(e.Place.Column, 1, size + 1);
    if (start >= end) {
      start = std::min(end, std::max(size, 1));
      end = start + 1;
    }
    out[e.Place.File].push_back({view.RangeOf(e.Place.File, e.Place.Line, start, end - start), e.Message});
  }
  return out;
}

std::optional<THover> Hover(const TView& view, const std::string& file, const TPosition& position) {
  const TToken* t = TokenAt(view, file, position);
  if (!t) return std::nullopt;
  TRange range = view.RangeOf(file, t->Line, t->Column, t->Length);
  std::string text;
  if (const TName* n = NameOf(view, t)) {
    text = "**" + U8(t->Text) + "**: " + KindWord(n->Kind);
    if (n->Kind != TNameKind::Failed) text += ", " + ValueText(*n);
    if (!n->Place.File.empty()) {
      text += "\n\ndefiniert in " + FileName(n->Place.File) + ", Zeile " + std::to_string(n->Place.Line);
      const std::string& line = view.LineText(n->Place.File, n->Place.Line);
      std::size_t semicolon = line.find(';');
      if (view.Snap.IsDefinitionFile(n->Place.File) && semicolon != std::string::npos)
        text += ": " + line.substr(line.find_first_not_of("; ", semicolon));
    }
  } else if (t->Kind == TTokenKind::Mnemonic || t->Kind == TTokenKind::Directive) {
    std::string word = t->Text;
    source::UpperCaseStr(word);
    int row = isa::LookupMnemonic(word);
    if (row == 0) return std::nullopt;
    const isa::TMnemonicEntry& e = isa::Mnemonics[static_cast<std::size_t>(row - 1)];
    const TForm* form = FormOf(e.Name);
    text = "**" + word + "** " + (form ? form->Form + "\n\n" + form->Description : std::string()) +
           "\n\nKerne: " + Cores(e);
    if (const TLineInfo* info = LineInfo(view, file, t->Line); info && !info->Words.empty())
      text += "\n\n`" + WordsText(*info) + "`";
  } else if (t->Kind == TTokenKind::Number ||
             (t->Kind == TTokenKind::String && t->Text.size() == 3 && t->Text[0] == '\'')) {
    std::optional<std::string> number = NumberText(t->Text);
    if (!number) return std::nullopt;
    text = *number;
  } else {
    return std::nullopt;
  }
  return THover{text, range};
}

std::vector<TLocation> Definition(const TView& view, const std::string& file, const TPosition& position) {
  const TToken* t = TokenAt(view, file, position);
  if (t && t->Kind == TTokenKind::FileName) {
    auto it = view.Snap.Includes.find({file, t->Line});
    if (it == view.Snap.Includes.end()) return {};
    return {{PathToUri(it->second), {}}};
  }
  const TName* n = NameOf(view, t);
  if (!n || n->Place.File.empty()) return {};
  return {{PathToUri(n->Place.File),
           view.RangeOf(n->Place.File, n->Place.Line, n->Place.Column, static_cast<int>(t->Text.size()))}};
}

std::vector<TLocation> References(const TView& view, const std::string& file, const TPosition& position,
                                  bool includeDeclaration) {
  std::vector<TLocation> out;
  const TToken* t = TokenAt(view, file, position);
  if (!IsName(t)) return out;
  EachUse(view, t->Text, [&](const std::string& f, const TToken& use) {
    if (includeDeclaration || use.Kind != TTokenKind::Definition)
      out.push_back({PathToUri(f), view.RangeOf(f, use.Line, use.Column, use.Length)});
  });
  return out;
}

std::vector<TRange> Highlights(const TView& view, const std::string& file, const TPosition& position) {
  std::vector<TRange> out;
  const TToken* t = TokenAt(view, file, position);
  if (!IsName(t)) return out;
  EachUse(view, t->Text, [&](const std::string& f, const TToken& use) {
    if (f == file) out.push_back(view.RangeOf(f, use.Line, use.Column, use.Length));
  });
  return out;
}

std::optional<std::map<std::string, std::vector<TTextEdit>>> Rename(const TView& view, const std::string& file,
                                                                    const TPosition& position,
                                                                    const std::string& newName, std::string& refusal) {
  const TToken* t = TokenAt(view, file, position);
  const TName* n = NameOf(view, t);
  if (!n) {
    refusal = t && (t->Kind == TTokenKind::Mnemonic || t->Kind == TTokenKind::Directive)
                  ? "Befehle und Direktiven lassen sich nicht umbenennen"
                  : "hier steht kein Name des Programms";
    return std::nullopt;
  }
  if (n->Place.File.empty() || view.Snap.IsDefinitionFile(n->Place.File)) {
    refusal = "\"" + U8(t->Text) + "\" ist in einer Definitionsdatei definiert und wird nicht umbenannt";
    return std::nullopt;
  }
  std::string cp = source::Utf8ToCp1252(newName);
  // A word that starts with a digit is read as a number.
  bool valid = !cp.empty() && cp.size() <= 64 && source::IsIdentStart(cp[0]) &&
               !std::isdigit(static_cast<unsigned char>(cp[0])) &&
               std::all_of(cp.begin(), cp.end(), [](char c) { return source::IsIdentContinue(c); });
  if (!valid) {
    refusal = "\"" + newName + "\" ist kein gültiger Name";
    return std::nullopt;
  }
  if (view.Snap.Names.count(cp)) {
    refusal = "\"" + newName + "\" ist schon definiert";
    return std::nullopt;
  }
  std::map<std::string, std::vector<TTextEdit>> edits;
  EachUse(view, t->Text, [&](const std::string& f, const TToken& use) {
    edits[PathToUri(f)].push_back({view.RangeOf(f, use.Line, use.Column, use.Length), newName});
  });
  return edits;
}

std::vector<TDocumentSymbol> DocumentSymbols(const TView& view, const std::string& file) {
  std::vector<TDocumentSymbol> out;
  auto it = view.Snap.Index.find(file);
  if (it == view.Snap.Index.end()) return out;
  for (const TToken& t : it->second.Tokens) {
    if (t.Kind != TTokenKind::Definition) continue;
    auto n = view.Snap.Names.find(t.Text);
    if (n == view.Snap.Names.end() || n->second.Place.File != file || n->second.Place.Line != t.Line) continue;
    static constexpr int kKinds[] = {12, 13, 14, 8, 14};  // Function, Variable, Constant, Field, Constant
    int size = static_cast<int>(source::Utf8ToCp1252(view.LineText(file, t.Line)).size());
    out.push_back({U8(t.Text), KindWord(n->second.Kind), kKinds[static_cast<int>(n->second.Kind)],
                   view.RangeOf(file, t.Line, 1, size), view.RangeOf(file, t.Line, t.Column, t.Length)});
  }
  return out;
}

void WorkspaceSymbols(const TView& view, const std::string& query, std::vector<TSymbolInformation>& out) {
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  std::string q = lower(source::Utf8ToCp1252(query));
  for (const auto& [name, n] : view.Snap.Names) {
    if (n.Place.File.empty() || view.Snap.IsDefinitionFile(n.Place.File) || lower(name).find(q) == std::string::npos)
      continue;
    static constexpr int kKinds[] = {12, 13, 14, 8, 14};
    TLocation where{PathToUri(n.Place.File),
                    view.RangeOf(n.Place.File, n.Place.Line, n.Place.Column, static_cast<int>(name.size()))};
    std::string shown = U8(name);  // a lambda may not capture a structured binding before C++20's fix
    bool known = std::any_of(out.begin(), out.end(), [&](const TSymbolInformation& s) {
      return s.Name == shown && s.Location.Uri == where.Uri && s.Location.Range.Start.Line == where.Range.Start.Line;
    });
    if (!known) out.push_back({shown, kKinds[static_cast<int>(n.Kind)], where});
  }
}

std::vector<TCompletionItem> Completion(const TView& view, const std::string& file, const TPosition& position,
                                        const std::vector<std::string>& includeDirs) {
  std::vector<TCompletionItem> out;
  std::string line = source::Utf8ToCp1252(view.LineText(file, position.Line + 1));
  std::string before = line.substr(0, static_cast<std::size_t>(std::max(view.ColumnOf(file, position) - 1, 0)));
  std::vector<TToken> tokens = Tokenize(before, position.Line + 1);
  bool inWord = !before.empty() && source::IsIdentContinue(before.back());
  auto op = std::find_if(tokens.begin(), tokens.end(), [](const TToken& t) {
    return t.Kind == TTokenKind::Mnemonic || t.Kind == TTokenKind::Directive;
  });
  bool operationField = op == tokens.end() || (inWord && &*op == &tokens.back());
  if (before.find(';') != std::string::npos) return out;
  if (operationField) {
    // The core in effect: that of the nearest line above that has one.
    int core = isa::Core14;
    for (int l = position.Line + 1; l >= 1; --l)
      if (auto it = view.Snap.Lines.find({file, l}); it != view.Snap.Lines.end()) {
        core = it->second.Core;
        break;
      }
    for (const isa::TMnemonicEntry& row : isa::Mnemonics)
      if (row.CoreMask == isa::DirectiveMask || (row.CoreMask & core) != 0)
        out.push_back({std::string(row.Name), OperandForm(row), 14});
    return out;
  }
  std::string operation = op->Text;
  source::UpperCaseStr(operation);
  if (operation == "INCLUDE") {
    std::set<std::string> names;
    std::vector<std::string> dirs = {fs::path(view.Snap.Main).parent_path().string()};
    dirs.insert(dirs.end(), includeDirs.begin(), includeDirs.end());
    if (!view.Snap.DevicesDir.empty()) dirs.push_back(view.Snap.DevicesDir);
    for (const std::string& dir : dirs) {
      std::error_code ec;
      for (fs::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string extension = it->path().extension().string();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (it->is_regular_file(ec) && (extension == ".inc" || extension == ".pic") && it->path().string() != file)
          names.insert(it->path().filename().string());
      }
    }
    for (const std::string& name : names) out.push_back({name, "", 17});
    return out;
  }
  if (operation == "SKIP")
    for (std::string_view word : isa::SkipConditionWords()) out.push_back({std::string(word), "Bedingung", 14});
  static constexpr int kKinds[] = {3, 6, 21, 5, 21};  // Function, Variable, Constant, Field, Constant
  for (const auto& [name, n] : view.Snap.Names)
    if (n.Kind != TNameKind::Failed)
      out.push_back({U8(name), std::string(KindWord(n.Kind)) + " " + ValueText(n), kKinds[static_cast<int>(n.Kind)]});
  return out;
}

const std::vector<std::string>& TokenTypes() {
  static const std::vector<std::string> kTypes = {"keyword", "macro",  "function", "variable", "property",
                                                  "number",  "string", "comment",  "operator"};
  return kTypes;
}

const std::vector<std::string>& TokenModifiers() {
  static const std::vector<std::string> kModifiers = {"declaration", "readonly"};
  return kModifiers;
}

std::vector<std::uint32_t> SemanticTokens(const TView& view, const std::string& file) {
  std::vector<std::uint32_t> data;
  auto it = view.Snap.Index.find(file);
  if (it == view.Snap.Index.end()) return data;
  int lastLine = 0, lastStart = 0;
  for (const TToken& t : it->second.Tokens) {
    int type = -1, modifiers = 0;
    switch (t.Kind) {
      case TTokenKind::Mnemonic: type = 0; break;
      case TTokenKind::Directive: type = 1; break;
      case TTokenKind::Number: type = 5; break;
      case TTokenKind::String:
      case TTokenKind::FileName: type = 6; break;
      case TTokenKind::Comment: type = 7; break;
      case TTokenKind::Keyword: type = 8; break;
      case TTokenKind::Definition:
      case TTokenKind::Name:
        if (const TName* n = NameOf(view, &t)) {
          static constexpr int kTypes[] = {2, 3, 3, 4, -1};
          type = kTypes[static_cast<int>(n->Kind)];
          modifiers = (t.Kind == TTokenKind::Definition ? 1 : 0) | (n->Kind == TNameKind::Constant ? 2 : 0);
        }
        break;
    }
    if (type < 0) continue;
    TRange r = view.RangeOf(file, t.Line, t.Column, t.Length);
    int line = r.Start.Line, start = r.Start.Character;
    data.insert(data.end(), {static_cast<std::uint32_t>(line - lastLine),
                             static_cast<std::uint32_t>(line == lastLine ? start - lastStart : start),
                             static_cast<std::uint32_t>(r.End.Character - r.Start.Character),
                             static_cast<std::uint32_t>(type), static_cast<std::uint32_t>(modifiers)});
    lastLine = line;
    lastStart = start;
  }
  return data;
}

std::vector<TInlayHint> InlayHints(const TView& view, const std::string& file) {
  std::vector<TInlayHint> out;
  for (auto it = view.Snap.Lines.lower_bound({file, 0}); it != view.Snap.Lines.end() && it->first.first == file; ++it) {
    if (it->second.Words.empty() || !it->second.Code) continue;
    const std::string& text = view.LineText(file, it->first.second);
    int end = static_cast<int>(source::Utf8ToCp1252(text).size());
    out.push_back({{it->first.second - 1, ToCharacter(text, end, view.Encoding)}, WordsText(it->second)});
  }
  return out;
}

}  // namespace veltas::lsp
