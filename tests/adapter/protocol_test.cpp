// The wire protocol in both directions: what the Link library encodes is
// what the adapter decodes, byte for byte where the layout is fixed.
#include <gtest/gtest.h>

#include <vector>

#include "tether/wire/adapter_protocol.h"

namespace lw::wire {
namespace {

TEST(WireProtocol, RequestLayoutAndRoundTrip) {
  Request q;
  q.kind = RequestKind::kBlockWrite;
  q.tag = 0xC3;
  q.command = 25;
  q.flag = 1;
  q.address = 0x11223344;
  q.byteCount = 0x00010000;
  q.params[0] = 0x02;
  q.params[1] = 0x01;
  q.params[15] = 0xEE;
  std::vector<uint8_t> r(kNormalFeatureLength, 0xAA);
  ASSERT_TRUE(encodeRequest(q, r));

  EXPECT_EQ(r[0], 0x00);
  EXPECT_EQ(r[1], kRequestMarker);
  EXPECT_EQ(r[2], 0x02);
  EXPECT_EQ(r[3], 0xC3);
  EXPECT_EQ(r[4], 25);
  EXPECT_EQ(r[5], 1);
  EXPECT_EQ(r[8], 0x44);
  EXPECT_EQ(r[11], 0x11);
  EXPECT_EQ(r[12], 0x00);
  EXPECT_EQ(r[14], 0x01);
  EXPECT_EQ(r[16], 0x02);
  EXPECT_EQ(r[17], 0x01);
  EXPECT_EQ(r[31], 0xEE);
  EXPECT_EQ(r[32], 0x00) << "bytes after the parameters are zero";
  const uint16_t check = reportCheck(r);
  EXPECT_EQ(r[127], check & 0xFF);
  EXPECT_EQ(r[128], check >> 8);

  const auto back = decodeRequest(r);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->kind, RequestKind::kBlockWrite);
  EXPECT_EQ(back->tag, 0xC3);
  EXPECT_EQ(back->address, 0x11223344u);
  EXPECT_EQ(back->byteCount, 0x10000u);
  EXPECT_EQ(back->params, q.params);
}

TEST(WireProtocol, BrokenRequestsAreRefused) {
  Request q;
  q.command = 37;
  std::vector<uint8_t> good(kRequestLength);
  ASSERT_TRUE(encodeRequest(q, good));
  ASSERT_TRUE(decodeRequest(good));

  auto flipped = good;
  flipped[20] ^= 0x10;  // one bit changed in transit
  EXPECT_FALSE(decodeRequest(flipped));

  auto marker = good;
  marker[1] = 0;
  EXPECT_FALSE(decodeRequest(marker));

  auto kind = good;
  kind[2] = 0x09;
  const uint16_t c = reportCheck(kind);
  kind[127] = c & 0xFF;
  kind[128] = c >> 8;
  EXPECT_FALSE(decodeRequest(kind)) << "unknown kind with a right check";

  EXPECT_FALSE(decodeRequest(std::span(good).first(kRequestLength - 1)));
  std::vector<uint8_t> tooShort(10);
  EXPECT_FALSE(encodeRequest(q, tooShort));
  std::vector<uint8_t> zeros(kRequestLength, 0);
  EXPECT_FALSE(decodeRequest(zeros));
}

TEST(WireProtocol, AnswerReportLayout) {
  std::vector<uint8_t> r(kInputLength, 0xFF);
  encodeAnswer({0x5C, 35, 0x0102, 3300}, r);
  EXPECT_EQ(r[0], 0);
  EXPECT_EQ(r[1], 0x5C);
  EXPECT_EQ(r[2], 35);
  EXPECT_EQ(r[3], 0x02);
  EXPECT_EQ(r[4], 0x01);
  EXPECT_EQ(r[5], 3300 & 0xFF);
  EXPECT_EQ(r[6], 3300 >> 8);
  EXPECT_EQ(r[64], 0);

  // The program drops the report-ID byte before it reads the answer.
  const auto a = decodeAnswer(std::span(r).subspan(1));
  ASSERT_TRUE(a);
  EXPECT_EQ(a->tag, 0x5C);
  EXPECT_EQ(a->status, 0x0102);
  EXPECT_EQ(a->millivolts, 3300);
  EXPECT_FALSE(decodeAnswer(std::span(r).subspan(1, 5)));
}

TEST(WireProtocol, FeatureAnswersRoundTripAndRejectDamage) {
  IdentifyAnswer id;
  id.tag = 0x81;
  id.firmwareMajor = 1;
  id.firmwareMinor = 5;
  id.storage = 1;
  id.millivolts = 3300;
  id.storageCapacity = 0x40000;
  id.model = {'L', 'W'};
  std::vector<uint8_t> r(kNormalFeatureLength);
  encodeIdentifyAnswer(id, r);
  EXPECT_EQ(r[2], kIdentifyAnswerKind);
  EXPECT_EQ(r[4], 1);
  EXPECT_EQ(r[5], 5);
  auto back = decodeIdentifyAnswer(r);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->storageCapacity, 0x40000u);
  EXPECT_EQ(back->model[1], 'W');
  EXPECT_FALSE(decodeReadAnswer(r)) << "an identify answer is not a read answer";
  r[6] = 0;
  EXPECT_FALSE(decodeIdentifyAnswer(r));

  ReadAnswer ra;
  ra.tag = 7;
  ra.offset = 224;
  ra.length = kReadChunkSize;
  for (std::size_t i = 0; i < kReadChunkSize; ++i) ra.data[i] = static_cast<uint8_t>(i * 3);
  encodeReadAnswer(ra, r);
  EXPECT_EQ(r[12], 0);
  EXPECT_EQ(r[12 + 111], static_cast<uint8_t>(111 * 3));
  auto rb = decodeReadAnswer(r);
  ASSERT_TRUE(rb);
  EXPECT_EQ(rb->offset, 224u);
  EXPECT_EQ(rb->data, ra.data);

  // A length beyond a chunk is refused even with a right check.
  r[10] = kReadChunkSize + 1;
  const uint16_t c = reportCheck(r);
  r[127] = c & 0xFF;
  r[128] = c >> 8;
  EXPECT_FALSE(decodeReadAnswer(r));
}

}  // namespace
}  // namespace lw::wire
