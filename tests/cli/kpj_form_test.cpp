// loomwrite-cli kpj form and the form outputs of kpj save, end to end:
// the text, the 1-bit picture with its frame at the layout's pixels, and
// the PDF page read back with pdftotext.
#include <gtest/gtest.h>

#include <QJsonObject>
#include <cstdio>
#include <cstdlib>

#include "tests/cli/cli_run.h"

namespace lw::test {
namespace {

std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
    lines.push_back(text.substr(start, at - start));
  lines.push_back(text.substr(start));
  return lines;
}

// A 1-bit BMP read back: size and pixels (true = black).
struct Bmp {
  explicit Bmp(const std::vector<uint8_t>& b) : bytes(b) {
    auto u32 = [&](std::size_t at) { return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (b[at + 3] << 24); };
    offset = u32(10);
    width = u32(18);
    height = u32(22);
    bits = b[28] | (b[29] << 8);
  }
  bool black(int x, int y) const {
    const std::size_t row = ((width + 31) / 32) * 4;
    const uint8_t byte = bytes[offset + (height - 1 - y) * row + x / 8];
    return ((byte >> (7 - x % 8)) & 1) == 0;  // palette index 0 is black
  }
  std::vector<uint8_t> bytes;
  int offset = 0, width = 0, height = 0, bits = 0;
};

TEST(CliKpjForm, SaveWritesTheFormAsTextPictureAndPdf) {
  ScratchDir dir;
  const CliRun saved = runCli(dir, {"kpj", "save", "job.kpj", "--part", "Larch-F8U6", examplePath("blinky.hex"),
                                    "--to", "Acme & Co", "--from", "Lab", "--part-no", "PN-1", "--form-text",
                                    "job.txt", "--form-bmp", "job.bmp", "--form-pdf", "job.pdf"});
  ASSERT_EQ(saved.exit, 0) << saved.err;

  // The text: 65 lines as formatted, no line end after the last.
  const std::string text = dir.read("job.txt");
  const std::vector<std::string> lines = crlfLines(text);
  ASSERT_EQ(lines.size(), 65u);
  EXPECT_EQ(lines[6].rfind(" To      : Acme & Co ", 0), 0u);
  EXPECT_EQ(lines[14].rfind("    MCU Body        Larch-F8U6 ", 0), 0u);
  EXPECT_EQ(lines[16].rfind("    KPJ File Name   job.kpj ", 0), 0u);
  EXPECT_EQ(lines[18].rfind("    CodeFile Name   blinky.hex ", 0), 0u);

  // kpj form on the saved file gives the same text.
  const CliRun formed =
      runCli(dir, {"kpj", "form", "job.kpj", "--to", "Acme & Co", "--from", "Lab", "--part-no", "PN-1"});
  ASSERT_EQ(formed.exit, 0) << formed.err;
  EXPECT_EQ(formed.out, text);

  // The picture: 1 bit per pixel, 100 x 70 cells, the frame where the
  // layout puts it (c and b the cell size).
  const Bmp bmp(dir.readBytes("job.bmp"));
  ASSERT_EQ(bmp.bits, 1);
  ASSERT_GT(bmp.width, 0);
  ASSERT_EQ(bmp.width % 100, 0);
  ASSERT_EQ(bmp.height % 70, 0);
  const int c = bmp.width / 100, b = bmp.height / 70;
  const int top = 13 * b + b / 2, bottom = top + 31 * b, left = 13 * c - c / 2, right = 89 * c + c / 2;
  for (int x = 20 * c - c / 4; x < 50 * c + c / 4; ++x) ASSERT_TRUE(bmp.black(x, 7 * b + b / 3)) << x;
  EXPECT_FALSE(bmp.black(50 * c + c / 4, 7 * b + b / 3));  // the end pixel is not drawn
  for (int x = left; x < right; ++x) ASSERT_TRUE(bmp.black(x, bottom)) << x;
  for (int y = top + 1; y <= bottom; ++y) {
    ASSERT_TRUE(bmp.black(left, y)) << y;
    ASSERT_TRUE(bmp.black(right, y)) << y;
  }
  EXPECT_FALSE(bmp.black(left - 1, top + b));
  for (int y = top; y < top + 16 * b; ++y) ASSERT_TRUE(bmp.black(29 * c - c / 2, y)) << y;
  EXPECT_TRUE(bmp.black(51 * c - c / 2, 36 * b + b / 2));  // option column
  EXPECT_FALSE(bmp.black(1, 1));

  // The PDF's text holds the form's lines.
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext (poppler-utils) missing";
  const std::string command = "pdftotext -layout '" + (dir / "job.pdf") + "' '" + (dir / "job.pdf.txt") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string pdfText = dir.read("job.pdf.txt");
  for (const char* expected : {"vantrel KPJ3.0 Request FORM v1.2", "Acme & Co", "Larch-F8U6", "blinky.hex",
                               "IWDGCNT : 0x", "you offered before.", "vantrel representative :"}) {
    EXPECT_NE(pdfText.find(expected), std::string::npos) << expected << "\n" << pdfText;
  }
}

TEST(CliKpjForm, SelectedPartDamagedFilesAndOutputsThatCannotBeWritten) {
  ScratchDir dir;
  ASSERT_EQ(runCli(dir, {"kpj", "save", "job.kpj", "--part", "Larch-F8U6", examplePath("blinky.hex")}).exit, 0);

  // --part chooses the MCU Body; --json carries the text.
  const CliRun other = runCli(dir, {"--json", "kpj", "form", "job.kpj", "--part", "Larch-K8U6"});
  ASSERT_EQ(other.exit, 0) << other.err;
  const std::vector<std::string> lines = crlfLines(other.json()["form"].toString().toStdString());
  ASSERT_EQ(lines.size(), 65u);
  EXPECT_EQ(lines[14].rfind("    MCU Body        Larch-K8U6 ", 0), 0u);
  EXPECT_EQ(lines[36].rfind("                    SWDP : ", 0), 0u);  // names from the project's own part

  // One changed name byte: message 2001, nothing written.
  std::vector<uint8_t> file = dir.readBytes("job.kpj");
  const std::size_t length = (file[file.size() - 2] << 8) | file[file.size() - 1];
  file[file.size() - length + 17] ^= 0x20;
  dir.writeBytes("bad.kpj", file);
  const CliRun bad = runCli(dir, {"kpj", "form", "bad.kpj", "--text", "bad.txt"});
  EXPECT_EQ(bad.exit, 1);
  EXPECT_NE(bad.err.find("The file and the file content information is different"), std::string::npos) << bad.err;
  EXPECT_FALSE(dir.exists("bad.txt"));

  const CliRun unwritable = runCli(dir, {"kpj", "form", "job.kpj", "--bmp", "no/such/dir/f.bmp"});
  EXPECT_EQ(unwritable.exit, 1);
  EXPECT_NE(unwritable.err.find("The picture could not be written !"), std::string::npos) << unwritable.err;

  EXPECT_EQ(runCli(dir, {"kpj", "form", "job.kpj", "--form-bmp", "f.bmp"}).exit, 2);
  EXPECT_EQ(runCli(dir, {"kpj", "show", "job.kpj", "--to", "x"}).exit, 2);
  EXPECT_EQ(runCli(dir, {"kpj", "form", "missing.kpj"}).exit, 1);
}

}  // namespace
}  // namespace lw::test
