// The language server: the method table, the lifecycle, the documents and
// the programs' snapshots. Messages run in order on one thread (the core's
// globals allow one assembly at a time); each request is answered once.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "lsp/analysis.h"
#include "lsp/protocol.h"
#include "lsp/text.h"
#include "lsp/workspace.h"

namespace veltas::lsp {

class TServer {
 public:
  // send takes every outgoing message body (unframed).
  TServer(std::function<void(const std::string&)> send, std::string devicesDir);

  // The complete messages one read brought: edits only mark the programs
  // for a new assembly, which runs at the first request that needs it.
  void HandleBatch(const std::vector<std::string>& bodies);
  void Handle(const std::string& body);
  // Assembles what changed and publishes its diagnostics (the debounce
  // interval after the last edit has passed, or the input ended).
  void Flush();
  bool Pending() const { return Stale; }

  bool Exited = false;
  int ExitCode = 1;

  // One method of the table.
  struct TMethod {
    const char* Name;
    bool Request;
    void (TServer::*Run)(const TIncoming&);
  };

 private:
  void Initialize(const TIncoming& m);
  void Initialized(const TIncoming&) {}
  void Shutdown(const TIncoming& m);
  void Exit(const TIncoming& m);
  void DidOpen(const TIncoming& m);
  void DidChange(const TIncoming& m);
  void DidClose(const TIncoming& m);
  void DidSave(const TIncoming& m);
  void DidChangeWatchedFiles(const TIncoming& m);
  void DidChangeConfiguration(const TIncoming& m);
  void Cancel(const TIncoming&) {}
  void HoverRequest(const TIncoming& m);
  void DefinitionRequest(const TIncoming& m);
  void ReferencesRequest(const TIncoming& m);
  void HighlightRequest(const TIncoming& m);
  void RenameRequest(const TIncoming& m);
  void DocumentSymbolRequest(const TIncoming& m);
  void WorkspaceSymbolRequest(const TIncoming& m);
  void CompletionRequest(const TIncoming& m);
  void SemanticTokensRequest(const TIncoming& m);
  void InlayHintRequest(const TIncoming& m);

  static const TMethod kMethods[];

  void Reply(const TIncoming& m, const std::string& resultJson);
  void Fail(const std::optional<std::string>& id, int code, const std::string& message);
  void Settings(const TIncoming& m);
  void Analyze();
  void Publish();
  // The snapshot that serves a document, after assembling what changed.
  const TSnapshot* SnapshotOf(const std::string& path);
  template <typename TFn>
  auto OnDocument(const TIncoming& m, TFn fn);

  std::function<void(const std::string&)> Send;
  TWorkspace Files;
  TAnalysisSettings AnalysisSettings;
  std::vector<std::string> IncludeDirSettings;
  TEncoding Encoding = TEncoding::Utf16;
  bool InitializeDone = false, ShutdownDone = false, Stale = false;
  std::map<std::string, TSnapshot> Snapshots;    // by main source
  std::map<std::string, std::string> ServedBy;   // file -> main
  std::map<std::string, std::string> Published;  // file -> the last list sent, while not empty
  std::set<std::string> Cancelled;               // ids of requests cancelled in this batch
};

}  // namespace veltas::lsp
