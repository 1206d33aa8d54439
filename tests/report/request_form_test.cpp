// The request form built from saved projects: the whole text against the
// template written out here line by line, the record checks and their
// messages, and the three option layouts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "../code_files/project_files.h"
#include "../foundation/table_builder.h"
#include "core/codes.h"
#include "core/context/app_context.h"
#include "core/text.h"
#include "platform/memory/recording_message_boxes.h"
#include "report/request_form.h"

namespace lw {
namespace {

std::string blanks(std::size_t n) { return std::string(n, ' '); }
// Widths count characters, not UTF-8 bytes.
std::size_t chars(const std::string& v) {
  return static_cast<std::size_t>(std::count_if(v.begin(), v.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}
std::string left(const std::string& v, std::size_t w) { return chars(v) < w ? v + blanks(w - chars(v)) : v; }
std::string right(const std::string& v, std::size_t w) { return chars(v) < w ? blanks(w - chars(v)) + v : v; }

struct Entry {
  std::string name, value;
};
const Entry kDash{" - ", "   -    "};
const Entry kEmpty{"", ""};

// The form's fields as the template's table lays them out.
struct Expected {
  std::string to, from, partNo, body, kpjName, codeName, ispName, size, checksum, time, randomKey, atpg, iwdg;
  std::array<Entry, 14> entries;

  std::vector<std::string> lines() const {
    std::vector<std::string> l(66);  // l[1]..l[65]
    l[4] = blanks(25) + "vantrel KPJ3.0 Request FORM v1.2" + blanks(26);
    l[7] = blanks(1) + "To" + blanks(6) + ": " + left(to, 71);
    l[8] = blanks(3);
    l[9] = blanks(1) + "From" + blanks(4) + ": " + left(from, 71);
    l[10] = blanks(3);
    l[11] = blanks(1) + "Part No : " + left(partNo, 71);
    l[15] = blanks(4) + "MCU Body" + blanks(8) + left(body, 50) + blanks(10);
    l[17] = blanks(4) + "KPJ File Name" + blanks(3) + left(kpjName, 50) + blanks(10);
    l[19] = blanks(4) + "CodeFile Name" + blanks(3) + left(codeName, 50) + blanks(10);
    l[21] = blanks(4) + "Isp Code Name" + blanks(3) + left(ispName, 50) + blanks(10);
    l[23] = blanks(4) + "Code Size" + blanks(7) + left(size, 19) + blanks(4) + "Code Checksum" + blanks(5) +
            left(checksum, 11) + blanks(8);
    l[25] = blanks(4) + "KPJ Save Time" + blanks(3) + left(time, 19) + blanks(4) + "Random Key" + blanks(8) +
            left(randomKey, 11) + blanks(8);
    l[27] = blanks(20) + left("", 19) + blanks(4) + "ATPG Key" + blanks(10) + left(atpg, 11) + blanks(8);
    l[31] = blanks(4) + "Option" + blanks(70);
    l[33] = blanks(16) + "IWDGCNT : " + left(iwdg, 14) + blanks(15) + "- : -" + blanks(18);
    l[34] = l[35] = blanks(22) + "- : -" + blanks(28) + "- : -" + blanks(18);
    for (int r = 0; r < 7; ++r) {
      const Entry& a = entries[r];
      const Entry& b = entries[r + 7];
      l[37 + r] = blanks(8) + right(a.name, 16) + " : " + left(a.value, 8) + blanks(6) + right(b.name, 16) + " : " +
                  left(b.value, 8) + blanks(12);
    }
    l[48] = blanks(7) + "Liability:" + blanks(72);
    l[50] = blanks(4) + "1. Please help confirm if the above code information is the same as the one" + blanks(4);
    l[51] = "\t" + blanks(3) + "you offered before." + blanks(61);
    l[52] = blanks(4) + "2. vantrel only provides the MCU (HW) and device programming service. Vantrel" + blanks(2);
    l[53] = "\t" + blanks(3) + "won't bear any responsibility if the content of code infringes upon any" + blanks(9);
    l[54] = blanks(7) + "Intellectual Property." + blanks(54);
    l[55] = blanks(4) + "3. vantrel shall have, at its sole discretion, the right to settle or defend" + blanks(3);
    l[56] = "\t" + blanks(3) + "any suit. Purchaser shall provide vantrel with adequate information," + blanks(12);
    l[57] = blanks(7) + "assistance and collaboration as may be necessary in the settlement or" + blanks(7);
    l[58] = blanks(7) + "defense of a suit." + blanks(58);
    l[62] = blanks(3) + "Customer's approved" + blanks(4) + ": _________________________" + blanks(3) +
            "Date : _____________" + blanks(4);
    l[65] = blanks(3) + "vantrel representative : _________________________" + blanks(3) + "Date : _____________" +
            blanks(4);
    return {l.begin() + 1, l.end()};
  }
};

std::string joined(const std::vector<std::string>& lines) {
  std::string all;
  for (std::size_t i = 0; i < lines.size(); ++i) all += (i ? "\r\n" : "") + lines[i];
  return all;
}

// The project of the edge cases: Larch-F8U6 (43), one image byte 0xAB,
// option bytes FE FF FF FF 34 12 F5 FF, saved 2024/05/28 09:05:07 with
// random key 0A0B0C0D and ATPG key 01FF.
std::vector<uint8_t> edgeCaseProject(uint16_t partIndex = 43, std::vector<uint8_t> options = {}) {
  PartRecord part;
  applyPart(embeddedResources(), 43, part);
  part.partIndex = partIndex;
  const std::vector<uint8_t> bytes =
      options.empty() ? std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12, 0xF5, 0xFF} : options;
  part.optionByteCount = static_cast<uint32_t>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), part.optionBytes.begin());
  ProjectRecord record = newProjectRecord(0x0100);
  record.codeFileName = "fw\xE9.hex";  // one byte above 127: widened to U+00E9
  record.ispCodeName = "isp.bin";
  const std::vector<uint8_t> image{0xAB};
  std::vector<uint8_t> file = image;
  const auto tail =
      writeProjectRecord(record, part, 1, 0xAB, SaveStamp{LocalTime{2024, 5, 28, 9, 5, 7}, 0x01FF, 0x0A0B0C0D});
  file.insert(file.end(), tail.begin(), tail.end());
  return file;
}

FormSources larchSources(uint32_t selected = 43) {
  FormSources s;
  s.addressing = {std::string(80, 'T'), "R&D", "PN-7"};
  s.partList = {{"Larch-F8U6", 43}, {"Larch-K8U6", 44}, {"Alder-X1", 36}, {"Birch-Y2", 42}};
  s.selectedPartIndex = selected;
  s.firstOptionBoxEnabled = true;
  return s;
}

Expected edgeCaseExpected() {
  Expected e;
  e.to = std::string(80, 'T');
  e.from = "R&D";
  e.partNo = "PN-7";
  e.body = "Larch-F8U6";
  e.kpjName = "job.kpj";
  e.codeName = "fw\xC3\xA9.hex";
  e.ispName = "isp.bin";
  e.size = "1";
  e.checksum = "0x00AB";
  e.time = "2024/05/28 09:05:07";
  e.randomKey = "0A-0B-0C-0D";
  e.atpg = "01-FF";
  e.iwdg = "0x51234";
  e.entries = {Entry{"SWDP", "V"}, Entry{"IWDGMODE", ""}, Entry{"IWDGINTMASK", ""}, Entry{"IWDGON", ""},
               kDash, kDash, kDash, kDash, kDash, kDash, kDash, kDash, kEmpty, kEmpty};
  return e;
}

std::string built(const std::vector<uint8_t>& file, const FormSources& sources,
                  const ResourceSource& res = embeddedResources()) {
  const FormBuild b = buildRequestForm(file, "C:\\jobs/x\\job.kpj", sources, res);
  EXPECT_TRUE(b.text) << "message " << b.messageKey;
  return b.text ? utf16ToUtf8(*b.text) : "";
}

TEST(RequestForm, ShippedPartMatchesTheTemplateWrittenOutByHand) {
  const std::string form = built(edgeCaseProject(), larchSources());
  const std::vector<std::string> expected = edgeCaseExpected().lines();
  ASSERT_EQ(form, joined(expected));
  // 65 lines, the 80-character To written whole, no line end after the last.
  EXPECT_EQ(expected.size(), 65u);
  EXPECT_EQ(expected[6].size(), 1u + 2 + 6 + 2 + 80);
  EXPECT_NE(form.substr(form.size() - 2), "\r\n");

  // With O[0] = 0xFF the SWDP value is empty.
  Expected e = edgeCaseExpected();
  e.entries[0].value = "";
  e.iwdg = "0x00000";
  EXPECT_EQ(built(edgeCaseProject(43, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF}), larchSources()), joined(e.lines()));
}

