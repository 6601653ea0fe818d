// veltas-cli against hostile files, end to end in a scratch directory: huge
// lines, NUL bytes, binaries, include loops, directories and sockets where
// files belong, unreadable files, outputs that can't be created and a disk
// that is full. Each case checks the exact message and the exit status; no
// case may end in a silent success with a short or missing file.
//
// The tests run as root in CI, where permission bits stop nothing: the cases
// use things that fail for root too (a directory in place of a file, a socket,
// a dangling symlink, /dev/full). The two permission cases skip visibly when
// run as root.
#if defined(__unix__)  // fork, sockets and /dev/full

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/process.h"

namespace veltas::testing {
namespace {

namespace fs = std::filesystem;

struct TCliRun {
  int Exit = -1;
  std::string Out, Err;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// What the program prints before it reads anything (UTF-8 on the console).
std::string Banner(const std::string& source, const std::string& base) {
  return "Veltas V2.13 (32bit) Assembler für MicroChip PIC-Controller (12+14 Bit Core)\n"
         "übersetze " +
         source + " nach " + base + ".HEX (HEX-Datei)  +  " + base + ".PRN (AssemblerListe)\n";
}

// The status lines of a successful pass 2 without configuration words.
std::string Summary(const std::string& codeEnd) {
  return "\nPass 1 ...done\nPass 2 ...done\nCode\tbis \t" + codeEnd +
         "h : Keine Fehler gefunden.\nFuses  @ 2007h : fehlen!\nID 2000..2003h : fehlen!\n";
}

class Hostile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "veltas-hostile-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    Dir = pattern;
  }
  void TearDown() override {
    // Give back what a permission case took away, so that the tree can go.
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(Dir, ignored))
      if (!entry.is_symlink()) fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(Dir, ignored);
  }

  fs::path In(const std::string& name) const { return Dir / name; }
  void File(const std::string& name, const std::string& text) const { WriteAll(In(name), text); }
  bool RegularFile(const std::string& name) const { return fs::is_regular_file(fs::symlink_status(In(name))); }

  // Runs veltas-cli in the scratch directory.
  TCliRun Run(const std::vector<std::string>& args) const {
    TProcessResult r = RunProcess(VELTAS_CLI, args, Dir.string());
    return {r.ExitStatus, r.Out, r.Err};
  }

  fs::path Dir;
};

constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;

// A string literal with the NUL bytes inside it.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

// The listing of "  NOP" at line 2 after a line 1 that is listed in layout
// `first` (31 characters) with source text `text1`, no symbol list.
std::string ListingWithNopOnLine2(const std::string& first, const std::string& text1) {
  return "\r\nRUZ-8 Assembler V2.13 (32bit)\r\n" + first + "      1  " + text1 +
         "\r\n"
         "CODE 0000    00 0000 0000 0000       2    NOP\r\n"
         "RUZ-8 Assembler\r\nCode bis 0000h : Keine Fehler gefunden.\r\n"
         "Fuses  @ 2007h : fehlen!\r\nID 2000..2003h : fehlen!\r\n\r\n";
}

