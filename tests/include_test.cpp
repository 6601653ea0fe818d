// INCLUDE and line numbering across nested files, as the error report shows
// them: the file of the failing line and its number within that file.
#include <gtest/gtest.h>

#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

using driver::TRunOutcome;

struct TWhere {
  std::string File;
  int Line;
  std::string Message;  // UTF-8
};

TWhere ErrorOf(const std::map<std::string, std::string>& files, std::vector<std::string> args = {"main.pic"}) {
  TRun run = RunProgram(files, std::move(args));
  EXPECT_EQ(run.Result.Outcome, TRunOutcome::AssemblyError);
  return {run.Result.ErrorFile, run.Result.ErrorLine, run.Result.ErrorMessage};
}

void ExpectError(const TWhere& actual, const std::string& file, int line, const std::string& message) {
  EXPECT_EQ(actual.File, file);
  EXPECT_EQ(actual.Line, line);
  EXPECT_EQ(actual.Message, Cp1252(message));
}

TEST(Include, IncludedLinesCountFromOneAndTheParentResumesAfterTheInclude) {
  std::string main;
  for (int i = 1; i <= 11; ++i) main += "  NOP\n";
  main += "  INCLUDE a.inc\n  BAD\n";  // lines 12 and 13
  ExpectError(ErrorOf({{"main.pic", main}, {"a.inc", "  NOP\n  NOP\n"}}), "main.pic", 13, "illegale Operation");
  ExpectError(ErrorOf({{"main.pic", main}, {"a.inc", "  NOP\n  BAD\n"}}), "a.inc", 2, "illegale Operation");
}

TEST(Include, NestedFilesThatEndTogetherHandOverToTheFirstWithLinesLeft) {
  std::map<std::string, std::string> files = {
      {"main.pic", "  INCLUDE a.inc\n  NOP\n  BAD\n"},
      {"a.inc", "  NOP\n  INCLUDE b.inc\n"},  // the include is a.inc's last line
      {"b.inc", "  NOP\n"},
  };
  ExpectError(ErrorOf(files), "main.pic", 3, "illegale Operation");
  files["b.inc"] = "  NOP\n  BAD\n";
  ExpectError(ErrorOf(files), "b.inc", 2, "illegale Operation");
}

TEST(Include, EmptyIncludeFileHandsOverAtOnce) {
  ExpectError(ErrorOf({{"main.pic", "  INCLUDE e.inc\n  BAD\n"}, {"e.inc", ""}}), "main.pic", 2, "illegale Operation");
}

TEST(Include, NameIsTakenLiterally) {
  // Quotes stay part of the name; an inner blank stays; trailing blanks go,
  // a trailing tab does not.
  std::map<std::string, std::string> files = {{"a.inc", "  NOP\n"}, {"my file.inc", "  BAD\n"}};
  files["main.pic"] = "  INCLUDE \"a.inc\"\n";
  ExpectError(ErrorOf(files), "main.pic", 1, "! kann Datei \"\"a.inc\"\" nicht finden");
  files["main.pic"] = "  INCLUDE my file.inc  ; comment\n";
  ExpectError(ErrorOf(files), "my file.inc", 1, "illegale Operation");
  files["main.pic"] = "  INCLUDE a.inc   \n  BAD\n";
  ExpectError(ErrorOf(files), "main.pic", 2, "illegale Operation");
  files["main.pic"] = "  INCLUDE a.inc\t\n";
  ExpectError(ErrorOf(files), "main.pic", 1, "! kann Datei \"a.inc\t\" nicht finden");
}

TEST(Include, FailingIncludeNamesTheFileAsWrittenAndIsCutAt80) {
  std::string name(70, 'n');
  TRun run = RunProgram({{"dir/main.pic", "  INCLUDE " + name + "\n"}}, {"dir/main.pic"});
  ASSERT_EQ(run.Result.Outcome, TRunOutcome::AssemblyError);
  std::string message = "! kann Datei \"" + name;
  EXPECT_EQ(run.Result.ErrorMessage, message.substr(0, 80)) << "no directory prefix, cut inside the name";
}

TEST(Include, BareNamesAreFoundBesideTheMainSourceFromAnyIncludeFile) {
  TRun run = RunProgram({{"dir/main.pic", "  INCLUDE other/x.inc\n"},
                         {"other/x.inc", "  INCLUDE y.inc\n"},
                         {"dir/y.inc", "  NOP\n"},
                         {"other/y.inc", "  BAD\n"}},
                        {"dir/main.pic"});
  EXPECT_EQ(run.Result.Outcome, TRunOutcome::Success) << run.Result.ErrorFile;
}

TEST(Include, SameFileTwiceDefinesItsLabelsTwice) {
  ExpectError(ErrorOf({{"main.pic", "  INCLUDE a.inc\n  INCLUDE a.inc\n"}, {"a.inc", "  NOP\nL: NOP\n"}}), "a.inc", 2,
              "deklariere Marken nicht zweimal!");
}

TEST(Include, SelfIncludeStopsAtTheSeventhLevel) {
  TRun run = RunProgram({{"main.pic", "  INCLUDE a.inc\n"}, {"a.inc", "  INCLUDE a.inc\n"}});
  ASSERT_EQ(run.Result.Outcome, TRunOutcome::AssemblyError);
  EXPECT_EQ(run.Result.ErrorMessage, "zu viele verschachtelte Include-Dateien");
  EXPECT_EQ(run.Result.ErrorFile, "a.inc");
  EXPECT_EQ(run.Result.ErrorLine, 1);
  EXPECT_EQ(run.Result.ErrorColumn, 16) << "found after the operand was read";
}

TEST(Include, SevenNestedFilesWork) {
  std::map<std::string, std::string> files = {{"main.pic", "  INCLUDE 1.inc\n"}};
  for (int i = 1; i <= 6; ++i) files[std::to_string(i) + ".inc"] = "  INCLUDE " + std::to_string(i + 1) + ".inc\n";
  files["7.inc"] = "  NOP\n";
  EXPECT_EQ(RunProgram(files).Result.Outcome, TRunOutcome::Success);
  files["7.inc"] = "  INCLUDE 8.inc\n";
  files["8.inc"] = "  NOP\n";
  ExpectError(ErrorOf(files), "7.inc", 1, "zu viele verschachtelte Include-Dateien");
}

TEST(Include, EndIsRefusedInIncludeFiles) {
  ExpectError(ErrorOf({{"main.pic", "  INCLUDE a.inc\n"}, {"a.inc", "  END\n"}}), "a.inc", 1,
              "\"END\" ist in Include-Dateien nicht erlaubt");
}

}  // namespace
}  // namespace veltas::testing
