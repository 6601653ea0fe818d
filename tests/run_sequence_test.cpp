// The run sequence end to end, in memory: status texts, output names, the
// -L switch, the no-argument path with the file dialog, the error report and
// run-time I/O errors. Every expected status text is put together from the
// driver's literals and the report layout, not taken from a run.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver/run.h"
#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

const std::string kBanner = "Veltas V2.13 (32bit) Assembler für MicroChip PIC-Controller (12+14 Bit Core)\r";
const std::string kUsage = "Benutzung:  VELTAS [-L] Quelldatei     ( -L = Adreßliste ausgeben)\r";

std::string Translating(const std::string& source, const std::string& hex, const std::string& prn) {
  return "übersetze " + source + " nach " + hex + " (HEX-Datei)  +  " + prn + " (AssemblerListe)\r";
}

// The status up to "Pass 2" of a run that got through pass 1.
std::string ThroughPass1(const std::string& base) {
  return kBanner + Translating(base + ".pic", base + ".HEX", base + ".PRN") + "\rPass 1 ...done\rPass 2";
}

std::string ErrorReport(const std::string& marked, const std::string& message, const std::string& file, int line,
                        int pos) {
  return "\r" + marked + "\r\rFehler: " + message + " in\r\"" + file + "\"  Zeile " + std::to_string(line) +
         " bei Pos " + std::to_string(pos);
}

const std::string kWithErrors = "\r .. übersetzt mit Fehlern.";

struct TRunAll {
  driver::TRunResult Result;
  std::string Status;
  TMemoryFiles Files;
  TFakeWindow Window;
};

// Runs with a file system and a window the test can prepare and inspect.
void RunWith(TRunAll& run, const std::vector<std::string>& args) {
  run.Result = driver::RunSequence(args, run.Window, run.Files);
  run.Status = driver::StatusText.Raw();
}

struct TNameCase {
  std::string Given, Source, Hex, Prn;
};

// --- successful runs -------------------------------------------------------

