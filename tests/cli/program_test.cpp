// loomwrite-cli program and firmware against the emulated adapter, each
// test with a fresh state directory.
#include <gtest/gtest.h>

#include <algorithm>

#include <QJsonArray>
#include <QJsonObject>

#include "tests/cli/cli_run.h"
#include "tests/cli/window_loader.h"
#include "tests/toolchain_files.h"

namespace lw::test {
namespace {

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(CliProgram, ProgramsTheTargetAndReportsOk) {
  ScratchDir work, state;
  const std::string hex = examplePath("blinky.hex");
  const CliRun run = runCli(work, with(emulatorArgs(state), {"--json", "program", hex, "--part", "Larch-F8U6",
                                                             "--option", "SWDP", "--iwdgcnt", "00FFF"}));
  ASSERT_EQ(run.exit, 0) << run.err;
  // Not a terminal and no --progress: the result alone.
  EXPECT_EQ(run.errLines(), std::vector<std::string>{"Pass !: Update Target ok !"});
  const QJsonObject json = run.json();
  EXPECT_TRUE(json["ok"].toBool());
  EXPECT_EQ(json["result"].toString(), "Pass !: Update Target ok !");
  EXPECT_EQ(json["option_bytes"].toString(), "FE FF FF FF FF 0F F0 FF");
  EXPECT_EQ(json["messages"].toArray().size(), 1);

  const std::vector<uint8_t> image = loadInTheWindow("Larch-F8U6", {{hex, LoadArea{}}});
  const std::vector<uint8_t> flash = state.readBytes("target-flash.bin");
  ASSERT_GE(flash.size(), image.size());
  EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
  EXPECT_EQ(state.read("target-options.txt").substr(0, 23), "FE FF FF FF FF 0F F0 FF");

  // --progress draws the bar as lines when standard error is not a
  // terminal; the adapter is found through LOOMWRITE_ADAPTER.
  const CliRun progress = runCli(work, {"program", hex, "--part", "Larch-F8U6", "--progress"},
                                 {{"LOOMWRITE_ADAPTER", "emulator:" + state.path().string()}});
  ASSERT_EQ(progress.exit, 0) << progress.err;
  const std::vector<std::string> lines = progress.errLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back(), "Pass !: Update Target ok !");
  EXPECT_EQ(lines[lines.size() - 2], "[##############################] Completed ...100%");
  EXPECT_NE(progress.out.find("Size = "), std::string::npos);
}

// In Chinese the message lines and the JSON texts are the Chinese table's.
TEST(CliProgram, InChineseThePassLineIsChinese) {
  ScratchDir work, state;
  const CliRun run = runCli(work, with(emulatorArgs(state), {"--language", "zh", "--json", "program",
                                                             examplePath("blinky.hex"), "--part", "Larch-F8U6"}));
  ASSERT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(run.errLines(), std::vector<std::string>{"通过 !: 烧录目标芯片成功 !"});
  EXPECT_EQ(run.json()["result"].toString(), QString::fromUtf8("通过 !: 烧录目标芯片成功 !"));
  const CliRun text = runCli(work, {"program", examplePath("blinky.hex"), "--part", "Larch-F8U6"},
                             {{"LOOMWRITE_ADAPTER", "emulator:" + state.path().string()}, {"LOOMWRITE_LANGUAGE", "zh"}});
  ASSERT_EQ(text.exit, 0) << text.err;
  EXPECT_NE(text.out.find("大小 = 380 字节"), std::string::npos) << text.out;
}

// The ELF file, the S-record file and the HEX file of one build program the
// same bytes into the target.
TEST(CliProgram, ElfSRecordAndHexOfOneBuildProgramTheSameBytes) {
  ScratchDir work;
  ASSERT_EQ(buildToggleImages(work.path()), "");
  const std::vector<uint8_t> binary = work.readBytes("toggle.bin");
  for (const char* file : {"toggle.elf", "toggle.s19", "toggle.hex"}) {
    ScratchDir state;
    const CliRun run = runCli(work, with(emulatorArgs(state), {"program", file, "--part", "Larch-F8U6"}));
    ASSERT_EQ(run.exit, 0) << file << run.err;
    const std::vector<uint8_t> flash = state.readBytes("target-flash.bin");
    ASSERT_GE(flash.size(), binary.size());
    EXPECT_TRUE(std::equal(binary.begin(), binary.end(), flash.begin())) << file;
    EXPECT_TRUE(std::all_of(flash.begin() + static_cast<std::ptrdiff_t>(binary.size()), flash.end(),
                            [](uint8_t b) { return b == 0xFF; }))
        << file;
  }
}

TEST(CliProgram, AdapterFaultsFailWithTheProgramsMessages) {
  ScratchDir work, state;
  const std::string hex = examplePath("blinky.hex");
  const auto program = [&] {
    return runCli(work, with(emulatorArgs(state), {"program", hex, "--part", "Larch-F8U6"}));
  };
  ASSERT_EQ(program().exit, 0);  // creates the state files

  // The program's own box when it shows one, then the line that says
  // where the run stopped and what the adapter answered; the steps the
  // program fails in silence get that line alone.
  const struct {
    const char* fault;
    std::vector<std::string> lines;
  } cases[] = {
      {"connect.status = 3\n",
       {"Error occured !: DUT is no response!",
        "loomwrite-cli: Update Target failed at connect (command 37): status 3 (the target does not respond)"}},
      {"erase.status = 1\n",
       {"Error occured !: Checksum is not match !",
        "loomwrite-cli: Update Target failed at erase (command 13): status 1 (checksum mismatch)"}},
      {"wrong_part = yes\n",
       {"Error !: Target is not \"Larch-F8U6\" !", "loomwrite-cli: Update Target failed at part check (command 35): status 5"}},
      {"corrupt_at = 16\n",
       {"Error !: Checksum failed !",
        "loomwrite-cli: Update Target failed at verify: byte 0x00000010 reads back 0x01, the image holds 0x00"}},
      {"connect.answer = wrong-tag\n", {"loomwrite-cli: Update Target failed at connect (command 37): an answer with the wrong tag"}},
      {"part_check.answer = garbage\n", {"loomwrite-cli: Update Target failed at part check (command 35): an answer with the wrong tag"}},
      {"erase.answer = wrong-tag\n", {"loomwrite-cli: Update Target failed at erase (command 13): an answer with the wrong tag"}},
      {"identify.answer = none\n",
       {"loomwrite-cli: Update Target failed at the adapter's firmware check: ICE_Check_Firmware answered 31"}},
  };
  for (const auto& c : cases) {
    state.write("faults.ini", c.fault);
    const CliRun run = program();
    EXPECT_EQ(run.exit, 1) << c.fault;
    const std::vector<std::string> lines = run.errLines();
    ASSERT_EQ(lines.size(), c.lines.size()) << c.fault << run.err;
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].rfind(c.lines[i], 0), 0u) << lines[i];
  }
  // The production log's message is that line.
  state.write("faults.ini", "erase.answer = wrong-tag\n");
  EXPECT_EQ(runCli(work, with(emulatorArgs(state), {"program", hex, "--part", "Larch-F8U6", "--log", "x.jsonl"})).exit, 1);
  EXPECT_NE(work.read("x.jsonl").find("\"message\":\"Update Target failed at erase (command 13): an answer with the wrong tag"),
            std::string::npos)
      << work.read("x.jsonl");

  state.write("faults.ini", "");
  std::string adapter = state.read("adapter.ini");
  adapter.replace(adapter.find("connected = yes"), 15, "connected = no");
  state.write("adapter.ini", adapter);
  const CliRun absent = runCli(work, with(emulatorArgs(state), {"--json", "program", hex, "--part", "Larch-F8U6"}));
  EXPECT_EQ(absent.exit, 1);
  EXPECT_EQ(absent.errLines(), (std::vector<std::string>{"Error !: Tether is not exist !",
                                                         "loomwrite-cli: Update Target failed at opening the adapter: "
                                                         "ConnectHIDDevice answered 2 (The system cannot find the file "
                                                         "specified.)"}));
  EXPECT_FALSE(absent.json()["ok"].toBool(true));

  // An empty file is not programmed: the target would only be erased.
  work.writeBytes("empty.bin", {});
  const CliRun empty = runCli(work, with(emulatorArgs(state), {"program", "empty.bin", "--part", "Larch-F8U6"}));
  EXPECT_EQ(empty.exit, 1);
  EXPECT_EQ(empty.errLines(),
            std::vector<std::string>{"loomwrite-cli: the files held no data, the Code buffer is empty"});

  const CliRun badAdapter = runCli(work, {"--adapter", "emulator:", "program", hex, "--part", "Larch-F8U6"});
  EXPECT_EQ(badAdapter.exit, 2);
  EXPECT_EQ(badAdapter.errLines().at(0), "loomwrite-cli: --adapter emulator:DIR needs the emulator's state directory");
}

