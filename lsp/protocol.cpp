#include "lsp/protocol.h"

#include <nlohmann/json.hpp>

namespace veltas::lsp {

using nlohmann::json;

namespace {

// Reads what is there and of the right type; a field of the wrong type is a
// bad param.
struct TReader {
  std::string Problem;
  const json* At(const json& object, const char* key) {
    if (!object.is_object()) return nullptr;
    auto it = object.find(key);
    return it == object.end() || it->is_null() ? nullptr : &*it;
  }
  bool Str(const json& object, const char* key, std::string& out) {
    const json* v = At(object, key);
    if (!v) return false;
    if (!v->is_string()) return Bad(key);
    out = v->get<std::string>();
    return true;
  }
  bool Int(const json& object, const char* key, int& out) {
    const json* v = At(object, key);
    if (!v) return false;
    if (!v->is_number_integer() || v->get<std::int64_t>() < 0 || v->get<std::int64_t>() > 0x7FFFFFFF) return Bad(key);
    out = v->get<int>();
    return true;
  }
  bool Bad(const char* key) {
    if (Problem.empty()) Problem = std::string("\"") + key + "\" hat den falschen Typ";
    return false;
  }
  TPosition Position(const json& object) {
    TPosition p;
    Int(object, "line", p.Line);
    Int(object, "character", p.Character);
    return p;
  }
  void Settings(const json& object, TIncoming& m) {
    const json* s = At(object, "veltas");
    const json& o = s ? *s : object;
    if (const json* dirs = At(o, "includeDirectories")) {
      if (!dirs->is_array()) return void(Bad("includeDirectories"));
      std::vector<std::string> list;
      for (const json& d : *dirs)
        if (d.is_string()) list.push_back(d.get<std::string>());
      m.IncludeDirectories = list;
    }
    int n = 0;
    if (Int(o, "maxErrors", n)) m.MaxErrors = n;
  }
};

json ToJson(const TPosition& p) { return {{"line", p.Line}, {"character", p.Character}}; }
json ToJson(const TRange& r) { return {{"start", ToJson(r.Start)}, {"end", ToJson(r.End)}}; }
json ToJson(const TLocation& l) { return {{"uri", l.Uri}, {"range", ToJson(l.Range)}}; }

std::string Dump(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

}  // namespace

TDecodeResult Decode(const std::string& body, TIncoming& m, std::string& problem) {
  json j = json::parse(body, nullptr, false);
  if (j.is_discarded()) {
    problem = "kein JSON";
    return TDecodeResult::ParseError;
  }
  TReader r;
  if (!j.is_object() || !r.Str(j, "method", m.Method)) {
    problem = "keine Nachricht mit \"method\"";
    // A response of the client (to a request this server never sends) is
    // no request either; the caller tells them apart by the id.
    if (j.is_object() && j.contains("id") && (j["id"].is_number_integer() || j["id"].is_string())) m.Id = Dump(j["id"]);
    return TDecodeResult::InvalidRequest;
  }
  if (const json* id = r.At(j, "id")) {
    if (!id->is_number_integer() && !id->is_string()) {
      problem = "\"id\" ist weder Zahl noch Text";
      return TDecodeResult::InvalidRequest;
    }
    m.Id = Dump(*id);
  }
  static const json kEmpty = json::object();
  const json* pp = r.At(j, "params");
  const json& p = pp ? *pp : kEmpty;
  if (const json* doc = r.At(p, "textDocument")) {
    r.Str(*doc, "uri", m.Uri);
    r.Str(*doc, "text", m.Text);
    r.Int(*doc, "version", m.Version);
  }
  if (const json* pos = r.At(p, "position")) m.Position = r.Position(*pos);
  if (const json* cancel = r.At(p, "id"); cancel && (cancel->is_number_integer() || cancel->is_string()))
    m.CancelId = Dump(*cancel);
  r.Str(p, "newName", m.NewName);
  r.Str(p, "query", m.Query);
  if (const json* ctx = r.At(p, "context"); ctx && ctx->is_object() && ctx->contains("includeDeclaration"))
    m.IncludeDeclaration = (*ctx)["includeDeclaration"].is_boolean() && (*ctx)["includeDeclaration"].get<bool>();
  if (const json* changes = r.At(p, "contentChanges"); changes && changes->is_array()) {
    for (const json& c : *changes) {
      TChange change;
      r.Str(c, "text", change.Text);
      if (const json* range = r.At(c, "range"); range && range->is_object())
        change.Range = TRange{r.Position(r.At(*range, "start") ? (*range)["start"] : kEmpty),
                              r.Position(r.At(*range, "end") ? (*range)["end"] : kEmpty)};
      m.Changes.push_back(std::move(change));
    }
  }
  for (const char* list : {"workspaceFolders", "changes"}) {
    if (const json* items = r.At(p, list); items && items->is_array())
      for (const json& item : *items) {
        std::string uri;
        if (r.Str(item, "uri", uri)) m.Uris.push_back(uri);
      }
  }
  if (std::string root; m.Uris.empty() && r.Str(p, "rootUri", root)) m.Uris.push_back(root);
  if (const json* caps = r.At(p, "capabilities")) {
    if (const json* general = r.At(*caps, "general"))
      if (const json* enc = r.At(*general, "positionEncodings"); enc && enc->is_array())
        for (const json& e : *enc) m.Utf8Offered |= e == "utf-8";
  }
  if (const json* options = r.At(p, "initializationOptions")) r.Settings(*options, m);
  if (const json* settings = r.At(p, "settings")) r.Settings(*settings, m);
  if (!r.Problem.empty()) {
    problem = r.Problem;
    return TDecodeResult::InvalidParams;
  }
  return TDecodeResult::Ok;
}

std::string ResultMessage(const std::string& id, const std::string& resultJson) {
  return Dump({{"jsonrpc", "2.0"}, {"id", json::parse(id)}, {"result", json::parse(resultJson)}});
}

std::string ErrorMessage(const std::optional<std::string>& id, int code, const std::string& message) {
  return Dump({{"jsonrpc", "2.0"},
               {"id", id ? json::parse(*id) : json(nullptr)},
               {"error", {{"code", code}, {"message", message}}}});
}

std::string NotificationMessage(const std::string& method, const std::string& paramsJson) {
  return Dump({{"jsonrpc", "2.0"}, {"method", method}, {"params", json::parse(paramsJson)}});
}

std::string NullJson() { return "null"; }

std::string InitializeResultJson(bool utf8, const std::vector<std::string>& tokenTypes,
                                 const std::vector<std::string>& tokenModifiers) {
  json caps = {
      {"positionEncoding", utf8 ? "utf-8" : "utf-16"},
      {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
      {"hoverProvider", true},
      {"definitionProvider", true},
      {"referencesProvider", true},
      {"documentHighlightProvider", true},
      {"renameProvider", true},
      {"documentSymbolProvider", true},
      {"workspaceSymbolProvider", true},
      {"inlayHintProvider", true},
      {"completionProvider", {{"triggerCharacters", json::array({" ", ",", "\t"})}}},
      {"semanticTokensProvider",
       {{"legend", {{"tokenTypes", tokenTypes}, {"tokenModifiers", tokenModifiers}}}, {"full", true}}},
  };
  return Dump({{"capabilities", caps}, {"serverInfo", {{"name", "veltas-lsp"}}}});
}

std::string DiagnosticsJson(const std::string& uri, std::optional<int> version, const std::vector<TDiagnostic>& list) {
  json diagnostics = json::array();
  for (const TDiagnostic& d : list)
    diagnostics.push_back({{"range", ToJson(d.Range)}, {"severity", 1}, {"source", "veltas"}, {"message", d.Message}});
  json params = {{"uri", uri}, {"diagnostics", diagnostics}};
  if (version) params["version"] = *version;
  return Dump(params);
}

std::string HoverJson(const std::optional<THover>& hover) {
  if (!hover) return NullJson();
  return Dump({{"contents", {{"kind", "markdown"}, {"value", hover->Markdown}}}, {"range", ToJson(hover->Range)}});
}

std::string LocationsJson(const std::vector<TLocation>& locations) {
  json list = json::array();
  for (const TLocation& l : locations) list.push_back(ToJson(l));
  return Dump(list);
}

std::string RangesJson(const std::vector<TRange>& ranges) {
  json list = json::array();
  for (const TRange& r : ranges) list.push_back({{"range", ToJson(r)}, {"kind", 1}});
  return Dump(list);
}

std::string WorkspaceEditJson(const std::map<std::string, std::vector<TTextEdit>>& edits) {
  json changes = json::object();
  for (const auto& [uri, list] : edits) {
    json e = json::array();
    for (const TTextEdit& t : list) e.push_back({{"range", ToJson(t.Range)}, {"newText", t.NewText}});
    changes[uri] = e;
  }
  return Dump({{"changes", changes}});
}

std::string CompletionJson(const std::vector<TCompletionItem>& items) {
  json list = json::array();
  for (const TCompletionItem& i : items) {
    json item = {{"label", i.Label}, {"kind", i.Kind}};
    if (!i.Detail.empty()) item["detail"] = i.Detail;
    list.push_back(item);
  }
  return Dump({{"isIncomplete", false}, {"items", list}});
}

std::string DocumentSymbolsJson(const std::vector<TDocumentSymbol>& symbols) {
  json list = json::array();
  for (const TDocumentSymbol& s : symbols)
    list.push_back({{"name", s.Name},
                    {"detail", s.Detail},
                    {"kind", s.Kind},
                    {"range", ToJson(s.Range)},
                    {"selectionRange", ToJson(s.SelectionRange)}});
  return Dump(list);
}

std::string SymbolInformationJson(const std::vector<TSymbolInformation>& symbols) {
  json list = json::array();
  for (const TSymbolInformation& s : symbols)
    list.push_back({{"name", s.Name}, {"kind", s.Kind}, {"location", ToJson(s.Location)}});
  return Dump(list);
}

std::string SemanticTokensJson(const std::vector<std::uint32_t>& data) { return Dump({{"data", data}}); }

std::string InlayHintsJson(const std::vector<TInlayHint>& hints) {
  json list = json::array();
  for (const TInlayHint& h : hints)
    list.push_back({{"position", ToJson(h.Position)}, {"label", h.Label}, {"paddingLeft", true}});
  return Dump(list);
}

}  // namespace veltas::lsp
