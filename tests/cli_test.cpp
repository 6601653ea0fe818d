// veltas-cli end to end, each row in a scratch directory: what only the
// program does. The console text, the exit status, the editors' error line,
// the files left behind, the options, and hostile files.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/process.h"
#include "tests/support/run.h"

namespace veltas::testing {
namespace {

namespace fs = std::filesystem;

std::string Head(const std::string& source, const std::string& base) {
  return "Veltas V2.13 (32bit) Assembler für MicroChip PIC-Controller (12+14 Bit Core)\n"
         "übersetze " + source + " nach " + base + ".HEX (HEX-Datei)  +  " + base + ".PRN (AssemblerListe)\n";
}

std::string Done(const std::string& end, const char* fuses = "fehlen!", const char* id = "fehlen!") {
  return "\nPass 1 ...done\nPass 2 ...done\nCode\tbis \t" + end + "h : Keine Fehler gefunden.\nFuses  @ 2007h : " +
         fuses + "\nID 2000..2003h : " + id + "\n";
}

const std::string kThree = "  FOO\n  MOVLW 300\n  BAR\n";  // errors in pass 1, pass 2, pass 1

const std::string kHint = "\"veltas-cli --help\" zeigt alle Optionen.\n";
const std::string kStopped = "\nPass 1 ...done\nPass 2\n";  // a run-time error in pass 2

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  while (times-- > 0) text += piece;
  return text;
}

struct TRow {
  std::string What;
  // Files to make: text, or "@dir", "@link:TARGET", "@socket".
  std::map<std::string, std::string> Files;
  std::vector<std::string> Args;
  int Exit;
  std::string Err;
  std::string Out = "*";  // "*": not checked; "~TEXT": contains TEXT
  // "NAME" exists, "!NAME" does not, "@NAME" is still a symbolic link,
  // "NAME=TEXT" holds exactly TEXT, "NAME~TEXT" contains TEXT.
  std::vector<std::string> Left = {};
};

void Make(const TScratchDir& dir, const std::string& name, const std::string& kind) {
  fs::path path = dir / name;
  fs::create_directories(path.parent_path());
  if (kind == "@dir") {
    fs::create_directory(path);
  } else if (kind.starts_with("@link:")) {
    fs::create_symlink(kind.substr(6), path);
  } else if (kind == "@socket") {
    int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::close(s);
  } else {
    dir.Write(name, kind);
  }
}

void Check(const TRow& row) {
  SCOPED_TRACE(row.What);
  TScratchDir dir;
  for (const auto& [name, kind] : row.Files) Make(dir, name, kind);
  TProcessResult r = RunProcess(VELTAS_CLI, row.Args, dir.Path());
  EXPECT_EQ(r.ExitStatus, row.Exit) << r.Out << r.Err;
  EXPECT_EQ(r.Err, row.Err);
  if (row.Out != "*") {
    bool part = row.Out.starts_with("~");
    EXPECT_TRUE(part ? r.Out.find(row.Out.substr(1)) != std::string::npos : r.Out == row.Out) << r.Out;
  }
  for (const std::string& left : row.Left) {
    char kind = left[0] == '!' || left[0] == '@' ? left[0] : ' ';
    std::string rest = left.substr(kind != ' ');
    std::size_t op = rest.find_first_of("=~");
    std::string name = rest.substr(0, op), text = op == std::string::npos ? "" : rest.substr(op + 1);
    auto status = fs::symlink_status(dir / name);
    bool ok = kind == '!'                  ? !fs::exists(status)
              : kind == '@'                ? fs::is_symlink(status)
              : op == std::string::npos    ? fs::exists(status)
              : rest[op] == '='            ? dir.Read(name) == text
                                           : dir.Read(name).find(text) != std::string::npos;
    EXPECT_TRUE(ok) << left.substr(0, 200);
  }
}

TEST(Cli, RunsAndOptions) {
  const std::string deep = std::string(100, 'd') + "/" + std::string(100, 'e') + "/" + std::string(100, 'f');
  const std::string nested = "main.HEX main.PRN: main.pic defs.inc ports.inc\ndefs.inc:\nports.inc:\n";
  const std::map<std::string, std::string> nestedFiles = {{"main.pic", "  INCLUDE defs.inc\n  NOP\n  INCLUDE ports.inc\n"},
                                                          {"defs.inc", "  NOP\n  INCLUDE ports.inc\n"},
                                                          {"ports.inc", "  NOP\n"}};
  const TRow rows[] = {
      {"success", {{"prog.pic", "  MOVLW 5\n"}}, {"prog.pic"}, 0, "", Head("prog.pic", "prog") + Done("0000"),
       {"prog.HEX=:020000000530C9\r\n:00000001FF\r\n", "prog.PRN"}},
      {"no argument", {}, {}, 2, "", "Benutzung:  VELTAS [-L] Quelldatei     ( -L = Adreßliste ausgeben)\n"},
      {"missing source, quiet", {}, {"--quiet", "nothere"}, 1, "veltas-cli: Datei nothere.PIC nicht gefunden\n", ""},
      {"error in an include file, quiet", {{"prog.pic", "  NOP\n  INCLUDE defs.inc\n"}, {"defs.inc", "\n  FOO\n"}},
       {"--quiet", "prog.pic"}, 1, "defs.inc:2:6: error: illegale Operation\n", ""},
      {"pass 2 error: the HEX file goes, the listing stays", {{"prog.pic", Cp1252("  MOVLW 300 ; Größe\n")}},
       {"prog.pic"}, 1, "prog.pic:1:13: error: Wert außerhalb des zulässigen Bereiches\n",
       Head("prog.pic", "prog") + "\nPass 1 ...done\nPass 2\n .. übersetzt mit Fehlern.\n  MOVLW 300 ?; Größe\n\n"
                                  "Fehler: Wert außerhalb des zulässigen Bereiches in\n\"prog.pic\"  Zeile 1 bei Pos 13\n",
       {"!prog.HEX", "prog.PRN~*** Fehler:          Wert au\xDF" "erhalb"}},
      {"file names as the system gives them", {{"übung.pic", "  NOP\n"}}, {"übung.pic"}, 0, "",
       "~" + Head("übung.pic", "übung"), {"übung.HEX"}},
      {"a \\ in names is opened as /: the outputs go beside the source", {{"src/prog.pic", "  INCLUDE d.inc\n"},
       {"src/d.inc", ""}, {"d/keep", ""}}, {"--deps", "d\\x.d", "src\\prog.pic"}, 0, "",
       "~übersetze src\\prog.pic nach src\\prog.HEX (HEX-Datei)  +  src\\prog.PRN",
       {"src/prog.HEX", "d/x.d=src/prog.HEX src/prog.PRN: src/prog.pic src/d.inc\nsrc/d.inc:\n"}},
      {"... also the incomplete HEX file", {{"src/bad.pic", "  MOVLW 300\n"}}, {"src\\bad.pic"}, 1,
       "src\\bad.pic:1:12: error: Wert außerhalb des zulässigen Bereiches\n", "*", {"!src/bad.HEX", "src/bad.PRN"}},
      {"names are not cut", {{deep + "/prog.pic", "  INCLUDE d.inc\n"}, {deep + "/d.inc", "  NOP\n"}},
       {deep + "/prog.pic"}, 0, "", "~" + deep + "/prog.HEX (HEX-Datei)", {deep + "/prog.HEX"}},
      {"cp1252 include names are tried in UTF-8, after the name as written",
       {{"u.pic", Cp1252("  INCLUDE Zähler.inc\n  INCLUDE Öl.inc\n  INCLUDE ÄNDERN.INC\n  INCLUDE a\x81.inc\n")},
        {Cp1252("Zähler.inc"), ""}, {"Zähler.inc", "  BAD\n"}, {"Öl.inc", ""}, {"Ändern.inc", ""}, {"a\xEF\xBF\xBD.inc", ""}},
       {"u.pic"}, 1, "u.pic:4:17: error: ! kann Datei \"a\xEF\xBF\xBD.inc\" nicht finden\n",
       "~  INCLUDE a\xEF\xBF\xBD.inc?\n"},
      {"-L anywhere; a name with -L in it is the source", {{"my-Lib.pic", "X: NOP\n"}}, {"--quiet", "my-Lib", "-L"},
       0, "", "", {"my-Lib.PRN~Symbol-Liste:"}},
      {"every error: pass 1 first, the listing, no HEX file made or removed", {{"p.pic", kThree}, {"p.HEX", "old"}},
       {"--max-errors", "0", "p.pic"}, 1,
       "p.pic:1:6: error: illegale Operation\np.pic:3:6: error: illegale Operation\n"
       "p.pic:2:12: error: Wert außerhalb des zulässigen Bereiches\n",
       Head("p.pic", "p") + "\nPass 1\n  FOO?\n\nFehler: illegale Operation in\n\"p.pic\"  Zeile 1 bei Pos 6\n"
                            "... und 2 weitere Fehler\n",
       {"p.HEX=old", "p.PRN~*** Fehler:          Wert au\xDF" "erhalb"}},
      {"the limit reached in pass 1: no listing", {{"p.pic", kThree}}, {"--quiet", "--max-errors=2", "p.pic"}, 1,
       "p.pic:1:6: error: illegale Operation\np.pic:3:6: error: illegale Operation\n"
       "veltas-cli: nach 2 Fehlern abgebrochen\n", "", {"!p.PRN"}},
      {"--max-errors out of range", {}, {"--max-errors=10001", "p.pic"}, 2,
       "veltas-cli: --max-errors erwartet eine Zahl von 0 bis 10000\n" + kHint, ""},
      {"-- ends the options", {{"--odd.pic", "  NOP\n"}}, {"--", "--odd.pic"}, 0, "", "*", {"--odd.HEX"}},
      {"--help", {}, {"--help", "prog.pic"}, 0, "", "~  --deps DATEI  nach Erfolg make-Regel"},
      {"--version", {}, {"--quiet", "--version"}, 0, "", "veltas-cli (Veltas) 2.13.0\n"},
      {"unknown option", {}, {"--Lib", "prog.pic"}, 2, "veltas-cli: unbekannte Option \"--Lib\"\n" + kHint, ""},
      {"--deps without a name", {}, {"prog.pic", "--deps"}, 2,
       "veltas-cli: Option \"--deps\" braucht einen Dateinamen\n" + kHint, ""},
      {"no source", {}, {"--deps", "x.d"}, 2, "veltas-cli: keine Quelldatei angegeben\n" + kHint, ""},
      {"--deps: every file once, in the order first read", nestedFiles, {"--deps", "main.d", "main.pic"}, 0, "", "*",
       {"main.d=" + nested}},
      {"--deps=", {{"p.pic", ""}}, {"--quiet", "--deps=o.d", "p.pic"}, 0, "", "", {"o.d=p.HEX p.PRN: p.pic\n"}},
      {"--deps escapes for make", {{"my prog.pic", "  INCLUDE x#1.inc\n  INCLUDE d$.inc\n"}, {"x#1.inc", ""},
       {"d$.inc", ""}}, {"--deps", "p.d", "my prog.pic"}, 0, "", "*",
       {"p.d=my\\ prog.HEX my\\ prog.PRN: my\\ prog.pic x\\#1.inc d$$.inc\nx\\#1.inc:\nd$$.inc:\n"}},
      {"--deps names the files as the disk found them", {{"src/prog.pic", "  INCLUDE DEFS.INC\n  INCLUDE inc\\PORTS.INC\n"},
       {"src/defs.inc", ""}, {"inc/ports.inc", ""}}, {"--deps", "p.d", "src/prog"}, 0, "", "*",
       {"p.d=src/prog.HEX src/prog.PRN: src/prog.pic src/defs.inc inc/ports.inc\nsrc/defs.inc:\ninc/ports.inc:\n"}},
      {"no --deps after a failure", {{"prog.pic", "  NOP\n  MOVLW 300\n"}, {"prog.d", "old\n"}},
       {"--quiet", "--deps", "prog.d", "prog.pic"}, 1, "prog.pic:2:12: error: Wert außerhalb des zulässigen Bereiches\n",
       "", {"prog.d=old\n"}},
      {"--deps that cannot be written", {{"prog.pic", "  NOP\n"}}, {"--quiet", "--deps", "no/p.d", "prog.pic"}, 2,
       "Laufzeitfehler: kann Datei \"no/p.d\" nicht anlegen (No such file or directory)\n", ""},
  };
  for (const TRow& row : rows) Check(row);
}

TEST(Cli, HostileFiles) {
  const std::string big(10 * 1024 * 1024, 'a');
  static const char nulBytes[] = "\0\0  NOP\0\0\n  DATA \"A\0B\"\0; c\n";
  const std::string nul(nulBytes, sizeof nulBytes - 1);
  const std::string data = "  DATA " + Repeat("1,", 127) + "1\n";
  const TRow rows[] = {
      {"a 10 MB operation", {{"m.pic", "  " + big + "\n"}}, {"m.pic"}, 1,
       "m.pic:1:10485763: error: illegale Operation\n", "*", {"!m.HEX", "!m.PRN"}},
      {"NUL bytes: blanks around statements, characters in strings", {{"m.pic", nul}}, {"m.pic"}, 0, "", "*",
       {"m.HEX=:08000000000041000000420075\r\n:00000001FF\r\n"}},
      {"200000 lines: the code counter wraps onto written words", {{"m.pic", Repeat("  NOP\n", 200000)}}, {"m.pic"},
       1, "m.pic:65537:6: error: Programmadresse 0000h ist schon belegt\n", "*", {"!m.HEX", "m.PRN"}},
      {"100000 parentheses", {{"m.pic", "  MOVLW " + Repeat("(", 100000) + "\n"}}, {"m.pic"}, 1,
       "m.pic:1:74: error: Ausdruck ist zu tief verschachtelt\n"},
      {"a file that includes itself", {{"self.pic", "  INCLUDE self.pic\n"}}, {"self.pic"}, 1,
       "self.pic:1:19: error: zu viele verschachtelte Include-Dateien\n", "*", {"!self.HEX"}},
      {"an include that is a directory", {{"m.pic", "  INCLUDE sub\n"}, {"sub", "@dir"}}, {"m.pic"}, 1,
       "m.pic:1:14: error: ! kann Datei \"sub\" nicht finden\n"},
      {"a source that is a directory", {{"p.pic", "@dir"}}, {"p.pic"}, 1, "",
       Head("p.pic", "p") + "Datei p.pic nicht gefunden\n", {"!p.HEX", "!p.PRN"}},
      {"a source that can't be opened", {{"s.pic", "@socket"}}, {"s.pic"}, 2,
       "Laufzeitfehler: kann Datei \"s.pic\" nicht öffnen (No such device or address)\n",
       Head("s.pic", "s") + "\nPass 1\n", {"!s.HEX", "!s.PRN"}},
      {"a HEX name taken by a directory", {{"x.pic", "  NOP\n"}, {"x.HEX", "@dir"}}, {"x.pic"}, 2,
       "Laufzeitfehler: kann Datei \"x.HEX\" nicht anlegen (Is a directory)\n", Head("x.pic", "x") + kStopped,
       {"!x.PRN"}},
      {"a listing name taken by a directory", {{"x.pic", "  NOP\n"}, {"x.PRN", "@dir"}}, {"x.pic"}, 2,
       "Laufzeitfehler: kann Datei \"x.PRN\" nicht anlegen (Is a directory)\n", "*", {"!x.HEX"}},
      {"a full disk under the HEX file", {{"x.pic", "  NOP\n"}, {"x.HEX", "@link:/dev/full"}}, {"x.pic"}, 2,
       "Laufzeitfehler: kann Datei \"x.HEX\" nicht schreiben (No space left on device)\n", Head("x.pic", "x") + kStopped,
       {"@x.HEX"}},
      {"a full disk in the middle of pass 2", {{"x.pic", Repeat(data, 500)}, {"x.HEX", "@link:/dev/full"}}, {"x.pic"},
       2, "Laufzeitfehler: kann Datei \"x.HEX\" nicht schreiben (No space left on device)\n",
       Head("x.pic", "x") + kStopped, {"@x.HEX"}},
  };
  for (const TRow& row : rows) Check(row);
}

}  // namespace
}  // namespace veltas::testing
