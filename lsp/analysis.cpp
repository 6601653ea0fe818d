#include "lsp/analysis.h"

#include <algorithm>

#include "driver/run.h"
#include "expr/expr.h"
#include "host/host.h"
#include "isa/table.h"
#include "lsp/text.h"
#include "passes/passes.h"
#include "source/cp1252.h"
#include "source/lines.h"
#include "source/scanner.h"
#include "state/state.h"
#include "symbols/symbols.h"

namespace veltas::lsp {

namespace {

// The status window of a run nobody watches.
class TNoWindow : public driver::TStatusWindow {
 public:
  driver::TCreateResult Create(std::string_view) override { return driver::TCreateResult::Ok; }
  void AddSearchButton() override {}
  void DisableSearchButton() override {}
  void SetText(const driver::TStatusText&) override {}
  void PumpMessages() override {}
  void WaitForEvent() override { Open = false; }
  bool Alive() const override { return Open; }
  std::string ChosenSourceName() override { return {}; }
  void MessageBox(std::string_view, std::string_view) override {}

 private:
  bool Open = true;
};

// Remembers every file the run opened, in order.
class TWatchingFiles : public host::TFileSystem {
 public:
  TWatchingFiles(host::TFileSystem& inner, std::vector<std::string>& read) : Inner(inner), Read(read) {}
  bool IsFile(const std::string& name) override { return Inner.IsFile(name); }
  bool IsFileAsNamed(const std::string& name) override { return Inner.IsFileAsNamed(name); }
  std::unique_ptr<host::TInputFile> OpenRead(const std::string& name, std::string& reason) override {
    auto file = Inner.OpenRead(name, reason);
    if (file && std::find(Read.begin(), Read.end(), name) == Read.end()) Read.push_back(name);
    return file;
  }
  std::unique_ptr<host::TOutputFile> Create(const std::string& name) override { return Inner.Create(name); }
  void Remove(const std::string& name) override { Inner.Remove(name); }

 private:
  host::TFileSystem& Inner;
  std::vector<std::string>& Read;
};

TSnapshot* Taking = nullptr;

bool OpenedInclude() {
  return state::CurrentEntry != 0 && isa::CurrentRow().Pass1 == source::IncludeHandler && !state::Failed() &&
         source::IncludeDepth > 0 && source::LineNumber == 0;
}

// Both passes: in pass 1 where names are defined, in pass 2 what each line
// became. An INCLUDE that opened its file has already moved to it.
void TakeLine(bool pass2) {
  std::string file = host::CurrentFileName();
  int line = source::LineNumber;
  if (OpenedInclude()) {
    const host::TQuellFile& parent = host::SourceFiles[static_cast<std::size_t>(source::IncludeDepth - 1)];
    Taking->Includes.try_emplace({parent.Name, parent.SavedLine - 1}, file);
    file = parent.Name;
    line = parent.SavedLine - 1;
  }
  if (!pass2) {
    const std::string& name = symbols::PendingSymbol.Name;
    if (!name.empty() && !Taking->Names.count(name)) {
      std::size_t first = source::CurrentLine.find_first_not_of(" \t");
      Taking->Names[name].Place = {file, line, first == std::string::npos ? 1 : static_cast<int>(first) + 1};
    }
    return;
  }
  TLineInfo info;
  info.Core = isa::CoreKind;
  info.Code = state::CurrentSegment == state::SegCode;
  info.Address = info.Code ? state::CodeCounter : state::RamCounter;
  if (!state::Failed() && !state::CodeIsGap)
    info.Words.assign(state::CodeWords.begin(),
                      state::CodeWords.begin() + std::min<std::size_t>(state::CodeLength, state::MaxCodeWords));
  Taking->Lines.try_emplace({file, line}, std::move(info));
}

bool IsWordStart(char c) { return source::IsIdentStart(c); }

}  // namespace

bool TSnapshot::IsDefinitionFile(const std::string& file) const {
  return !DevicesDir.empty() && file.rfind(DevicesDir, 0) == 0;
}

const TToken* TSnapshot::TokenAt(const std::string& file, int line, int column) const {
  auto it = Index.find(file);
  if (it == Index.end()) return nullptr;
  for (const TToken& t : it->second.Tokens)
    if (t.Line == line && column >= t.Column && column <= t.Column + t.Length) return &t;
  return nullptr;
}

std::vector<TToken> Tokenize(const std::string& line, int lineNumber) {
  static const std::vector<std::string_view> kFunctions = expr::FunctionWords(), kOperators = expr::OperatorWords(),
                                             kConditions = isa::SkipConditionWords();
  auto among = [](const std::vector<std::string_view>& list, const std::string& word) {
    return std::find(list.begin(), list.end(), word) != list.end();
  };
  std::vector<TToken> tokens;
  int n = static_cast<int>(line.size());
  auto at = [&](int i) { return i < n ? line[static_cast<std::size_t>(i)] : '\0'; };
  auto add = [&](int start, int end, TTokenKind kind) {
    tokens.push_back({lineNumber, start + 1, end - start, kind,
                      line.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start))});
  };
  auto upper = [](std::string s) {
    source::UpperCaseStr(s);
    return s;
  };
  std::string operation;
  bool operationSeen = false, afterComma = false;
  for (int i = 0; i < n;) {
    char c = at(i);
    if (c == ';') {
      add(i, n, TTokenKind::Comment);
      break;
    }
    if (c == '"' || (c == '\'' && !(i > 0 && (at(i - 1) == 'B' || at(i - 1) == 'b')))) {
      int end = i + 1;
      if (c == '\'')
        end = std::min(n, i + 3);
      else
        while (end < n && at(end++) != '"') {
        }
      add(i, end, TTokenKind::String);
      i = end;
      afterComma = false;
      continue;
    }
    if (c >= '0' && c <= '9') {
      int end = i;
      while (end < n && (source::IsIdentContinue(at(end)) || at(end) == '.')) ++end;
      add(i, end, TTokenKind::Number);
      i = end;
      afterComma = false;
      continue;
    }
    if (!IsWordStart(c)) {
      afterComma = c == ',' || (afterComma && (c == ' ' || c == '\t'));
      ++i;
      continue;
    }
    int end = i;
    while (end < n && source::IsIdentContinue(at(end))) ++end;
    std::string word = upper(line.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(end - i)));
    if ((word == "B") && at(end) == '\'') {  // B'0101'
      int close = end + 1;
      while (close < n && at(close) != '\'') ++close;
      add(i, std::min(n, close + 1), TTokenKind::Number);
      i = close + 1;
      continue;
    }
    int after = end;
    while (at(after) == ' ' || at(after) == '\t') ++after;
    if (!operationSeen && at(after) == ':' && tokens.empty()) {
      add(i, end, TTokenKind::Definition);
      i = after + 1;
      continue;
    }
    if (!operationSeen) {
      operationSeen = true;
      if (word == "TBLRD" || word == "TBLWT")
        while (at(end) == '*' || at(end) == '+' || at(end) == '-') word.push_back(at(end++));
      int row = isa::LookupMnemonic(word);
      if (row != 0) {
        bool directive = isa::IsDirective(isa::Mnemonics[static_cast<std::size_t>(row - 1)]);
        add(i, end, directive ? TTokenKind::Directive : TTokenKind::Mnemonic);
        operation = word;
      }
      i = end;
      if (operation == "INCLUDE") {  // the rest, up to a comment, names a file
        int start = after;
        int stop = start;
        while (stop < n && at(stop) != ';') ++stop;
        while (stop > start && (at(stop - 1) == ' ' || at(stop - 1) == '\t')) --stop;
        if (stop > start) add(start, stop, TTokenKind::FileName);
        i = stop;
      }
      continue;
    }
    bool keyword = among(kFunctions, word) || among(kOperators, word);
    keyword |= operation == "SKIP" && among(kConditions, word);
    keyword |= afterComma && (word == "A" || word == "W" || word == "F" || word == "S");
    add(i, end, keyword ? TTokenKind::Keyword : TTokenKind::Name);
    afterComma = false;
    i = end;
  }
  return tokens;
}

