// veltas-cli for build systems: --help, --version, --quiet, --deps and "--",
// run end to end in scratch directories; the dependency files are read back
// by make itself. Also the make escaping and the recording of read files.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>

#include "driver/run.h"
#include "host/recording_files.h"
#include "tests/support/assemble.h"
#include "tests/support/fake_window.h"
#include "tests/support/memory_files.h"
#include "tests/support/process.h"

namespace veltas::testing {
namespace {

namespace fs = std::filesystem;

const std::string kBanner = "Veltas V2.13 (32bit) Assembler für MicroChip PIC-Controller (12+14 Bit Core)\n";
const std::string kHelpHint = "\"veltas-cli --help\" zeigt alle Optionen.\n";

std::string Translating(const std::string& source, const std::string& base) {
  return "übersetze " + source + " nach " + base + ".HEX (HEX-Datei)  +  " + base + ".PRN (AssemblerListe)\n";
}

// The status of a successful run of code that ends at 0000h without ID or
// configuration words.
const std::string kSuccessTail =
    "\nPass 1 ...done\nPass 2 ...done\n"
    "Code\tbis \t0000h : Keine Fehler gefunden.\n"
    "Fuses  @ 2007h : fehlen!\n"
    "ID 2000..2003h : fehlen!\n";

TProcessResult Cli(const TScratchDir& dir, const std::vector<std::string>& args) {
  return RunProcess(VELTAS_CLI, args, dir.Path());
}

// make from the PATH, in English and unaffected by a make that may run
// these tests.
TProcessResult Make(const TScratchDir& dir, std::vector<std::string> args) {
  std::vector<std::string> full = {"-u", "MAKEFLAGS", "-u", "MFLAGS", "-u", "MAKELEVEL", "LC_ALL=C", "make", "--no-print-directory"};
  full.insert(full.end(), args.begin(), args.end());
  return RunProcess("/usr/bin/env", full, dir.Path());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Gives files fixed ages so that make's decisions don't depend on how fast
// the test ran: sources an hour older than the outputs.
void SetAge(const TScratchDir& dir, const std::vector<std::string>& names, std::chrono::hours age) {
  auto when = fs::file_time_type::clock::now() - age;
  for (const std::string& name : names) fs::last_write_time(fs::path(dir / name), when);
}
void Touch(const TScratchDir& dir, const std::string& name) {
  fs::last_write_time(fs::path(dir / name), fs::file_time_type::clock::now());
}

// --- --help, --version and usage errors ------------------------------------

TEST(CliOptions, HelpNamesEveryOptionOnItsOwnLineAndTheExitStatuses) {
  TScratchDir dir;
  dir.Write("prog.pic", "  NOP\n");
  TProcessResult r = Cli(dir, {"--help"});
  EXPECT_EQ(r.ExitStatus, 0);
  EXPECT_EQ(r.Err, "");
  std::vector<std::string> lines = Lines(r.Out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "Benutzung: veltas-cli [Optionen] [-L] Quelldatei");
  // One line per option, each starting with the option after two blanks.
  for (std::string option : {"-L ", "--quiet ", "--deps DATEI ", "--help ", "--version ", "-- "}) {
    int found = 0;
    for (const std::string& line : lines)
      if (line.rfind("  " + option, 0) == 0) ++found;
    EXPECT_EQ(found, 1) << option;
  }
  for (std::string status : {"  0  ", "  1  ", "  2  "}) {
    int found = 0;
    for (const std::string& line : lines)
      if (line.rfind(status, 0) == 0) ++found;
    EXPECT_EQ(found, 1) << status;
  }
  EXPECT_NE(r.Out.find("Exit-Status:\n"), std::string::npos);
  EXPECT_FALSE(dir.Exists("prog.HEX"));
}

TEST(CliOptions, HelpAndVersionWinOverASourceAndAssembleNothing) {
  TScratchDir dir;
  dir.Write("prog.pic", "  NOP\n");
  TProcessResult help = Cli(dir, {"-L", "prog.pic", "--help"});
  EXPECT_EQ(help.ExitStatus, 0);
  EXPECT_EQ(help.Out, Cli(dir, {"--help"}).Out);
  TProcessResult version = Cli(dir, {"--quiet", "--version", "prog.pic"});
  EXPECT_EQ(version.ExitStatus, 0);
  EXPECT_EQ(version.Out, "veltas-cli (Veltas) 2.13.0\n");
  EXPECT_FALSE(dir.Exists("prog.HEX"));
  EXPECT_FALSE(dir.Exists("prog.PRN"));
}

TEST(CliOptions, VersionPrintsNameAndProjectVersion) {
  TScratchDir dir;
  TProcessResult r = Cli(dir, {"--version"});
  EXPECT_EQ(r.ExitStatus, 0);
  EXPECT_EQ(r.Out, "veltas-cli (Veltas) 2.13.0\n");
  EXPECT_EQ(r.Err, "");
}

TEST(CliOptions, UsageErrorsNameTheProblemOnStderrWithStatus2) {
  struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"--frobnicate", "prog.pic"}, "veltas-cli: unbekannte Option \"--frobnicate\"\n"},
      // A long option containing "-L" is still a long option, not the switch.
      {{"--Lib", "prog.pic"}, "veltas-cli: unbekannte Option \"--Lib\"\n"},
      {{"--quiet=yes", "prog.pic"}, "veltas-cli: unbekannte Option \"--quiet=yes\"\n"},
      {{"prog.pic", "--help=x"}, "veltas-cli: unbekannte Option \"--help=x\"\n"},
      {{"prog.pic", "--deps"}, "veltas-cli: Option \"--deps\" braucht einen Dateinamen\n"},
      {{"--deps=", "prog.pic"}, "veltas-cli: Option \"--deps\" braucht einen Dateinamen\n"},
      {{"--deps", "", "prog.pic"}, "veltas-cli: Option \"--deps\" braucht einen Dateinamen\n"},
      {{"--quiet"}, "veltas-cli: keine Quelldatei angegeben\n"},
      {{"--deps", "prog.d"}, "veltas-cli: keine Quelldatei angegeben\n"},
      {{"--"}, "veltas-cli: keine Quelldatei angegeben\n"},
  };
  for (const auto& c : cases) {
    TScratchDir dir;
    dir.Write("prog.pic", "  NOP\n");
    TProcessResult r = Cli(dir, c.args);
    std::string shown;
    for (const std::string& a : c.args) shown += "[" + a + "]";
    EXPECT_EQ(r.ExitStatus, 2) << shown;
    EXPECT_EQ(r.Out, "") << shown;
    EXPECT_EQ(r.Err, c.message + kHelpHint) << shown;
    EXPECT_FALSE(dir.Exists("prog.HEX")) << shown;
    EXPECT_FALSE(dir.Exists("prog.d")) << shown;
  }
}

