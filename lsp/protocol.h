// The protocol's messages as this server uses them: plain structs in, plain
// structs out. Only protocol.cpp knows JSON.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace veltas::lsp {

struct TPosition {
  int Line = 0;
  int Character = 0;
};
struct TRange {
  TPosition Start, End;
};
struct TLocation {
  std::string Uri;
  TRange Range;
};

// One edit of a document: the whole text, or a range replaced.
struct TChange {
  std::optional<TRange> Range;
  std::string Text;
};

// A client message, decoded: the envelope and whatever params any method of
// this server reads (a method ignores the rest).
struct TIncoming {
  std::string Method;
  std::optional<std::string> Id;        // the id as JSON text; none for a notification
  std::optional<std::string> CancelId;  // $/cancelRequest: the request to cancel
  std::string Uri, Text, NewName, Query;
  int Version = 0;
  TPosition Position;
  bool IncludeDeclaration = false;
  std::vector<TChange> Changes;
  std::vector<std::string> Uris;  // workspace folders (initialize), changed files
  bool Utf8Offered = false;       // initialize: the client takes UTF-8 offsets
  // Settings (initializationOptions or didChangeConfiguration, plain or
  // under "veltas").
  std::optional<std::vector<std::string>> IncludeDirectories;
  std::optional<int> MaxErrors;
};

enum class TDecodeResult { Ok, ParseError, InvalidRequest, InvalidParams };
TDecodeResult Decode(const std::string& body, TIncoming& message, std::string& problem);

// Error codes of JSON-RPC and the protocol.
enum TErrorCode : int {
  ParseError = -32700,
  InvalidRequest = -32600,
  MethodNotFound = -32601,
  InvalidParams = -32602,
  InternalError = -32603,
  ServerNotInitialized = -32002,
  RequestCancelled = -32800,
};

struct TDiagnostic {
  TRange Range;
  std::string Message;
};
struct THover {
  std::string Markdown;
  TRange Range;
};
struct TTextEdit {
  TRange Range;
  std::string NewText;
};
struct TCompletionItem {
  std::string Label, Detail;
  int Kind = 0;  // the protocol's CompletionItemKind
};
struct TDocumentSymbol {
  std::string Name, Detail;
  int Kind = 0;  // the protocol's SymbolKind
  TRange Range, SelectionRange;
};
struct TSymbolInformation {
  std::string Name;
  int Kind = 0;
  TLocation Location;
};
struct TInlayHint {
  TPosition Position;
  std::string Label;
};

// Outgoing messages as JSON text, keys sorted.
std::string ResultMessage(const std::string& id, const std::string& resultJson);
std::string ErrorMessage(const std::optional<std::string>& id, int code, const std::string& message);
std::string NotificationMessage(const std::string& method, const std::string& paramsJson);

// Results and params as JSON text.
std::string NullJson();
std::string InitializeResultJson(bool utf8, const std::vector<std::string>& tokenTypes,
                                 const std::vector<std::string>& tokenModifiers);
std::string DiagnosticsJson(const std::string& uri, std::optional<int> version, const std::vector<TDiagnostic>& list);
std::string HoverJson(const std::optional<THover>& hover);
std::string LocationsJson(const std::vector<TLocation>& locations);
std::string RangesJson(const std::vector<TRange>& ranges);  // document highlights
std::string WorkspaceEditJson(const std::map<std::string, std::vector<TTextEdit>>& edits);
std::string CompletionJson(const std::vector<TCompletionItem>& items);
std::string DocumentSymbolsJson(const std::vector<TDocumentSymbol>& symbols);
std::string SymbolInformationJson(const std::vector<TSymbolInformation>& symbols);
std::string SemanticTokensJson(const std::vector<std::uint32_t>& data);
std::string InlayHintsJson(const std::vector<TInlayHint>& hints);

}  // namespace veltas::lsp