// An adapter on the bus that this user may not open (no udev rule) is named
// as such, with the rules to install; program and firmware both fail with 1.
TEST(CliProgram, AnAdapterThatMayNotBeOpenedNamesTheUdevRules) {
  ScratchDir work, state;
  const std::string hex = examplePath("blinky.hex");
  ASSERT_EQ(runCli(work, with(emulatorArgs(state), {"program", hex, "--part", "Larch-F8U6"})).exit, 0);
  state.write("faults.ini", "access_denied = yes\n");
  for (const auto& args : {std::vector<std::string>{"program", hex, "--part", "Larch-F8U6"},
                           std::vector<std::string>{"firmware"}}) {
    const CliRun run = runCli(work, with(emulatorArgs(state), args));
    EXPECT_EQ(run.exit, 1) << args[0];
    const std::vector<std::string> lines = run.errLines();
    ASSERT_FALSE(lines.empty()) << args[0];
    EXPECT_EQ(lines[0].rfind("Error !: The Tether is plugged in, but this user may not open", 0), 0u) << lines[0];
    EXPECT_NE(run.err.find("sudo cp contrib/udev/60-loomwrite-adapter.rules /etc/udev/rules.d/"), std::string::npos);
    EXPECT_EQ(run.err.find("Tether is not exist"), std::string::npos);
  }
}