TSnapshot Analyze(host::TFileSystem& files, const std::string& main, const TAnalysisSettings& settings,
                  std::string (*utf8Text)(void* context, const std::string& file), void* context) {
  TSnapshot snap;
  snap.Main = main;
  snap.DevicesDir = settings.DevicesDir;
  TWatchingFiles watching(files, snap.Files);
  host::IncludeDirs = settings.IncludeDirs;
  host::DevicesDir = settings.DevicesDir;
  Taking = &snap;
  passes::LineObserver = TakeLine;
  TNoWindow window;
  driver::TRunSettings run;
  run.MaxErrors = settings.MaxErrors;
  run.ListSymbols = false;
  driver::TRunResult result = driver::RunSequence({main}, window, watching, run);
  passes::LineObserver = nullptr;
  Taking = nullptr;

  auto addError = [&](const std::string& file, int line, int column, int tokenStart, std::string message) {
    TError& error = snap.Errors.emplace_back();
    error.Place.File = file;
    error.Place.Line = line;
    error.Place.Column = column;
    error.TokenStart = tokenStart;
    error.Message = std::move(message);
  };
  for (const driver::TErrorReport& e : result.Errors)
    addError(e.File, e.Line, e.Column, e.TokenStart, source::Cp1252ToUtf8(e.Message));
  if (result.Outcome == driver::TRunOutcome::IoError && result.Errors.empty())
    addError(main, 1, 1, 1, result.IoMessage);
  for (std::size_t i = symbols::SymbolCount(); i-- > 0;) {
    const symbols::TSymbol& s = symbols::SymbolNewestFirst(i);
    TName& name = snap.Names[s.Name];
    name.Kind = s.Failed                        ? TNameKind::Failed
                : s.Segment == symbols::SymCode ? TNameKind::CodeLabel
                : s.Segment == symbols::SymRam  ? TNameKind::RamLabel
                : s.Segment == symbols::SymBit  ? TNameKind::Bit
                                                : TNameKind::Constant;
    name.Value = s.Value;
    name.BitNumber = s.BitNumber;
    name.IsFloat = (s.ValueType & symbols::TypeFloat) != 0;
    name.FloatValue = s.FloatValue;
  }
  for (auto it = snap.Names.begin(); it != snap.Names.end();) {  // places of names the run never entered
    if (it->second.Place.File.empty() || symbols::FindSymbol(it->first))
      ++it;
    else
      it = snap.Names.erase(it);
  }
  state::ClearError();
  for (const std::string& file : snap.Files) {
    TFileIndex& index = snap.Index[file];
    std::string text = utf8Text(context, file);
    index.Lines = SplitLines(text);
    for (std::size_t l = 0; l < index.Lines.size(); ++l) {
      std::vector<TToken> tokens = Tokenize(source::Utf8ToCp1252(index.Lines[l]), static_cast<int>(l) + 1);
      index.Tokens.insert(index.Tokens.end(), tokens.begin(), tokens.end());
    }
  }
  return snap;
}

}  // namespace veltas::lsp