TEST_F(Hostile, TenMegabyteCommentLineIsCutInTheListing) {
  // 128 characters with CR LF: 31 prefix + 7 line number + 2 blanks leave 86
  // for the source text.
  std::string comment = ";" + std::string(kTenMegabytes, 'x');
  File("main.pic", comment + "\n  NOP\n");
  TCliRun run = Run({"main.pic"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.Out, Banner("main.pic", "main") + Summary("0000"));
  EXPECT_EQ(ReadAll(In("main.PRN")), ListingWithNopOnLine2(std::string(31, ' '), comment.substr(0, 86)));
  EXPECT_EQ(ReadAll(In("main.HEX")), ":020000000000FE\r\n:00000001FF\r\n");
}

TEST_F(Hostile, TenMegabyteLabelIsCutTo64Characters) {
  std::string label(kTenMegabytes, 'a');
  File("main.pic", label + ":\tNOP\n");
  TCliRun run = Run({"-L", "main.pic"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out, Banner("main.pic", "main") + Summary("0000"));
  std::string prn = ReadAll(In("main.PRN"));
  EXPECT_EQ(prn, "\r\nRUZ-8 Assembler V2.13 (32bit)\r\n"
                 "CODE 0000    00 0000 0000 0000       1  " +
                     label.substr(0, 86) +
                     "\r\n"
                     "RUZ-8 Assembler\r\nCode bis 0000h : Keine Fehler gefunden.\r\n"
                     "Fuses  @ 2007h : fehlen!\r\nID 2000..2003h : fehlen!\r\n\r\n"
                     "Symbol-Liste:\r\n" +
                     std::string(64, 'a') + " = CSEG 0000H\r\n");
}

TEST_F(Hostile, TenMegabyteOperationIsIllegalAtItsEnd) {
  std::string word(kTenMegabytes, 'A');
  File("main.pic", "  " + word + "\n");
  TCliRun run = Run({"main.pic"});
  EXPECT_EQ(run.Exit, 1);
  std::string pos = std::to_string(kTenMegabytes + 3);  // just behind the word
  EXPECT_EQ(run.Err, "main.pic:1:" + pos + ": error: illegale Operation\n");
  EXPECT_EQ(run.Out, Banner("main.pic", "main") + "\nPass 1\n  " + word + "?\n\nFehler: illegale Operation in\n" +
                         "\"main.pic\"  Zeile 1 bei Pos " + pos + "\n");
  EXPECT_FALSE(fs::exists(In("main.HEX")));
  EXPECT_FALSE(fs::exists(In("main.PRN")));
}

TEST_F(Hostile, NulBytesAreBlanksAndStringCharacters) {
  // NUL is a blank (code below 33) around statements and an ordinary
  // character inside a string: NOP, then the words 'A', 0, 'B'.
  File("main.pic", Bytes("\0\0  NOP\0\0\n  DATA \"A\0B\"\0; c\n"));
  TCliRun run = Run({"main.pic"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out, Banner("main.pic", "main") + Summary("0003"));
  // 8 bytes at 0: 00 00 41 00 00 00 42 00; 08 + 41 + 42 = 8B, checksum 75.
  EXPECT_EQ(ReadAll(In("main.HEX")), ":08000000000041000000420075\r\n:00000001FF\r\n");
}

TEST_F(Hostile, BinaryFileFailsAtItsFirstCharacter) {
  // The program itself renamed to .PIC: its first byte 0x7F is a token of its
  // own, not followed by ":", so it is the operation.
  fs::copy_file(VELTAS_CLI, In("prog.pic"));
  TCliRun run = Run({"prog.pic"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err, "prog.pic:1:2: error: illegale Operation\n");
  EXPECT_EQ(run.Out.substr(0, Banner("prog.pic", "prog").size() + 8), Banner("prog.pic", "prog") + "\nPass 1\n");
  std::string tail = "\n\nFehler: illegale Operation in\n\"prog.pic\"  Zeile 1 bei Pos 2\n";
  ASSERT_GE(run.Out.size(), tail.size());
  EXPECT_EQ(run.Out.substr(run.Out.size() - tail.size()), tail);
  EXPECT_FALSE(fs::exists(In("prog.HEX")));
  EXPECT_FALSE(fs::exists(In("prog.PRN")));
}

TEST_F(Hostile, ByteOrderMarkIsNoBlank) {
  // A UTF-8 editor's byte-order mark: 0xEF is no identifier character.
  File("main.pic", "\xEF\xBB\xBF  NOP\n");
  TCliRun run = Run({"main.pic"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err, "main.pic:1:2: error: illegale Operation\n");
}

TEST_F(Hostile, CtrlZAtTheStartMakesAnEmptySource) {
  // Everything after Ctrl-Z is never read: a binary behind it is harmless.
  File("main.pic", Bytes("\x1A\x7F" "ELF\0\x01\x02\n  GARBAGE\n"));
  TCliRun run = Run({"main.pic"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out, Banner("main.pic", "main") + Summary("0000"));
  EXPECT_EQ(ReadAll(In("main.HEX")), ":00000001FF\r\n");
}

TEST_F(Hostile, SourceOfAnotherDialectFailsOnItsFirstDirective) {
  File("main.pic", "\tlist p=16f84\n\t#include <p16f84.inc>\n\torg 0\n");
  TCliRun run = Run({"main.pic"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err, "main.pic:1:6: error: illegale Operation\n");
}

TEST_F(Hostile, MegabyteSourceWrapsTheCodeCounter) {
  // 200000 NOPs: the counter wraps three times (3 x 65536 + 3392 words).
  std::string source;
  for (int i = 0; i < 200000; ++i) source += "  NOP\n";
  File("main.pic", source);
  TCliRun run = Run({"main.pic"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  // Code below 2000h ends at 1FFFh; the words at 2000h..2003h and 2007h
  // count as ID and configuration words.
  EXPECT_EQ(run.Out, Banner("main.pic", "main") +
                         "\nPass 1 ...done\nPass 2 ...done\nCode\tbis \t1FFFh : Keine Fehler gefunden.\n"
                         "Fuses  @ 2007h : gesetzt\nID 2000..2003h : gesetzt\n");
  std::string hex = ReadAll(In("main.HEX"));
  // 400000 bytes in full 16-byte records, an extended address record at each
  // crossing of 10000h and after each wrap, and the end record.
  std::size_t records = 0, data = 0, upper = 0;
  for (std::size_t p = 0; (p = hex.find(':', p)) != std::string::npos; ++p) {
    ++records;
    if (hex.compare(p, 3, ":10") == 0 && hex.compare(p + 7, 2, "00") == 0) ++data;
    if (hex.compare(p, 9, ":02000004") == 0) ++upper;
  }
  EXPECT_EQ(data, 25000u);
  EXPECT_EQ(upper, 6u);
  EXPECT_EQ(records, 25007u);
  EXPECT_EQ(hex.substr(hex.size() - 13), ":00000001FF\r\n");
  EXPECT_EQ(hex.substr(0, 45), ":10000000" + std::string(32, '0') + "F0\r\n");
}

TEST_F(Hostile, FileThatIncludesItselfStopsAtTheDepthLimit) {
  // main.pic and seven nested copies of itself fill the stack of eight
  // files; the eighth INCLUDE is refused.
  File("self.pic", "  INCLUDE self.pic\n");
  TCliRun run = Run({"self.pic"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err, "self.pic:1:19: error: zu viele verschachtelte Include-Dateien\n");
  EXPECT_EQ(run.Out, Banner("self.pic", "self") +
                         "\nPass 1\n  INCLUDE self.pic?\n\nFehler: zu viele verschachtelte Include-Dateien in\n"
                         "\"self.pic\"  Zeile 1 bei Pos 19\n");
  EXPECT_FALSE(fs::exists(In("self.HEX")));
}

TEST_F(Hostile, TwoFilesIncludingEachOtherStopAtTheDepthLimit) {
  // main.pic at depth 0, then a.inc at depths 1, 3, 5, 7 and b.inc at 2, 4,
  // 6: the INCLUDE of a.inc at depth 7 is refused.
  File("main.pic", "  NOP\n  INCLUDE a.inc\n");
  File("a.inc", "; a\n  INCLUDE b.inc\n");
  File("b.inc", "  INCLUDE a.inc\n");
  TCliRun run = Run({"main.pic"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err, "a.inc:2:16: error: zu viele verschachtelte Include-Dateien\n");
}

TEST_F(Hostile, IncludeThatNamesADirectoryIsNotFound) {
  fs::create_directory(In("sub"));
  File("main.pic", "  NOP\n  INCLUDE sub\n");
  TCliRun run = Run({"main.pic"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err, "main.pic:2:14: error: ! kann Datei \"sub\" nicht finden\n");
  EXPECT_EQ(run.Out, Banner("main.pic", "main") +
                         "\nPass 1\n  INCLUDE sub?\n\nFehler: ! kann Datei \"sub\" nicht finden in\n"
                         "\"main.pic\"  Zeile 2 bei Pos 14\n");
}

TEST_F(Hostile, IncludeThatCannotBeReadIsNotFound) {
  // Unreadable for root too: a dangling symlink, a symlink loop and a socket.
  fs::create_symlink("nowhere.inc", In("gone.inc"));
  fs::create_symlink("loop2.inc", In("loop1.inc"));
  fs::create_symlink("loop1.inc", In("loop2.inc"));
  int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(s, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string path = In("sock.inc").string();
  ASSERT_LT(path.size(), sizeof address.sun_path);
  path.copy(address.sun_path, path.size());
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  for (const char* name : {"gone.inc", "loop1.inc", "sock.inc"}) {
    SCOPED_TRACE(name);
    File("main.pic", std::string("  INCLUDE ") + name + "  ; defs\n");
    TCliRun run = Run({"main.pic"});
    EXPECT_EQ(run.Exit, 1);
    // The operand ends at ";"; the trailing blanks are dropped from the name.
    std::string pos = std::to_string(10 + std::string(name).size() + 3);
    EXPECT_EQ(run.Err, "main.pic:1:" + pos + ": error: ! kann Datei \"" + name + "\" nicht finden\n");
  }
  ::close(s);
}

TEST_F(Hostile, IncludeWithoutReadPermissionIsNotFound) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop reads";
  File("locked.inc", "  NOP\n");
  fs::permissions(In("locked.inc"), fs::perms::none);
  File("main.pic", "  INCLUDE locked.inc\n");
  TCliRun run = Run({"main.pic"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err, "main.pic:1:21: error: ! kann Datei \"locked.inc\" nicht finden\n");
}

TEST_F(Hostile, SourceThatIsADirectoryIsNotFound) {
  fs::create_directory(In("prog.pic"));
  TCliRun run = Run({"prog.pic"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.Out, Banner("prog.pic", "prog") + "Datei prog.pic nicht gefunden\n");
  EXPECT_FALSE(fs::exists(In("prog.HEX")));
  EXPECT_FALSE(fs::exists(In("prog.PRN")));
}

TEST_F(Hostile, SourceThatExistsButCannotBeOpenedIsARunTimeError) {
  // A socket exists and is no directory, but opening it fails, also for root.
  int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(s, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string path = In("sock.pic").string();
  ASSERT_LT(path.size(), sizeof address.sun_path);
  path.copy(address.sun_path, path.size());
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  TCliRun run = Run({"sock.pic"});
  ::close(s);
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "Laufzeitfehler: kann Datei \"sock.pic\" nicht öffnen (No such device or address)\n");
  EXPECT_EQ(run.Out, Banner("sock.pic", "sock") + "\nPass 1\n");
  EXPECT_FALSE(fs::exists(In("sock.HEX")));
  EXPECT_FALSE(fs::exists(In("sock.PRN")));
}

TEST_F(Hostile, SourceWithoutReadPermissionIsARunTimeError) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop reads";
  File("locked.pic", "  NOP\n");
  fs::permissions(In("locked.pic"), fs::perms::none);
  TCliRun run = Run({"locked.pic"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "Laufzeitfehler: kann Datei \"locked.pic\" nicht öffnen (Permission denied)\n");
}

TEST_F(Hostile, HexFileThatIsADirectoryCannotBeCreated) {
  File("x.pic", "  NOP\n");
  fs::create_directory(In("x.HEX"));
  TCliRun run = Run({"x.pic"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "Laufzeitfehler: kann Datei \"x.HEX\" nicht anlegen (Is a directory)\n");
  EXPECT_EQ(run.Out, Banner("x.pic", "x") + "\nPass 1 ...done\nPass 2\n");
  EXPECT_FALSE(fs::exists(In("x.PRN")));
}

TEST_F(Hostile, ListingThatIsADirectoryCannotBeCreatedAndNoHexStays) {
  File("x.pic", "  NOP\n");
  fs::create_directory(In("x.PRN"));
  TCliRun run = Run({"x.pic"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "Laufzeitfehler: kann Datei \"x.PRN\" nicht anlegen (Is a directory)\n");
  EXPECT_FALSE(fs::exists(In("x.HEX"))) << "a HEX file without its listing must not look like a result";
}

TEST_F(Hostile, OutputDirectoryWithoutWritePermission) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop writes";
  fs::create_directory(In("ro"));
  File("ro/x.pic", "  NOP\n");
  fs::permissions(In("ro"), fs::perms::owner_read | fs::perms::owner_exec);
  TCliRun run = Run({"ro/x.pic"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "Laufzeitfehler: kann Datei \"ro/x.HEX\" nicht anlegen (Permission denied)\n");
}

// A full disk: the output name is a symlink to /dev/full, where every write
// fails with ENOSPC.
class FullDisk : public Hostile {
 protected:
  void SetUp() override {
    Hostile::SetUp();
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  }
};

TEST_F(FullDisk, SmallHexFileFailsWhenItIsClosed) {
  File("x.pic", "  NOP\n");
  fs::create_symlink("/dev/full", In("x.HEX"));
  TCliRun run = Run({"x.pic"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "Laufzeitfehler: kann Datei \"x.HEX\" nicht schreiben (No space left on device)\n");
  EXPECT_EQ(run.Out, Banner("x.pic", "x") + "\nPass 1 ...done\nPass 2\n") << "no success is shown before the files are on disk";
  EXPECT_FALSE(RegularFile("x.HEX"));
}

TEST_F(FullDisk, SmallListingFailsWhenItIsClosedAndNoHexStays) {
  File("x.pic", "  NOP\n");
  fs::create_symlink("/dev/full", In("x.PRN"));
  TCliRun run = Run({"x.pic"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "Laufzeitfehler: kann Datei \"x.PRN\" nicht schreiben (No space left on device)\n");
  EXPECT_EQ(run.Out, Banner("x.pic", "x") + "\nPass 1 ...done\nPass 2\n") << "no success is shown before the files are on disk";
  EXPECT_FALSE(RegularFile("x.HEX"));
}

TEST_F(FullDisk, LargeListingFailsInTheMiddleOfPass2) {
  // Far more listing than one output buffer: the write fails while pass 2
  // runs, and nothing after it is shown.
  std::string source;
  for (int i = 0; i < 5000; ++i) source += "  NOP\n";
  File("x.pic", source);
  fs::create_symlink("/dev/full", In("x.PRN"));
  TCliRun run = Run({"x.pic"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "Laufzeitfehler: kann Datei \"x.PRN\" nicht schreiben (No space left on device)\n");
  EXPECT_EQ(run.Out, Banner("x.pic", "x") + "\nPass 1 ...done\nPass 2\n");
  EXPECT_FALSE(RegularFile("x.HEX"));
}

TEST_F(FullDisk, LargeHexFileFailsInTheMiddleOfPass2) {
  std::string source = "  DATA ";
  for (int i = 0; i < 127; ++i) source += "1,";
  source += "1\n";
  std::string lines;
  for (int i = 0; i < 500; ++i) lines += source;  // 64000 words, 128000 bytes
  File("x.pic", lines);
  fs::create_symlink("/dev/full", In("x.HEX"));
  TCliRun run = Run({"x.pic"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "Laufzeitfehler: kann Datei \"x.HEX\" nicht schreiben (No space left on device)\n");
  EXPECT_EQ(run.Out, Banner("x.pic", "x") + "\nPass 1 ...done\nPass 2\n");
  EXPECT_FALSE(RegularFile("x.HEX"));
}

}  // namespace
}  // namespace veltas::testing

#endif  // __unix__
