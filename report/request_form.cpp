#include "report/request_form.h"

#include <algorithm>
#include <array>
#include <functional>
#include <fstream>
#include <iterator>
#include <variant>

#include "core/byte_sum.h"
#include "core/codes.h"
#include "core/context/app_context.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/text.h"
#include "image/project_record.h"
#include "report/form_template.h"
#include "resources/part_database.h"

namespace lw {

namespace {

constexpr int kOptionEntryCount = 14;
constexpr int kOptionRowCount = 7;

using OptionBlock = std::array<uint8_t, kOptionBlockSize>;

// The record fields the form shows.
struct FormRecord {
  std::string codeFileName;
  uint32_t codeSize = 0;
  uint16_t codeChecksum = 0;
  uint16_t partIndex = 0xFFFF;
  OptionBlock options{};
  std::string ispCodeName;
  uint16_t atpgKey = 0;
  std::array<uint8_t, 6> saveTime{};
};

uint16_t be16(std::span<const uint8_t> b, std::size_t at) { return static_cast<uint16_t>((b[at] << 8) | b[at + 1]); }
uint32_t be32(std::span<const uint8_t> b, std::size_t at) {
  return (static_cast<uint32_t>(be16(b, at)) << 16) | be16(b, at + 2);
}

// Checks the record in the order the form's messages are given and reads
// its fields. Every length is checked against the record before the bytes
// it describes are read, so a damaged file is never read outside itself.
std::variant<FormRecord, uint16_t> readFormRecord(std::span<const uint8_t> file) {
  const std::size_t size = file.size();
  if (size < kProjectRecordFixedSize) return textkey::kIncompatible;
  const std::size_t length = be16(file, size - 2);
  if (length < kProjectRecordFixedSize || length > size) return textkey::kIncompatible;
  const std::span<const uint8_t> r = file.subspan(size - length);

  if (!std::equal(r.begin(), r.begin() + kProjectMagicSize, kProjectMagic)) return textkey::kNotAProject;
  const uint8_t formatCode = r[length - 5];
  if (formatCode != kProjectFormatCode && formatCode != kProjectFormatCodeOld) return textkey::kIncompatible;
  const uint32_t sum = byteSum(r.data(), length - 4) + r[length - 2] + r[length - 1];
  if (static_cast<uint16_t>(sum) != be16(r, length - 4)) return textkey::kProjectContentDiffers;
  if (be16(r, length - 9) > kProjectVersion) return textkey::kNewerEdition;

  // Names and option block must end before the fixed tail.
  const std::size_t nameLength = r[16];
  if (nameLength + kProjectRecordFixedSize > length) return textkey::kIncompatible;
  const std::size_t block = 33 + nameLength;
  const std::size_t blockLength = r[block - 1];
  if (blockLength > kOptionBlockSize || nameLength + blockLength + kProjectRecordFixedSize > length)
    return textkey::kIncompatible;
  const std::size_t afterBlock = block + blockLength;
  const std::size_t ispLength = r[afterBlock + 6];
  if (nameLength + blockLength + ispLength + kProjectRecordFixedSize > length) return textkey::kIncompatible;

  FormRecord f;
  f.codeFileName.assign(r.begin() + 17, r.begin() + 17 + static_cast<std::ptrdiff_t>(nameLength));
  f.codeSize = be32(r, 17 + nameLength);
  f.codeChecksum = be16(r, 21 + nameLength);
  f.partIndex = be16(r, 29 + nameLength);
  f.options.fill(0xFF);
  std::copy_n(r.begin() + static_cast<std::ptrdiff_t>(block), blockLength, f.options.begin());
  const std::size_t isp = afterBlock + 7;
  f.ispCodeName.assign(r.begin() + static_cast<std::ptrdiff_t>(isp),
                       r.begin() + static_cast<std::ptrdiff_t>(isp + ispLength));
  f.atpgKey = be16(r, isp + ispLength);
  std::copy_n(r.begin() + static_cast<std::ptrdiff_t>(isp + ispLength + 2), 6, f.saveTime.begin());
  return f;
}

// Each byte becomes the character with the same code.
std::u16string widened(const std::string& bytes) {
  std::u16string out;
  for (const char c : bytes) out += static_cast<char16_t>(static_cast<uint8_t>(c));
  return out;
}

std::u16string wide(const std::string& utf8) { return utf8ToUtf16(utf8); }

std::u16string fileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return wide(std::string(slash == std::string_view::npos ? path : path.substr(slash + 1)));
}

struct OptionEntry {
  std::u16string name;
  std::u16string value;
};

const OptionEntry kDashPair{u" - ", u"   -    "};
const std::u16string kTick = u"V";

// The option entries as the descriptor of the project's own part names them.
class OptionEntries {
 public:
  OptionEntries(const ResourceSource& res, uint16_t partIndex, const OptionBlock& o)
      : res_(res), partIndex_(partIndex), o_(o) {}

