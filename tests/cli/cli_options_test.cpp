#include <gtest/gtest.h>

#include <algorithm>

#include "cli/cli_options.h"

namespace lw::cli {
namespace {

ParseResult parse(std::vector<std::string> args) { return parseArguments(args); }

TEST(CliOptions, PerFileOptionsBindToThePrecedingFile) {
  const auto r = parse({"load", "app.bin", "data.bin", "--at", "EC00", "--merge", "--part", "Larch-F8U6", "--out", "x.bin"});
  ASSERT_TRUE(r.options) << r.error;
  const Options& o = *r.options;
  EXPECT_EQ(o.command, "load");
  ASSERT_EQ(o.inputs.size(), 2u);
  EXPECT_EQ(o.inputs[0].path, "app.bin");
  EXPECT_FALSE(o.inputs[0].at);
  EXPECT_FALSE(o.inputs[0].merge);
  EXPECT_EQ(o.inputs[1].at, 0xEC00u);
  EXPECT_TRUE(o.inputs[1].merge);
  EXPECT_EQ(o.part, "Larch-F8U6");
  EXPECT_EQ(o.output, "x.bin");
}

TEST(CliOptions, GlobalOptionsAnywhereAndOptionSettings) {
  const auto r = parse({"--json", "program", "a.hex", "--adapter", "emulator:/tmp/e", "--part", "Larch-K8T6",
                        "--option", "SWDP", "--no-option", "IWDGON", "--iwdgcnt", "1234", "--yes"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_TRUE(r.options->json);
  EXPECT_TRUE(r.options->yes);
  EXPECT_EQ(r.options->adapter, "emulator:/tmp/e");
  EXPECT_EQ(r.options->options.check, std::vector<std::string>{"SWDP"});
  EXPECT_EQ(r.options->options.uncheck, std::vector<std::string>{"IWDGON"});
  EXPECT_EQ(r.options->options.iwdgCounter, 0x1234u);

  const auto raw = parse({"kpj", "save", "out.kpj", "img.bin", "--part", "Larch-F8U6", "--option-bytes", "FE FF 00 7f"});
  ASSERT_TRUE(raw.options) << raw.error;
  EXPECT_EQ(raw.options->command, "kpj-save");
  EXPECT_EQ(raw.options->output, "out.kpj");
  EXPECT_EQ(raw.options->inputs.size(), 1u);
  EXPECT_EQ(*raw.options->options.rawBytes, (std::vector<uint8_t>{0xFE, 0xFF, 0x00, 0x7F}));

  const auto show = parse({"kpj", "show", "a.kpj"});
  ASSERT_TRUE(show.options);
  EXPECT_EQ(show.options->command, "kpj-show");
  EXPECT_TRUE(parse({"firmware", "--force"}).options->force);
  EXPECT_TRUE(parse({"program", "a.hex", "--part", "X", "--progress"}).options->progress);
  // Project files bring their part.
  const auto projects = parse({"load", "a.KPJ", "b.kpj", "--out", "x.bin"});
  ASSERT_TRUE(projects.options) << projects.error;
  EXPECT_TRUE(projects.options->part.empty());
  EXPECT_TRUE(parse({"--help"}).help);
}

TEST(CliOptions, AGangsWorkersGetTheJobWithoutTheGangsOwnOptions) {
  const auto r = parse({"--json", "gang", "program", "a.hex", "--adapter", "usb", "--part", "X", "--adapters",
                        "1-2,1-3", "--progress", "--yes", "--option", "SWDP"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_EQ(r.options->command, "gang-program");
  EXPECT_EQ(r.options->gangAdapters, "1-2,1-3");
  EXPECT_EQ(r.options->workerArgs,
            (std::vector<std::string>{"program", "a.hex", "--part", "X", "--yes", "--option", "SWDP"}));
  EXPECT_TRUE(parse({"--adapter", "usb:3-1.4.2", "adapters"}).options);
  EXPECT_TRUE(parse({"--adapter", "usb:/dev/hidraw7", "firmware"}).options);
}

TEST(CliOptions, TargetCommands) {
  const auto read = parse({"read", "back.hex", "--part", "X", "--size", "0x400", "--log", "run.csv"});
  ASSERT_TRUE(read.options) << read.error;
  EXPECT_EQ(read.options->output, "back.hex");
  EXPECT_TRUE(read.options->inputs.empty());
  EXPECT_EQ(read.options->outputFormat, ImageFileFormat::IntelHex);
  EXPECT_EQ(read.options->size, 0x400u);
  EXPECT_EQ(parse({"read", "back", "--format", "srec", "--part", "X"}).options->outputFormat, ImageFileFormat::SRecord);
  EXPECT_EQ(parse({"read", "back.bin", "--part", "X", "--size", "1024"}).options->size, 1024u);
  EXPECT_EQ(parse({"verify", "a.kpj"}).options->command, "verify");  // a project brings its part
  EXPECT_EQ(parse({"blank-check", "--part", "X"}).options->command, "blank-check");
  const auto gang = parse({"gang", "erase", "--part", "X", "--adapters", "all", "--json"});
  ASSERT_TRUE(gang.options) << gang.error;
  EXPECT_EQ(gang.options->command, "gang-erase");
  EXPECT_EQ(gang.options->workerArgs, (std::vector<std::string>{"erase", "--part", "X"}));
}

// --language wins over LOOMWRITE_LANGUAGE; a value that names no language
// is a usage error either way.
TEST(CliOptions, LanguageFromTheFlagElseTheEnvironment) {
  auto flag = parse({"parts", "--language", "zh"});
  ASSERT_TRUE(flag.options) << flag.error;
  EXPECT_EQ(flag.options->languageIndex, 1);
  EXPECT_EQ(languageFromEnvironment(*flag.options, "en"), "");
  EXPECT_EQ(flag.options->languageIndex, 1);
  auto plain = parse({"parts"});
  EXPECT_EQ(languageFromEnvironment(*plain.options, "zh"), "");
  EXPECT_EQ(plain.options->languageIndex, 1);
  EXPECT_EQ(languageFromEnvironment(*plain.options, "de"), "LOOMWRITE_LANGUAGE needs en|zh, not 'de'");
  EXPECT_EQ(parse({"parts", "--language", "cn"}).error, "--language needs en|zh, not 'cn'");
  const auto gang = parse({"gang", "program", "a.hex", "--part", "Larch-F8U6", "--language", "zh"});
  ASSERT_TRUE(gang.options) << gang.error;
  EXPECT_NE(std::find(gang.options->workerArgs.begin(), gang.options->workerArgs.end(), "zh"),
            gang.options->workerArgs.end()) << "the workers speak it too";
}

TEST(CliOptions, UsageErrors) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"frobnicate"},
      {"load", "--part", "X"},                       // no file
      {"load", "a.bin"},                             // no part
      {"load", "--at", "EC00", "a.bin", "--part", "X"},  // --at before any file
      {"load", "a.bin", "--at", "xyz", "--part", "X"},
      {"load", "a.bin", "--at", "123456789", "--part", "X"},
      {"load", "a.bin", "--part"},
      {"parts", "--part", "X"},
      {"parts", "extra"},
      {"kpj"},
      {"kpj", "open", "a.kpj"},
      {"kpj", "show"},
      {"kpj", "save", "only.kpj", "--part", "X"},
      {"kpj", "save", "job", "a.bin", "--part", "X"},  // read back later as a raw image
      {"program", "a.hex", "--part", "X", "--iwdgcnt", "100000"},
      {"program", "a.hex", "--part", "X", "--option-bytes", "F"},
      {"load", "a.hex", "--part", "X", "--option", "SWDP"},
      {"firmware", "--adapter", "serial"},
      {"parts", "--bogus"},
      {"program", "a.hex", "--part", "X", "--adapter", "emulator:"},
      {"load", "a.kpj", "--at", "100"},              // a project brings its own place
      {"load", "a.kpj", "--merge"},
      {"kpj", "save", "o.kpj", "a.bin", "--part", "X", "--out", "b.bin"},
      {"kpj", "show", "a.kpj", "--merge"},
      {"load", "a.kpj", "b.bin"},                   // a raw file needs a part
      {"program", "a.hex", "--part", "X", "--force"},
      {"program", "--options-only", "a.hex", "--part", "X"},  // options alone, or a file
      {"program", "--options-only"},                           // still needs the part
      {"load", "--options-only", "--part", "X"},
      {"gang"},
      {"gang", "load", "a.bin", "--part", "X"},
      {"gang", "program", "--part", "X"},                      // no file
      {"program", "a.hex", "--part", "X", "--adapters", "all"},  // --adapters is the gang's
      {"adapters", "a.bin"},
      {"read", "--part", "X"},                        // no OUT
      {"read", "a.bin", "b.bin", "--part", "X"},
      {"read", "a.elf", "--part", "X"},               // not a format the writer writes
      {"read", "a.bin", "--part", "X", "--size", "0"},
      {"read", "a.bin", "--part", "X", "--size", "12k"},
      {"read", "a.bin"},                              // no part
      {"verify", "--part", "X"},                      // no file
      {"verify", "a.hex", "--part", "X", "--option", "SWDP"},
      {"erase", "a.bin", "--part", "X"},
      {"blank-check", "--part", "X", "--size", "16"},  // --size is read's
      {"gang", "erase", "a.bin", "--part", "X"},
      {"gang", "verify", "--part", "X"},
      {"gang", "read", "a.bin", "--part", "X"},
      {"program", "a.hex", "--part", "X", "--log", "postgresql:host=db"},  // a URI or nothing
      {"program", "a.hex", "--part", "X", "--station", "S"},             // nothing to put it in
      {"program", "a.hex", "--part", "X", "--serial-at", "FFF0"},         // no store to hand numbers out
      {"program", "a.hex", "--part", "X", "--serial-at", "FFF0", "--log", "l.jsonl"},
      {"program", "a.hex", "--part", "X", "--serial-at", "FFF0", "--log", "l.db", "--serial-bytes", "9"},
      {"program", "a.hex", "--part", "X", "--serial-at", "FFF0", "--log", "l.db", "--serial-bytes", "1",
       "--serial-from", "100"},
      {"program", "a.hex", "--part", "X", "--serial-from", "1", "--log", "l.db"},
      {"program-adapter", "a.hex", "--part", "X", "--serial-at", "FFF0", "--log", "l.db"},
      {"log"},
      {"log", "find", "--log", "l.db"},                     // find what?
      {"log", "summary"},                                   // which log?
      {"log", "summary", "--log", "l.db", "--by", "colour"},
      {"log", "summary", "--log", "l.db", "--since", "last week"},
      {"log", "export", "--log", "l.db", "--csv", "--json"},
      {"log", "serials", "--log", "l.csv"},
      {"program", "a.hex", "--part", "X", "--since", "today"},
  };
  for (const auto& args : bad) {
    const auto r = parse(args);
    EXPECT_FALSE(r.options) << "accepted: " << ::testing::PrintToString(args);
    EXPECT_FALSE(r.error.empty());
  }
}

TEST(CliOptions, ProductionLogStoresSerialNumbersAndQueries) {
  const auto gang = parse({"gang", "program", "a.hex", "--part", "X", "--log", "postgresql://lw@db/line", "--station",
                           "S2", "--serial-at", "fff0", "--serial-bytes", "2", "--serial-from", "0x100"});
  ASSERT_TRUE(gang.options) << gang.error;
  EXPECT_EQ(gang.options->serial.at, 0xFFF0u);
  EXPECT_EQ(gang.options->serial.bytes, 2u);
  EXPECT_EQ(gang.options->serial.from, 0x100u);
  EXPECT_EQ(gang.options->serial.pool, "default");
  // The workers log and take numbers themselves.
  EXPECT_EQ(gang.options->workerArgs.back(), "0x100");
  const auto csv = parse({"program", "a.hex", "--part", "X", "--log", "l.csv", "--serial-at", "FFF0"});
  EXPECT_NE(csv.error.find("a CSV log has no shared counter"), std::string::npos) << csv.error;

  const auto find = parse({"log", "find", "--log", "sqlite:l", "--serial-string", "LINE-A", "--since", "2026-12-07"});
  ASSERT_TRUE(find.options) << find.error;
  EXPECT_EQ(find.options->query.action, "find");
  EXPECT_EQ(find.options->query.serialString, "LINE-A");
  EXPECT_FALSE(find.options->offline.any());
  EXPECT_EQ(find.options->query.since, "2026-12-07T00:00:00Z");
  const auto flush = parse({"log", "flush"});
  ASSERT_TRUE(flush.options) << flush.error;
  EXPECT_TRUE(flush.options->log.empty());
}

}  // namespace
}  // namespace lw::cli
