#include <gtest/gtest.h>

#include <cstdio>

#include "cli/console_message_boxes.h"
#include "core/json_writer.h"
#include "cli/progress_json_lines.h"
#include "core/codes.h"

namespace lw::cli {
namespace {

TEST(ConsoleMessageBoxes, OneLinePerBoxAndAnswersFollowYes) {
  std::FILE* sink = std::tmpfile();
  ConsoleMessageBoxes no(false, sink), yes(true, sink);
  EXPECT_EQ(no.show("File size is too large, file data will be truncated !", "Warning !",
                    mb::kOkCancel | mb::kIconWarning, BoxOwner::MainWindow),
            kIdCancel);
  EXPECT_EQ(yes.show("t", "c", mb::kOkCancel, BoxOwner::MainWindow), kIdOk);
  EXPECT_EQ(no.show("old?", "c", mb::kYesNo | mb::kIconQuestion, BoxOwner::MainWindow), kIdNo);
  EXPECT_EQ(yes.show("old?", "c", mb::kYesNo, BoxOwner::MainWindow), kIdYes);
  EXPECT_EQ(no.show("Update Target ok !", "Pass !", mb::kIconInformation, BoxOwner::MainWindow), kIdOk);
  EXPECT_FALSE(no.errorShown());
  no.show("line one\nline two", "Error !", mb::kIconError, BoxOwner::None);
  EXPECT_TRUE(no.errorShown());
  EXPECT_EQ(no.lines().back(), "Error !: line one line two");
  EXPECT_EQ(messageLine("", "The path of the file is too long !"), "The path of the file is too long !");

  std::rewind(sink);
  char buf[256];
  ASSERT_TRUE(std::fgets(buf, sizeof buf, sink));
  EXPECT_STREQ(buf, "Warning !: File size is too large, file data will be truncated !\n");
  std::fclose(sink);
}

TEST(JsonWriter, QuotesAndNests) {
  const std::string s = JsonObject()
                            .add("text", "a \"q\" \\ \n\x01")
                            .add("n", int64_t{-5})
                            .add("ok", false)
                            .addStrings("list", {"x", "y"})
                            .addRaw("obj", JsonObject().add("k", "v").str())
                            .str();
  EXPECT_EQ(s, R"({"text":"a \"q\" \\ \n\u0001","n":-5,"ok":false,"list":["x","y"],"obj":{"k":"v"}})");

  // Text that is not UTF-8 (a Latin-1 file name, an overlong form, a
  // surrogate, a value past U+10FFFF) comes out as U+FFFD; UTF-8 stays.
  const std::string bad = "\xE9t\xE9 \xC0\x80 \xED\xA0\x80 \xF4\x90\x80\x80";
  const std::string r = "\xEF\xBF\xBD";
  EXPECT_EQ(jsonQuote(bad), "\"" + r + "t" + r + " " + r + r + " " + r + r + r + " " + r + r + r + r + "\"");
  EXPECT_EQ(jsonQuote("\xC3\xA9t\xC3\xA9 \xF0\x9F\x94\xA7"), "\"\xC3\xA9t\xC3\xA9 \xF0\x9F\x94\xA7\"");
}

// A 64 KiB block write reports 512 steps; the JSON lines say when the phase
// began, each whole percent, and where it ended, not every step.
TEST(ProgressJsonLines, OneLinePerPercentAndTheEnds) {
  std::FILE* sink = std::tmpfile();
  ASSERT_NE(sink, nullptr);
  ProgressJsonLines lines(sink);
  lines.take({OperationPhase::Connect, 0, 0, false});
  for (uint64_t done = 128; done <= 0x10000; done += 128) lines.take({OperationPhase::Program, done, 0x10000, false});
  lines.take({OperationPhase::Program, 0x10000, 0x10000, true});
  lines.take({OperationPhase::Verify, 0, 0x10000, false});
  lines.take({OperationPhase::Verify, 0x1000, 0x10000, true});  // a read cut short ends where it got
  std::rewind(sink);
  std::vector<std::string> got;
  char buf[256];
  while (std::fgets(buf, sizeof buf, sink)) got.push_back(buf);
  std::fclose(sink);
  ASSERT_EQ(got.size(), 1u + 101u + 2u);  // connect, program 0..100%, verify begun and ended
  EXPECT_EQ(got.front(), "{\"event\":\"progress\",\"phase\":\"connect\",\"done\":0,\"total\":0}\n");
  EXPECT_EQ(got[1], "{\"event\":\"progress\",\"phase\":\"program\",\"done\":128,\"total\":65536}\n");
  EXPECT_EQ(got[101], "{\"event\":\"progress\",\"phase\":\"program\",\"done\":65536,\"total\":65536}\n");
  EXPECT_EQ(got.back(), "{\"event\":\"progress\",\"phase\":\"verify\",\"done\":4096,\"total\":65536}\n");
}

}  // namespace
}  // namespace lw::cli
