// The run sequence end to end, in memory: status texts, output names and
// the error report.
#include <gtest/gtest.h>

#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

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

}  // namespace
}  // namespace veltas::testing
