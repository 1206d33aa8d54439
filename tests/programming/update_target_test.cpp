#include <gtest/gtest.h>

#include "core/codes.h"
#include "link/adapter_status.h"
#include "tests/programming/programming_rig.h"
#include "tests/programming/test_helpers.h"

namespace lw::test {
namespace {

using Strings = std::vector<std::string>;

TEST(UpdateTarget, ProgramsCodeAndOptionsAndReportsSuccess) {
  Rig rig;
  const auto code = pattern(300);
  rig.host.view.bytes = code;
  rig.app.state.part.optionBytes[0] = 0xFE;

  rig.operations->updateTarget();

  EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "checkFirmware", "send 37", "send 35", "send 13",
                                          "write 25", "read 30", "write 26", "send 4", "send 8", "disconnect"}));
  const auto log = rig.adapter.logSnapshot();
  EXPECT_TRUE(contains(log, "send 37 19 37"));  // adapter parameters A and B of the part
  EXPECT_TRUE(contains(log, "send 35 2B 00"));  // Part index 43, low byte first
  EXPECT_EQ(rig.adapter.ice().params[0], 0);    // command 8 goes out with +12 = 0

  // The code landed in flash; the option block carries the Part record's bytes.
  EXPECT_TRUE(std::equal(code.begin(), code.end(), rig.adapter.flash.begin()));
  ASSERT_EQ(rig.adapter.blocks.size(), 2u);
  EXPECT_EQ(rig.adapter.blocks[1].command, cmd::kWriteOptions);
  EXPECT_EQ(rig.adapter.blocks[1].data,
            std::vector<uint8_t>(rig.app.state.part.optionBytes.begin(), rig.app.state.part.optionBytes.begin() + 8));
  EXPECT_EQ(rig.host.optionReads, 1);
  EXPECT_EQ(rig.app.state.part.codeSize, 300u);

  ASSERT_EQ(rig.boxes.shown.size(), 1u);
  EXPECT_EQ(rig.boxes.shown[0].text, "Update Target ok !");
  EXPECT_EQ(rig.boxes.shown[0].caption, "Pass !");
  EXPECT_EQ(rig.boxes.shown[0].style, mb::kIconInformation);

  EXPECT_EQ(rig.host.progress, (std::vector<int>{42, 85, 100, 100, -1, 100, 100, -1}));
  EXPECT_EQ(rig.host.currentStatus(), rig.host.filePath);
  EXPECT_FALSE(rig.operations->busyFlag());
  EXPECT_EQ(rig.adapter.staleHandleUses, 0);
}

TEST(UpdateTarget, AdapterMissingOrNotReady) {
  {
    Rig rig;
    rig.adapter.normalPresent = false;
    rig.operations->updateTarget();
    EXPECT_EQ(boxTexts(rig.boxes), Strings{"Tether is not exist !"});
    EXPECT_EQ(rig.boxes.shown[0].caption, "Error !");
    // Before saying so it looks for an adapter left in firmware-update mode
    // and for one of any product id that may not be opened.
    EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "connect E6A 30B 0", "connect E6A 331 0",
                                           "connect E6A FFF 0", "connect E6A 30B 0", "disconnect"}));
    EXPECT_FALSE(rig.operations->busyFlag());
  }
  {
    Rig rig;  // failed firmware check: no message, adapter closed, path back
    rig.adapter.checkFirmwareResult = 5;
    rig.operations->updateTarget();
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "checkFirmware", "disconnect"}));
    EXPECT_EQ(rig.host.currentStatus(), rig.host.filePath);
  }
  {
    Rig rig;  // an adapter left open by an earlier run is closed first
    rig.adapter.connect(0, 0, 1);
    rig.adapter.log.clear();
    rig.host.view.bytes = pattern(10);
    rig.operations->updateTarget();
    EXPECT_EQ(calls(rig.adapter).front(), "disconnect");
  }
}

struct StatusCase {
  uint16_t status;
  uint16_t millivolts;
  const char* message;  // "" for none
};

// Runs Update Target with the given answer for one command; code of 200 bytes.
struct StatusRun {
  explicit StatusRun(int command, ScriptedAnswer answer) {
    rig.host.view.bytes = pattern(200);
    rig.adapter.answers[command].push_back(answer);
    rig.operations->updateTarget();
  }
  bool sent(int command) {
    const auto& c = rig.adapter.sentCommands;
    return std::find(c.begin(), c.end(), command) != c.end();
  }
  Rig rig;
};