TEST(CliOptions, WithoutAnyArgumentTheShortUsageStays) {
  TScratchDir dir;
  TProcessResult r = Cli(dir, {});
  EXPECT_EQ(r.ExitStatus, 2);
  EXPECT_EQ(r.Out, "Benutzung:  VELTAS [-L] Quelldatei     ( -L = Adreßliste ausgeben)\n");
}

// --- "--" and the unchanged argument rules ------------------------------

TEST(CliOptions, DoubleDashEndsTheOptions) {
  TScratchDir dir;
  dir.Write("--odd.pic", "  NOP\n");
  TProcessResult r = Cli(dir, {"--", "--odd.pic"});
  EXPECT_EQ(r.ExitStatus, 0);
  EXPECT_EQ(r.Err, "");
  EXPECT_EQ(r.Out, kBanner + Translating("--odd.pic", "--odd") + kSuccessTail);
  EXPECT_TRUE(dir.Exists("--odd.HEX"));

  // After "--" even "--help" is a file name.
  TProcessResult help = Cli(dir, {"--", "--help"});
  EXPECT_EQ(help.ExitStatus, 1);
  EXPECT_EQ(help.Out, kBanner + Translating("--help.PIC", "--help") + "Datei --help.PIC nicht gefunden\n");
}

TEST(CliOptions, LongOptionsLeaveTheSwitchAndSourceRulesAlone) {
  TScratchDir dir;
  dir.Write("prog.pic", "start:  NOP\n");
  ASSERT_EQ(Cli(dir, {"prog.pic"}).ExitStatus, 0);
  std::string plainPrn = dir.Read("prog.PRN"), plainHex = dir.Read("prog.HEX");
  ASSERT_EQ(Cli(dir, {"-L", "prog.pic"}).ExitStatus, 0);
  std::string listPrn = dir.Read("prog.PRN");
  ASSERT_NE(listPrn, plainPrn);  // the symbol list was appended

  // The switch before the name, wherever the long options stand, and also
  // after "--": the same listing as with -L alone.
  for (std::vector<std::string> args : {std::vector<std::string>{"--quiet", "-L", "prog.pic"},
                                        {"-L", "--quiet", "prog.pic"},
                                        {"-L", "prog.pic", "--quiet"},
                                        {"--quiet", "--", "-L", "prog.pic"},
                                        {"--deps", "prog.d", "-L", "prog.pic"}}) {
    TProcessResult r = Cli(dir, args);
    EXPECT_EQ(r.ExitStatus, 0) << args[0];
    EXPECT_EQ(dir.Read("prog.PRN"), listPrn) << args[0];
    EXPECT_EQ(dir.Read("prog.HEX"), plainHex) << args[0];
  }

  // The switch after the name empties the name: ".PIC" is looked for.
  TProcessResult late = Cli(dir, {"--quiet", "prog.pic", "-L"});
  EXPECT_EQ(late.ExitStatus, 1);
  EXPECT_EQ(late.Out, "");
  EXPECT_EQ(late.Err, "veltas-cli: Datei .PIC nicht gefunden\n");
}

