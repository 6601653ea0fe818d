// The run sequence in memory, where the golden cases can't reach: output
// names, the switch, the window (no arguments, closing it, failing to make
// it), include files in other directories, run-time I/O errors and the state
// a run leaves behind.
#include <gtest/gtest.h>

#include "tests/support/run.h"

namespace veltas::testing {
namespace {

std::string Head(const std::string& prefix, const std::string& source, const std::string& base) {
  return Cp1252(prefix + "übersetze " + source + " nach " + base + ".HEX (HEX-Datei)  +  " + base +
                ".PRN (AssemblerListe)\r");
}
const std::string kBanner = "Veltas V2.13 (32bit) Assembler für MicroChip PIC-Controller (12+14 Bit Core)\r";
const std::string kUsage = "Benutzung:  VELTAS [-L] Quelldatei     ( -L = Adreßliste ausgeben)\r";
const std::string kDone = "\rPass 1 ...done\rPass 2 ...done\rCode\tbis \t0000h : Keine Fehler gefunden.\r"
                          "Fuses  @ 2007h : fehlen!\rID 2000..2003h : fehlen!\r";

struct TWholeRun {
  TMemoryFiles Files;
  TFakeWindow Window;
  driver::TRunResult Result;
  std::string Run(const std::vector<std::string>& args) {
    Result = driver::RunSequence(args, Window, Files);
    return driver::StatusText.Raw();
  }
};

TEST(Run, SourceAndOutputNames) {
  struct {
    std::string Given, Source, Base;
  } cases[] = {
      {"test", "test.PIC", "test"},
      {"test.asm", "test.asm", "test"},
      {"test.", "test..PIC", "test"},
      {"Test.Pic", "Test.Pic", "Test"},
      {"a.b.c", "a.b.c", "a.b"},
      {"D:\\my.dir\\test", "D:\\my.dir\\test.PIC", "D:\\my.dir\\test"},
      {"C:prog", "C:prog.PIC", "C:prog"},
      {"../x.y/z", "../x.y/z.PIC", "../x.y/z"},
      {".asm", ".asm", ""},
  };
  for (const auto& c : cases) {
    TWholeRun run;
    EXPECT_EQ(run.Run({c.Given}), Head(kBanner, c.Source, c.Base) + Cp1252("Datei " + c.Source + " nicht gefunden\r"));
  }
  TWholeRun run;
  run.Files.Inputs["D:\\my.dir\\test.PIC"] = " NOP\n";
  run.Run({"D:\\my.dir\\test"});
  EXPECT_EQ(run.Files.Outputs.count("D:\\my.dir\\test.HEX") + run.Files.Outputs.count("D:\\my.dir\\test.PRN"), 2u);
}

TEST(Run, TheSwitchAndSeveralNames) {
  const std::string symbols = "\r\nSymbol-Liste:\r\nA = CSEG 0000H\r\n";
  struct {
    std::vector<std::string> Args;
    bool List;
  } cases[] = {{{"-L", "a.pic"}, true}, {{"my-Lib.pic", "a.pic"}, true}, {{"-l", "a.pic"}, false},
               {{"b.pic", "a.pic"}, false}, {{"a.pic"}, false}};
  for (const auto& c : cases) {
    TRun run = RunProgram({{"a.pic", "A: NOP\n"}}, c.Args);
    EXPECT_EQ(run.Prn.ends_with(symbols), c.List) << c.Args[0];
    EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::Success) << c.Args[0];
  }
}

TEST(Run, WithoutArgumentsTheDialogChoiceIsAssembled) {
  TWholeRun run;
  run.Files.Inputs["test.pic"] = "A: NOP\n";
  run.Window.DialogChoice = "test.pic";
  EXPECT_EQ(run.Run({}), Head(kUsage, "test.pic", "test") + Cp1252(kDone));
  EXPECT_TRUE(run.Window.SearchButton && !run.Window.SearchButtonEnabled) << "disabled after the choice";
  auto& ev = run.Window.Events;
  auto add = std::find(ev.begin(), ev.end(), "add-search"), disable = std::find(ev.begin(), ev.end(), "disable-search");
  EXPECT_TRUE(add < disable && std::find(add, disable, "wait") != disable) << "the run waited for the dialog";
  EXPECT_EQ(run.Files.Outputs["test.PRN"].find("Symbol-Liste:"), std::string::npos) << "no -L on this path";

  TWholeRun closed;  // the window closed before a choice: ".PIC" is looked for
  EXPECT_EQ(closed.Run({}), Head(kUsage, ".PIC", "") + "Datei .PIC nicht gefunden\r");
}

TEST(Run, ClosingTheWindowDuringTheRunDoesNotStopIt) {
  TWholeRun run;
  run.Files.Inputs["t.pic"] = " NOP\n";
  run.Window.PumpsBeforeClose = 1;
  EXPECT_TRUE(run.Run({"t.pic"}).ends_with("ID 2000..2003h : fehlen!\r"));
  EXPECT_EQ(run.Files.Outputs["t.HEX"], ":020000000000FE\r\n:00000001FF\r\n");
}

TEST(Run, AWindowThatCannotBeMadeEndsTheRunWithAMessageBox) {
  for (auto [result, text] : {std::pair{driver::TCreateResult::NoAtom, "kein Atom registrierbar!"},
                              std::pair{driver::TCreateResult::NoHandle, "kein Handle bekommen!"}}) {
    TWholeRun run;
    run.Window.CreateResult = result;
    EXPECT_EQ(run.Run({"t.pic"}), "");
    EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::WindowFailed);
    EXPECT_EQ(run.Window.Events, (std::vector<std::string>{"create", std::string("message:Ooops:") + text}));
    EXPECT_EQ(run.Window.Title, "MicroChip PIC-Assembler V2.13 (32bit)");
  }
}

