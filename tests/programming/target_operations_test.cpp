// Read Target, Verify Target, Erase Target and Blank Check against the
// scripted adapter: the steps they share with Update Target, what each adds,
// and the boxes and progress they show.
#include <gtest/gtest.h>

#include "core/codes.h"
#include "core/text.h"
#include "link/adapter_status.h"
#include "tests/programming/programming_rig.h"
#include "tests/programming/test_helpers.h"

namespace lw::test {
namespace {

using Strings = std::vector<std::string>;

std::vector<OperationPhase> phasesOf(const std::vector<OperationProgress>& events) {
  std::vector<OperationPhase> phases;
  for (const OperationProgress& e : events)
    if (phases.empty() || phases.back() != e.phase) phases.push_back(e.phase);
  return phases;
}

TEST(TargetOperations, ReadTargetPutsTheWholeFlashInTheCodeBuffer) {
  Rig rig;
  rig.adapter.flash = pattern(0x10000, 3);
  rig.operations->readTarget();

  EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "checkFirmware", "send 37", "send 35", "read 30", "send 4",
                                          "send 8", "disconnect"}));
  EXPECT_EQ(rig.host.view.bytes, rig.adapter.flash);
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Read Target ok !"});
  EXPECT_EQ(rig.boxes.shown[0].caption, "Pass !");
  // The buffer stands for no file now; the status line names the target.
  EXPECT_EQ(rig.host.filePath, "");
  EXPECT_EQ(rig.host.currentStatus(), "Read from target \"Larch-F8U6\"");
  EXPECT_EQ(phasesOf(rig.host.events),
            (std::vector<OperationPhase>{OperationPhase::Connect, OperationPhase::Check, OperationPhase::Read}));
  EXPECT_EQ(rig.host.events.back(), (OperationProgress{OperationPhase::Read, 0x10000, 0x10000, true}));
  EXPECT_EQ(rig.host.readProgress.front(), 0);
  EXPECT_EQ(rig.host.readProgress.back(), -1);
  EXPECT_TRUE(rig.host.progress.empty());
  EXPECT_EQ(rig.operations->targetFindings().bytesRead, 0x10000u);
  EXPECT_FALSE(rig.operations->busyFlag());
  EXPECT_EQ(rig.host.runningDepth, 0);
}

// A flash the read-back area cannot hold is read in blocks, each from its
// own address, as one phase.
TEST(TargetOperations, ALargerFlashIsReadInBlocks) {
  Rig rig;
  rig.adapter.flash = pattern(0x50000, 5);
  rig.operations->readTarget(0x50000);
  EXPECT_EQ(rig.adapter.count("read 30 262144 at 0"), 1);
  EXPECT_EQ(rig.adapter.count("read 30 65536 at 40000"), 1);
  EXPECT_EQ(rig.host.view.bytes, rig.adapter.flash);
  int ended = 0;
  for (const OperationProgress& e : rig.host.events) ended += e.ended ? 1 : 0;
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(rig.host.events.back().total, 0x50000u);
}

