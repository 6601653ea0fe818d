// Statement cases. Every tests/cases/*.pic is a list of source lines, each
// with what it must give, written like the language's own examples:
//   LINE ; = 1683 F001     the words the line assembles to (hexadecimal)
//   LINE ; = 14            no words but a label: its value in decimal (a
//                          point marks a floating value); "=" alone: nothing
//   LINE ; ! text @12      the message and its column; @+1:5 a line further
//                          down; @file:line:column in an include file; a
//                          trailing [1C00]: the word on the listing's error line
//   a | b ; ...            the lines a and b; a is the case
//   LINE                   a definition for the later cases of its paragraph
//                          (of the whole file in the file's first paragraph)
//   >> name: a | b         an include file of the lines a and b
//   ;; text                a comment
// The expectation is the last ";" followed by "=" or "!". Each case is
// assembled as a whole program: the definitions, then the line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "isa/table.h"
#include "state/state.h"
#include "symbols/symbols.h"
#include "tests/support/run.h"

namespace veltas::testing {
namespace {

namespace fs = std::filesystem;

struct TCase {
  int Number;                // line in the case file
  std::string Line;          // the source line
  std::string Expected;      // "= words", "= value" or "! message @position"
  std::vector<std::string> Definitions;
  std::map<std::string, std::string> Includes;
};

std::string TrimRight(std::string text, const char* blanks = " \t\r") {
  std::size_t end = text.find_last_not_of(blanks);
  return text.substr(0, end == std::string::npos ? 0 : end + 1);
}

// "a | b" stands for the lines a and b.
std::string Lines(std::string text) {
  for (std::size_t p; (p = text.find(" | ")) != std::string::npos;) text.replace(p, 3, "\n");
  return text + "\n";
}

std::vector<TCase> ReadCases(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<TCase> cases;
  // What the file's first paragraph defines holds for the whole file.
  std::vector<std::string> fileDefs, defs;
  std::map<std::string, std::string> fileIncludes, includes;
  bool first = true, content = false;
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    text = TrimRight(text);
    if (text.rfind(";;", 0) == 0) continue;
    if (text.empty()) {
      if (first && content) fileDefs = defs, fileIncludes = includes, first = false;
      defs = fileDefs, includes = fileIncludes;
      continue;
    }
    content = true;
    if (text.rfind(">> ", 0) == 0) {
      std::size_t colon = text.find(':');
      includes[text.substr(3, colon - 3)] = colon + 2 < text.size() ? Lines(text.substr(colon + 2)) : "";
      continue;
    }
    std::size_t mark = std::string::npos, q;
    for (std::size_t p = text.find(';'); p != std::string::npos; p = text.find(';', p + 1))
      if (q = text.find_first_not_of(' ', p + 1); q != std::string::npos && (text[q] == '=' || text[q] == '!')) mark = p;
    if (mark == std::string::npos)
      defs.push_back(text);
    else
      cases.push_back({number, TrimRight(text.substr(0, mark), " "), text.substr(text.find_first_not_of(' ', mark + 1)),
                       defs, includes});
  }
  return cases;
}

std::string Hex4(unsigned w) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", w);
  return text;
}

// What the case's line gave, in the notation of the case files. A label
// behind the line makes pass 2 check that pass 1 counted the line's words.
std::string Outcome(const TCase& c) {
  std::map<std::string, std::string> files;
  for (const auto& [name, text] : c.Includes) files[name] = Cp1252(text);
  std::string& main = files["main.pic"];
  for (const std::string& d : c.Definitions) main += Cp1252(d) + "\n";
  main += "__here:\n" + Cp1252(Lines(c.Line)) + "__end:\n";
  int caseLine = static_cast<int>(c.Definitions.size()) + 2;
  TRun run = RunProgram(files);
  const driver::TRunResult& r = run.Result;
  if (r.Outcome != driver::TRunOutcome::Success) {
    std::string where = std::to_string(r.ErrorColumn);
    if (r.ErrorFile != "main.pic")
      where = r.ErrorFile + ":" + std::to_string(r.ErrorLine) + ":" + where;
    else if (r.ErrorLine != caseLine)
      where = "+" + std::to_string(r.ErrorLine - caseLine) + ":" + where;
    std::string out = "! " + Utf8(r.ErrorMessage) + " @" + where;
    // The word the listing shows on the error line of a failing instruction.
    if (c.Expected.ends_with("]")) out += " [" + Hex4(state::CodeWords[0]) + "]";
    return out;
  }
  std::map<std::uint32_t, std::uint16_t> words = HexWords(run.Hex);
  // Newest first: __end (unless END came before it), the line's last label
  // (if it has one), __here.
  std::size_t i = symbols::SymbolNewestFirst(0).Name == "__end" ? 1 : 0;
  const symbols::TSymbol& newest = symbols::SymbolNewestFirst(i);
  bool labelled = newest.Name != "__here";
  const symbols::TSymbol* here = &newest;
  while (here->Name != "__here") here = &symbols::SymbolNewestFirst(++i);
  std::string out = "=";
  auto address = static_cast<std::uint32_t>(here->Value);
  if (here->Segment == symbols::SymCode)
    for (auto it = words.find(address); it != words.end() && it->first == address; ++it, ++address)
      out += " " + Hex4(it->second);
  if (out == "=" && labelled) {
    char value[32];
    if (newest.ValueType == symbols::TypeFloat) {
      std::snprintf(value, sizeof value, "%.15g", newest.FloatValue);
      if (!std::strpbrk(value, ".e")) std::strcat(value, ".0");
    } else {
      std::snprintf(value, sizeof value, "%d", static_cast<int>(newest.Value));
    }
    out += std::string(" ") + value;
  }
  return out;
}