TEST(RequestForm, LayoutAndBodyFollowTheSelectedPartNamesFollowTheProject) {
  // A project of a part without descriptor, shown while 44 is selected:
  // layout C, dash pairs for entries 0..11, body of 44.
  Expected e = edgeCaseExpected();
  e.body = "Larch-K8U6";
  for (int i = 0; i < 12; ++i) e.entries[i] = kDash;
  EXPECT_EQ(built(edgeCaseProject(1000), larchSources(44)), joined(e.lines()));

  // No list entry for the selected part: empty body.
  FormSources s = larchSources(59);
  Expected f = edgeCaseExpected();
  f.body = "";
  EXPECT_EQ(built(edgeCaseProject(), s), joined(f.lines()));

  // No layout for the selected part, or no selection: nothing, no message.
  for (const std::optional<uint32_t> selected : {std::optional<uint32_t>(1), std::optional<uint32_t>()}) {
    FormSources none = larchSources();
    none.selectedPartIndex = selected;
    const FormBuild b = buildRequestForm(edgeCaseProject(), "job.kpj", none, embeddedResources());
    EXPECT_FALSE(b.text);
    EXPECT_EQ(b.messageKey, 0);
  }
}

// Builds the descriptor of a part the shipped database does not hold, with
// the shipped template beside it.
test::MapResources resourcesWithPart(uint16_t partIndex, const std::vector<std::pair<int, std::string>>& optionBits) {
  test::MapResources res;
  const auto tmpl = embeddedResources().find("TEXT", 171);
  res.add("TEXT", 171, {tmpl.begin(), tmpl.end()});
  test::TableBuilder table;
  table.entry(0, "Test part");
  for (const auto& [i, text] : optionBits) table.entry(static_cast<uint16_t>(256 + i), text);
  res.add("DYNAMIC", kPartTableBase + partIndex, table.end().bytes);
  return res;
}

