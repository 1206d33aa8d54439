// The gang's live table: which worker lines move a row and what it shows.
#include <gtest/gtest.h>

#include "cli/gang_table.h"

namespace lw::cli {
namespace {

TEST(GangTable, ProgressEventsMoveTheRowAndMessagesAreKept) {
  GangRow row;
  row.place = "usb:1-2";
  takeWorkerOutput(row, R"({"event":"progress","phase":"connect","done":0,"total":0})");
  EXPECT_EQ(row.state, GangRow::State::kRunning);
  EXPECT_EQ(rowText(row, 10), "usb:1-2     [--------------------]   -   connect");
  takeWorkerOutput(row, R"({"event":"progress","phase":"program","done":19661,"total":65536})");
  EXPECT_EQ(row.percent, 30);
  // Neither the result object nor anything that is not an event moves it.
  for (const char* line : {R"({"command":"program","ok":true,"exit":0})", "[####] Completed ...40%",
                           R"({"event":"progress","phase":"verify","done":-1,"total":5})"})
    takeWorkerOutput(row, line);
  EXPECT_EQ(row.phase, "program");
  EXPECT_EQ(rowText(row, 10), "usb:1-2     [######--------------]  30%  program");
  takeWorkerLine(row, "Error !: Checksum failed !");
  EXPECT_EQ(row.messages, std::vector<std::string>{"Error !: Checksum failed !"});
  row.state = GangRow::State::kFailed;
  row.outcome = "Error !: Checksum failed !";
  EXPECT_EQ(rowText(row, 7), "usb:1-2  [######--------------]  30%  FAIL: Error !: Checksum failed !");
}

}  // namespace
}  // namespace lw::cli