TEST(UpdateTarget, ConnectStatusShowsItsMessageAndLeavesAdapterOpen) {
  const StatusCase cases[] = {{1, 0, "Checksum is not match !"}, {2, 1000, "DUT's voltage is out of range !"},
                              {2, 3000, ""},                      {3, 0, "DUT is no response!"},
                              {5, 0, "Can't handle the error code!"}, {6, 0, "Can't handle the error code!"},
                              {9, 0, "Can't handle the error code!"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "status " << c.status << " mV " << c.millivolts);
    StatusRun run(cmd::kConnectTarget, {c.status, c.millivolts});
    EXPECT_EQ(boxTexts(run.rig.boxes), std::string(c.message).empty() ? Strings{} : Strings{c.message});
    if (!run.rig.boxes.shown.empty()) {
      EXPECT_EQ(run.rig.boxes.shown[0].caption, "Error occured !");
      EXPECT_EQ(run.rig.boxes.shown[0].style, mb::kOk);
      EXPECT_EQ(run.rig.boxes.shown[0].owner, BoxOwner::MainWindow);
    }
    EXPECT_FALSE(run.sent(cmd::kCheckPart));
    EXPECT_FALSE(run.sent(cmd::kReleaseTarget));
    EXPECT_EQ(run.rig.adapter.count("disconnect"), 0);
    EXPECT_FALSE(run.rig.operations->busyFlag());
  }
}

TEST(UpdateTarget, PartCheckStatus) {
  const StatusCase stops[] = {{1, 0, "Checksum is not match !"}, {2, 1000, ""}, {3, 0, "DUT is no response!"},
                              {5, 0, "Target is not \"Larch-F8U6\" !"}, {7, 0, ""}};
  for (const auto& c : stops) {
    SCOPED_TRACE(testing::Message() << "status " << c.status);
    StatusRun run(cmd::kCheckPart, {c.status, c.millivolts});
    EXPECT_EQ(boxTexts(run.rig.boxes), std::string(c.message).empty() ? Strings{} : Strings{c.message});
    if (c.status == 5) {
      EXPECT_EQ(run.rig.boxes.shown[0].caption, "Error !");
      EXPECT_EQ(run.rig.boxes.shown[0].style, mb::kIconError);
    }
    EXPECT_FALSE(run.sent(cmd::kErase));
    EXPECT_FALSE(run.sent(cmd::kReleaseTarget));
    EXPECT_EQ(run.rig.adapter.count("disconnect"), 0);
    EXPECT_EQ(run.rig.host.currentStatus(), run.rig.host.filePath);
    EXPECT_FALSE(run.rig.operations->busyFlag());
  }
  // Status 6 counts as success.
  StatusRun accepted(cmd::kCheckPart, {6, 0});
  EXPECT_EQ(boxTexts(accepted.rig.boxes), Strings{"Update Target ok !"});
}

TEST(UpdateTarget, EraseStatusReleasesTargetAndClosesAdapter) {
  const StatusCase cases[] = {{1, 0, "Checksum is not match !"}, {2, 1000, "DUT's voltage is out of range !"},
                              {2, 5000, ""},                      {3, 0, "DUT is no response!"},
                              {5, 0, "Erase Chip Fail!"},         {6, 0, "Erase Chip Fail!"},
                              {8, 0, "Erase Chip Fail!"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "status " << c.status << " mV " << c.millivolts);
    StatusRun run(cmd::kErase, {c.status, c.millivolts});
    EXPECT_EQ(boxTexts(run.rig.boxes), std::string(c.message).empty() ? Strings{} : Strings{c.message});
    if (!run.rig.boxes.shown.empty()) {
      EXPECT_EQ(run.rig.boxes.shown[0].owner, BoxOwner::None);
    }
    EXPECT_EQ(calls(run.rig.adapter), (Strings{"connect 0 0 1", "checkFirmware", "send 37", "send 35", "send 13",
                                                "send 4", "disconnect"}));
    EXPECT_EQ(run.rig.host.currentStatus(), run.rig.host.filePath);
    EXPECT_FALSE(run.rig.operations->busyFlag());
  }
}