std::vector<uint8_t> optionBlockProject(uint16_t partIndex, std::vector<uint8_t> options) {
  return edgeCaseProject(partIndex, std::move(options));
}

TEST(RequestForm, LayoutA) {
  const auto res = resourcesWithPart(36, {{0, "0|0x01|RDP|d|d"},
                                          {1, "16|0x0F|WRP1|d|d"},
                                          {2, "17|0x0F|WRP2|d|d"},
                                          {3, "48|0xFF|BOOT|d|d"},
                                          {4, "2|0x01|A4|d|d"},
                                          {5, "2|0x02|A5|d|d"},
                                          {6, "2|0x04|A6|d|d"},
                                          {7, "0|0|KEEP7|d|d"}});
  // O[0..3] = 00 00 01 FF, O[16] = 0x0C, O[17] = 0x0D; O[32], O[33], O[48..51] stay 0xFF.
  std::vector<uint8_t> o(20, 0xFF);
  o[0] = 0;
  o[1] = 0;
  o[2] = 0x01;
  o[16] = 0x0C;
  o[17] = 0x0D;
  Expected e = edgeCaseExpected();
  e.body = "Alder-X1";
  e.iwdg = "";
  // Entry 0: O[32], O[33] are not 0, so V. 1: 0x0C -> empty. 2: 0x0D -> V.
  // 3: O[48..51] all 0xFF -> empty. 4: bit set -> V; 5, 6: clear -> empty.
  e.entries = {Entry{"RDP", "V"}, Entry{"WRP1", ""}, Entry{"WRP2", "V"}, Entry{"BOOT", ""},
               Entry{"A4", "V"}, Entry{"A5", ""}, Entry{"A6", ""}, kEmpty, kDash, kDash, kDash, kDash, kDash, kDash};
  FormSources s = larchSources(36);
  EXPECT_EQ(built(optionBlockProject(36, o), s, res), joined(e.lines()));

  // The first Option box disabled leaves entry 0 empty.
  s.firstOptionBoxEnabled = false;
  e.entries[0] = kEmpty;
  EXPECT_EQ(built(optionBlockProject(36, o), s, res), joined(e.lines()));
}

