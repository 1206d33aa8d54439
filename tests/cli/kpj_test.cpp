// loomwrite-cli kpj save and kpj show, end to end.
#include <gtest/gtest.h>

#include <QJsonObject>

#include "core/byte_sum.h"
#include "tests/cli/cli_run.h"
#include "tests/cli/window_loader.h"

namespace lw::test {
namespace {

// Sets the record checksum of a project file after its record was edited.
void resealRecord(std::vector<uint8_t>& file) {
  const std::size_t length = (file[file.size() - 2] << 8) | file[file.size() - 1];
  const std::size_t start = file.size() - length;
  file[file.size() - 4] = 0;
  file[file.size() - 3] = 0;
  const uint16_t sum = static_cast<uint16_t>(byteSum(file.data() + start, length));
  file[file.size() - 4] = static_cast<uint8_t>(sum >> 8);
  file[file.size() - 3] = static_cast<uint8_t>(sum);
}

TEST(CliKpj, SaveShowAndLoadBack) {
  ScratchDir dir;
  const std::string hex = examplePath("blinky.hex");
  const CliRun saved = runCli(dir, {"kpj", "save", "job.kpj", "--part", "Larch-F8U6", hex, "--option", "SWDP",
                                    "--option", "iwdgon", "--iwdgcnt", "1234"});
  ASSERT_EQ(saved.exit, 0) << saved.err;
  EXPECT_EQ(saved.err, "");
  EXPECT_EQ(saved.out.rfind("job.kpj\nSize = ", 0), 0u) << saved.out;
  EXPECT_NE(saved.out.find("Part index 43 (Larch-F8U6), option bytes FE FF FF FF 34 12 F0 7F, record 243 bytes"),
            std::string::npos)
      << saved.out;

  const std::vector<uint8_t> image = loadInTheWindow("Larch-F8U6", {{hex, LoadArea{}}});
  const std::vector<uint8_t> file = dir.readBytes("job.kpj");
  ASSERT_EQ(file.size(), image.size() + 243);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), file.begin()));

  const CliRun shown = runCli(dir, {"--json", "kpj", "show", "job.kpj"});
  ASSERT_EQ(shown.exit, 0) << shown.err;
  const QJsonObject p = shown.json()["project"].toObject();
  EXPECT_EQ(p["magic"].toString(), "vantrel. KPJ 3.0");
  EXPECT_EQ(p["code_file_name"].toString(), "blinky.hex");
  EXPECT_EQ(p["code_size"].toInt(), static_cast<int>(image.size()));
  EXPECT_EQ(p["code_checksum"].toInt(), codeChecksum(image.data(), image.size()));
  EXPECT_EQ(p["part_index"].toInt(), 43);
  EXPECT_EQ(p["part_name"].toString(), "Larch-F8U6");
  EXPECT_EQ(p["option_bytes"].toString(), "FE FF FF FF 34 12 F0 7F");
  EXPECT_EQ(p["option_block_length"].toInt(), 176);
  EXPECT_EQ(p["reserved_c"].toInt(), 5);
  EXPECT_EQ(p["reserved_a"].toInt(), 0);
  EXPECT_EQ(p["reserved_b"].toInt(), 0xFF);
  EXPECT_EQ(p["reserved_word"].toInt(), 0x0100);
  EXPECT_EQ(p["version"].toInt(), 0x0302);
  EXPECT_EQ(p["format_code"].toInt(), 0x18);
  EXPECT_EQ(p["record_length"].toInt(), 243);
  EXPECT_EQ(p["isp_code_name"].toString(), "");
  const std::size_t tail = file.size();
  EXPECT_EQ(p["record_checksum"].toInt(), (file[tail - 4] << 8) | file[tail - 3]);
  // Block offset 160, the block starting after the 10-byte name at record offset 43.
  const std::size_t key = image.size() + 43 + 160;
  EXPECT_EQ(p["random_key"].toInteger(),
            (qint64{file[key]} << 24) | (file[key + 1] << 16) | (file[key + 2] << 8) | file[key + 3]);
  EXPECT_EQ(p["save_time"].toString().size(), 19);

  const CliRun text = runCli(dir, {"kpj", "show", "job.kpj"});
  EXPECT_EQ(text.exit, 0);
  EXPECT_NE(text.out.find("Option bytes           FE FF FF FF 34 12 F0 7F\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("Record length L        243 bytes\n"), std::string::npos);

  // A project needs no --part: it brings its own.
  const CliRun back = runCli(dir, {"load", "job.kpj", "--out", "back.bin"});
  ASSERT_EQ(back.exit, 0) << back.err;
  EXPECT_EQ(dir.readBytes("back.bin"), image);
}

TEST(CliKpj, ShowReportsWhatTheProgramWouldRefuse) {
  ScratchDir dir;
  ASSERT_EQ(runCli(dir, {"kpj", "save", "job.kpj", "--part", "Larch-F8U6", examplePath("blinky.hex")}).exit, 0);
  const std::vector<uint8_t> good = dir.readBytes("job.kpj");

  std::vector<uint8_t> damaged = good;
  damaged[10] ^= 0x01;
  dir.writeBytes("damaged.kpj", damaged);
  const CliRun bad = runCli(dir, {"kpj", "show", "damaged.kpj"});
  EXPECT_EQ(bad.exit, 1);
  EXPECT_EQ(bad.errLines(), std::vector<std::string>{"Error !: This file is incompatible format and unable to open !"});
  EXPECT_EQ(bad.out, "");

  std::vector<uint8_t> newer = good;
  newer[newer.size() - 8] = 0x03;  // version 0x0303
  resealRecord(newer);
  dir.writeBytes("newer.kpj", newer);
  const CliRun tooNew = runCli(dir, {"--json", "kpj", "show", "newer.kpj"});
  EXPECT_EQ(tooNew.exit, 1);
  EXPECT_EQ(tooNew.json()["project"].toObject()["version"].toInt(), 0x0303);
  EXPECT_EQ(tooNew.errLines(),
            std::vector<std::string>{"loomwrite-cli: This AP is not the newest edition, is unable to open the new "
                                     "edition the file, please contact vantrel !"});

  // A part the program does not offer is refused, as the program refuses it.
  std::vector<uint8_t> foreign = good;
  const std::size_t recordStart = good.size() - ((good[good.size() - 2] << 8) | good[good.size() - 1]);
  foreign[recordStart + 29 + good[recordStart + 16] + 1] = 7;  // Part index 7: no descriptor
  resealRecord(foreign);
  dir.writeBytes("foreign.kpj", foreign);
  const CliRun unsupported = runCli(dir, {"--json", "kpj", "show", "foreign.kpj"});
  EXPECT_EQ(unsupported.exit, 1);
  EXPECT_EQ(unsupported.json()["project"].toObject()["part_index"].toInt(), 7);
  EXPECT_EQ(unsupported.errLines(), std::vector<std::string>{"Error !: The target is not supported!"});

  // The program asks before opening an older edition: --yes answers Yes.
  std::vector<uint8_t> older = good;
  older[older.size() - 8] = 0x01;  // version 0x0301
  resealRecord(older);
  dir.writeBytes("older.kpj", older);
  const CliRun declined = runCli(dir, {"load", "older.kpj", "--out", "older.bin"});
  EXPECT_EQ(declined.exit, 1);
  EXPECT_EQ(declined.errLines().at(0),
            "loomwrite-cli: This file is old, opening possibly can have information losing, whether has to open ?");
  EXPECT_FALSE(dir.exists("older.bin"));
  const CliRun accepted = runCli(dir, {"--yes", "load", "older.kpj", "--out", "older.bin"});
  EXPECT_EQ(accepted.exit, 0) << accepted.err;
  EXPECT_EQ(dir.readBytes("older.bin").size(), good.size() - 243);

  const CliRun missing = runCli(dir, {"kpj", "show", "none.kpj"});
  EXPECT_EQ(missing.exit, 1);
  EXPECT_EQ(missing.errLines(), std::vector<std::string>{"loomwrite-cli: none.kpj: no such file"});
}

TEST(CliKpj, SaveRefusesBadSettingsAndEmptyBuffers) {
  ScratchDir dir;
  const std::string hex = examplePath("blinky.hex");
  const CliRun unknown = runCli(dir, {"kpj", "save", "a.kpj", "--part", "Larch-F8U6", hex, "--option", "WRP"});
  EXPECT_EQ(unknown.exit, 2);
  EXPECT_EQ(unknown.errLines(),
            std::vector<std::string>{"loomwrite-cli: Larch-F8U6 has no option bit 'WRP' (its option bits: SWDP, "
                                     "IWDGMODE, IWDGINTMASK, IWDGON)"});
  EXPECT_FALSE(dir.exists("a.kpj"));

  const CliRun count = runCli(dir, {"kpj", "save", "a.kpj", "--part", "Larch-F8U6", hex, "--option-bytes", "FEFF"});
  EXPECT_EQ(count.exit, 2);
  EXPECT_EQ(count.errLines(),
            std::vector<std::string>{"loomwrite-cli: --option-bytes: Larch-F8U6 has 8 option bytes, 2 were given"});

  const CliRun raw = runCli(dir, {"--json", "kpj", "save", "a.kpj", "--part", "Larch-F8U6", hex, "--option-bytes",
                                  "FE FF FF FF 00 10 F0 7F"});
  ASSERT_EQ(raw.exit, 0) << raw.err;
  EXPECT_EQ(raw.json()["project"].toObject()["option_bytes"].toString(), "FE FF FF FF 00 10 F0 7F");

  dir.writeBytes("empty.bin", {});
  const CliRun empty = runCli(dir, {"kpj", "save", "e.kpj", "--part", "Larch-F8U6", "empty.bin"});
  EXPECT_EQ(empty.exit, 1);
  EXPECT_EQ(empty.errLines(), std::vector<std::string>{"Loom3 Programmer: Code Buffer is empty !"});
  EXPECT_FALSE(dir.exists("e.kpj"));

  const CliRun unwritable = runCli(dir, {"kpj", "save", "no/dir/e.kpj", "--part", "Larch-F8U6", hex});
  EXPECT_EQ(unwritable.exit, 1);
  EXPECT_EQ(unwritable.err.rfind("Error !: The project file could not be written, nothing was saved !", 0), 0u)
      << unwritable.err;
}

}  // namespace
}  // namespace lw::test
