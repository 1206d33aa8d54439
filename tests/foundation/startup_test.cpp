#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "core/context/settings_keys.h"
#include "app/startup.h"
#include "core/codes.h"
#include "core/abi/version_block.h"
#include "platform/memory/memory_instance_guard.h"
#include "platform/memory/memory_settings.h"
#include "platform/memory/recording_message_boxes.h"
#include "core/ports/update_check_port.h"
#include "resources/embedded_resources.h"

namespace fs = std::filesystem;

namespace lw {
namespace {

// Modules that "load" when their file exists (or, for plain names, when
// listed as available on the system search path).
class FakeModules final : public ModulePort {
 public:
  ModuleHandle load(const std::string& path, uint32_t& error) override {
    loads.push_back(path);
    const bool isPath = path.find('/') != std::string::npos;
    if ((isPath && fs::exists(path)) || (!isPath && systemModules.count(path))) {
      ++loaded[path];
      error = 0;
      return reinterpret_cast<ModuleHandle>(static_cast<intptr_t>(loads.size()));
    }
    error = isPath ? err::kFileNotFound : err::kModuleNotFound;
    return nullptr;
  }
  void* symbol(ModuleHandle, const char*) override { return nullptr; }
  void unload(ModuleHandle) override { ++unloads; }

  std::vector<std::string> loads;
  std::map<std::string, int> loaded;
  std::map<std::string, int> systemModules;
  int unloads = 0;
};

class CountingUpdateCheck final : public UpdateCheckPort {
 public:
  void run(int mode) override { modes.push_back(mode); }
  std::vector<int> modes;
};

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("lw-startup-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    bin_ = root_ / "prog" / "bin";
    fs::create_directories(bin_);
    std::ofstream(bin_ / "libHexEdit.so") << "hex";
    ctx_.resources = &embeddedResources();
    ctx_.ports.messages = &boxes_;
    ctx_.ports.settings = &settings_;
    ctx_.ports.modules = &modules_;
    ctx_.ports.instanceGuard = &guard_;
    ctx_.ports.updateCheck = &updateCheck_;
    ctx_.ports.debugOutput = [this](const std::string& line) { debugLines_.push_back(line); };
  }
  void TearDown() override { fs::remove_all(root_); }

  void writeLinkLibrary(const fs::path& dir, uint16_t major, uint16_t minor) {
    fs::create_directories(dir);
    std::string bytes = "ELF...";
    bytes += kVersionSignatureHead;
    bytes += kVersionSignatureTail;
    for (uint16_t v : {major, minor, uint16_t{0}, uint16_t{0}}) {
      bytes += static_cast<char>(v & 0xFF);
      bytes += static_cast<char>(v >> 8);
    }
    std::ofstream(dir / "libV0Izaz_Tether.so", std::ios::binary) << bytes;
  }

  int run(std::vector<std::string> args = {}) {
    StartupInput input{(bin_ / "loomwrite").string(), std::move(args), root_.string()};
    return runProgram(ctx_, input, [this](AppContext&) { ++mainWindowRuns_; });
  }

  fs::path root_, bin_;
  AppContext ctx_;
  RecordingMessageBoxes boxes_;
  MemorySettings settings_;
  FakeModules modules_;
  MemoryInstanceGuard guard_;
  CountingUpdateCheck updateCheck_;
  std::vector<std::string> debugLines_;
  int mainWindowRuns_ = 0;
};

TEST_F(Startup, LoadsBothModulesRunsTheMainWindowAndFreesEverything) {
  writeLinkLibrary(bin_, 1, 4);
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(mainWindowRuns_, 1);
  EXPECT_TRUE(boxes_.shown.empty());
  EXPECT_EQ(modules_.loads.front(), (bin_ / "libHexEdit.so").string()) << "the hex view loads first";
  EXPECT_EQ(modules_.loaded[(bin_ / "libV0Izaz_Tether.so").string()], 1);
  EXPECT_EQ(ctx_.state.linkLibraryPath, (bin_ / "libV0Izaz_Tether.so").string());
  EXPECT_EQ(debugLines_, std::vector<std::string>{(bin_ / "libV0Izaz_Tether.so").string()});
  EXPECT_EQ(modules_.unloads, 2);
  EXPECT_EQ(ctx_.state.linkLibrary, nullptr);
  EXPECT_EQ(ctx_.state.applicationName, "loomwrite");
  // The guard is free again after exit.
  MemoryInstanceGuard other;
  EXPECT_TRUE(other.acquire(kInstanceGuardName));
}

TEST_F(Startup, HexViewModuleMissingShowsTheSystemErrorBox) {
  fs::remove(bin_ / "libHexEdit.so");
  writeLinkLibrary(bin_, 1, 4);
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(mainWindowRuns_, 0);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].caption, "Error Code = 0x0000007E");
  EXPECT_EQ(boxes_.shown[0].text, "The specified module could not be found.");
  EXPECT_EQ(boxes_.shown[0].style, mb::kIconError);

  // Found through the system's search path instead.
  boxes_.shown.clear();
  modules_.systemModules["libHexEdit.so"] = 1;
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(mainWindowRuns_, 1);
}

TEST_F(Startup, TooOldLinkLibraryShowsTheVersionMessageWithoutSearching) {
  writeLinkLibrary(bin_, 1, 2);
  writeLinkLibrary(root_ / "other", 1, 4);  // a good one elsewhere is not looked for
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(mainWindowRuns_, 0);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "This version of dll is not correspond to the application !");
  EXPECT_EQ(boxes_.shown[0].caption, "Error !");
  EXPECT_EQ(boxes_.shown[0].style, mb::kIconError);
  EXPECT_EQ(modules_.unloads, 1) << "the hex view module is freed again";
}