TEST(RequestForm, LayoutB) {
  const auto res = resourcesWithPart(42, {{0, "0|0xFF|RDP|d|d"},
                                          {1, "8|0xFF|WRP|d|d"},
                                          {2, "3|0x01|B2|d|d"},
                                          {3, "3|0x02|B3|d|d"},
                                          {4, "3|0x04|B4|d|d"},
                                          {6, "0|0|KEEP6|d|d"}});
  std::vector<uint8_t> o(16, 0);
  o[0] = 0xA5;
  o[1] = 0x5A;
  o[3] = 0x03;
  Expected e = edgeCaseExpected();
  e.body = "Birch-Y2";
  e.iwdg = "";
  // 0: A5 5A -> empty. 1: O[8], O[10], O[12], O[14] all 0 -> V. 2: bit set -> V.
  // 3: bit set -> empty. 4: clear -> V. 5: missing -> dash; 6 present -> empty.
  e.entries = {Entry{"RDP", ""}, Entry{"WRP", "V"}, Entry{"B2", "V"}, Entry{"B3", ""}, Entry{"B4", "V"},
               kDash, kEmpty, kDash, kDash, kDash, kDash, kDash, kDash, kDash};
  EXPECT_EQ(built(optionBlockProject(42, o), larchSources(42), res), joined(e.lines()));
}

// ---- Record checks --------------------------------------------------------

class RenderedForm : public ::testing::Test {
 protected:
  RenderedForm() {
    ctx.resources = &embeddedResources();
    ctx.ports.messages = &boxes;
    ctx.state.applicationName = "loomwrite";
    std::filesystem::create_directories(dir);
  }
  ~RenderedForm() override { std::filesystem::remove_all(dir); }

  // Renders the file over a previous form; returns the shown message text.
  std::string renderFails(const std::vector<uint8_t>& file) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                static_cast<std::streamsize>(file.size()));
    std::u16string form = u"previous";
    boxes.shown.clear();
    EXPECT_FALSE(renderRequestForm(ctx, path, larchSources(), form));
    EXPECT_EQ(form, u"previous");
    if (boxes.shown.size() != 1) return "";
    EXPECT_EQ(boxes.shown[0].style, mb::kOkCancel | mb::kIconError);
    EXPECT_EQ(boxes.shown[0].caption, "loomwrite");
    return boxes.shown[0].text;
  }

  AppContext ctx;
  RecordingMessageBoxes boxes;
  // One folder per test process: CTest runs the cases side by side, and the
  // form shows the file's name.
  std::filesystem::path dir = std::filesystem::temp_directory_path() / ("lw-form-" + std::to_string(::getpid()));
  std::string path = (dir / "lw_form_test.kpj").string();
};

