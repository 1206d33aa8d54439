// loomwrite-cli load, end to end: the buffer it writes is the one the
// window holds after the same loads, and its failures say what went wrong.
#include <gtest/gtest.h>

#include <numeric>

#include "core/byte_sum.h"
#include "core/text.h"
#include "resources/embedded_resources.h"
#include "resources/part_database.h"
#include "tests/cli/cli_run.h"
#include "tests/cli/window_loader.h"
#include "tests/toolchain_files.h"

#include <QJsonArray>

namespace lw::test {
namespace {

constexpr uint16_t kLarchF8U6 = 43;

std::vector<uint8_t> pattern(std::size_t n, uint8_t seed) {
  std::vector<uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
  return bytes;
}

TEST(CliLoad, WritesTheBufferTheWindowHolds) {
  ScratchDir dir;
  const std::string hex = examplePath("blinky.hex");
  const CliRun run = runCli(dir, {"load", hex, "--part", "Larch-F8U6", "--out", "blinky.bin"});
  ASSERT_EQ(run.exit, 0) << run.err;
  const std::vector<uint8_t> window = loadInTheWindow("Larch-F8U6", {{hex, LoadArea{}}});
  ASSERT_FALSE(window.empty());
  EXPECT_EQ(dir.readBytes("blinky.bin"), window);
  EXPECT_EQ(run.out, format("Size = %zu Bytes\nChecksum = 0x%04X\n", window.size(),
                            codeChecksum(window.data(), window.size())));
  EXPECT_EQ(run.err, "");

  // Two raw files, the second merged at an IAP address, as srec_cat takes
  // options: --at and --merge belong to the file before them.
  dir.writeBytes("app.bin", pattern(2048, 1));
  dir.writeBytes("data.bin", pattern(1024, 9));
  const CliRun merged =
      runCli(dir, {"--json", "load", "app.bin", "data.bin", "--at", "EC00", "--merge", "--part", "Larch-F8U6",
                   "--out", "merged.bin"});
  ASSERT_EQ(merged.exit, 0) << merged.err;
  const std::vector<uint8_t> windowMerged = loadInTheWindow(
      "Larch-F8U6", {{dir / "app.bin", LoadArea{}}, {dir / "data.bin", LoadArea{0xEC00, true, false}}});
  const std::vector<uint8_t> written = dir.readBytes("merged.bin");
  EXPECT_EQ(written, windowMerged);
  ASSERT_EQ(written.size(), 0xF000u);
  EXPECT_EQ(written[2047], pattern(2048, 1)[2047]);
  EXPECT_EQ(written[2048], 0xFF);
  EXPECT_EQ(written[0xEC00], pattern(1024, 9)[0]);

  const QJsonObject json = merged.json();
  EXPECT_TRUE(json["ok"].toBool());
  EXPECT_EQ(json["command"].toString(), "load");
  EXPECT_EQ(json["part"].toString(), "Larch-F8U6");
  EXPECT_EQ(json["size"].toInt(), 0xF000);
  EXPECT_EQ(json["checksum"].toInt(), codeChecksum(written.data(), written.size()));
  EXPECT_EQ(json["size_text"].toString(), "Size = 61440 Bytes");
}

TEST(CliLoad, TruncationAndDamagedHexAreConfirmedOnlyWithYes) {
  ScratchDir dir;
  const uint32_t limit = fileSizeLimit(embeddedResources(), kLarchF8U6);
  dir.writeBytes("big.bin", pattern(limit + 100, 3));

  const CliRun declined = runCli(dir, {"load", "big.bin", "--part", "Larch-F8U6", "--out", "cut.bin"});
  EXPECT_EQ(declined.exit, 1);
  EXPECT_EQ(declined.errLines(),
            (std::vector<std::string>{"Warning !: File size is too large, file data will be truncated !",
                                      "loomwrite-cli: a question was answered Cancel/No; pass --yes to answer "
                                      "OK/Yes"}));
  EXPECT_FALSE(dir.exists("cut.bin"));

  const CliRun confirmed = runCli(dir, {"load", "big.bin", "--part", "Larch-F8U6", "--out", "cut.bin", "--yes"});
  EXPECT_EQ(confirmed.exit, 0) << confirmed.err;
  EXPECT_EQ(confirmed.errLines(),
            std::vector<std::string>{"Warning !: File size is too large, file data will be truncated !"});
  EXPECT_EQ(dir.readBytes("cut.bin").size(), limit);

  // A HEX file damaged before its end is loaded only when confirmed.
  dir.write("damaged.hex", ":0400000001020304F2\n:02000400AABBXX\n:02000600CCDD55\n:00000001FF\n");
  const CliRun refused = runCli(dir, {"load", "damaged.hex", "--part", "Larch-F8U6", "--out", "part.bin"});
  EXPECT_EQ(refused.exit, 1);
  ASSERT_EQ(refused.errLines().size(), 2u) << refused.err;
  EXPECT_EQ(refused.errLines()[0].rfind("Warning !: Reading the HEX file stopped before all of its data", 0), 0u);
  EXPECT_FALSE(dir.exists("part.bin"));
  const CliRun taken = runCli(dir, {"load", "damaged.hex", "--part", "Larch-F8U6", "--out", "part.bin", "--yes"});
  EXPECT_EQ(taken.exit, 0) << taken.err;
  EXPECT_EQ(dir.readBytes("part.bin"), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(CliLoad, FailuresAndUsageErrors) {
  ScratchDir dir;
  dir.writeBytes("a.bin", pattern(16, 0));

  const CliRun missing = runCli(dir, {"load", "nothere.bin", "--part", "Larch-F8U6"});
  EXPECT_EQ(missing.exit, 1);
  EXPECT_EQ(missing.errLines(), std::vector<std::string>{"loomwrite-cli: nothere.bin: no such file"});
  EXPECT_EQ(missing.out, "");

  // Nothing of the file would land below the end of the flash.
  const CliRun beyond = runCli(dir, {"load", "a.bin", "--at", "10000", "--part", "Larch-F8U6"});
  EXPECT_EQ(beyond.exit, 1);
  ASSERT_EQ(beyond.errLines().size(), 1u);
  EXPECT_EQ(beyond.errLines()[0].rfind("Error !: The load address lies at or beyond the end of the flash", 0), 0u)
      << beyond.err;

  // Files without data leave nothing to write: no empty image with status 0.
  dir.writeBytes("empty.bin", {});
  dir.write("comments.hex", "; no records here\n:00000001FF\n");
  const CliRun nothing = runCli(dir, {"load", "empty.bin", "comments.hex", "--part", "Larch-F8U6", "--out", "e.bin"});
  EXPECT_EQ(nothing.exit, 1);
  EXPECT_EQ(nothing.errLines(),
            std::vector<std::string>{"loomwrite-cli: the files held no data, the Code buffer is empty"});
  EXPECT_FALSE(dir.exists("e.bin"));

  const CliRun unknownPart = runCli(dir, {"--json", "load", "a.bin", "--part", "Oak-X1"});
  EXPECT_EQ(unknownPart.exit, 2);
  EXPECT_NE(unknownPart.err.find("no part matches 'Oak-X1' (parts offered: Larch-F8U6,"), std::string::npos);
  EXPECT_EQ(unknownPart.json()["exit"].toInt(), 2);

  // A name is searched as the program's command-line part name is: a
  // prefix, from the second entry on.
  const CliRun prefix = runCli(dir, {"--json", "load", "a.bin", "--part", "larch-f8"});
  EXPECT_EQ(prefix.exit, 0);
  EXPECT_EQ(prefix.json()["part"].toString(), "Larch-F8P6");

  const CliRun noPart = runCli(dir, {"--json", "load", "a.bin"});
  EXPECT_EQ(noPart.exit, 2);
  EXPECT_FALSE(noPart.json()["ok"].toBool(true));
  EXPECT_EQ(noPart.json()["error"].toString(), "load needs --part NAME");
  EXPECT_EQ(noPart.errLines().at(0), "loomwrite-cli: load needs --part NAME");

  const CliRun badOut = runCli(dir, {"load", "a.bin", "--part", "Larch-F8U6", "--out", "no/such/dir/x.bin"});
  EXPECT_EQ(badOut.exit, 1);
  EXPECT_EQ(badOut.err.rfind("loomwrite-cli: no/such/dir/x.bin: cannot be written", 0), 0u) << badOut.err;
}

// What a build's ELF file loads into is written out as HEX or S-record that
// objcopy turns back into the same bytes; names the writer cannot produce
// are usage errors.
TEST(CliLoad, AnElfFileIsWrittenOutAsHexOrSRecordByNameOrFormat) {
  ScratchDir dir;
  ASSERT_EQ(buildToggleImages(dir.path()), "");
  const std::vector<uint8_t> binary = dir.readBytes("toggle.bin");

  for (const char* out : {"app.hex", "app.s37", "app.txt"}) {
    const CliRun run = runCli(dir, {"load", "toggle.elf", "--part", "Larch-F8U6", "--out", out});
    ASSERT_EQ(run.exit, 0) << out << run.err;
  }
  const CliRun forced = runCli(dir, {"load", "toggle.elf", "--part", "Larch-F8U6", "--out", "app.img", "--format", "srec"});
  ASSERT_EQ(forced.exit, 0) << forced.err;
  std::string log;
  ASSERT_TRUE(runTool({"objcopy", "-I", "ihex", "-O", "binary", dir / "app.hex", dir / "hex.bin"}, &log)) << log;
  ASSERT_TRUE(runTool({"objcopy", "-I", "srec", "-O", "binary", dir / "app.s37", dir / "s37.bin"}, &log)) << log;
  ASSERT_TRUE(runTool({"objcopy", "-I", "srec", "-O", "binary", dir / "app.img", dir / "img.bin"}, &log)) << log;
  EXPECT_EQ(dir.readBytes("hex.bin"), binary);
  EXPECT_EQ(dir.readBytes("s37.bin"), binary);
  EXPECT_EQ(dir.readBytes("img.bin"), binary);
  EXPECT_EQ(dir.readBytes("app.txt"), binary);  // any other name: raw binary

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--out", "app.elf"}, {"--out", "job.KPJ"}, {"--format", "hex"},
        {"--out", "a.bin", "--format", "elf"}}) {
    std::vector<std::string> command{"load", "toggle.elf", "--part", "Larch-F8U6"};
    command.insert(command.end(), args.begin(), args.end());
    const CliRun refused = runCli(dir, command);
    EXPECT_EQ(refused.exit, 2) << args[1];
    EXPECT_FALSE(dir.exists("app.elf"));
  }
}

TEST(CliParts, ListsTheOfferedPartsWithTheirOptionBits) {
  ScratchDir dir;
  const CliRun run = runCli(dir, {"parts", "--json"});
  ASSERT_EQ(run.exit, 0) << run.err;
  const QJsonArray series = run.json()["series"].toArray();
  ASSERT_EQ(series.size(), 1);
  const QJsonArray parts = series[0].toObject()["parts"].toArray();
  ASSERT_EQ(parts.size(), 4);
  const QJsonObject first = parts[0].toObject();
  EXPECT_EQ(first["name"].toString(), "Larch-F8U6");
  EXPECT_EQ(first["index"].toInt(), 43);
  EXPECT_EQ(first["flash_size"].toInt(), 0x10000);
  EXPECT_EQ(first["option_byte_count"].toInt(), 8);
  EXPECT_EQ(first["option_bits"].toArray()[0].toObject()["name"].toString(), "SWDP");

  const CliRun text = runCli(dir, {"parts"});
  EXPECT_EQ(text.exit, 0);
  EXPECT_NE(text.out.find("Larch-F8U6"), std::string::npos);
}

}  // namespace
}  // namespace lw::test
