// The language server in process. Every tests/lsp/<case>/ holds the files
// of a program (a folder devices/ stands for the devices directory),
// "script" (the client's messages, "---" between them, "+++" between two
// that arrive in one read, ROOT/ for the case's directory) and "expected"
// (every message the server sends, pretty-printed, "---" between, after
// each client message a line "==="), written by hand from the protocol and
// the assembler's rules. Plus the framing, fed a byte at a time.
#include <gtest/gtest.h>

#ifdef VELTAS_HAS_LSP
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "lsp/server.h"
#include "lsp/transport.h"
#include "tests/support/process.h"

#ifndef VELTAS_DEVICES_DIR
#define VELTAS_DEVICES_DIR ""
#endif

namespace veltas::testing {
namespace {

namespace fs = std::filesystem;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t p = 0; !from.empty() && (p = text.find(from, p)) != std::string::npos; p += to.size())
    text.replace(p, from.size(), to);
  return text;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class Lsp : public ::testing::TestWithParam<std::string> {};

TEST_P(Lsp, AnswersAsWritten) {
  const fs::path dir = fs::path(VELTAS_SOURCE_DIR) / "tests" / "lsp" / GetParam();
  TScratchDir root;
  for (const auto& e : fs::directory_iterator(dir))
    if (std::string n = e.path().filename().string(); n != "script" && n != "expected" && n != "README")
      fs::copy(e.path(), root / n);
  std::string rootPath = root.Path(), out;
  std::string devices = fs::exists(dir / "devices") ? rootPath + "/devices" : VELTAS_DEVICES_DIR;
  lsp::TServer server([&](const std::string& body) { out += nlohmann::json::parse(body).dump(2) + "\n---\n"; },
                      devices);
  std::istringstream script(Replace(ReadText(dir / "script"), "ROOT/", rootPath + "/"));
  std::vector<std::string> batch(1);
  auto send = [&] {
    if (batch.back().find_first_not_of(" \n") == std::string::npos) batch.pop_back();
    if (!batch.empty()) server.HandleBatch(batch), server.Flush(), out += "===\n";
    batch.assign(1, "");
  };
  for (std::string line; std::getline(script, line);)
    if (line == "---")
      send();
    else if (line == "+++")
      batch.emplace_back();
    else if (!line.starts_with("#"))
      batch.back() += line + "\n";
  send();
  out = Replace(Replace(out, rootPath + "/", "ROOT/"), std::string(VELTAS_DEVICES_DIR), "DEVICES");
  if (const char* actual = std::getenv("VELTAS_LSP_ACTUAL")) std::ofstream(fs::path(actual) / GetParam()) << out;
  EXPECT_EQ(out, ReadText(dir / "expected"));
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(fs::path(VELTAS_SOURCE_DIR) / "tests" / "lsp"))
    if (e.is_directory()) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, Lsp, ::testing::ValuesIn(CaseNames()), [](const auto& info) { return info.param; });

// A byte at a time, a header without length, a length spelled otherwise
// beside another header; a body over the limit read and dropped.
TEST(LspFraming, SplitsTheStreamIntoBodies) {
  std::string stream = "Content-Length: 2\r\n\r\n{}X-Junk: 1\r\n\r\ncontent-length:3\r\nContent-Type: x\r\n\r\n[1]";
  lsp::TMessageSplitter byByte;
  std::vector<std::string> bodies;
  for (char c : stream)
    for (std::string& b : byByte.Feed(std::string(1, c))) bodies.push_back(b);
  EXPECT_EQ(bodies, (std::vector<std::string>{"{}", "[1]"}));
  EXPECT_EQ(byByte.Dropped, 1);
  lsp::TMessageSplitter big;
  EXPECT_TRUE(big.Feed("Content-Length: 67108865\r\n\r\n" + std::string(67108865, 'x') + lsp::Frame("{}")) ==
              std::vector<std::string>{"{}"});
}

// The program: shutdown then exit ends with 0, a vanished client with 1.
TEST(LspProgram, EndsAsTheProtocolSays) {
  std::string session = lsp::Frame(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})") +
                        lsp::Frame(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})") +
                        lsp::Frame(R"({"jsonrpc":"2.0","method":"exit"})");
  TScratchDir dir;
  dir.Write("in", session);
  EXPECT_EQ(RunProcess(VELTAS_LSP, {}, dir.Path(), "in").ExitStatus, 0);
  dir.Write("in", session.substr(0, session.size() / 2));
  EXPECT_EQ(RunProcess(VELTAS_LSP, {}, dir.Path(), "in").ExitStatus, 1);
}

}  // namespace
}  // namespace veltas::testing
#endif