const std::string kNotProject = "This is not the vantrel project file, please inspect !";
const std::string kDiffers =
    "The file and the file content information is different, please inspect or contacts vantrel !";
const std::string kIncompatible = "This file is incompatible format and unable to open !";
const std::string kNewer =
    "This AP is not the newest edition, is unable to open the new edition the file, please contact vantrel !";

TEST_F(RenderedForm, ChecksShowTheirMessagesInOrderAndKeepThePreviousForm) {
  const std::vector<uint8_t> good = edgeCaseProject();
  const std::size_t start = test::recordStart(good);
  std::u16string form;
  {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(good.data()),
                                                static_cast<std::streamsize>(good.size()));
  }
  ASSERT_TRUE(renderRequestForm(ctx, path, larchSources(), form));
  Expected e = edgeCaseExpected();
  e.kpjName = "lw_form_test.kpj";
  EXPECT_EQ(utf16ToUtf8(form), joined(e.lines()));
  EXPECT_TRUE(boxes.shown.empty());

  auto patched = [&](std::size_t at, uint8_t v, bool reseal) {
    std::vector<uint8_t> f = good;
    f[at] = v;
    if (reseal) test::resealRecord(f);
    return f;
  };
  EXPECT_EQ(renderFails(patched(start + 1, 'X', true)), kNotProject);
  EXPECT_EQ(renderFails(patched(start + 18, 'X', false)), kDiffers);  // a code-file name byte
  EXPECT_EQ(renderFails(patched(good.size() - 5, 0x17, false)), kIncompatible);  // checksum wrong too
  EXPECT_EQ(renderFails(patched(good.size() - 8, 0x03, true)), kNewer);         // version 0x0303
  // A version below 0x0302 is taken without a question.
  std::u16string older;
  const auto old = patched(good.size() - 8, 0x01, true);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(old.data()),
                                              static_cast<std::streamsize>(old.size()));
  EXPECT_TRUE(renderRequestForm(ctx, path, larchSources(), older));

  // A file that cannot be opened stops without a message.
  std::u16string kept = u"previous";
  EXPECT_FALSE(renderRequestForm(ctx, path + ".missing", larchSources(), kept));
  EXPECT_EQ(kept, u"previous");
}

TEST_F(RenderedForm, LengthsOutsideTheFileOrRecordAreRefused) {
  const std::vector<uint8_t> good = edgeCaseProject();
  const std::size_t start = test::recordStart(good);
  const std::size_t n = good.size() - start;
  const std::size_t nameLength = good[start + 16];

  std::vector<uint8_t> longer = good;  // L larger than the file
  longer[longer.size() - 2] = 0xFF;
  EXPECT_EQ(renderFails(longer), kIncompatible);
  std::vector<uint8_t> shorter = good;  // L below the fixed part
  shorter[shorter.size() - 2] = 0;
  shorter[shorter.size() - 1] = 20;
  EXPECT_EQ(renderFails(shorter), kIncompatible);
  EXPECT_EQ(renderFails({0x00, 0x05}), kIncompatible);

  std::vector<uint8_t> name = good;  // N runs past the record
  name[start + 16] = 0xF0;
  test::resealRecord(name);
  EXPECT_EQ(renderFails(name), kIncompatible);

  std::vector<uint8_t> block = good;  // n above 176
  block[start + 32 + nameLength] = 177;
  test::resealRecord(block);
  EXPECT_EQ(renderFails(block), kIncompatible);

  std::vector<uint8_t> isp = good;  // m runs past the record
  isp[start + 33 + nameLength + 176 + 6] = static_cast<uint8_t>(n);
  test::resealRecord(isp);
  EXPECT_EQ(renderFails(isp), kIncompatible);
}

}  // namespace
}  // namespace lw