  std::optional<OptionBitRecord> record(int i) const {
    if (partIndex_ > kMaxPartIndex) return std::nullopt;
    return optionBitRecord(res_, partIndex_, i);
  }
  // O[index]; an index beyond the block reads as the block's fill.
  uint8_t byte(uint32_t index) const { return index < o_.size() ? o_[index] : 0xFF; }
  uint8_t masked(const OptionBitRecord& r) const { return static_cast<uint8_t>(byte(r.byteIndex) & r.mask); }

  // Entry i named by its record with the value tick when the condition
  // holds; the dash pair when the record is missing.
  void set(int i, const std::function<bool(const OptionBitRecord&)>& tick) {
    const auto r = record(i);
    entries[i] = r ? OptionEntry{wide(r->name), tick(*r) ? kTick : u""} : kDashPair;
  }
  // Entries whose records only mark a place: empty when present, else the dash pair.
  void placeholders(int from) {
    for (int i = from; i < kOptionEntryCount; ++i) entries[i] = record(i) ? OptionEntry{} : kDashPair;
  }

  std::array<OptionEntry, kOptionEntryCount> entries{};

 private:
  const ResourceSource& res_;
  uint16_t partIndex_;
  const OptionBlock& o_;
};

bool allEqual(const OptionBlock& o, std::initializer_list<std::size_t> at, uint8_t v) {
  for (const std::size_t i : at)
    if (o[i] != v) return false;
  return true;
}

void fillLayoutC(OptionEntries& e) {
  for (int i = 0; i < 12; ++i) e.set(i, [&](const OptionBitRecord& r) { return e.masked(r) == 0; });
}

void fillLayoutA(OptionEntries& e, const OptionBlock& o, bool firstBoxEnabled) {
  if (firstBoxEnabled) {
    e.set(0, [&](const OptionBitRecord&) {
      return !((o[16] & 0x0F) == 0x0C && allEqual(o, {0, 1, 32, 33}, 0));
    });
  }
  e.set(1, [&](const OptionBitRecord& r) { return e.masked(r) != 0x0C; });
  e.set(2, [&](const OptionBitRecord& r) { return e.masked(r) != 0x0C; });
  e.set(3, [&](const OptionBitRecord&) { return !allEqual(o, {48, 49, 50, 51}, 0xFF); });
  for (int i = 4; i <= 6; ++i) e.set(i, [&](const OptionBitRecord& r) { return e.masked(r) != 0; });
  e.placeholders(7);
}

void fillLayoutB(OptionEntries& e, const OptionBlock& o, bool firstBoxEnabled) {
  if (firstBoxEnabled) e.set(0, [&](const OptionBitRecord&) { return !(o[0] == 0xA5 && o[1] == 0x5A); });
  e.set(1, [&](const OptionBitRecord&) { return allEqual(o, {8, 10, 12, 14}, 0); });
  e.set(2, [&](const OptionBitRecord& r) { return e.masked(r) != 0; });
  for (int i = 3; i <= 4; ++i) e.set(i, [&](const OptionBitRecord& r) { return e.masked(r) == 0; });
  e.placeholders(5);
}

}  // namespace

