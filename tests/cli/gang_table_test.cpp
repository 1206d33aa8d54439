// The gang's live table: which worker lines move a row and what it shows.
#include <gtest/gtest.h>

#include "cli/gang_table.h"

namespace lw::cli {
namespace {

TEST(GangTable, ProgressLinesMoveTheRowAndTheRestAreItsMessages) {
  GangRow row;
  row.place = "usb:1-2";
  takeWorkerLine(row, "[#########---------------------] Completed ...30%");
  EXPECT_EQ(row.state, GangRow::State::kRunning);
  EXPECT_EQ(row.percent, 30);
  EXPECT_TRUE(row.messages.empty());
  // Not progress: a message that merely ends in a percentage, or brackets.
  for (const char* line : {"Error !: 12% of the flash ...50%?", "[x] note", "Completed ...40%", "[#] Completed ...%"})
    takeWorkerLine(row, line);
  EXPECT_EQ(row.percent, 30);
  EXPECT_EQ(row.messages.size(), 4u);
  EXPECT_EQ(rowText(row, 10), "usb:1-2     [######--------------]  30%  running");
  row.state = GangRow::State::kFailed;
  row.outcome = "Error !: Checksum failed !";
  EXPECT_EQ(rowText(row, 7), "usb:1-2  [######--------------]  30%  FAIL: Error !: Checksum failed !");
}

}  // namespace
}  // namespace lw::cli
