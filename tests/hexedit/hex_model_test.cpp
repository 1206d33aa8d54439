// The hex view's byte model, its editing and its message set, without Qt.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "hexedit/byte_model.h"
#include "hexedit/hex_editor.h"
#include "hexedit/hex_view_state.h"
#include "hexedit/view_texts.h"
#include "core/ports/hex_view_port.h"

namespace lw::hexedit {
namespace {

intptr_t send(HexViewState& s, unsigned msg, const void* p, intptr_t l) {
  return handleHexMessage(s, msg, reinterpret_cast<uintptr_t>(p), l);
}

TEST(ByteModel, EditsKeepChecksumAndNotifyEveryChange) {
  ByteModel m;
  int changes = 0;
  m.setChangeListener([&] { ++changes; });
  const std::vector<uint8_t> data = {0x10, 0x20, 0xFF, 0x01};
  m.replace(data.data(), data.size());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(m.checksum(), 0x130);

  EXPECT_TRUE(m.writeByte(1, 0x80));
  EXPECT_TRUE(m.writeNibble(0, true, 0xA));   // 0x10 -> 0xA0
  EXPECT_TRUE(m.writeNibble(3, false, 0xC));  // 0x01 -> 0x0C
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(m.range(0, 10), (std::vector<uint8_t>{0xA0, 0x80, 0xFF, 0x0C}));
  EXPECT_EQ(m.checksum(), static_cast<uint16_t>(0xA0 + 0x80 + 0xFF + 0x0C));

  // Growing at the end starts from an erased byte and stops at the limit.
  m.setSizeLimit(5);
  EXPECT_TRUE(m.writeNibble(4, true, 0x1));
  EXPECT_EQ(m.at(4), 0x1F);
  EXPECT_FALSE(m.writable(5));
  EXPECT_FALSE(m.writeByte(5, 0));
  EXPECT_FALSE(m.writeByte(9, 0));
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(m.size(), 5u);

  m.clear();
  EXPECT_EQ(changes, 5);  // a programmatic reset is no edit
  EXPECT_EQ(m.checksum(), 0);
  EXPECT_EQ(m.size(), 0u);
}

TEST(ByteModel, ChecksumIsLowSixteenBitsOfTheSum) {
  ByteModel m;
  std::vector<uint8_t> big(0x40000, 0xFF);  // 256 KiB
  m.replace(big.data(), big.size());
  EXPECT_EQ(m.checksum(), static_cast<uint16_t>(0x40000u * 0xFF));
  m.writeByte(0x3FFFF, 0x00);
  EXPECT_EQ(m.checksum(), static_cast<uint16_t>(0x3FFFFu * 0xFF));
  std::vector<uint8_t> sum(0x124, 0xFF);
  sum.push_back(0x69);  // 0x12345 in all
  m.replace(sum.data(), sum.size());
  EXPECT_EQ(m.checksum(), 0x2345);
}

TEST(ByteModel, CopyTexts) {
  EXPECT_EQ(hexText({0x0A, 0x1B, 0xFF}), "0A 1B FF");
  EXPECT_EQ(hexText({}), "");
  EXPECT_EQ(asciiText({'A', 0x00, 'z', 0x7F, ' '}), "A.z. ");
}

TEST(HexMessages, ReplaceLengthCopyOutChecksumClear) {
  HexViewState s;
  int changes = 0;
  s.model.setChangeListener([&] { ++changes; });
  EXPECT_EQ(send(s, hexmsg::kData, nullptr, 0), 0);  // empty view

  std::vector<uint8_t> image(300);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i);
  const unsigned sum = std::accumulate(image.begin(), image.end(), 0u);
  send(s, hexmsg::kReplace, image.data(), static_cast<intptr_t>(image.size()));
  image[0] = 0x77;  // the view keeps its own copy
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(send(s, hexmsg::kData, nullptr, 0), 300);
  EXPECT_EQ(send(s, hexmsg::kChecksum, nullptr, 0), static_cast<uint16_t>(sum));

  std::vector<uint8_t> out(301, 0xEE);
  send(s, hexmsg::kData, out.data(), 300);
  EXPECT_EQ(out[0], 0x00);
  EXPECT_EQ(out[299], static_cast<uint8_t>(299));
  EXPECT_EQ(out[300], 0xEE);  // nothing past the length asked for
  std::vector<uint8_t> more(400, 0xEE);
  send(s, hexmsg::kData, more.data(), 400);  // more than there is: only the content
  EXPECT_EQ(more[299], static_cast<uint8_t>(299));
  EXPECT_EQ(more[300], 0xEE);

  // Bad arguments change nothing.
  send(s, hexmsg::kReplace, nullptr, 10);
  send(s, hexmsg::kReplace, image.data(), -1);
  send(s, hexmsg::kData, out.data(), -5);
  send(s, hexmsg::kColours, nullptr, 0);
  EXPECT_EQ(send(s, hexmsg::kData, nullptr, 0), 300);

