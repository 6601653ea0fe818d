// The language reference (docs/language.md) cannot rot: every `pic` block
// assembles, each "; = word" comment is the word its line gives (in address
// order), and the instruction table is the data file's.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "tests/support/run.h"

namespace veltas::testing {
namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const std::string kDoc = ReadText(VELTAS_SOURCE_DIR "/docs/language.md");

TEST(LanguageReference, ExamplesGiveTheirWords) {
  std::regex block("```pic\n([^`]*)```"), word(";\\s*=\\s*([0-9A-F ]+)$");
  int blocks = 0;
  for (std::sregex_iterator it(kDoc.begin(), kDoc.end(), block), end; it != end; ++it, ++blocks) {
    std::string source = (*it)[1], expected, actual;
    std::istringstream lines(source);
    for (std::string line; std::getline(lines, line);)
      if (std::smatch m; std::regex_search(line, m, word)) expected += " " + std::regex_replace(m[1].str(), std::regex(" +$"), "");
    TRun run = RunProgram({{"main.pic", Cp1252(source)}});
    ASSERT_EQ(run.Result.Outcome, driver::TRunOutcome::Success) << source << Utf8(run.Result.ErrorMessage);
    char text[8];
    for (auto [address, w] : HexWords(run.Hex))
      if (address < 0x10000) std::snprintf(text, sizeof text, " %04X", w), actual += text;
    EXPECT_EQ(actual, expected) << source;
  }
  EXPECT_GE(blocks, 7);
}

TEST(LanguageReference, InstructionTableIsTheDataFile) {
  std::istringstream forms(ReadText(VELTAS_SOURCE_DIR "/editors/forms.txt"));
  std::string table = "| Name | Operands | What it does |\n|---|---|---|\n";
  for (std::string line; std::getline(forms, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::size_t a = line.find('\t'), b = line.find('\t', a + 1);
    std::string form = line.substr(a + 1, b - a - 1), what = line.substr(b + 1);
    table += "| `" + line.substr(0, a) + "` | " + std::regex_replace(form.empty() ? "—" : form, std::regex("\\|"), "\\|") +
             " | " + std::regex_replace(what, std::regex("\\|"), "\\|") + " |\n";
  }
  std::size_t begin = kDoc.find("<!-- forms:begin -->\n") + 21, end = kDoc.find("<!-- forms:end -->");
  EXPECT_EQ(kDoc.substr(begin, end - begin), table);
}

}  // namespace
}  // namespace veltas::testing
