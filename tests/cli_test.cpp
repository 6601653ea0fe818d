// veltas-cli end to end: status text on stdout, the editors' error line on
// stderr, exit status and the files left behind.
#include <gtest/gtest.h>

#include "tests/support/assemble.h"
#include "tests/support/process.h"

namespace veltas::testing {
namespace {

const std::string kBanner =
    "Veltas V2.13 (32bit) Assembler für MicroChip PIC-Controller (12+14 Bit Core)\n";

std::string Translating(const std::string& source, const std::string& base) {
  return "übersetze " + source + " nach " + base + ".HEX (HEX-Datei)  +  " + base + ".PRN (AssemblerListe)\n";
}

TProcessResult Cli(const TScratchDir& dir, const std::vector<std::string>& args) {
  return RunProcess(VELTAS_CLI, args, dir.Path());
}

TEST(Cli, SuccessPrintsTheStatusAndWritesBothFiles) {
  TScratchDir dir;
  dir.Write("prog.pic", "  MOVLW 5\n");
  TProcessResult r = Cli(dir, {"prog.pic"});
  EXPECT_EQ(r.ExitStatus, 0);
  EXPECT_EQ(r.Err, "");
  EXPECT_EQ(r.Out, kBanner + Translating("prog.pic", "prog") +
                       "\nPass 1 ...done\nPass 2 ...done\n"
                       "Code\tbis \t0000h : Keine Fehler gefunden.\n"
                       "Fuses  @ 2007h : fehlen!\n"
                       "ID 2000..2003h : fehlen!\n");
  EXPECT_EQ(dir.Read("prog.HEX"), ":020000000530C9\r\n:00000001FF\r\n");
  EXPECT_TRUE(dir.Exists("prog.PRN"));
}

TEST(Cli, NoArgumentIsAUsageError) {
  TScratchDir dir;
  TProcessResult r = Cli(dir, {});
  EXPECT_EQ(r.ExitStatus, 2);
  EXPECT_EQ(r.Out, "Benutzung:  VELTAS [-L] Quelldatei     ( -L = Adreßliste ausgeben)\n");
}

TEST(Cli, MissingSourceCreatesNothing) {
  TScratchDir dir;
  TProcessResult r = Cli(dir, {"nope"});
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Out, kBanner + Translating("nope.PIC", "nope") + "Datei nope.PIC nicht gefunden\n");
  EXPECT_FALSE(dir.Exists("nope.HEX"));
  EXPECT_FALSE(dir.Exists("nope.PRN"));
}

TEST(Cli, Pass1ErrorReportsWhereAndWritesNoFile) {
  TScratchDir dir;
  dir.Write("prog.pic", "  NOP\n  FOO 1\n");
  TProcessResult r = Cli(dir, {"prog.pic"});
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Out, kBanner + Translating("prog.pic", "prog") +
                       "\nPass 1\n  FOO? 1\n\nFehler: illegale Operation in\n\"prog.pic\"  Zeile 2 bei Pos 6\n");
  EXPECT_EQ(r.Err, "prog.pic:2:6: error: illegale Operation\n");
  EXPECT_FALSE(dir.Exists("prog.HEX"));
  EXPECT_FALSE(dir.Exists("prog.PRN"));
}

TEST(Cli, Pass2ErrorRemovesTheIncompleteHexFileButKeepsTheListing) {
  TScratchDir dir;
  dir.Write("prog.pic", "  NOP\n  MOVLW 300\n");
  TProcessResult r = Cli(dir, {"prog.pic"});
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Err, "prog.pic:2:12: error: Wert außerhalb des zulässigen Bereiches\n");
  EXPECT_FALSE(dir.Exists("prog.HEX"));
  std::string prn = dir.Read("prog.PRN");
  std::string errorLine = Cp1252("*** Fehler:          Wert außerhalb des zulässigen Bereiches\r\n");
  ASSERT_GE(prn.size(), errorLine.size());
  EXPECT_EQ(prn.substr(prn.size() - errorLine.size()), errorLine);
}

TEST(Cli, MessagesWithSourceTextAreShownInUtf8) {
  TScratchDir dir;
  dir.Write("prog.pic", Cp1252("  MOVLW Zähler\n"));
  TProcessResult r = Cli(dir, {"prog.pic"});
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Err, "prog.pic:1:15: error: Bezeichner \"Zähler\" ist nicht bekannt\n");
  EXPECT_NE(r.Out.find("  MOVLW Zähler?\n"), std::string::npos) << r.Out;
}

TEST(Cli, FileNamesAreShownAsTheSystemGivesThem) {
  TScratchDir dir;
  dir.Write("übung.pic", "  NOP\n");
  TProcessResult r = Cli(dir, {"übung.pic"});
  EXPECT_EQ(r.ExitStatus, 0);
  EXPECT_NE(r.Out.find(Translating("übung.pic", "übung")), std::string::npos) << r.Out;
  EXPECT_TRUE(dir.Exists("übung.HEX"));
}

TEST(Cli, SourcesFromCaseInsensitiveSystemsFindTheirFiles) {
  TScratchDir dir;
  dir.Write("prog.pic", "  INCLUDE DEFS.INC\n  INCLUDE sub\\More.inc\n");
  dir.Write("defs.inc", "  NOP\n");
  dir.Write("sub/more.inc", "  NOP\n");
  TProcessResult r = Cli(dir, {"PROG.PIC"});
  EXPECT_EQ(r.ExitStatus, 0) << r.Out << r.Err;
  EXPECT_TRUE(dir.Exists("PROG.HEX"));
}

TEST(Cli, SwitchMustComeBeforeTheName) {
  TScratchDir dir;
  dir.Write("prog.pic", "X: NOP\n");
  TProcessResult r = Cli(dir, {"-L", "prog.pic"});
  EXPECT_EQ(r.ExitStatus, 0);
  EXPECT_NE(dir.Read("prog.PRN").find("Symbol-Liste:\r\nX = CSEG 0000H\r\n"), std::string::npos);
  r = Cli(dir, {"prog.pic", "-L"});
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_NE(r.Out.find("Datei .PIC nicht gefunden\n"), std::string::npos) << r.Out;
}

}  // namespace
}  // namespace veltas::testing