TEST(TargetOperations, VerifyTargetComparesWithoutWriting) {
  Rig rig;
  rig.adapter.flash = pattern(0x10000, 9);
  rig.host.view.bytes.assign(rig.adapter.flash.begin(), rig.adapter.flash.begin() + 300);
  rig.operations->verifyTarget();
  EXPECT_EQ(calls(rig.adapter), (Strings{"connect 0 0 1", "checkFirmware", "send 37", "send 35", "read 30", "send 4",
                                          "send 8", "disconnect"}));
  EXPECT_EQ(rig.adapter.count("read 30 300 at 0"), 1);
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Verify Target ok !"});
  EXPECT_EQ(rig.host.verifyProgress.back(), -1);
  EXPECT_EQ(rig.host.currentStatus(), rig.host.filePath);  // the loaded file stays

  // Two bytes changed in the target: both counted, both listed, no box but one.
  rig.boxes.shown.clear();
  rig.adapter.flash[0x10] ^= 0x01;
  rig.adapter.flash[0x12B] = 0x00;
  rig.operations->verifyTarget();
  ASSERT_EQ(rig.boxes.shown.size(), 1u);
  EXPECT_EQ(rig.boxes.shown[0].caption, "Error !");
  EXPECT_EQ(rig.boxes.shown[0].text, "Verify Target failed !\nBytes that differ: 2\nOffset: Code buffer / Target\n" +
                                         format("0x00000010: %02X / %02X\n0x0000012B: %02X / 00",
                                                rig.host.view.bytes[0x10], rig.adapter.flash[0x10],
                                                rig.host.view.bytes[0x12B]));
  const FlashComparison& c = rig.operations->targetFindings().comparison;
  EXPECT_EQ(c.differing, 2u);
  EXPECT_EQ(c.first.at(0).offset, 0x10u);
  EXPECT_TRUE(rig.adapter.blocks.empty());

  // Nothing to compare, or more than the flash holds: the adapter is not touched.
  for (const std::size_t n : {std::size_t{0}, std::size_t{0x10001}}) {
    Rig bare;
    bare.host.view.bytes.assign(n, 0xFF);
    bare.operations->verifyTarget();
    EXPECT_TRUE(calls(bare.adapter).empty()) << n;
    EXPECT_EQ(boxTexts(bare.boxes), Strings{n == 0 ? "Code buffer is empty, there is nothing to verify !"
                                                   : "Code buffer is larger than the target's flash, it can't be verified !"});
    EXPECT_FALSE(bare.operations->busyFlag());
  }
}

TEST(TargetOperations, EraseTargetAndItsRefusal) {
  Rig rig;
  rig.operations->eraseTarget();
  EXPECT_EQ(calls(rig.adapter),
            (Strings{"connect 0 0 1", "checkFirmware", "send 37", "send 35", "send 13", "send 4", "send 8", "disconnect"}));
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Erase Target ok !"});

  Rig refused;
  refused.adapter.answers[cmd::kErase].push_back({adapter_status::kNoResponse, 0});
  refused.operations->eraseTarget();
  EXPECT_EQ(boxTexts(refused.boxes), (Strings{"DUT is no response!", "Erase Target failed !"}));
  EXPECT_EQ(refused.adapter.count("send 8"), 1);
  EXPECT_FALSE(refused.operations->busyFlag());
}

TEST(TargetOperations, BlankCheckNamesTheFirstByteThatIsNotBlank) {
  Rig rig;
  rig.operations->blankCheck();
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Target is blank !"});
  EXPECT_FALSE(rig.operations->targetFindings().firstNonBlank);

  rig.boxes.shown.clear();
  rig.adapter.flash[0x1234] = 0x7F;
  rig.operations->blankCheck();
  EXPECT_EQ(boxTexts(rig.boxes), Strings{"Target is not blank !\nFirst byte that is not blank: 0x00001234"});
  EXPECT_EQ(rig.boxes.shown[0].caption, "Error !");
  EXPECT_EQ(rig.operations->targetFindings().firstNonBlank, 0x1234u);
}

// A read the adapter refuses because the flash is read-protected says so;
// any other failed read says it could not be read. Either way the target is
// released and the run ends with its failed box.
TEST(TargetOperations, ARefusedReadIsExplained) {
  const struct {
    int result;
    const char* text;
  } cases[] = {
      {static_cast<int>(kReadRefusedBase + adapter_status::kReadProtected),
       "Target is read-protected, its flash can't be read ! Erase Target clears the protection."},
      {static_cast<int>(err::kInvalidData), "Target's flash could not be read !"},
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.adapter.readDataResult = c.result;
    rig.host.view.bytes = pattern(64);
    rig.operations->blankCheck();
    rig.operations->verifyTarget();
    rig.operations->readTarget();
    EXPECT_EQ(boxTexts(rig.boxes), (Strings{c.text, "Blank Check failed !", c.text, "Verify Target failed !", c.text,
                                            "Read Target failed !"}));
    EXPECT_EQ(rig.adapter.count("send 4"), 3);
    EXPECT_EQ(rig.host.view.bytes, pattern(64));  // a failed read leaves the Code buffer
    EXPECT_EQ(rig.operations->targetFindings().readProtected, c.result != static_cast<int>(err::kInvalidData));
  }
}

}  // namespace
}  // namespace lw::test