// --- --quiet -------------------------------------------------------------

TEST(CliQuiet, SuccessPrintsNothingAndWritesTheSameFiles) {
  TScratchDir loud, quiet;
  for (const TScratchDir* dir : {&loud, &quiet}) dir->Write("prog.pic", "  NOP\n");
  TProcessResult l = Cli(loud, {"prog.pic"});
  EXPECT_EQ(l.ExitStatus, 0);
  EXPECT_EQ(l.Out, kBanner + Translating("prog.pic", "prog") + kSuccessTail);
  TProcessResult q = Cli(quiet, {"--quiet", "prog.pic"});
  EXPECT_EQ(q.ExitStatus, 0);
  EXPECT_EQ(q.Out, "");
  EXPECT_EQ(q.Err, "");
  // NOP is word 0000 at address 0.
  EXPECT_EQ(quiet.Read("prog.HEX"), ":020000000000FE\r\n:00000001FF\r\n");
  EXPECT_EQ(quiet.Read("prog.HEX"), loud.Read("prog.HEX"));
  EXPECT_EQ(quiet.Read("prog.PRN"), loud.Read("prog.PRN"));
}

TEST(CliQuiet, AnErrorStillGivesTheEditorsLineOnStderr) {
  struct {
    std::map<std::string, std::string> files;
    std::string err;
  } cases[] = {
      // Pass 1: the operation "FOO" ends at column 5, the scan stands at 6.
      {{{"prog.pic", "  NOP\n  FOO\n"}}, "prog.pic:2:6: error: illegale Operation\n"},
      // The same in an include file: its own name and line.
      {{{"prog.pic", "  NOP\n  INCLUDE defs.inc\n"}, {"defs.inc", "\n  FOO\n"}},
       "defs.inc:2:6: error: illegale Operation\n"},
  };
  for (const auto& c : cases) {
    TScratchDir dir;
    for (const auto& [name, text] : c.files) dir.Write(name, text);
    TProcessResult q = Cli(dir, {"--quiet", "prog.pic"});
    EXPECT_EQ(q.ExitStatus, 1);
    EXPECT_EQ(q.Out, "");
    EXPECT_EQ(q.Err, c.err);
    // Without --quiet the same line follows the status text.
    TProcessResult l = Cli(dir, {"prog.pic"});
    EXPECT_EQ(l.ExitStatus, 1);
    EXPECT_EQ(l.Err, c.err);
    EXPECT_NE(l.Out, "");
  }
}