class Cases : public ::testing::TestWithParam<std::string> {};

TEST_P(Cases, EveryLineGivesWhatItSays) {
  fs::path path = fs::path(VELTAS_SOURCE_DIR) / "tests" / "cases" / GetParam();
  std::vector<TCase> cases = ReadCases(path);
  EXPECT_FALSE(cases.empty());
  for (const TCase& c : cases) EXPECT_EQ(Outcome(c), c.Expected) << GetParam() << ":" << c.Number << ":  " << c.Line;
}

std::vector<std::string> CaseFiles() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(fs::path(VELTAS_SOURCE_DIR) / "tests" / "cases"))
    if (e.path().extension() == ".pic") names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Files, Cases, ::testing::ValuesIn(CaseFiles()), [](const auto& info) {
  return info.param.substr(0, info.param.size() - 4);
});

// The instruction sets of the cores as the data sheets list them (with the
// pseudo-instruction SKIP): every other row of the table is refused in pass
// 1. The 14-bit core also takes the enhanced core's additions. Directives
// pass under every core.
TEST(InstructionSets, EachCoreTakesExactlyItsInstructions) {
  const std::string directives = " BIT CORE12 CORE14 CORE14ENH CORE16 DATA DS END EQU INCLUDE ORG SEG TITLE ";
  const std::string base = " ADDWF ANDWF CLRF CLRW COMF DECF DECFSZ INCF INCFSZ IORWF MOVF MOVWF NOP RLF RRF SUBWF SWAPF"
                           " XORWF BCF BSF BTFSC BTFSS ANDLW CALL CLRWDT GOTO IORLW MOVLW OPTION RETLW SLEEP TRIS"
                           " XORLW SKIP";
  const std::string core14 = base + " ADDLW SUBLW RETURN RETFIE ADDWFC SUBWFB ASRF LSLF LSRF BRA BRW CALLW RESET"
                                    " MOVLB MOVLP ADDFSR0 ADDFSR1 MOVIW MOVWI";
  const std::map<std::string, std::string> sets = {
      {"CORE12", base},
      {"CORE14", core14},
      {"CORE14ENH", core14},
      {"CORE16", " ADDWF ADDWFC ANDWF CLRF COMF CPFSEQ CPFSGT CPFSLT DECF DECFSZ DCFSNZ DECFSNZ INCF INCFSZ INFSNZ"
                 " IORWF MOVF MOVFF MOVWF MULWF NEGF RLCF RLNCF RRCF RRNCF SETF SUBFWB SUBWF SUBWFB SWAPF TSTFSZ"
                 " XORWF BCF BSF BTFSC BTFSS BTG TOGGLE BC BN BNC BNN BNOV BNZ BOV BRA BZ CALL CLRWDT DAW GOTO NOP"
                 " POP PUSH RCALL RESET RETFIE RETLW RETURN SLEEP ADDLW ANDLW IORLW LFSR MOVLB MOVLW MULLW SUBLW"
                 " XORLW TBLRD* TBLRD*+ TBLRD*- TBLRD+* TBLWT* TBLWT*+ TBLWT*- TBLWT+* SKIP CONFIG"},
  };
  for (const auto& [core, set] : sets) {
    for (const isa::TMnemonicEntry& row : isa::Mnemonics) {
      std::string name(row.Name);
      TRun run = RunProgram({{"main.pic", core + "\n" + name + "\n"}});
      bool refused = !run.Result.FailedInPass2 && Utf8(run.Result.ErrorMessage) == "diesen Befehl kennt der gewählte PIC nicht";
      bool known = (set + directives).find(" " + name + " ") != std::string::npos;
      EXPECT_NE(refused, known) << core << " " << name;
    }
  }
}

}  // namespace
}  // namespace veltas::testing