// With --options-only an empty buffer is what is meant: the target is erased
// and the option bytes alone are written, as the window does.
TEST(CliProgram, OptionsOnlyErasesAndWritesTheOptionBytesAlone) {
  ScratchDir work, state;
  ASSERT_EQ(runCli(work, with(emulatorArgs(state), {"program", examplePath("blinky.hex"), "--part", "Larch-F8U6"})).exit, 0);
  const CliRun run = runCli(work, with(emulatorArgs(state), {"--json", "program", "--options-only", "--part",
                                                             "Larch-F8U6", "--option", "SWDP"}));
  ASSERT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(run.json()["size"].toInt(-1), 0);
  EXPECT_EQ(state.read("target-options.txt").substr(0, 8), "FE FF FF");
  const std::vector<uint8_t> flash = state.readBytes("target-flash.bin");
  EXPECT_TRUE(std::all_of(flash.begin(), flash.end(), [](uint8_t b) { return b == 0xFF; })) << "erased";
}

TEST(CliFirmware, CheckDeclineAndUpdate) {
  ScratchDir work, state;
  state.write("adapter.ini", "reenumerate_ms = 50\n");
  const CliRun current = runCli(work, with(emulatorArgs(state), {"firmware"}));
  EXPECT_EQ(current.exit, 0) << current.err;
  EXPECT_EQ(current.out, "Tether firmware is up to date (FW = v1. 5)\n");
  EXPECT_EQ(current.err, "");

  state.write("adapter.ini", "reenumerate_ms = 50\nfirmware_version = 1.4\n");
  const std::string prompt =
      "Warning !: Unmatched firmware version on the Tether. Press <OK> to update or <Cancel> to quit .";
  const CliRun declined = runCli(work, with(emulatorArgs(state), {"firmware"}));
  EXPECT_EQ(declined.exit, 1);
  EXPECT_EQ(declined.errLines(),
            (std::vector<std::string>{prompt, "loomwrite-cli: a question was answered Cancel/No; pass --yes to answer "
                                              "OK/Yes"}));
  EXPECT_NE(state.read("adapter.ini").find("firmware_version = 1.4"), std::string::npos);

  // The adapter check before programming finds the same mismatch and stops.
  const CliRun program =
      runCli(work, with(emulatorArgs(state), {"program", examplePath("blinky.hex"), "--part", "Larch-F8U6"}));
  EXPECT_EQ(program.exit, 1);
  EXPECT_EQ(program.errLines().at(0), prompt);

  const CliRun updated = runCli(work, with(emulatorArgs(state), {"--json", "firmware", "--yes"}));
  EXPECT_EQ(updated.exit, 0) << updated.err;
  EXPECT_EQ(updated.errLines(), (std::vector<std::string>{prompt, "Pass !: Tether is upgraded !"}));
  EXPECT_EQ(updated.json()["result"].toString(), "updated");
  EXPECT_NE(state.read("adapter.ini").find("firmware_version = 1.5"), std::string::npos);

  std::string adapter = state.read("adapter.ini");
  adapter.replace(adapter.find("connected = yes"), 15, "connected = no");
  state.write("adapter.ini", adapter);
  const CliRun absent = runCli(work, with(emulatorArgs(state), {"firmware", "--yes"}));
  EXPECT_EQ(absent.exit, 1);
  EXPECT_EQ(absent.errLines(), std::vector<std::string>{"Error !: Tether is not exist !"});
}

TEST(CliFirmware, AFailedUpdateFailsTheRun) {
  ScratchDir work, state;
  state.write("adapter.ini", "reenumerate_ms = 50\nfirmware_version = 1.4\n");
  state.write("faults.ini", "swapped_checksum_echo = yes\n");
  const CliRun run = runCli(work, with(emulatorArgs(state), {"--json", "firmware", "--yes"}));
  EXPECT_EQ(run.exit, 1);
  const std::vector<std::string> lines = run.errLines();
  ASSERT_EQ(lines.size(), 2u) << run.err;
  EXPECT_EQ(lines[1], "Error !: Firmware download to the Tether failed !");
  EXPECT_EQ(run.json()["result"].toString(), "update failed");
}

}  // namespace
}  // namespace lw::test