TEST(CliQuiet, StatusTextOfAnErrorIsOnlyShownWithoutQuiet) {
  TScratchDir dir;
  dir.Write("prog.pic", "  NOP\n  FOO\n");
  TProcessResult l = Cli(dir, {"prog.pic"});
  EXPECT_EQ(l.Out, kBanner + Translating("prog.pic", "prog") +
                       "\nPass 1\n  FOO?\n\nFehler: illegale Operation in\n\"prog.pic\"  Zeile 2 bei Pos 6\n");
}

TEST(CliQuiet, MissingSourceIsReportedOnStderr) {
  TScratchDir dir;
  TProcessResult q = Cli(dir, {"--quiet", "nothere"});
  EXPECT_EQ(q.ExitStatus, 1);
  EXPECT_EQ(q.Out, "");
  EXPECT_EQ(q.Err, "veltas-cli: Datei nothere.PIC nicht gefunden\n");
  // Without --quiet the status text says it, as before.
  TProcessResult l = Cli(dir, {"nothere"});
  EXPECT_EQ(l.ExitStatus, 1);
  EXPECT_EQ(l.Out, kBanner + Translating("nothere.PIC", "nothere") + "Datei nothere.PIC nicht gefunden\n");
  EXPECT_EQ(l.Err, "");
}

// --- --deps --------------------------------------------------------------

// main.pic includes defs.inc, which includes ports.inc; main.pic includes
// ports.inc a second time. Read order: main.pic, defs.inc, ports.inc.
void WriteNestedSources(const TScratchDir& dir) {
  dir.Write("main.pic", "  INCLUDE defs.inc\n  NOP\n  INCLUDE ports.inc\n");
  dir.Write("defs.inc", "  NOP\n  INCLUDE ports.inc\n");
  dir.Write("ports.inc", "  NOP\n");
}
const std::string kNestedRule =
    "main.HEX main.PRN: main.pic defs.inc ports.inc\n"
    "defs.inc:\n"
    "ports.inc:\n";

TEST(CliDeps, NestedIncludesEachOnceInTheOrderFirstRead) {
  TScratchDir dir;
  WriteNestedSources(dir);
  TProcessResult r = Cli(dir, {"--deps", "main.d", "main.pic"});
  EXPECT_EQ(r.ExitStatus, 0);
  EXPECT_EQ(r.Err, "");
  EXPECT_EQ(dir.Read("main.d"), kNestedRule);
  // The "=" form writes the same.
  TProcessResult eq = Cli(dir, {"--quiet", "--deps=other.d", "main.pic"});
  EXPECT_EQ(eq.ExitStatus, 0);
  EXPECT_EQ(eq.Out, "");
  EXPECT_EQ(dir.Read("other.d"), kNestedRule);
}