TEST(UpdateTarget, BlockWriteStatusFailsTheRun) {
  const StatusCase cases[] = {{1, 0, "Checksum is not match !"}, {2, 6000, "DUT's voltage is out of range !"},
                              {2, 3300, ""},                      {3, 0, "DUT is no response!"},
                              {5, 0, ""}, {6, 0, ""}, {7, 0, ""}};
  for (int command : {cmd::kWriteCode, cmd::kWriteOptions}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << "command " << command << " status " << c.status);
      StatusRun run(command, {c.status, c.millivolts});
      Strings expected;
      if (*c.message) expected.push_back(c.message);
      expected.push_back("Update Target failed !");
      EXPECT_EQ(boxTexts(run.rig.boxes), expected);
      if (*c.message) {
        EXPECT_EQ(run.rig.boxes.shown[0].owner, BoxOwner::None);
      }
      const Strings tail{"send 4", "send 8", "disconnect"};
      const auto all = calls(run.rig.adapter);
      EXPECT_TRUE(std::equal(tail.begin(), tail.end(), all.end() - 3));
      // A failed code write skips the read-back and the option bytes.
      EXPECT_EQ(run.rig.adapter.count("write 26"), command == cmd::kWriteOptions ? 1 : 0);
      EXPECT_EQ(run.rig.adapter.count("read 30"), command == cmd::kWriteOptions ? 1 : 0);
      EXPECT_FALSE(run.rig.operations->busyFlag());
    }
  }
}

TEST(UpdateTarget, VoltageWindowsUseTheSinglePrecisionFactor) {
  EXPECT_FALSE(voltageInWindow(3600, kConnectWindow));  // 3.6000001 lies above 3.6
  EXPECT_TRUE(voltageInWindow(2000, kConnectWindow));
  EXPECT_FALSE(voltageInWindow(1999, kConnectWindow));
  EXPECT_TRUE(voltageInWindow(3599, kConnectWindow));
  EXPECT_TRUE(voltageInWindow(1800, kProgrammingWindow));
  EXPECT_FALSE(voltageInWindow(5500, kProgrammingWindow));
  EXPECT_FALSE(voltageInWindow(1799, kProgrammingWindow));

  StatusRun connect3600(cmd::kConnectTarget, {2, 3600});
  EXPECT_EQ(boxTexts(connect3600.rig.boxes), Strings{"DUT's voltage is out of range !"});
  StatusRun connect2000(cmd::kConnectTarget, {2, 2000});
  EXPECT_TRUE(connect2000.rig.boxes.shown.empty());
  EXPECT_FALSE(connect2000.sent(cmd::kCheckPart));  // status 2 fails the step either way
  StatusRun erase1800(cmd::kErase, {2, 1800});
  EXPECT_TRUE(erase1800.rig.boxes.shown.empty());
  StatusRun erase5500(cmd::kErase, {2, 5500});
  EXPECT_EQ(boxTexts(erase5500.rig.boxes), Strings{"DUT's voltage is out of range !"});
}

TEST(UpdateTarget, TagMismatchFailsCommandsButNotBlockWrites) {
  for (int command : {cmd::kConnectTarget, cmd::kCheckPart, cmd::kErase}) {
    SCOPED_TRACE(command);
    ScriptedAnswer wrong;
    wrong.wrongTag = true;
    StatusRun run(command, wrong);
    EXPECT_TRUE(run.rig.boxes.shown.empty());
    EXPECT_TRUE(run.sent(cmd::kReleaseTarget));
    EXPECT_EQ(run.rig.adapter.count("disconnect"), 1);
    EXPECT_EQ(run.rig.adapter.count("write"), 0);
    EXPECT_FALSE(run.rig.operations->busyFlag());
  }
  for (int command : {cmd::kWriteCode, cmd::kWriteOptions}) {
    ScriptedAnswer wrong;
    wrong.wrongTag = true;
    StatusRun run(command, wrong);
    EXPECT_EQ(boxTexts(run.rig.boxes), Strings{"Update Target ok !"});
  }
}

