// Update Target against an emulated adapter with faults injected: at each
// step a representative row of the adapter-status table, the voltage
// windows, missing and mis-tagged answers, a flash byte that does not
// program, a missing target or adapter, and an adapter that leaves the bus
// in the middle of a transfer. Each case runs in a fresh emulator directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "core/codes.h"
#include "platform/hid/hid_api.h"
#include "tests/end_to_end/e2e_rig.h"
#include "ui/main/main_dialog.h"
#include "core/ids/main_dialog_ids.h"

namespace lw::e2e {
namespace {

constexpr char kStatusCaption[] = "Error occured !";
constexpr char kOk[] = "Update Target ok !";
constexpr char kFailed[] = "Update Target failed !";

struct Expected {
  std::string faults;
  std::vector<std::string> boxes;
  bool adapterLeftOpen = false;  // the step stopped without closing the adapter
  bool codeWritten = false;
};

struct Outcome {
  std::vector<ShownBox> boxes;
  bool adapterOpen = false;
  bool codeWritten = false;
  int timeOuts = 0;
};

const std::vector<uint8_t>& code() {
  static const std::vector<uint8_t> bytes = patternBytes(1000, 0x21);
  return bytes;
}

// A fresh adapter with the faults, a 1,000-byte image loaded at AP, one
// click on Update Target.
Outcome runUpdate(const std::string& faults, RigOptions options = {}) {
  options.faultsIni = faults;
  options.watchDevices = false;
  EndToEndRig rig(options);
  rig.loadFile(writeFile(rig.dir, "code.bin", code()), AreaChoice::ap());
  rig.updateTarget();
  Outcome out;
  out.boxes = rig.messages.shown;
  out.adapterOpen = rig.adapterOpen();
  const std::vector<uint8_t> flash = rig.flash();
  out.codeWritten = flash.size() >= code().size() && std::equal(code().begin(), code().end(), flash.begin());
  out.timeOuts = rig.transport.timeOuts.load();
  return out;
}

std::vector<std::string> textsOf(const std::vector<ShownBox>& boxes) {
  std::vector<std::string> texts;
  for (const ShownBox& b : boxes) texts.push_back(b.text);
  return texts;
}

void expectCases(const std::vector<Expected>& cases) {
  for (const Expected& c : cases) {
    SCOPED_TRACE(c.faults);
    const Outcome out = runUpdate(c.faults);
    EXPECT_EQ(textsOf(out.boxes), c.boxes);
    EXPECT_EQ(out.adapterOpen, c.adapterLeftOpen);
    EXPECT_EQ(out.codeWritten, c.codeWritten);
  }
}

// The adapter-status boxes: caption, no icon, and owned by the main window
// during connect and part check only.
void expectStatusBox(const std::string& faults, const std::string& text, BoxOwner owner) {
  SCOPED_TRACE(faults);
  const Outcome out = runUpdate(faults);
  ASSERT_FALSE(out.boxes.empty());
  EXPECT_EQ(out.boxes[0].text, text);
  EXPECT_EQ(out.boxes[0].caption, kStatusCaption);
  EXPECT_EQ(out.boxes[0].style, mb::kOk);
  EXPECT_EQ(out.boxes[0].owner, owner);
}

TEST(UpdateTargetFaults, ConnectStep) {
  expectCases({
      {"connect.status = 1\n", {"Checksum is not match !"}, true},
      {"connect.status = 3\n", {"DUT is no response!"}, true},
      {"connect.status = 5\n", {"Can't handle the error code!"}, true},
      {"no_target = yes\n", {"DUT is no response!"}, true},
      {"millivolts = 3700\n", {"DUT's voltage is out of range !"}, true},
      // Status 2 judges the voltage in single precision: 3,600 mV lies just
      // above 3.6 V, 2,000 mV inside the window; either way the run stops.
      {"connect.status = 2\nmillivolts = 3600\n", {"DUT's voltage is out of range !"}, true},
      {"connect.status = 2\nmillivolts = 2000\n", {}, true},
      // A tag that is not this request's ends the run quietly, releasing the
      // target and closing the adapter.
      {"connect.answer = wrong-tag\n", {}, false},
  });
  expectStatusBox("connect.status = 1\n", "Checksum is not match !", BoxOwner::MainWindow);

  // No answer: the read gives up after its time-out; nothing is written.
  const Outcome silent = runUpdate("connect.answer = none\n");
  EXPECT_TRUE(silent.boxes.empty());
  EXPECT_FALSE(silent.adapterOpen);
  EXPECT_EQ(silent.timeOuts, 1);
}

TEST(UpdateTargetFaults, AdapterLeftOpenByAStepIsClosedByTheNextRun) {
  RigOptions options;
  options.faultsIni = "connect.status = 3\n";
  options.watchDevices = false;
  EndToEndRig rig(options);
  rig.loadFile(writeFile(rig.dir, "code.bin", code()), AreaChoice::ap());
  rig.updateTarget();
  EXPECT_TRUE(rig.adapterOpen());
  rig.writeFaults("");
  rig.updateTarget();
  EXPECT_EQ(rig.boxTexts(), (std::vector<std::string>{"DUT is no response!", kOk}));
  EXPECT_TRUE(std::equal(code().begin(), code().end(), rig.flash().begin()));
  EXPECT_FALSE(rig.adapterOpen());
}

TEST(UpdateTargetFaults, PartCheckStep) {
  expectCases({
      {"wrong_part = yes\n", {"Target is not \"Larch-F8U6\" !"}, true},
      {"part_check.status = 3\n", {"DUT is no response!"}, true},
      {"part_check.status = 2\n", {}, true},
      {"part_check.status = 6\n", {kOk}, false, true},  // read protection: erase goes on
      // A short answer is the "no target" case: said, then released.
      {"part_check.answer = short\n", {"Target is not exist !"}, false},
      {"part_check.answer = garbage\n", {}, false},
  });
  const Outcome wrongPart = runUpdate("wrong_part = yes\n");
  ASSERT_EQ(wrongPart.boxes.size(), 1u);
  EXPECT_EQ(wrongPart.boxes[0].caption, "Error !");
  EXPECT_EQ(wrongPart.boxes[0].style & mb::kIconMask, mb::kIconError);
  expectStatusBox("part_check.status = 3\n", "DUT is no response!", BoxOwner::MainWindow);

  // A read-protected target answers status 6; the erase lifts the protection.
  RigOptions prot;
  prot.targetIni = "protected = yes\n";
  const Outcome protectedTarget = runUpdate("", prot);
  EXPECT_EQ(textsOf(protectedTarget.boxes), std::vector<std::string>{kOk});
  EXPECT_TRUE(protectedTarget.codeWritten);
}

TEST(UpdateTargetFaults, EraseStep) {
  // Connect and part check are told to pass so that the supply voltage is
  // first judged at the erase, in its 1.8..5.5 V window.
  const std::string passEarlierSteps = "connect.status = 0\npart_check.status = 0\n";
  expectCases({
      {"erase.status = 5\n", {"Erase Chip Fail!"}, false},
      {"erase.status = 3\n", {"DUT is no response!"}, false},
      {"erase.status = 1\n", {"Checksum is not match !"}, false},
      {passEarlierSteps + "erase.status = 2\nmillivolts = 1800\n", {}, false},
      {passEarlierSteps + "erase.status = 2\nmillivolts = 5500\n", {"DUT's voltage is out of range !"}, false},
      {"erase.answer = wrong-tag\n", {}, false},
  });
  expectStatusBox("erase.status = 5\n", "Erase Chip Fail!", BoxOwner::None);
}

TEST(UpdateTargetFaults, BlockWriteAndVerify) {
  expectCases({
      {"block_write.status = 1\n", {"Checksum is not match !", kFailed}, false},
      {"block_write.status = 3\n", {"DUT is no response!", kFailed}, false},
      {"block_write.status = 5\n", {kFailed}, false},
      // Block writes do not check the tag: a status of 0 is success.
      {"block_write.answer = wrong-tag\n", {kOk}, false, true},
      // A stalled report stops the transfer; the adapter gives the block up.
      {"reject_report = 3\n", {kFailed}, false},
      // A byte that did not program and a read-back that fails: the code is
      // unverified, so the run fails instead of passing the board.
      {"corrupt_at = 0x123\nread.answer = garbage\n",
       {"Code could not be read back from the target, it can't be verified !", kFailed}, false},
  });
  expectStatusBox("block_write.status = 3\n", "DUT is no response!", BoxOwner::None);

  // No answer to the block: not confirmed, so the run fails.
  const Outcome unanswered = runUpdate("block_write.answer = none\n");
  EXPECT_EQ(textsOf(unanswered.boxes), std::vector<std::string>{kFailed});
  EXPECT_EQ(unanswered.timeOuts, 1);

  // A byte that does not program shows up in the read-back comparison; that
  // box is the only report and the option bytes are not written.
  RigOptions options;
  options.faultsIni = "corrupt_at = 0x123\n";
  options.watchDevices = false;
  EndToEndRig rig(options);
  rig.loadFile(writeFile(rig.dir, "code.bin", code()), AreaChoice::ap());
  rig.setOptionBox(0, true);
  rig.updateTarget();
  ASSERT_EQ(rig.boxTexts(), std::vector<std::string>{"Checksum failed !"});
  EXPECT_EQ(rig.messages.shown[0].caption, "Error !");
  EXPECT_EQ(rig.messages.beeps, std::vector<unsigned>{mb::kIconQuestion});
  EXPECT_EQ(rig.flash()[0x123], code()[0x123] ^ 1);
  EXPECT_EQ(rig.optionBytes()[0], 0xFF);
  EXPECT_FALSE(rig.adapterOpen());
}

TEST(UpdateTargetFaults, NoAdapterAndEmptyBuffer) {
  RigOptions absent;
  absent.adapterIni = "connected = no\n";
  const Outcome noAdapter = runUpdate("", absent);
  ASSERT_EQ(textsOf(noAdapter.boxes), std::vector<std::string>{"Tether is not exist !"});
  EXPECT_EQ(noAdapter.boxes[0].caption, "Error !");

  // Nothing loaded: the chip is erased and the option bytes still written.
  RigOptions options;
  options.watchDevices = false;
  EndToEndRig rig(options);
  rig.setOptionBox(0, true);
  rig.updateTarget();
  EXPECT_EQ(rig.boxTexts(), std::vector<std::string>{kOk});
  const std::vector<uint8_t> flash = rig.flash();
  EXPECT_TRUE(std::all_of(flash.begin(), flash.end(), [](uint8_t b) { return b == 0xFF; }));
  EXPECT_EQ(rig.optionBytes()[0], 0xFE);
}

TEST(UpdateTargetFaults, AdapterLeavingMidTransferFailsAndComesBack) {
  EndToEndRig rig;  // with the device watch
  const std::vector<uint8_t> big = patternBytes(16384, 9);
  const std::string path = writeFile(rig.dir, "big.bin", big);
  rig.loadFile(path, AreaChoice::ap());
  // Firmware check, connect, part check, erase and the block request take
  // fewer than 20 reports; the image needs 128.
  rig.writeFaults("vanish_after_reports = 40\n");

  const auto start = std::chrono::steady_clock::now();
  rig.updateTarget();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(rig.boxTexts(), std::vector<std::string>{kFailed});
  EXPECT_FALSE(rig.adapterOpen());
  EXPECT_EQ(rig.adapterSetting("connected"), "no");

  // Plugged in again: the arrival is checked at once and the next run works.
  rig.writeFaults("");
  rig.dir.write("adapter.ini", "connected = yes\nreenumerate_ms = 50\n");
  const uint64_t checksBefore = rig.clock.sleptMs();
  EXPECT_TRUE(rig.pumpUntil([&] { return rig.clock.sleptMs() >= checksBefore + 500; }));
  EXPECT_EQ(rig.statusLine(), path);
  rig.updateTarget();
  EXPECT_EQ(rig.boxTexts(), (std::vector<std::string>{kFailed, kOk}));
  EXPECT_TRUE(std::equal(big.begin(), big.end(), rig.flash().begin()));
}

}  // namespace
}  // namespace lw::e2e