TEST(CliDeps, MakeReadsTheRuleAndRebuildsWhenANestedIncludeChanges) {
  TScratchDir dir;
  WriteNestedSources(dir);
  ASSERT_EQ(Cli(dir, {"--deps", "main.d", "main.pic"}).ExitStatus, 0);
  dir.Write("Makefile",
            "main.HEX: main.pic\n"
            "\t@echo REBUILD main.HEX\n"
            "main.PRN:\n"
            "\t@echo REBUILD main.PRN\n"
            "include main.d\n");
  SetAge(dir, {"main.pic", "defs.inc", "ports.inc"}, std::chrono::hours(2));
  SetAge(dir, {"main.HEX", "main.PRN", "main.d", "Makefile"}, std::chrono::hours(1));

  TProcessResult upToDate = Make(dir, {"-n", "main.HEX"});
  EXPECT_EQ(upToDate.ExitStatus, 0) << upToDate.Err;
  EXPECT_EQ(upToDate.Out, "make: 'main.HEX' is up to date.\n");

  for (std::string changed : {"main.pic", "defs.inc", "ports.inc"}) {
    Touch(dir, changed);
    TProcessResult r = Make(dir, {"-n", "main.HEX"});
    EXPECT_EQ(r.ExitStatus, 0) << changed << r.Err;
    EXPECT_EQ(r.Out, "echo REBUILD main.HEX\n") << changed;
    SetAge(dir, {changed}, std::chrono::hours(2));
  }
  // The listing is a target of the same rule.
  EXPECT_EQ(Make(dir, {"-n", "main.PRN"}).Out, "make: 'main.PRN' is up to date.\n");
  Touch(dir, "ports.inc");
  EXPECT_EQ(Make(dir, {"-n", "main.PRN"}).Out, "echo REBUILD main.PRN\n");
  SetAge(dir, {"ports.inc"}, std::chrono::hours(2));

  // A deleted include file does not break make: its empty rule makes it
  // count as changed.
  fs::remove(fs::path(dir / "ports.inc"));
  TProcessResult deleted = Make(dir, {"-n", "main.HEX"});
  EXPECT_EQ(deleted.ExitStatus, 0) << deleted.Err;
  EXPECT_EQ(deleted.Out, "echo REBUILD main.HEX\n");
}

TEST(CliDeps, TheMakeExampleRebuildsOnlyWhatChangedAndStopsOnErrors) {
  TScratchDir dir;
  WriteNestedSources(dir);
  std::string command = std::string(VELTAS_CLI) + " --quiet --deps main.d main.pic";
  dir.Write("Makefile",
            "main.HEX: main.pic\n"
            "\t" + command + "\n"
            "-include main.d\n");
  TProcessResult first = Make(dir, {});
  EXPECT_EQ(first.ExitStatus, 0) << first.Err;
  EXPECT_EQ(first.Out, command + "\n");
  EXPECT_EQ(dir.Read("main.d"), kNestedRule);
  EXPECT_EQ(dir.Read("main.HEX"), ":080000000000000000000000F8\r\n:00000001FF\r\n");

  SetAge(dir, {"main.pic", "defs.inc", "ports.inc", "Makefile"}, std::chrono::hours(2));
  SetAge(dir, {"main.HEX", "main.PRN", "main.d"}, std::chrono::hours(1));
  EXPECT_EQ(Make(dir, {}).Out, "make: 'main.HEX' is up to date.\n");

  // An error in the nested include: make stops with the assembler's line,
  // and the old dependency file stays as it was.
  dir.Write("ports.inc", "  NOP\n  FOO\n");
  TProcessResult failed = Make(dir, {});
  EXPECT_NE(failed.ExitStatus, 0);
  EXPECT_NE(failed.Err.find("ports.inc:2:6: error: illegale Operation\n"), std::string::npos) << failed.Err;
  EXPECT_EQ(dir.Read("main.d"), kNestedRule);
}