TEST(UpdateTarget, MissingAnswers) {
  {
    ScriptedAnswer none;  // the part check's read fails with 13
    none.readError = err::kInvalidData;
    StatusRun run(cmd::kCheckPart, none);
    EXPECT_EQ(boxTexts(run.rig.boxes), Strings{"Target is not exist !"});
    EXPECT_TRUE(run.sent(cmd::kReleaseTarget));
    EXPECT_EQ(run.rig.adapter.count("disconnect"), 1);
  }
  {
    ScriptedAnswer silent;  // no answer to the connect: time-out, release, no message
    silent.silent = true;
    StatusRun run(cmd::kConnectTarget, silent);
    EXPECT_TRUE(run.rig.boxes.shown.empty());
    EXPECT_TRUE(run.sent(cmd::kReleaseTarget));
    EXPECT_EQ(run.rig.adapter.cancelCount, 1);
  }
  {
    ScriptedAnswer broken;  // a block write whose answer cannot be read is a failure
    broken.readError = err::kGenFailure;
    StatusRun run(cmd::kWriteCode, broken);
    EXPECT_EQ(boxTexts(run.rig.boxes), Strings{"Update Target failed !"});
  }
}

TEST(UpdateTarget, VerifyDifferenceShowsOnlyChecksumFailed) {
  Rig rig;
  rig.host.view.bytes = pattern(500);
  rig.adapter.flashStuckAt = 321;
  rig.operations->updateTarget();
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Checksum failed !"});
  EXPECT_EQ(rig.boxes.shown[0].caption, "Error !");
  EXPECT_EQ(rig.boxes.beeps, std::vector<unsigned>{mb::kIconQuestion});
  EXPECT_EQ(calls(rig.adapter).back(), "disconnect");
  EXPECT_EQ(rig.adapter.count("send 4"), 0);
  EXPECT_EQ(rig.adapter.count("send 8"), 0);
  EXPECT_EQ(rig.adapter.count("write 26"), 0);
  EXPECT_FALSE(rig.operations->busyFlag());
}

TEST(UpdateTarget, BufferSizes) {
  {
    Rig rig;  // empty buffer: nothing written or compared, options still written
    rig.operations->updateTarget();
    EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "checkFirmware", "send 37", "send 35", "send 13",
                                            "write 26", "send 4", "send 8", "disconnect"}));
    EXPECT_EQ(boxTexts(rig.boxes), Strings{"Update Target ok !"});
  }
  {
    Rig rig;  // longer than flash: not written, still read back over the whole length
    rig.host.view.bytes.assign(0x10000 + 16, 0xFF);
    rig.operations->updateTarget();
    EXPECT_EQ(rig.adapter.count("write 25"), 0);
    EXPECT_EQ(rig.adapter.count("read 30 65552"), 1);
    EXPECT_EQ(boxTexts(rig.boxes), Strings{"Update Target ok !"});
  }
  {
    Rig rig;  // failed read-back request: the code is unverified, the run fails
    rig.host.view.bytes = pattern(64);
    rig.adapter.readDataResult = 7;
    rig.adapter.flashStuckAt = 3;
    rig.operations->updateTarget();
    EXPECT_EQ(boxTexts(rig.boxes), (Strings{"Code could not be read back from the target, it can't be verified !",
                                            "Update Target failed !"}));
    EXPECT_EQ(rig.boxes.shown[0].caption, "Error !");
    EXPECT_EQ(rig.adapter.count("write 26"), 0);
    EXPECT_EQ(rig.adapter.count("send 4"), 1);
    EXPECT_EQ(calls(rig.adapter).back(), "disconnect");
    EXPECT_FALSE(rig.operations->busyFlag());
  }
  {
    Rig rig;  // longer than the read-back area: never read past it, failure reported
    rig.host.view.bytes.assign(kReadBackSize + 1, 0xFF);
    rig.operations->updateTarget();
    EXPECT_EQ(rig.adapter.count("read 30"), 0);
    EXPECT_EQ(rig.adapter.count("write"), 0);
    EXPECT_EQ(boxTexts(rig.boxes), (Strings{"Code buffer is larger than the read-back area, it can't be verified !",
                                            "Update Target failed !"}));
    EXPECT_EQ(calls(rig.adapter).back(), "disconnect");
    EXPECT_EQ(rig.adapter.count("send 4"), 1);
  }
}

TEST(UpdateTarget, SecondClickWhileRunningDoesNothing) {
  Rig rig;
  rig.host.view.bytes = pattern(1000);
  int clicks = 0;
  rig.loop.onDispatch = [&] {
    ++clicks;
    rig.operations->updateTarget();
  };
  rig.operations->updateTarget();
  EXPECT_GT(clicks, 0);
  EXPECT_EQ(rig.adapter.count("connect"), 1);
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Update Target ok !"});
  EXPECT_FALSE(rig.operations->busyFlag());
}

}  // namespace
}  // namespace lw::test