  handleHexMessage(s, hexmsg::kCommand, hexmsg::kClear, 0);
  EXPECT_EQ(send(s, hexmsg::kData, nullptr, 0), 0);
  EXPECT_EQ(send(s, hexmsg::kChecksum, nullptr, 0), 0);
}

TEST(HexMessages, SetupMessagesAndFlashSize) {
  HexViewState s;
  const uint32_t colours[9] = {0x41, 1, 2, 3, 4, 5, 6, 7, 8};
  send(s, hexmsg::kColours, colours, 0);
  EXPECT_EQ(s.settings.areaFlags, 0x41u);
  EXPECT_EQ(s.settings.colours[7], 8u);
  handleHexMessage(s, hexmsg::kRowSetup, 18, 0);
  EXPECT_EQ(s.settings.rowHeight, 18);
  handleHexMessage(s, hexmsg::kSetup, 0x60000, 0);
  EXPECT_EQ(s.settings.capacityHint, 0x60000u);
  handleHexMessage(s, hexmsg::kFlashSize, 2, 0);
  EXPECT_TRUE(s.model.writeByte(0, 1));
  EXPECT_TRUE(s.model.writeByte(1, 2));
  EXPECT_FALSE(s.model.writeByte(2, 3));
  // The owner's language chooses the view's own texts; an unknown one is English.
  handleHexMessage(s, hexmsg::kLanguage, 1, 0);
  EXPECT_STREQ(viewText(ViewText::Copy, s.settings.languageIndex), "复制");
  handleHexMessage(s, hexmsg::kLanguage, 5, 0);
  EXPECT_STREQ(viewText(ViewText::Copy, s.settings.languageIndex), "Copy");
}

TEST(HexEditor, TypingOverwritesNibblesAndAppendsAtTheEnd) {
  ByteModel m;
  const std::vector<uint8_t> data = {0x00, 0x11};
  m.replace(data.data(), data.size());
  m.setSizeLimit(3);
  HexEditor e(m);

  EXPECT_TRUE(e.type('a'));
  EXPECT_TRUE(e.onLowNibble());
  EXPECT_TRUE(e.type('B'));
  EXPECT_EQ(m.at(0), 0xAB);
  EXPECT_EQ(e.caret(), 1u);
  EXPECT_FALSE(e.type('g'));
  EXPECT_FALSE(e.type('-'));
  EXPECT_EQ(m.at(1), 0x11);

  e.moveTo(2, false, false);  // the append cell
  EXPECT_TRUE(e.type('3'));
  EXPECT_EQ(m.size(), 3u);
  EXPECT_EQ(m.at(2), 0x3F);
  EXPECT_TRUE(e.type('4'));
  EXPECT_EQ(m.at(2), 0x34);
  EXPECT_EQ(e.caret(), 2u);  // the limit keeps the caret on the last byte
  EXPECT_FALSE(e.onLowNibble());
  EXPECT_TRUE(e.type('5'));
  EXPECT_EQ(m.size(), 3u);
  EXPECT_EQ(m.at(2), 0x54);

  e.setArea(HexArea::Text);
  e.moveTo(1, false, false);
  EXPECT_TRUE(e.type('Z'));
  EXPECT_EQ(m.at(1), 'Z');
  EXPECT_FALSE(e.type(0x01));
}

TEST(HexEditor, MovingSelectingCopyingAndGoingTo) {
  ByteModel m;
  std::vector<uint8_t> data(40);
  std::iota(data.begin(), data.end(), 0x30);
  m.replace(data.data(), data.size());
  HexEditor e(m);

  e.stepRight(false);
  EXPECT_EQ(e.caret(), 0u);
  EXPECT_TRUE(e.onLowNibble());
  e.stepRight(false);
  EXPECT_EQ(e.caret(), 1u);
  e.stepLeft(false);
  EXPECT_EQ(e.caret(), 0u);
  EXPECT_TRUE(e.onLowNibble());

  e.moveBy(16, false);
  EXPECT_EQ(e.caret(), 16u);
  e.moveBy(-100, false);
  EXPECT_EQ(e.caret(), 0u);
  e.moveBy(1000, false);
  EXPECT_EQ(e.caret(), 40u);  // without a size limit the cell after the end takes typing
  e.moveToRowStart(false);
  EXPECT_EQ(e.caret(), 32u);

  e.moveTo(2, false, false);
  e.moveTo(5, false, true);
  EXPECT_TRUE(e.hasSelection());
  EXPECT_EQ(e.selectionBegin(), 2u);
  EXPECT_EQ(e.selectionEnd(), 5u);
  EXPECT_EQ(e.copyText(), "32 33 34");
  e.setArea(HexArea::Text);
  EXPECT_EQ(e.copyText(), "234");
  e.selectRange(6, 3);
  EXPECT_EQ(e.copyText(), "345");
  e.clearSelection();
  e.moveTo(0, false, false);
  EXPECT_EQ(e.copyText(), "0");

  e.selectAll();
  EXPECT_EQ(e.selectionEnd() - e.selectionBegin(), 40u);

  EXPECT_TRUE(e.goTo(0x21));
  EXPECT_EQ(e.caret(), 0x21u);
  EXPECT_FALSE(e.goTo(1000));
  EXPECT_EQ(e.caret(), 0x21u);
}

}  // namespace
}  // namespace lw::hexedit