TEST(CliDeps, NothingIsWrittenAfterAFailedRun) {
  struct {
    const char* what;
    std::string source;
  } cases[] = {
      {"pass 1", "  NOP\n  FOO\n"},
      {"pass 2", "  NOP\n  MOVLW 300\n"},
      {"include missing", "  INCLUDE nothere.inc\n"},
  };
  for (const auto& c : cases) {
    TScratchDir dir;
    dir.Write("prog.pic", c.source);
    TProcessResult r = Cli(dir, {"--quiet", "--deps", "prog.d", "prog.pic"});
    EXPECT_EQ(r.ExitStatus, 1) << c.what;
    EXPECT_FALSE(dir.Exists("prog.d")) << c.what;
    // An older dependency file stays untouched.
    dir.Write("prog.d", "old\n");
    EXPECT_EQ(Cli(dir, {"--deps", "prog.d", "prog.pic"}).ExitStatus, 1) << c.what;
    EXPECT_EQ(dir.Read("prog.d"), "old\n") << c.what;
  }
  TScratchDir dir;
  TProcessResult missing = Cli(dir, {"--deps", "prog.d", "prog.pic"});
  EXPECT_EQ(missing.ExitStatus, 1);
  EXPECT_FALSE(dir.Exists("prog.d"));
}

TEST(CliDeps, ADependencyFileThatCannotBeWrittenIsARunTimeError) {
  TScratchDir dir;
  dir.Write("prog.pic", "  NOP\n");
  TProcessResult r = Cli(dir, {"--quiet", "--deps", "nodir/prog.d", "prog.pic"});
  EXPECT_EQ(r.ExitStatus, 2);
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(r.Err, "Laufzeitfehler: kann Datei \"nodir/prog.d\" nicht anlegen (No such file or directory)\n");
}

TEST(CliDeps, NamesWithBlanksHashAndDollarAreEscapedForMake) {
  TScratchDir dir;
  dir.Write("my prog.pic", "  INCLUDE a b.inc\n  INCLUDE x#1.inc\n  INCLUDE d$.inc\n");
  for (std::string name : {"a b.inc", "x#1.inc", "d$.inc"}) dir.Write(name, "\n");
  TProcessResult r = Cli(dir, {"--quiet", "--deps", "deps.d", "my prog.pic"});
  ASSERT_EQ(r.ExitStatus, 0) << r.Err;
  EXPECT_EQ(dir.Read("deps.d"),
            "my\\ prog.HEX my\\ prog.PRN: my\\ prog.pic a\\ b.inc x\\#1.inc d$$.inc\n"
            "a\\ b.inc:\n"
            "x\\#1.inc:\n"
            "d$$.inc:\n");

  // make must read each escaped name back as the file it stands for.
  dir.Write("Makefile",
            "all: my\\ prog.HEX\n"
            "my\\ prog.HEX:\n"
            "\t@echo REBUILD\n"
            "include deps.d\n");
  std::vector<std::string> inputs = {"my prog.pic", "a b.inc", "x#1.inc", "d$.inc"};
  SetAge(dir, inputs, std::chrono::hours(2));
  SetAge(dir, {"my prog.HEX", "my prog.PRN", "deps.d", "Makefile"}, std::chrono::hours(1));
  TProcessResult none = Make(dir, {"-n"});
  EXPECT_EQ(none.ExitStatus, 0) << none.Err;
  EXPECT_EQ(none.Out, "make: Nothing to be done for 'all'.\n");
  for (const std::string& changed : inputs) {
    Touch(dir, changed);
    TProcessResult m = Make(dir, {"-n"});
    EXPECT_EQ(m.ExitStatus, 0) << changed << m.Err;
    EXPECT_EQ(m.Out, "echo REBUILD\n") << changed;
    SetAge(dir, {changed}, std::chrono::hours(2));
  }
}

TEST(CliDeps, NamesAreThoseUnderWhichTheDiskFoundTheFiles) {
  // The source asks for DEFS.INC next to itself and for inc\PORTS.INC
  // relative to the current directory; the disk has them in lower case.
  TScratchDir dir;
  dir.Write("src/prog.pic", "  INCLUDE DEFS.INC\n  INCLUDE inc\\PORTS.INC\n");
  dir.Write("src/defs.inc", "  NOP\n");
  dir.Write("inc/ports.inc", "  NOP\n");
  TProcessResult r = Cli(dir, {"--quiet", "--deps", "prog.d", "src/prog"});
  ASSERT_EQ(r.ExitStatus, 0) << r.Err;
  EXPECT_EQ(dir.Read("prog.d"),
            "src/prog.HEX src/prog.PRN: src/prog.pic src/defs.inc inc/ports.inc\n"
            "src/defs.inc:\n"
            "inc/ports.inc:\n");
}

