// libFuzzer target for the language server's message layer: arbitrary bytes,
// cut into chunks, through the splitter into a server. For every input: each
// outgoing message is JSON-RPC 2.0, a notification or an answer; each answer
// carries the id of a message of its batch, and every request of the batch
// gets exactly one. A violation aborts, so libFuzzer keeps the input.
// Layout: the first byte sets the chunk size, the rest is the stream.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "lsp/server.h"
#include "lsp/transport.h"

namespace {

using nlohmann::json;

void Check(bool ok, const char* what, const std::string& seen) {
  if (ok) return;
  std::fprintf(stderr, "\n*** invariant violated: %s\n%s\n", what, seen.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::vector<std::string> out;
  veltas::lsp::TServer server([&](const std::string& body) { out.push_back(body); }, "");
  veltas::lsp::TMessageSplitter splitter;
  const std::size_t chunk = 1 + data[0] * 16u;
  std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (std::size_t at = 0; at < stream.size() && !server.Exited; at += chunk) {
    std::vector<std::string> bodies = splitter.Feed(stream.substr(at, chunk));
    std::map<std::string, int> requests, ids;  // by id: requests, messages the server may answer
    for (std::string& body : bodies) {
      // Every URI below a directory that doesn't exist: no workspace walk, no file from the disk.
      for (std::size_t p = 0; (p = body.find("file://", p)) != std::string::npos; p += 7)
        body.insert(p + 7, "/veltas-fuzz-none");
      json j = json::parse(body, nullptr, false);
      if (!j.is_object() || !j.contains("id") || !(j["id"].is_number_integer() || j["id"].is_string())) continue;
      ++ids[j["id"].dump()];
      if (j.contains("method") && j["method"].is_string()) ++requests[j["id"].dump()];
    }
    out.clear();
    server.HandleBatch(bodies);
    server.Flush();  // the debounce interval passes
    std::map<std::string, int> answers;
    for (const std::string& m : out) {
      json j = json::parse(m, nullptr, false);
      Check(j.is_object() && j.contains("jsonrpc") && j["jsonrpc"] == "2.0", "not JSON-RPC 2.0", m);
      if (j.contains("method")) {
        Check(!j.contains("id") && j["method"].is_string() && j.contains("params"), "a bad notification", m);
        continue;
      }
      Check(j.contains("id") && j.contains("result") != j.contains("error"), "neither notification nor answer", m);
      if (!j["id"].is_null()) Check(++answers[j["id"].dump()] <= ids[j["id"].dump()], "an answer too many", m);
    }
    for (const auto& [id, n] : requests) Check(answers[id] >= n, "a request without its answer", id);
  }
  return 0;
}