namespace lw::hexedit {
namespace {

TEST(HexEditorPaste, HexTextOrRawBytesOverTheSelectionOrAtTheCaretWithinTheFlash) {
  EXPECT_EQ(bytesFromHexText("00 20 FF"), (std::vector<uint8_t>{0x00, 0x20, 0xFF}));
  EXPECT_EQ(bytesFromHexText("0x00,0x20\n0aBc"), (std::vector<uint8_t>{0x00, 0x20, 0x0A, 0xBC}));
  EXPECT_FALSE(bytesFromHexText("00 2"));
  EXPECT_FALSE(bytesFromHexText("hello"));
  EXPECT_FALSE(bytesFromHexText("  "));
  EXPECT_EQ(pasteBytesOf("AB", HexArea::Hex), (std::vector<uint8_t>{0xAB}));
  EXPECT_EQ(pasteBytesOf("AB", HexArea::Text), (std::vector<uint8_t>{'A', 'B'}));
  EXPECT_EQ(pasteBytesOf("Hi!", HexArea::Hex), (std::vector<uint8_t>{'H', 'i', '!'}));

  ByteModel model;
  int changes = 0;
  model.setChangeListener([&] { ++changes; });
  const std::vector<uint8_t> start(8, 0x11);
  model.replace(start.data(), start.size());
  model.setSizeLimit(10);
  HexEditor editor(model);
  changes = 0;

  editor.moveTo(2, false, false);
  ASSERT_TRUE(editor.paste({0xA0, 0xA1}));
  EXPECT_EQ(model.range(0, 8), (std::vector<uint8_t>{0x11, 0x11, 0xA0, 0xA1, 0x11, 0x11, 0x11, 0x11}));
  EXPECT_EQ(editor.caret(), 4u);
  EXPECT_EQ(changes, 1) << "one notification for the whole paste";

  // Over a selection, from its first byte; growing stops at the flash size.
  editor.selectRange(7, 5);
  ASSERT_TRUE(editor.paste({1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(model.size(), 10u);
  EXPECT_EQ(model.range(5, 5), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(model.checksum(), 0x11 * 3 + 0xA0 + 0xA1 + 15);
  EXPECT_FALSE(editor.hasSelection());
  editor.moveTo(10, false, false);
  EXPECT_EQ(editor.caret(), 9u) << "the caret stays inside the flash";
  ASSERT_TRUE(editor.paste({9, 8, 7}));
  EXPECT_EQ(model.size(), 10u);
  EXPECT_EQ(model.at(9), 9);
  EXPECT_EQ(editor.undo() && model.at(9) == 5, true);
  EXPECT_FALSE(editor.paste({}));
}

TEST(HexEditorUndo, EveryTypedCharacterAndPasteGoesBackAndForth) {
  ByteModel model;
  const std::vector<uint8_t> start{0x10, 0x20};
  model.replace(start.data(), start.size());
  HexEditor editor(model);
  EXPECT_FALSE(editor.canUndo());

  editor.moveTo(0, false, false);
  ASSERT_TRUE(editor.type('A'));                    // A0 20
  editor.moveTo(2, false, false);
  ASSERT_TRUE(editor.paste({0x01, 0x02, 0x03}));    // A0 20 01 02 03: grown by three
  editor.setArea(HexArea::Text);
  editor.moveTo(1, false, false);
  ASSERT_TRUE(editor.type('z'));                    // A0 7A 01 02 03
  const uint16_t sumAfter = model.checksum();

  ASSERT_TRUE(editor.undo());
  EXPECT_EQ(model.range(0, 5), (std::vector<uint8_t>{0xA0, 0x20, 0x01, 0x02, 0x03}));
  ASSERT_TRUE(editor.undo());
  EXPECT_EQ(model.size(), 2u) << "the growth is undone too";
  ASSERT_TRUE(editor.undo());
  EXPECT_EQ(model.range(0, 2), start);
  EXPECT_EQ(model.checksum(), 0x30);
  EXPECT_FALSE(editor.undo());

  ASSERT_TRUE(editor.redo());
  ASSERT_TRUE(editor.redo());
  ASSERT_TRUE(editor.redo());
  EXPECT_FALSE(editor.redo());
  EXPECT_EQ(model.range(0, 5), (std::vector<uint8_t>{0xA0, 0x7A, 0x01, 0x02, 0x03}));
  EXPECT_EQ(model.checksum(), sumAfter);

  // A new edit drops what could be redone; a load forgets the history.
  ASSERT_TRUE(editor.undo());
  editor.setArea(HexArea::Hex);
  editor.moveTo(4, false, false);
  ASSERT_TRUE(editor.type('F'));
  EXPECT_FALSE(editor.canRedo());
  model.replace(start.data(), start.size());
  EXPECT_FALSE(editor.canUndo());
  EXPECT_FALSE(editor.undo());
  EXPECT_EQ(model.range(0, 2), start);
}

}  // namespace
}  // namespace lw::hexedit