// Bare include names are found beside the main source, from every include
// file; an error names the file as opened, and the run stops at it.
TEST(Run, IncludeFilesOfAnotherDirectory) {
  TWholeRun run;
  run.Files.Inputs["src\\main.pic"] = " INCLUDE other\\x.inc\n";
  run.Files.Inputs["other\\x.inc"] = " INCLUDE y.inc\n";
  run.Files.Inputs["src\\y.inc"] = " NOP\n MOVLW 300\n MOVLW 301\n";
  run.Files.Inputs["other\\y.inc"] = " NOP\n";
  EXPECT_TRUE(run.Run({"src\\main.pic"}).ends_with(Cp1252(
      "\r .. übersetzt mit Fehlern.\r MOVLW 300?\r\rFehler: Wert außerhalb des zulässigen Bereiches in\r"
      "\"src\\y.inc\"  Zeile 2 bei Pos 11")));
}

TEST(Run, RunTimeErrorsEndTheRunAtOnce) {
  struct {
    std::string Source, FailingFile, Message;
    std::size_t Limit;  // bytes that can be written; 0: the file can't be created
  } cases[] = {
      {" NOP\n", "t.HEX", "anlegen (Permission denied)", 0},
      {" NOP\n", "t.PRN", "anlegen (Permission denied)", 0},
      {" NOP\n NOP\n MOVLW 256\n", "t.PRN", "schreiben (No space left on device)", 40},
      {" DATA 1,2,3,4,5,6,7,8,9\n", "t.HEX", "schreiben (No space left on device)", 10},
  };
  for (const auto& c : cases) {
    TWholeRun run;
    run.Files.Inputs["t.pic"] = c.Source;
    if (c.Limit == 0)
      run.Files.FailCreate.insert(c.FailingFile);
    else
      run.Files.WriteLimit[c.FailingFile] = c.Limit;
    EXPECT_EQ(run.Run({"t.pic"}), Head(kBanner, "t.pic", "t") + "\rPass 1 ...done\rPass 2") << c.FailingFile;
    EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::IoError);
    EXPECT_EQ(run.Result.IoMessage, "Laufzeitfehler: kann Datei \"" + c.FailingFile + "\" nicht " + c.Message);
    EXPECT_EQ(std::count(run.Window.Events.begin(), run.Window.Events.end(), "wait"), 0) << "no wait for the window";
  }
}

// DS in the CODE segment writes nothing: it neither extends the code nor
// sets the ID or configuration words.
TEST(Run, ReservedWordsAreNotWritten) {
  TRun run = RunProgram({{"main.pic", " NOP\n ORG 0x10\n DS 4\n ORG 0x2000\n DS 8\n"}});
  EXPECT_TRUE(run.Status.ends_with(Cp1252(kDone))) << run.Status;
}

TEST(Run, ASecondRunStartsAfresh) {
  RunProgram({{"t.pic", "A: NOP\n"}}, {"-L", "t.pic"});
  TRun second = RunProgram({{"t.pic", "A: NOP\n"}}, {"t.pic"});
  EXPECT_EQ(second.Prn.find("Symbol-Liste:"), std::string::npos) << "the switch is not kept";
  EXPECT_EQ(second.Status, Head(kBanner, "t.pic", "t") + Cp1252(kDone)) << "status text and symbols start empty";
}

}  // namespace
}  // namespace veltas::testing