TEST(RunSequence, SuccessfulRunShowsBannerPassesAndSummary) {
  TRun run = RunProgram({{"test.pic", "  ORG 0x12\n  NOP\n  ORG 0x2007\n  DATA 0x3FFF\n"}}, {"test.pic"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::Success);
  EXPECT_EQ(run.Status, Cp1252("Veltas V2.13 (32bit) Assembler für MicroChip PIC-Controller (12+14 Bit Core)\r"
                               "übersetze test.pic nach test.HEX (HEX-Datei)  +  test.PRN (AssemblerListe)\r"
                               "\rPass 1 ...done\rPass 2 ...done\r"
                               "Code\tbis \t0012h : Keine Fehler gefunden.\r"
                               "Fuses  @ 2007h : gesetzt\r"
                               "ID 2000..2003h : fehlen!\r"));
}

TEST(RunSequence, SuccessfulRunUnderCore14EnhReportsFuses2AndTheUpperConfigurationArea) {
  TRun run = RunProgram({{"t.pic", " CORE14ENH\n NOP\n ORG 0x8000\n DATA 1,2,3,4\n ORG 0x8007\n DATA 1\n"}}, {"t.pic"});
  EXPECT_EQ(run.Status, Cp1252(kBanner + Translating("t.pic", "t.HEX", "t.PRN") +
                               "\rPass 1 ...done\rPass 2 ...done\r"
                               "Code\tbis \t0000h : Keine Fehler gefunden.\r"
                               "Fuses  @ 8007h : gesetzt\r"
                               "Fuses2 @ 8008h : fehlen!\r"
                               "ID 8000..8003h : gesetzt\r"));
}

TEST(RunSequence, ClosingTheWindowDuringTheRunDoesNotStopIt) {
  TRunAll run;
  run.Files.Inputs["t.pic"] = " NOP\n";
  run.Window.PumpsBeforeClose = 1;  // closed at the first status text
  RunWith(run, {"t.pic"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::Success);
  EXPECT_EQ(run.Files.Outputs["t.HEX"], ":020000000000FE\r\n:00000001FF\r\n");
  EXPECT_TRUE(run.Status.ends_with("ID 2000..2003h : fehlen!\r"));
}

// --- missing source ----------------------------------------------------------

TEST(RunSequence, MissingSourceIsReportedAndNoOutputIsCreated) {
  TRunAll run;
  run.Files.Inputs["other.pic"] = " NOP\n";
  RunWith(run, {"test.pic"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::SourceMissing);
  EXPECT_EQ(run.Status,
            Cp1252(kBanner + Translating("test.pic", "test.HEX", "test.PRN") + "Datei test.pic nicht gefunden\r"));
  EXPECT_TRUE(run.Files.Outputs.empty());
  EXPECT_TRUE(run.Files.Opened.empty()) << "nothing is opened for reading";
}

TEST(RunSequence, TheSourceIsLookedForUnderTheDerivedName) {
  const TNameCase cases[] = {
      {"test", "test.PIC", "test.HEX", "test.PRN"},
      {"test.asm", "test.asm", "test.HEX", "test.PRN"},
      {"test.", "test..PIC", "test.HEX", "test.PRN"},
      {"..\\src\\prog", "..\\src\\prog.PIC", "..\\src\\prog.HEX", "..\\src\\prog.PRN"},
  };
  for (const TNameCase& c : cases) {
    TRunAll run;
    RunWith(run, {c.Given});
    EXPECT_EQ(run.Status, Cp1252(kBanner + Translating(c.Source, c.Hex, c.Prn) + "Datei " + c.Source +
                                 " nicht gefunden\r"));
  }
}

// --- error reports -----------------------------------------------------------

TEST(RunSequence, Pass1ErrorReportsWithoutCreatingOutputs) {
  TRunAll run;
  run.Files.Inputs["test.pic"] = "X: NOP\nX: NOP\n";
  RunWith(run, {"test.pic"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::AssemblyError);
  EXPECT_FALSE(run.Result.FailedInPass2);
  // The duplicate label stops just behind its colon: "?" in the middle.
  EXPECT_EQ(run.Status, Cp1252(kBanner + Translating("test.pic", "test.HEX", "test.PRN") + "\rPass 1" +
                               ErrorReport("X:? NOP", "deklariere Marken nicht zweimal!", "test.pic", 2, 3)));
  EXPECT_TRUE(run.Files.Outputs.empty());
}

TEST(RunSequence, Pass2ErrorMarksThePositionInsideTheLine) {
  TRun run = RunProgram({{"test.pic", "        NOP\n        MOVLW   5 6 ; note\n"}}, {"test.pic"});
  // The unread token "6" stands at position 19.
  EXPECT_EQ(run.Status,
            Cp1252(ThroughPass1("test") + kWithErrors +
                   ErrorReport("        MOVLW   5 ?6 ; note", "Ende des Ausdruckes erwartet", "test.pic", 2, 19)));
  EXPECT_TRUE(run.Result.FailedInPass2);
  EXPECT_EQ(run.Result.ErrorLine, 2);
  EXPECT_EQ(run.Result.ErrorColumn, 19);
}

TEST(RunSequence, ErrorAtTheLastCharacterMarksInFrontOfIt) {
  TRun run = RunProgram({{"test.pic", "        MOVLW   5 6\n"}}, {"test.pic"});
  EXPECT_EQ(run.Status, Cp1252(ThroughPass1("test") + kWithErrors +
                               ErrorReport("        MOVLW   5 ?6", "Ende des Ausdruckes erwartet", "test.pic", 1, 19)));
}

TEST(RunSequence, Pass2ErrorBeyondTheEndAppendsTheMark) {
  TRun run = RunProgram({{"test.pic", "        MOVLW   256\n"}}, {"test.pic"});
  EXPECT_EQ(run.Status,
            Cp1252(ThroughPass1("test") + kWithErrors +
                   ErrorReport("        MOVLW   256?", "Wert außerhalb des zulässigen Bereiches", "test.pic", 1, 20)));

  // The bit number is missing after the comma: the scan stands behind the
  // 12-character line.
  TRun bit = RunProgram({{"t.pic", "LOOP: BSF 3,\n"}}, {"t.pic"});
  EXPECT_EQ(bit.Status, Cp1252(ThroughPass1("t") + kWithErrors +
                               ErrorReport("LOOP: BSF 3,?", "Operand erwartet", "t.pic", 1, 13)));
}

// No statement can fail with the scan still on its first character (every
// error comes after at least one token), so the "?" in front of a whole line
// is not reachable from a source.

TEST(RunSequence, ErrorInAnIncludeFileNamesTheIncludeFileAsOpened) {
  TRunAll run;
  run.Files.Inputs["src\\main.pic"] = " NOP\n INCLUDE defs.inc\n NOP\n";
  run.Files.Inputs["src\\defs.inc"] = "; definitions\n MOVLW 300\n";
  RunWith(run, {"src\\main.pic"});
  EXPECT_EQ(run.Status, Cp1252(kBanner + Translating("src\\main.pic", "src\\main.HEX", "src\\main.PRN") +
                               "\rPass 1 ...done\rPass 2" + kWithErrors +
                               ErrorReport(" MOVLW 300?", "Wert außerhalb des zulässigen Bereiches",
                                           "src\\defs.inc", 2, 11)));
  EXPECT_EQ(run.Result.ErrorFile, "src\\defs.inc");
}

TEST(RunSequence, Pass1ErrorInAnIncludeFileNamesItToo) {
  TRunAll run;
  run.Files.Inputs["m.pic"] = " INCLUDE a.inc\n";
  run.Files.Inputs["a.inc"] = "\n\n END\n";
  RunWith(run, {"m.pic"});
  EXPECT_EQ(run.Status, Cp1252(kBanner + Translating("m.pic", "m.HEX", "m.PRN") + "\rPass 1" +
                               ErrorReport(" END?", "\"END\" ist in Include-Dateien nicht erlaubt", "a.inc", 3, 5)));
}

TEST(RunSequence, SourceLineAndMessageAreShownWithoutConversion) {
  // The source line is cp1252 already: its "ü" (FCh) must stay FCh. Only the
  // driver's own literals are converted from the OEM code page.
  TRun run = RunProgram({{"t.pic", "X: EQU 5 \xFC\n"}}, {"t.pic"});
  EXPECT_EQ(run.Status, Cp1252(kBanner + Translating("t.pic", "t.HEX", "t.PRN") + "\rPass 1") +
                            "\rX: EQU 5 ?\xFC\r\rFehler: Ende des Ausdruckes erwartet in\r\"t.pic\"  Zeile 1 bei Pos 10");
}

TEST(RunSequence, FileNamesAreShownAsGiven) {
  // A UTF-8 name from the command line is no cp1252 text: its bytes stay.
  TRunAll run;
  RunWith(run, {"pr\xC3\xBC" "f.pic"});
  EXPECT_EQ(run.Status, Cp1252(kBanner) + Cp1252("übersetze ") + "pr\xC3\xBC" "f.pic nach pr\xC3\xBC" "f.HEX" +
                            " (HEX-Datei)  +  pr\xC3\xBC" "f.PRN (AssemblerListe)\r" + "Datei pr\xC3\xBC" "f.pic" +
                            " nicht gefunden\r");
}

TEST(RunSequence, Pass2ErrorLeavesTheListingAndAnUnfinishedHexFile) {
  TRun run = RunProgram({{"t.pic", "A: NOP\n MOVLW 256\n"}}, {"-L", "t.pic"});
  ASSERT_TRUE(run.PrnWritten);
  ASSERT_TRUE(run.HexWritten);
  EXPECT_EQ(run.Hex, "") << "the open record and the end record are never written";
  EXPECT_TRUE(run.Prn.ends_with(Cp1252("*** Fehler:          Wert außerhalb des zulässigen Bereiches\r\n"
                                       "Symbol-Liste:\r\nA = CSEG 0000H\r\n")));
}

// --- the -L switch and the arguments -------------------------------------------

TEST(RunSequence, SwitchBeforeTheNameAddsTheSymbolList) {
  TRun run = RunProgram({{"test.pic", "A: NOP\n"}}, {"-L", "test.pic"});
  EXPECT_TRUE(run.Prn.ends_with("ID 2000..2003h : fehlen!\r\n\r\nSymbol-Liste:\r\nA = CSEG 0000H\r\n"));
}

TEST(RunSequence, WithoutTheSwitchThereIsNoSymbolList) {
  TRun run = RunProgram({{"test.pic", "A: NOP\n"}}, {"test.pic"});
  EXPECT_TRUE(run.Prn.ends_with("ID 2000..2003h : fehlen!\r\n\r\n"));
  EXPECT_EQ(run.Prn.find("Symbol-Liste:"), std::string::npos);
}

TEST(RunSequence, LowerCaseSwitchIsAFileName) {
  TRun run = RunProgram({{"test.pic", "A: NOP\n"}}, {"-l", "test.pic"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::Success);
  EXPECT_EQ(run.Prn.find("Symbol-Liste:"), std::string::npos);
}

TEST(RunSequence, SwitchAfterTheNameEmptiesTheName) {
  TRunAll run;
  run.Files.Inputs["test.pic"] = " NOP\n";
  RunWith(run, {"test.pic", "-L"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::SourceMissing);
  EXPECT_EQ(run.Status, Cp1252(kBanner + Translating(".PIC", ".HEX", ".PRN") + "Datei .PIC nicht gefunden\r"));
  EXPECT_TRUE(run.Files.Outputs.empty());
}

TEST(RunSequence, ArgumentContainingTheSwitchCountsAsTheSwitch) {
  TRunAll run;
  run.Files.Inputs["my-Lib.pic"] = " NOP\n";
  RunWith(run, {"my-Lib.pic"});
  EXPECT_EQ(run.Status, Cp1252(kBanner + Translating(".PIC", ".HEX", ".PRN") + "Datei .PIC nicht gefunden\r"));
}

TEST(RunSequence, OnlyTheLastOfSeveralNamesIsAssembled) {
  TRunAll run;
  run.Files.Inputs["a.pic"] = " NOP\n";
  run.Files.Inputs["b.pic"] = " CLRW\n";
  RunWith(run, {"a.pic", "-L", "b.pic"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::Success);
  EXPECT_EQ(run.Files.Outputs.count("a.HEX"), 0u);
  EXPECT_EQ(run.Files.Outputs["b.HEX"], ":020000000001FD\r\n:00000001FF\r\n");
  EXPECT_TRUE(run.Files.Outputs["b.PRN"].ends_with("\r\nSymbol-Liste:\r\n")) << "the switch still counts";
  EXPECT_EQ(std::count(run.Files.Opened.begin(), run.Files.Opened.end(), "a.pic"), 0);
}

// --- no argument: usage text and the file dialog ------------------------------------

TEST(RunSequence, WithoutArgumentsTheDialogChoiceIsAssembled) {
  TRunAll run;
  run.Files.Inputs["test.pic"] = "A: NOP\n";
  run.Window.DialogChoice = "test.pic";
  RunWith(run, {});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::Success);
  EXPECT_EQ(run.Status, Cp1252(kUsage + Translating("test.pic", "test.HEX", "test.PRN") +
                               "\rPass 1 ...done\rPass 2 ...done\r"
                               "Code\tbis \t0000h : Keine Fehler gefunden.\r"
                               "Fuses  @ 2007h : fehlen!\r"
                               "ID 2000..2003h : fehlen!\r"));
  EXPECT_TRUE(run.Window.SearchButton);
  EXPECT_FALSE(run.Window.SearchButtonEnabled) << "disabled after the choice, still there";
  auto& ev = run.Window.Events;
  auto add = std::find(ev.begin(), ev.end(), "add-search");
  auto disable = std::find(ev.begin(), ev.end(), "disable-search");
  ASSERT_NE(add, ev.end());
  ASSERT_NE(disable, ev.end());
  EXPECT_LT(add - ev.begin(), disable - ev.begin());
  EXPECT_TRUE(std::find(add, disable, "wait") != disable) << "the run waited for the dialog";
  EXPECT_EQ(run.Files.Outputs["test.PRN"].find("Symbol-Liste:"), std::string::npos) << "no -L on this path";
}

TEST(RunSequence, WithoutArgumentsClosingTheWindowLooksForDotPic) {
  TRunAll run;
  run.Files.Inputs["test.pic"] = " NOP\n";
  RunWith(run, {});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::SourceMissing);
  EXPECT_EQ(run.Status, Cp1252(kUsage + Translating(".PIC", ".HEX", ".PRN") + "Datei .PIC nicht gefunden\r"));
  EXPECT_FALSE(run.Window.SearchButtonEnabled);
  EXPECT_TRUE(run.Files.Outputs.empty());
}

TEST(RunSequence, WindowThatCannotBeCreatedEndsTheRunWithAMessageBox) {
  TRunAll run;
  run.Files.Inputs["t.pic"] = " NOP\n";
  run.Window.CreateResult = driver::TCreateResult::NoAtom;
  RunWith(run, {"t.pic"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::WindowFailed);
  EXPECT_EQ(run.Window.Events, (std::vector<std::string>{"create", "message:Ooops:kein Atom registrierbar!"}));
  EXPECT_EQ(run.Status, "");

  TRunAll second;
  second.Window.CreateResult = driver::TCreateResult::NoHandle;
  RunWith(second, {"t.pic"});
  EXPECT_EQ(second.Window.Events, (std::vector<std::string>{"create", "message:Ooops:kein Handle bekommen!"}));
  EXPECT_EQ(second.Window.Title, "MicroChip PIC-Assembler V2.13 (32bit)");
}

// --- output names ----------------------------------------------------------------

TEST(RunSequence, DeriveNamesFollowsTheExtensionRules) {
  const TNameCase cases[] = {
      {"test", "test.PIC", "test.HEX", "test.PRN"},
      {"test.asm", "test.asm", "test.HEX", "test.PRN"},
      {"test.", "test..PIC", "test.HEX", "test.PRN"},
      {"Test.Pic", "Test.Pic", "Test.HEX", "Test.PRN"},
      {"a.b.c", "a.b.c", "a.b.HEX", "a.b.PRN"},
      // Only a dot in the file part starts the extension.
      {"..\\src\\prog", "..\\src\\prog.PIC", "..\\src\\prog.HEX", "..\\src\\prog.PRN"},
      {"D:\\my.dir\\test", "D:\\my.dir\\test.PIC", "D:\\my.dir\\test.HEX", "D:\\my.dir\\test.PRN"},
      {"D:\\my.dir\\test.src", "D:\\my.dir\\test.src", "D:\\my.dir\\test.HEX", "D:\\my.dir\\test.PRN"},
      {"C:prog", "C:prog.PIC", "C:prog.HEX", "C:prog.PRN"},
      {"", ".PIC", ".HEX", ".PRN"},
#ifndef _WIN32
      {"../src/prog", "../src/prog.PIC", "../src/prog.HEX", "../src/prog.PRN"},
      {"./x.y/z.pic", "./x.y/z.pic", "./x.y/z.HEX", "./x.y/z.PRN"},
#endif
  };
  for (const TNameCase& c : cases) {
    driver::TOutputNames names = driver::DeriveNames(c.Given);
    EXPECT_EQ(names.Source, c.Source) << c.Given;
    EXPECT_EQ(names.Hex, c.Hex) << c.Given;
    EXPECT_EQ(names.Prn, c.Prn) << c.Given;
  }
}

TEST(RunSequence, OutputNamesAreCutAt255Characters) {
  std::string name(253, 'n');
  driver::TOutputNames names = driver::DeriveNames(name);
  EXPECT_EQ(names.Hex, name + ".H");
  EXPECT_EQ(names.Prn, name + ".P");
}

TEST(RunSequence, OutputsOfADirectoryWithADotGoBesideTheSource) {
  TRunAll run;
  run.Files.Inputs["D:\\my.dir\\test.PIC"] = " NOP\n";
  RunWith(run, {"D:\\my.dir\\test"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::Success);
  EXPECT_EQ(run.Files.Outputs.count("D:\\my.dir\\test.HEX"), 1u);
  EXPECT_EQ(run.Files.Outputs.count("D:\\my.dir\\test.PRN"), 1u);
  EXPECT_TRUE(run.Status.starts_with(Cp1252(
      kBanner + Translating("D:\\my.dir\\test.PIC", "D:\\my.dir\\test.HEX", "D:\\my.dir\\test.PRN"))));
}

// --- run-time I/O errors ------------------------------------------------------------

TEST(RunSequence, HexFileThatCannotBeCreatedEndsTheRunWithoutReport) {
  TRunAll run;
  run.Files.Inputs["t.pic"] = " NOP\n";
  run.Files.FailCreate.insert("t.HEX");
  RunWith(run, {"t.pic"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::IoError);
  EXPECT_EQ(run.Status, Cp1252(ThroughPass1("t"))) << "no status text for a run-time error";
  EXPECT_EQ(run.Result.IoMessage, "Laufzeitfehler: kann Datei \"t.HEX\" nicht anlegen (Permission denied)");
  EXPECT_EQ(run.Files.Outputs.count("t.PRN"), 0u) << "the listing comes after the HEX file";
  EXPECT_EQ(std::count(run.Window.Events.begin(), run.Window.Events.end(), "wait"), 0) << "ends at once";
  EXPECT_EQ(run.Result.ErrorMessage, "");
}

TEST(RunSequence, ListingThatCannotBeCreatedEndsTheRunToo) {
  TRunAll run;
  run.Files.Inputs["t.pic"] = " NOP\n";
  run.Files.FailCreate.insert("t.PRN");
  RunWith(run, {"t.pic"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::IoError);
  EXPECT_EQ(run.Status, Cp1252(ThroughPass1("t")));
  EXPECT_EQ(run.Result.IoMessage, "Laufzeitfehler: kann Datei \"t.PRN\" nicht anlegen (Permission denied)");
}

TEST(RunSequence, FailingListingWriteEndsTheRunInPass2) {
  TRunAll run;
  run.Files.Inputs["t.pic"] = " NOP\n NOP\n MOVLW 256\n";
  run.Files.WriteLimit["t.PRN"] = 40;  // the head fits, the first source line does not
  RunWith(run, {"t.pic"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::IoError);
  EXPECT_EQ(run.Status, Cp1252(ThroughPass1("t"))) << "neither the pass-2 error nor a summary is shown";
  EXPECT_EQ(run.Result.IoMessage, "Laufzeitfehler: kann Datei \"t.PRN\" nicht schreiben (No space left on device)");
  EXPECT_EQ(run.Result.ErrorMessage, "");
}

TEST(RunSequence, FailingHexWriteEndsTheRun) {
  TRunAll run;
  run.Files.Inputs["t.pic"] = " DATA 1,2,3,4,5,6,7,8,9\n";
  run.Files.WriteLimit["t.HEX"] = 10;  // the first record has 45 characters
  RunWith(run, {"t.pic"});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::IoError);
  EXPECT_EQ(run.Status, Cp1252(ThroughPass1("t")));
  EXPECT_EQ(run.Result.IoMessage, "Laufzeitfehler: kann Datei \"t.HEX\" nicht schreiben (No space left on device)");
}

// --- a run leaves nothing behind for the next one --------------------------------------

TEST(RunSequence, SecondRunStartsAfresh) {
  TRun first = RunProgram({{"t.pic", "A: NOP\n"}}, {"-L", "t.pic"});
  TRun second = RunProgram({{"t.pic", "B: NOP\n"}}, {"t.pic"});
  EXPECT_EQ(second.Prn.find("Symbol-Liste:"), std::string::npos) << "the switch is not kept";
  EXPECT_EQ(second.Status.find(Cp1252(kBanner), 1), std::string::npos) << "the status text starts empty";
}

}  // namespace
}  // namespace veltas::testing