TEST_F(Startup, LinkLibraryFoundInASiblingFolderOfAnAncestor) {
  writeLinkLibrary(root_ / "vendor" / "lib", 1, 3);
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(ctx_.state.linkLibraryPath, (root_ / "vendor" / "lib" / "libV0Izaz_Tether.so").string());

  // Found, but too old: the version message.
  writeLinkLibrary(root_ / "vendor" / "lib", 1, 1);
  boxes_.shown.clear();
  EXPECT_EQ(run(), 1);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].caption, "Error !");
}

TEST_F(Startup, LinkLibraryMissingOrWithoutVersionBlock) {
  EXPECT_EQ(run(), 1);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].caption, "Error Code = 0x00000002");

  std::ofstream(bin_ / "libV0Izaz_Tether.so") << "no version here";
  boxes_.shown.clear();
  EXPECT_EQ(run(), 1);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].caption, "Error Code = 0x0000000D");
}

TEST_F(Startup, SecondInstanceIsRefused) {
  writeLinkLibrary(bin_, 1, 4);
  MemoryInstanceGuard first;
  ASSERT_TRUE(first.acquire(kInstanceGuardName));
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(mainWindowRuns_, 0);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "There is another application running");
  EXPECT_EQ(boxes_.shown[0].caption, "Error");
  EXPECT_EQ(boxes_.shown[0].style, mb::kIconError);
  MemoryInstanceGuard third;
  EXPECT_FALSE(third.acquire(kInstanceGuardName)) << "the first instance keeps its guard";
}

TEST_F(Startup, CheckVersionSetting) {
  writeLinkLibrary(bin_, 1, 4);
  run();
  EXPECT_EQ(updateCheck_.modes, std::vector<int>{1}) << "absent means 2: check, and remember 1";
  EXPECT_EQ(settings::checkVersion(settings_), 1);
  run();
  EXPECT_EQ(updateCheck_.modes.size(), 2u);
  settings::setCheckVersion(settings_, 0);
  run();
  EXPECT_EQ(updateCheck_.modes.size(), 2u) << "0 skips the check";
  EXPECT_EQ(settings::checkVersion(settings_), 0);
  settings::setCheckVersion(settings_, 2);
  run();
  EXPECT_EQ(updateCheck_.modes.size(), 3u) << "2 is the first run again";
  EXPECT_EQ(settings::checkVersion(settings_), 1);
  settings::setCheckVersion(settings_, 7);
  run();
  EXPECT_EQ(updateCheck_.modes, (std::vector<int>{1, 1, 1, 1})) << "any other value checks";
  EXPECT_EQ(settings::checkVersion(settings_), 7) << "and stays as it is";
}

TEST_F(Startup, CommandLineReachesTheApplicationState) {
  writeLinkLibrary(bin_, 1, 4);
  run({"x"});
  EXPECT_EQ(ctx_.state.startupFirmwareUpdateFlag.load(), 1);
  EXPECT_EQ(ctx_.state.commandLinePartName, "");

  ctx_.state.startupFirmwareUpdateFlag = 0;
  run({"Larch-F8U6", "/My", "Files/a.hex"});
  EXPECT_EQ(ctx_.state.startupFirmwareUpdateFlag.load(), 0);
  EXPECT_EQ(ctx_.state.commandLinePartName, "Larch-F8U6");
  EXPECT_EQ(ctx_.state.commandLineFilePath, "/My Files/a.hex");

  EXPECT_EQ(run({"Larch-F8U6", std::string(300, 'a')}), 1);
  ASSERT_FALSE(boxes_.shown.empty());
  EXPECT_EQ(boxes_.shown.back().text, "The path of the file is too long !");
  EXPECT_EQ(boxes_.shown.back().caption, "");
}

// The language of the run: --language in front, else the stored choice,
// else English; a stored value that names no table is English. The
// platform is told before any box, and the too-old message speaks it.
TEST_F(Startup, LanguageFromTheCommandLineOrTheSettings) {
  std::vector<uint16_t> platform;
  ctx_.ports.platformLanguage = [&](uint16_t index) { platform.push_back(index); };
  writeLinkLibrary(bin_, 1, 4);
  run();
  EXPECT_EQ(ctx_.state.languageIndex, 0);
  settings::setLanguage(settings_, 1);
  run();
  EXPECT_EQ(ctx_.state.languageIndex, 1);
  run({"--language", "en", "Larch-F8U6", "a.hex"});
  EXPECT_EQ(ctx_.state.languageIndex, 0);
  EXPECT_EQ(ctx_.state.commandLinePartName, "Larch-F8U6");
  EXPECT_EQ(settings::language(settings_), 1) << "--language is for this run only";
  settings::setLanguage(settings_, 9);
  run();
  EXPECT_EQ(ctx_.state.languageIndex, 0);
  EXPECT_EQ(platform, (std::vector<uint16_t>{0, 1, 0, 0}));

  writeLinkLibrary(bin_, 1, 2);
  run({"--language=zh"});
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, "该 dll 版本与应用程序不对应 !");
  EXPECT_EQ(boxes_.shown[0].caption, "错误 !");

  fs::remove(bin_ / "libV0Izaz_Tether.so");
  run({"--language=zh"});
  ASSERT_EQ(boxes_.shown.size(), 2u);
  EXPECT_EQ(boxes_.shown[1].text, "系统找不到指定的文件。");
  EXPECT_EQ(boxes_.shown[1].caption, "错误代码 = 0x00000002");
}

}  // namespace
}  // namespace lw
