// Cross-checks the HEX parser against objcopy on a corpus of real HEX files.
// Files the parser reads like any other tool are compared with objcopy's
// image of the file itself. For the others, the parser's own rules (lines
// without ':' skipped, parsing ends at a bad record or a record other than
// data/address, 0x0800xxxx placed at 0) are first applied to the text, and
// objcopy's image of that text is what the parser must produce.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/text.h"
#include "image/intel_hex.h"
#include "tests/code_files/fake_host.h"

namespace lw::test {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kCapacity = 0x100000;  // 1 MiB: every file's low data fits

fs::path corpusDir() { return fs::path(LW_SOURCE_DIR) / ".." / "shared" / "hexcorpus"; }

std::string readText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string run(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    pclose(pipe);
  }
  return out;
}

struct Section {
  std::string name;
  uint64_t vma, size;
};

std::vector<Section> sectionsOf(const std::string& hexPath) {
  std::vector<Section> sections;
  std::istringstream lines(run("objdump -h -b ihex '" + hexPath + "' 2>/dev/null"));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream f(line);
    std::string idx, name, size, vma;
    if (!(f >> idx >> name >> size >> vma) || name.rfind(".sec", 0) != 0) continue;
    sections.push_back({name, std::stoull(vma, nullptr, 16), std::stoull(size, nullptr, 16)});
  }
  return sections;
}

struct Reference {
  std::string text;      // what objcopy is given
  bool sameAsFile;       // the parser reads the file like any other tool
};

uint8_t hexByte(const std::string& s, std::size_t at) { return static_cast<uint8_t>(std::stoul(s.substr(at, 2), nullptr, 16)); }

// Applies the parser's reading rules to the text, as HEX for objcopy.
Reference referenceFor(const std::string& original) {
  Reference ref{"", original.rfind(':', 0) == 0};
  std::istringstream in(original);
  std::string line;
  bool stopped = false;
  while (std::getline(in, line)) {
    while (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() < 2 || line[0] != ':') continue;
    const bool wellFormed = line.size() % 2 == 1 && line.find_first_not_of("0123456789ABCDEFabcdef", 1) == std::string::npos;
    unsigned sum = 0;
    for (std::size_t i = 1; wellFormed && i < line.size(); i += 2) sum += hexByte(line, i);
    const uint8_t type = wellFormed && line.size() >= 11 ? hexByte(line, 7) : 0xFF;
    const bool carriesData = type == 0 || type == 2 || type == 4;
    if (stopped) {
      if (carriesData || !wellFormed || (sum & 0xFF) != 0) ref.sameAsFile = false;
      continue;
    }
    if (!wellFormed || (sum & 0xFF) != 0) {
      stopped = true;
      ref.sameAsFile = false;
      continue;
    }
    if (!carriesData) {
      stopped = true;
      continue;
    }
    if (type == 4 && line.substr(1, 6) == "020000" && hexByte(line, 9) == 0x08) {
      // 0x08xx counts as 0x00xx: rewrite the high byte and the checksum.
      const uint8_t low = hexByte(line, 11);
      line = format(":02000004%02X%02X%02X", 0, low, static_cast<uint8_t>(0x100 - ((6 + low) & 0xFF)));
      ref.sameAsFile = false;
    }
    ref.text += line + "\n";
  }
  ref.text += ":00000001FF\n";
  return ref;
}

// The image objcopy makes of the HEX file, from offset 0 up to `limit`
// (gaps and the space below the first section 0xFF), and the end of its
// highest section.
std::pair<std::vector<uint8_t>, uint64_t> objcopyImage(const std::string& hexPath, uint64_t limit, const TempDir& dir) {
  const std::vector<Section> sections = sectionsOf(hexPath);
  uint64_t end = 0, low = UINT64_MAX;
  std::string only;
  for (const Section& s : sections) {
    end = std::max(end, s.vma + s.size);
    if (s.vma >= limit) continue;
    low = std::min(low, s.vma);
    only += " -j " + s.name;
  }
  std::vector<uint8_t> image(static_cast<std::size_t>(std::min(end, limit)), 0xFF);
  if (only.empty()) return {image, end};
  const std::string bin = dir.file("objcopy.bin");
  const std::string cmd = "objcopy -I ihex -O binary --gap-fill 0xFF" + only + " '" + hexPath + "' '" + bin + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  const std::vector<uint8_t> flat = readFile(bin);
  for (std::size_t i = 0; i < flat.size() && low + i < image.size(); ++i) image[low + i] = flat[i];
  return {image, end};
}

TEST(HexCorpus, ImagesMatchObjcopy) {
  if (!fs::is_directory(corpusDir())) GTEST_SKIP() << "no HEX corpus at " << corpusDir();
  if (run("command -v objcopy objdump").empty()) GTEST_SKIP() << "objcopy/objdump not installed";
  TempDir dir;
  int plain = 0, quirky = 0;
  for (const auto& entry : fs::directory_iterator(corpusDir())) {
    if (entry.path().extension() != ".hex") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const std::string original = readText(entry.path());
    const Reference ref = referenceFor(original);
    const std::string refPath = ref.sameAsFile ? entry.path().string() : dir.write("reference.hex", ref.text);
    (ref.sameAsFile ? plain : quirky)++;

    const HexImage image = parseIntelHex(original, kCapacity);
    const auto [expected, end] = objcopyImage(refPath, kCapacity, dir);
    EXPECT_EQ(image.length, end);
    EXPECT_EQ(image.bytes.size(), expected.size());
    EXPECT_TRUE(image.bytes == expected) << (ref.sameAsFile ? "compared with the file itself" : "compared with its reading");
  }
  EXPECT_GT(plain, 0);
  EXPECT_GT(quirky, 0);
}

TEST(HexCorpus, DocumentedReadingsOfQuirkyFiles) {
  if (!fs::is_directory(corpusDir())) GTEST_SKIP() << "no HEX corpus at " << corpusDir();
  const auto parse = [](const char* name, uint64_t capacity = kCapacity) {
    return parseIntelHex(readText(corpusDir() / name), capacity);
  };
  // 0x0800xxxx data lands at offset 0.
  const HexImage stm32 = parse("stm32f103_hid_bootloader.hex");
  EXPECT_EQ(stm32.length, 0xD20u);
  // A start-segment record in the middle ends the reading: only the first
  // region (0x0000..0x337F) is loaded, not the one from 0x4000.
  const HexImage twoRegions = parse("Bootloader_D21_M0_150515.hex");
  EXPECT_LE(twoRegions.length, 0x4000u);
  EXPECT_GT(twoRegions.length, 0x3000u);
  EXPECT_TRUE(twoRegions.dataLeftUnread);
  EXPECT_FALSE(stm32.dataLeftUnread);
  // A bad checksum keeps the records before it: the same as the good file's
  // first two data records.
  const HexImage bad = parse("fhunleth_test-badchecksum.hex");
  const HexImage good = parse("fhunleth_test.hex");
  ASSERT_LT(bad.length, good.length);
  EXPECT_TRUE(bad.dataLeftUnread);
  EXPECT_FALSE(good.dataLeftUnread);
  EXPECT_TRUE(std::equal(bad.bytes.begin(), bad.bytes.end(), good.bytes.begin()));
  // Data far above the flash counts towards the length but is not kept.
  const HexImage far = parse("psoc6_blinky_small_multi_ela.hex", 0x10000);
  EXPECT_EQ(far.length, 0x9050000Cu);
  EXPECT_EQ(far.bytes, std::vector<uint8_t>(0x10000, 0xFF));
}

}  // namespace
}  // namespace lw::test