// --- the pieces --------------------------------------------------------------

TEST(MakeEscape, BlanksHashAndDollar) {
  struct {
    std::string name, escaped;
  } cases[] = {
      {"plain.inc", "plain.inc"},
      {"", ""},
      {"a b.inc", "a\\ b.inc"},
      {"a  b", "a\\ \\ b"},
      {"a\tb", "a\\\tb"},
      {"x#1.inc", "x\\#1.inc"},
      {"d$.inc", "d$$.inc"},
      {"$(X)", "$$(X)"},
      // A backslash not in front of a blank stays single.
      {"dir\\file.inc", "dir\\file.inc"},
      {"end\\", "end\\"},
      // N backslashes in front of a blank become 2N + 1.
      {"a\\ b", "a\\\\\\ b"},
      {"a\\\\ b", "a\\\\\\\\\\ b"},
  };
  for (const auto& c : cases) EXPECT_EQ(host::EscapeForMake(c.name), c.escaped) << c.name;
}

TEST(MakeEscape, RuleHasTargetsAllInputsAndAnEmptyRulePerIncludeFile) {
  struct {
    std::vector<std::string> inputs;
    std::string rule;
  } cases[] = {
      {{"p.pic"}, "p.HEX p.PRN: p.pic\n"},
      {{"p.pic", "a.inc", "b c.inc"}, "p.HEX p.PRN: p.pic a.inc b\\ c.inc\na.inc:\nb\\ c.inc:\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(host::MakeDependencyRule({"p.HEX", "p.PRN"}, c.inputs), c.rule);
  EXPECT_EQ(host::MakeDependencyRule({"a b.HEX", "a b.PRN"}, {"a b.pic"}), "a\\ b.HEX a\\ b.PRN: a\\ b.pic\n");
}

TEST(RecordingFiles, RemembersEachFileOpenedOnceInOrderAndNotTheFailures) {
  TMemoryFiles memory;
  memory.Inputs = {{"a", "x"}, {"b", "y"}};
  host::TRecordingFiles files(memory);
  std::string reason;
  EXPECT_NE(files.OpenRead("b", reason), nullptr);
  EXPECT_EQ(files.OpenRead("missing", reason), nullptr);
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_NE(files.OpenRead("a", reason), nullptr);
  EXPECT_NE(files.OpenRead("b", reason), nullptr);
  EXPECT_TRUE(files.IsFile("a"));
  EXPECT_FALSE(files.IsFile("missing"));
  EXPECT_EQ(files.Read(), (std::vector<std::string>{"b", "a"}));
}

TEST(RecordingFiles, AWholeRunRecordsMainSourceAndIncludesAsOpened) {
  TMemoryFiles memory;
  // Bare include names get the main source's directory in front.
  memory.Inputs = {{"src/main.pic", "  INCLUDE b.inc\n  INCLUDE a.inc\n  INCLUDE b.inc\n"},
                   {"src/a.inc", "  INCLUDE b.inc\n"},
                   {"src/b.inc", "  NOP\n"}};
  host::TRecordingFiles files(memory);
  TFakeWindow window;
  driver::TRunResult result = driver::RunSequence({"src/main.pic"}, window, files);
  EXPECT_EQ(result.Outcome, driver::TRunOutcome::Success);
  EXPECT_EQ(files.Read(), (std::vector<std::string>{"src/main.pic", "src/b.inc", "src/a.inc"}));
  // The outputs were written through it.
  EXPECT_EQ(memory.Outputs.count("src/main.HEX"), 1u);
  EXPECT_EQ(memory.Outputs.count("src/main.PRN"), 1u);
}

}  // namespace
}  // namespace veltas::testing
