// The host's source-file stack: line reading, include files and their line
// numbers, through the THostHooks record as the core uses it.
#include <gtest/gtest.h>

#include "host/host.h"
#include "source/lines.h"
#include "state/state.h"
#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

using source::CurrentLine;
using source::Hooks;

class HostTest : public ::testing::Test {
 protected:
  void Start(const std::string& mainText) {
    files.Inputs["dir/main.pic"] = mainText;
    host::InstallHooks(files);
    host::BindMainSource("dir/main.pic");
    host::SourceDir = "dir/";
    state::ClearError();
    Hooks.RewindSource();
  }
  // Every line of the current file until ReadSourceLine says it ended.
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    while (Hooks.ReadSourceLine()) lines.push_back(CurrentLine);
    EXPECT_EQ(CurrentLine, "") << "the call at the end leaves an empty line";
    return lines;
  }
  TMemoryFiles files;
};

TEST_F(HostTest, LineEndsAreLfOrCrLfAndLoneCarriageReturnsVanish) {
  Start("one\r\ntwo\nth\rree\r\n\nlast");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "two", "three", "", "last"}));
}

TEST_F(HostTest, CrLfSplitBetweenTwoReadsIsOneLineEnd) {
  // The in-memory file hands out 5 bytes first: the CR ends that piece.
  Start("abcd\r\nefg\n");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"abcd", "efg"}));
}

TEST_F(HostTest, LastLineWithoutLineEndIsStillRead) {
  Start("a\nb");
  EXPECT_TRUE(Hooks.ReadSourceLine());
  EXPECT_EQ(CurrentLine, "a");
  EXPECT_TRUE(Hooks.ReadSourceLine());
  EXPECT_EQ(CurrentLine, "b");
  EXPECT_FALSE(Hooks.ReadSourceLine());
  EXPECT_EQ(CurrentLine, "");
  EXPECT_EQ(source::LinePos, 1);
}

TEST_F(HostTest, CtrlZEndsTheFileInTheMiddleOfALine) {
  Start("a\nb\x1A" "c\nd\n");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(Hooks.ReadSourceLine()) << "what follows Ctrl-Z is never read";
}

TEST_F(HostTest, CtrlZAtTheStartMeansAnEmptyFile) {
  Start("\x1A" "NOP\n");
  EXPECT_EQ(Lines(), std::vector<std::string>{});
}

TEST_F(HostTest, LinesHaveNoLengthLimit) {
  std::string longLine(3'000'000, 'x');
  Start(longLine + "\nshort\n");
  EXPECT_EQ(Lines(), (std::vector<std::string>{longLine, "short"}));
}

TEST_F(HostTest, NulBytesStayInTheLine) {
  Start(std::string("a\0b\n", 4));
  EXPECT_EQ(Lines(), std::vector<std::string>{std::string("a\0b", 3)});
}

TEST_F(HostTest, BareIncludeNameIsFoundBesideTheMainSource) {
  Start("x\n");
  files.Inputs["dir/defs.inc"] = "inner\n";
  ASSERT_TRUE(Hooks.OpenInclude("defs.inc", 12));
  EXPECT_EQ(source::IncludeDepth, 1);
  EXPECT_EQ(host::CurrentFileName(), "dir/defs.inc");
  EXPECT_TRUE(Hooks.ReadSourceLine());
  EXPECT_EQ(CurrentLine, "inner");
  EXPECT_FALSE(Hooks.ReadSourceLine());
  EXPECT_EQ(Hooks.CloseInclude(), 13) << "an include opened on line 12 resumes its parent at 13";
  EXPECT_EQ(source::IncludeDepth, 0);
  EXPECT_EQ(host::CurrentFileName(), "dir/main.pic");
}

TEST_F(HostTest, IncludeNameWithDirectoryIsUsedAsWritten) {
  Start("x\n");
  files.Inputs["sub\\defs.inc"] = "y\n";
  ASSERT_TRUE(Hooks.OpenInclude("sub\\defs.inc", 1));
  EXPECT_EQ(host::CurrentFileName(), "sub\\defs.inc");
}

TEST_F(HostTest, MissingIncludeLeavesTheStackAndSaysWhichFile) {
  Start("x\n");
  EXPECT_FALSE(Hooks.OpenInclude("gone.inc", 4));
  EXPECT_EQ(source::IncludeDepth, 0);
  EXPECT_EQ(state::ErrorText, "! kann Datei \"dir/gone.inc\" nicht finden");
}

TEST_F(HostTest, RewindReadsTheMainSourceFromItsFirstLineAgain) {
  Start("first\nsecond\n");
  EXPECT_TRUE(Hooks.ReadSourceLine());
  EXPECT_TRUE(Hooks.ReadSourceLine());
  Hooks.RewindSource();
  EXPECT_TRUE(Hooks.ReadSourceLine());
  EXPECT_EQ(CurrentLine, "first");
}

TEST(DirectoryPart, EndsAtTheLastSeparator) {
  EXPECT_EQ(host::DirectoryPart("D:\\work\\prog.pic"), "D:\\work\\");
  EXPECT_EQ(host::DirectoryPart("D:prog.pic"), "D:");
  EXPECT_EQ(host::DirectoryPart("prog.pic"), "");
#ifndef _WIN32
  EXPECT_EQ(host::DirectoryPart("src/lib/prog.pic"), "src/lib/");
#endif
}

}  // namespace
}  // namespace veltas::testing
