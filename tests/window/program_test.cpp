// The program veltas where no display can be opened: the window can't be
// created, the message goes to standard error, nothing is assembled.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(WindowProgram, WithoutDisplayReportsNoHandleAndEnds) {
  fs::path dir = fs::temp_directory_path() / ("veltas-nodisplay-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "test.pic") << "  NOP\n";
  std::string command = "cd '" + dir.string() +
                        "' && env -u DISPLAY -u WAYLAND_DISPLAY '" VELTAS_WINDOW_PROGRAM
                        "' test.pic >out.txt 2>err.txt";
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);  // the run sequence ends normally
  EXPECT_EQ(ReadFile(dir / "err.txt"), "Ooops: kein Handle bekommen!\n");
  EXPECT_EQ(ReadFile(dir / "out.txt"), "");
  EXPECT_FALSE(fs::exists(dir / "test.HEX"));
  EXPECT_FALSE(fs::exists(dir / "test.PRN"));
  fs::remove_all(dir);
}

}  // namespace
