#include "lsp/server.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "lsp/features.h"
#include "lsp/text.h"

namespace veltas::lsp {

namespace fs = std::filesystem;

// Name, request (or notification), handler.
const TServer::TMethod TServer::kMethods[] = {
    {"initialize", true, &TServer::Initialize},
    {"initialized", false, &TServer::Initialized},
    {"shutdown", true, &TServer::Shutdown},
    {"exit", false, &TServer::Exit},
    {"textDocument/didOpen", false, &TServer::DidOpen},
    {"textDocument/didChange", false, &TServer::DidChange},
    {"textDocument/didClose", false, &TServer::DidClose},
    {"textDocument/didSave", false, &TServer::DidSave},
    {"workspace/didChangeWatchedFiles", false, &TServer::DidChangeWatchedFiles},
    {"workspace/didChangeConfiguration", false, &TServer::DidChangeConfiguration},
    {"$/cancelRequest", false, &TServer::Cancel},
    {"textDocument/hover", true, &TServer::HoverRequest},
    {"textDocument/definition", true, &TServer::DefinitionRequest},
    {"textDocument/references", true, &TServer::ReferencesRequest},
    {"textDocument/documentHighlight", true, &TServer::HighlightRequest},
    {"textDocument/rename", true, &TServer::RenameRequest},
    {"textDocument/documentSymbol", true, &TServer::DocumentSymbolRequest},
    {"workspace/symbol", true, &TServer::WorkspaceSymbolRequest},
    {"textDocument/completion", true, &TServer::CompletionRequest},
    {"textDocument/semanticTokens/full", true, &TServer::SemanticTokensRequest},
    {"textDocument/inlayHint", true, &TServer::InlayHintRequest},
};

TServer::TServer(std::function<void(const std::string&)> send, std::string devicesDir) : Send(std::move(send)) {
  AnalysisSettings.DevicesDir = std::move(devicesDir);
}

void TServer::HandleBatch(const std::vector<std::string>& bodies) {
  Cancelled.clear();
  for (const std::string& body : bodies) {
    TIncoming m;
    std::string problem;
    if (Decode(body, m, problem) == TDecodeResult::Ok && m.Method == "$/cancelRequest" && m.CancelId)
      Cancelled.insert(*m.CancelId);
  }
  for (const std::string& body : bodies) Handle(body);
}

void TServer::Handle(const std::string& body) {
  TIncoming m;
  std::string problem;
  switch (Decode(body, m, problem)) {
    case TDecodeResult::ParseError: return Fail(std::nullopt, ParseError, problem);
    case TDecodeResult::InvalidRequest:
      if (m.Id && body.find("\"result\"") != std::string::npos) return;  // a reply of the client: nothing to do
      return Fail(m.Id, InvalidRequest, problem);
    case TDecodeResult::InvalidParams:
      if (m.Id) Fail(m.Id, InvalidParams, problem);
      return;
    case TDecodeResult::Ok: break;
  }
  const TMethod* method = nullptr;
  for (const TMethod& row : kMethods)
    if (m.Method == row.Name) method = &row;
  bool request = m.Id.has_value();
  if (!method) {
    if (request) Fail(m.Id, MethodNotFound, "unbekannte Methode \"" + m.Method + "\"");
    return;
  }
  if (method->Request != request) {
    if (request) Fail(m.Id, InvalidRequest, "\"" + m.Method + "\" ist eine Benachrichtigung");
    return;
  }
  if (!InitializeDone && m.Method != "initialize" && m.Method != "exit") {
    if (request) Fail(m.Id, ServerNotInitialized, "vor \"initialize\"");
    return;
  }
  if (ShutdownDone && m.Method != "exit") {
    if (request) Fail(m.Id, InvalidRequest, "nach \"shutdown\"");
    return;
  }
  if (request && Cancelled.count(*m.Id)) return Fail(m.Id, RequestCancelled, "abgebrochen");
  try {
    (this->*method->Run)(m);
  } catch (const std::exception& e) {
    if (request) Fail(m.Id, InternalError, e.what());
  }
}

void TServer::Reply(const TIncoming& m, const std::string& resultJson) { Send(ResultMessage(*m.Id, resultJson)); }

void TServer::Fail(const std::optional<std::string>& id, int code, const std::string& message) {
  Send(ErrorMessage(id, code, message));
}

void TServer::Settings(const TIncoming& m) {
  if (m.MaxErrors) AnalysisSettings.MaxErrors = std::clamp(*m.MaxErrors, 0, 10000);
  if (m.IncludeDirectories) IncludeDirSettings = *m.IncludeDirectories;
  // Relative directories are taken from the first workspace folder.
  AnalysisSettings.IncludeDirs.clear();
  for (const std::string& dir : IncludeDirSettings) {
    fs::path p(dir);
    if (p.is_relative() && !Files.Folders.empty()) p = fs::path(Files.Folders.front()) / p;
    AnalysisSettings.IncludeDirs.push_back(p.string());
  }
  Stale = true;
}

void TServer::Initialize(const TIncoming& m) {
  for (const std::string& uri : m.Uris)
    if (std::string path = UriToPath(uri); !path.empty()) Files.Folders.push_back(path);
  Encoding = m.Utf8Offered ? TEncoding::Utf8 : TEncoding::Utf16;
  Settings(m);
  InitializeDone = true;
  Reply(m, InitializeResultJson(Encoding == TEncoding::Utf8, TokenTypes(), TokenModifiers()));
}

void TServer::Shutdown(const TIncoming& m) {
  ShutdownDone = true;
  Reply(m, NullJson());
}

void TServer::Exit(const TIncoming&) {
  Exited = true;
  ExitCode = ShutdownDone ? 0 : 1;
}

void TServer::DidOpen(const TIncoming& m) {
  std::string path = UriToPath(m.Uri);
  if (path.empty()) return;
  Files.Open[path] = {m.Text, m.Version};
  Stale = true;
}

void TServer::DidChange(const TIncoming& m) {
  auto it = Files.Open.find(UriToPath(m.Uri));
  if (it == Files.Open.end()) return;
  for (const TChange& c : m.Changes) {
    if (!c.Range) {
      it->second.Text = c.Text;
      continue;
    }
    std::string& text = it->second.Text;
    std::size_t start = OffsetOf(text, c.Range->Start.Line, c.Range->Start.Character, Encoding);
    std::size_t end = std::max(start, OffsetOf(text, c.Range->End.Line, c.Range->End.Character, Encoding));
    text.replace(start, end - start, c.Text);
  }
  it->second.Version = m.Version;
  Stale = true;
}

void TServer::DidClose(const TIncoming& m) {
  Files.Open.erase(UriToPath(m.Uri));
  Stale = true;
}

void TServer::DidSave(const TIncoming&) { Stale = true; }
void TServer::DidChangeWatchedFiles(const TIncoming&) { Stale = true; }
void TServer::DidChangeConfiguration(const TIncoming& m) { Settings(m); }

void TServer::Analyze() {
  Stale = false;
  Snapshots.clear();
  ServedBy.clear();
  auto text = [](void* context, const std::string& file) { return static_cast<TWorkspace*>(context)->Utf8Text(file); };
  std::vector<std::string> candidates = Files.Candidates();
  std::map<std::string, std::vector<std::string>> filesOf;
  for (const std::string& c : candidates) {
    Snapshots[c] = lsp::Analyze(Files, c, AnalysisSettings, text, &Files);
    filesOf[c] = Snapshots[c].Files;
  }
  std::vector<std::string> mains;
  for (const std::string& c : candidates) {
    bool included = std::any_of(candidates.begin(), candidates.end(), [&](const std::string& o) {
      return o != c && std::count(filesOf[o].begin(), filesOf[o].end(), c) > 0;
    });
    if (included)
      Snapshots.erase(c);
    else
      mains.push_back(c);
  }
  for (const std::string& main : mains)
    for (const std::string& file : filesOf[main]) ServedBy.try_emplace(file, main);
  for (const auto& [path, doc] : Files.Open)
    if (!ServedBy.count(path)) {
      Snapshots[path] = lsp::Analyze(Files, path, AnalysisSettings, text, &Files);
      for (const std::string& file : Snapshots[path].Files) ServedBy.try_emplace(file, path);
      ServedBy[path] = path;
    }
  Publish();
}

void TServer::Publish() {
  std::map<std::string, std::vector<TDiagnostic>> all;
  for (const auto& [main, snap] : Snapshots) {
    TView view{snap, Encoding};
    for (auto& [file, list] : Diagnostics(view))
      if (ServedBy[file] == main) all[file].insert(all[file].end(), list.begin(), list.end());
  }
  for (const auto& [path, doc] : Files.Open) {
    const std::vector<std::string> lines = SplitLines(doc.Text);
    for (const auto& [place, cp] : Files.Unmapped(path)) {
      const std::string& line =
          place.first < static_cast<int>(lines.size()) ? lines[static_cast<std::size_t>(place.first)] : "";
      char text[64];
      std::snprintf(text, sizeof text, "Zeichen U+%04X gibt es in cp1252 nicht", cp);
      all[path].push_back({{{place.first, ToCharacter(line, place.second, Encoding)},
                            {place.first, ToCharacter(line, place.second + 1, Encoding)}},
                           text});
    }
  }
  // Only what changed goes out; a file that had errors gets its empty list.
  for (const auto& [file, list] : Published) all.try_emplace(file);
  std::map<std::string, std::string> now;
  for (const auto& [file, list] : all) {
    auto doc = Files.Open.find(file);
    std::optional<int> version;
    if (doc != Files.Open.end()) version = doc->second.Version;
    std::string params = DiagnosticsJson(PathToUri(file), version, list);
    auto last = Published.find(file);
    if (last == Published.end() || last->second != params)
      Send(NotificationMessage("textDocument/publishDiagnostics", params));
    if (!list.empty()) now[file] = params;
  }
  Published = std::move(now);
}

void TServer::Flush() {
  if (Stale && InitializeDone && !ShutdownDone) Analyze();
}

const TSnapshot* TServer::SnapshotOf(const std::string& path) {
  Flush();
  auto served = ServedBy.find(path);
  if (served == ServedBy.end()) return nullptr;
  auto it = Snapshots.find(served->second);
  return it == Snapshots.end() ? nullptr : &it->second;
}

// What fn answers for the document's program; its empty answer (a default
// constructed result) when no program reads the document.
template <typename TFn>
auto TServer::OnDocument(const TIncoming& m, TFn fn) {
  std::string path = UriToPath(m.Uri);
  const TSnapshot* snap = SnapshotOf(path);
  return snap ? fn(TView{*snap, Encoding}, path) : decltype(fn(TView{*snap, Encoding}, path)){};
}

void TServer::HoverRequest(const TIncoming& m) {
  Reply(m, HoverJson(OnDocument(m, [&](const TView& v, const std::string& p) { return Hover(v, p, m.Position); })));
}

void TServer::DefinitionRequest(const TIncoming& m) {
  Reply(m, LocationsJson(
               OnDocument(m, [&](const TView& v, const std::string& p) { return Definition(v, p, m.Position); })));
}

void TServer::ReferencesRequest(const TIncoming& m) {
  Reply(m, LocationsJson(OnDocument(m, [&](const TView& v, const std::string& p) {
          return References(v, p, m.Position, m.IncludeDeclaration);
        })));
}

void TServer::HighlightRequest(const TIncoming& m) {
  Reply(m,
        RangesJson(OnDocument(m, [&](const TView& v, const std::string& p) { return Highlights(v, p, m.Position); })));
}

void TServer::RenameRequest(const TIncoming& m) {
  std::string refusal = "unbekanntes Dokument";
  auto edits =
      OnDocument(m, [&](const TView& v, const std::string& p) { return Rename(v, p, m.Position, m.NewName, refusal); });
  if (!edits) return Fail(m.Id, InvalidRequest, refusal);
  Reply(m, WorkspaceEditJson(*edits));
}

void TServer::DocumentSymbolRequest(const TIncoming& m) {
  Reply(m, DocumentSymbolsJson(
               OnDocument(m, [&](const TView& v, const std::string& p) { return DocumentSymbols(v, p); })));
}

void TServer::WorkspaceSymbolRequest(const TIncoming& m) {
  Flush();
  std::vector<TSymbolInformation> list;
  for (const auto& [main, snap] : Snapshots) WorkspaceSymbols({snap, Encoding}, m.Query, list);
  Reply(m, SymbolInformationJson(list));
}

void TServer::CompletionRequest(const TIncoming& m) {
  Reply(m, CompletionJson(OnDocument(m, [&](const TView& v, const std::string& p) {
          return Completion(v, p, m.Position, AnalysisSettings.IncludeDirs);
        })));
}

void TServer::SemanticTokensRequest(const TIncoming& m) {
  Reply(m,
        SemanticTokensJson(OnDocument(m, [&](const TView& v, const std::string& p) { return SemanticTokens(v, p); })));
}

void TServer::InlayHintRequest(const TIncoming& m) {
  Reply(m, InlayHintsJson(OnDocument(m, [&](const TView& v, const std::string& p) { return InlayHints(v, p); })));
}

}  // namespace veltas::lsp