std::optional<FormLayout> formLayoutFor(uint32_t selectedPartIndex) {
  switch (selectedPartIndex) {
    case 36: case 37: case 38: case 39: return FormLayout::A;
    case 42: case 45: return FormLayout::B;
    case 43: case 44: case 58: case 59: return FormLayout::C;
    default: return std::nullopt;
  }
}

FormBuild buildRequestForm(std::span<const uint8_t> file, std::string_view projectPath, const FormSources& sources,
                           const ResourceSource& res) {
  if (!sources.selectedPartIndex) return {};
  const std::optional<FormLayout> layout = formLayoutFor(*sources.selectedPartIndex);
  if (!layout) return {};

  auto read = readFormRecord(file);
  if (const uint16_t* key = std::get_if<uint16_t>(&read)) return {std::nullopt, *key};
  const FormRecord& rec = std::get<FormRecord>(read);
  const OptionBlock& o = rec.options;

  std::u16string body;
  for (const FormPartEntry& entry : sources.partList) {
    if (entry.partIndex == *sources.selectedPartIndex) {
      body = wide(entry.text);
      break;
    }
  }
  const auto& t = rec.saveTime;
  const uint32_t randomKey = (uint32_t{o[kRandomKeyOffset]} << 24) | (uint32_t{o[kRandomKeyOffset + 1]} << 16) |
                             (uint32_t{o[kRandomKeyOffset + 2]} << 8) | o[kRandomKeyOffset + 3];

  std::vector<std::u16string> fields = {
      wide(sources.addressing.to),
      wide(sources.addressing.from),
      wide(sources.addressing.partNo),
      body,
      fileNameOf(projectPath),
      widened(rec.codeFileName),
      widened(rec.ispCodeName),
      wide(format("%u", rec.codeSize)),
      wide(format("0x%04X", rec.codeChecksum)),
      wide(format("%d/%02d/%02d %02d:%02d:%02d", 2000 + t[0], t[1], t[2], t[3], t[4], t[5])),
      wide(format("%02X-%02X-%02X-%02X", randomKey >> 24, (randomKey >> 16) & 0xFF, (randomKey >> 8) & 0xFF,
                   randomKey & 0xFF)),
      u"",
      wide(format("%02X-%02X", rec.atpgKey >> 8, rec.atpgKey & 0xFF)),
  };

  OptionEntries entries(res, rec.partIndex, o);
  std::u16string iwdgCounter;
  switch (*layout) {
    case FormLayout::C: {
      const uint32_t value = o[4] | (uint32_t{o[5]} << 8) | (uint32_t{o[6]} << 16) | (uint32_t{o[7]} << 24);
      iwdgCounter = wide(format("0x%05X", value & 0xFFFFF));
      fillLayoutC(entries);
      break;
    }
    case FormLayout::A: fillLayoutA(entries, o, sources.firstOptionBoxEnabled); break;
    case FormLayout::B: fillLayoutB(entries, o, sources.firstOptionBoxEnabled); break;
  }
  fields.push_back(iwdgCounter);
  for (int row = 0; row < kOptionRowCount; ++row) {
    for (const OptionEntry* e : {&entries.entries[row], &entries.entries[row + kOptionRowCount]}) {
      fields.push_back(e->name);
      fields.push_back(e->value);
    }
  }

  const std::optional<std::u16string> tmpl = requestFormTemplate(res);
  if (!tmpl) return {};
  return {fillFields(*tmpl, fields), 0};
}

bool renderRequestForm(AppContext& ctx, const std::string& projectPath, const FormSources& sources,
                       std::u16string& formText) {
  if (!ctx.resources) return false;
  std::ifstream in(projectPath, std::ios::binary);
  if (!in) return false;
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  const FormBuild built = buildRequestForm(file, projectPath, sources, *ctx.resources);
  if (!built.text) {
    if (built.messageKey != 0) applicationBox(ctx, built.messageKey, mb::kOkCancel | mb::kIconError);
    return false;
  }
  formText = *built.text;
  return true;
}

}  // namespace lw
