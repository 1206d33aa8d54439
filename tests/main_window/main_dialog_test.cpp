// The main dialog driven headless through the in-memory ports.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <thread>

#include "core/context/settings_keys.h"
#include "core/ids/language_keys.h"
#include "core/codes.h"
#include "tests/main_window/test_support.h"
#include "core/ids/main_dialog_ids.h"

namespace lw::test {
namespace {

using namespace mainid;

constexpr uint16_t kLarchF8U6 = 43, kLarchK8U6 = 44, kLarchF8P6 = 58, kLarchK8T6 = 59;

std::vector<std::string> partList(const MemoryDialog& d) {
  std::vector<std::string> names;
  for (int i = 0; i < d.comboCount(kPart); ++i) names.push_back(d.comboText(kPart, i));
  return names;
}

void choosePartAt(MainDialogHarness& h, int index) {
  h.dialog.comboSelect(kPart, index);
  h.main->onCommand(kPart, notify::kSelChange);
}

void click(MainDialogHarness& h, int id) {
  h.dialog.setChecked(id, !h.dialog.isChecked(id));
  h.main->onCommand(id, notify::kClicked);
}

TEST(MainDialogInit, FillsWindowAndAppliesFirstPart) {
  MainDialogHarness h;
  h.open();
  const MemoryDialog& d = h.dialog;

  EXPECT_EQ(d.title(), "Loomwrite_Programmer (v1.4.0.0) FW = v0. 0 ");
  EXPECT_EQ(d.comboCount(kSeries), 1);
  EXPECT_EQ(d.text(kSeries), "Larch Series");
  EXPECT_EQ(d.comboData(kSeries, 0), 6u);
  EXPECT_EQ(partList(d), (std::vector<std::string>{"Larch-F8U6", "Larch-K8U6", "Larch-F8P6", "Larch-K8T6"}));
  EXPECT_EQ(d.comboSelection(kPart), 0);
  EXPECT_TRUE(d.isEnabled(kPart));
  EXPECT_EQ(h.ctx.state.part.partIndex, kLarchF8U6);
  EXPECT_EQ(h.ctx.state.part.flashSize, 0x10000u);

  EXPECT_EQ(d.text(kLoadFile), "Load File");
  EXPECT_EQ(d.text(kUpdateProgrammer), "Update Programmer");
  EXPECT_EQ(d.text(kExit), "Exit");
  EXPECT_EQ(d.text(kCodeBufferGroup), "Binary Code Buffer");
  EXPECT_EQ(d.text(kAutoReload), "Auto Reload Code");
  EXPECT_TRUE(d.isChecked(kWholeChip));
  EXPECT_FALSE(d.isChecked(kUserDefine));
  EXPECT_EQ(d.control(kIwdgCounter)->textLimit, 5);

  EXPECT_EQ(d.defaultButton, kLoadFile);
  EXPECT_EQ(d.focus, kLoadFile);
  EXPECT_EQ(h.timers.running.at(kStartupProbeTimer), 200);
  EXPECT_TRUE(h.messages.shown.empty());

  // The hex view got its three set-up messages in order, then the part's
  // clear and flash size.
  ASSERT_GE(h.hexView.sent.size(), 5u);
  EXPECT_EQ(h.hexView.sent[0].msg, hexmsg::kColours);
  EXPECT_EQ(h.hexView.sent[1].msg, hexmsg::kRowSetup);
  EXPECT_EQ(h.hexView.sent[1].wParam, 14u);
  EXPECT_EQ(h.hexView.sent[2].msg, hexmsg::kSetup);
  EXPECT_EQ(h.hexView.sent[2].wParam, 0x60000u);
  EXPECT_EQ(h.hexView.settings().areaFlags, 0x55u);
  EXPECT_EQ(h.hexView.settings().flashSize, 0x10000u);
}

TEST(MainDialogOptions, LarchF8U6ShowsItsFourBoxesAndCounter) {
  MainDialogHarness h;
  h.open();
  const MemoryDialog& d = h.dialog;
  const std::vector<std::string> names = {"SWDP", "IWDGMODE", "IWDGINTMASK", "IWDGON"};
  for (int k = 0; k < 12; ++k) {
    const int id = kFirstOptionBox + k;
    EXPECT_FALSE(d.isChecked(id)) << k;
    if (k < 4) {
      EXPECT_TRUE(d.isEnabled(id)) << k;
      EXPECT_EQ(d.text(id), names[static_cast<std::size_t>(k)]);
    } else {
      EXPECT_FALSE(d.isEnabled(id)) << k;
      EXPECT_EQ(d.text(id), "");
    }
  }
  EXPECT_EQ(d.text(kIwdgCounter), "FFFFF");
  EXPECT_EQ(d.tooltip(kFirstOptionBox), "SWD protect bit\nChecked : Protected\nUnchecked : Unprotected");
  for (int i = 0; i < 8; ++i) EXPECT_EQ(h.ctx.state.part.optionBytes[static_cast<std::size_t>(i)], 0xFF);
}

TEST(MainDialogOptions, CheckBoxesAndCounterEditOptionBytes) {
  MainDialogHarness h;
  h.open();
  auto& bytes = h.ctx.state.part.optionBytes;

  click(h, kFirstOptionBox);  // SWDP
  EXPECT_EQ(bytes[0], 0xFE);
  click(h, kFirstOptionBox + 3);  // IWDGON
  EXPECT_EQ(bytes[7], 0x7F);
  click(h, kFirstOptionBox);  // SWDP off again
  EXPECT_EQ(bytes[0], 0xFF);

  h.dialog.typeText(kIwdgCounter, "1234");
  click(h, kFirstOptionBox + 1);  // any click reads the counter too
  EXPECT_EQ(bytes[4], 0x34);
  EXPECT_EQ(bytes[5], 0x12);
  EXPECT_EQ(bytes[6], 0xF0);
  EXPECT_EQ(bytes[7], 0x7F & ~0x10);  // IWDGON and IWDGMODE checked
  h.main->showOptionBytes();
  EXPECT_EQ(h.dialog.text(kIwdgCounter), "01234");

  // An empty field reads as 0; the upper 12 bits stay.
  h.dialog.typeText(kIwdgCounter, "");
  h.main->readOptionCheckBoxes();
  EXPECT_EQ(bytes[4], 0x00);
  EXPECT_EQ(bytes[5], 0x00);
  EXPECT_EQ(bytes[6], 0xF0);
}

TEST(MainDialogOptions, ReselectingAppliedPartKeepsEditsOtherPartResets) {
  MainDialogHarness h;
  int applied = 0;
  h.create().hooks.partApplied = [&] { ++applied; };
  h.main->initialise();
  const int appliedAtStart = applied;
  EXPECT_GE(appliedAtStart, 1);

  click(h, kFirstOptionBox);
  h.hexView.model().writeByte(0, 0x12);
  choosePartAt(h, 0);
  EXPECT_EQ(applied, appliedAtStart);
  EXPECT_EQ(h.ctx.state.part.optionBytes[0], 0xFE);
  EXPECT_TRUE(h.dialog.isChecked(kFirstOptionBox));
  EXPECT_EQ(h.hexView.model().size(), 1u);

  choosePartAt(h, 1);
  EXPECT_EQ(applied, appliedAtStart + 1);
  EXPECT_EQ(h.ctx.state.part.partIndex, kLarchK8U6);
  EXPECT_EQ(h.ctx.state.part.optionBytes[0], 0xFF);
  EXPECT_FALSE(h.dialog.isChecked(kFirstOptionBox));
  EXPECT_EQ(h.hexView.model().size(), 0u);
  EXPECT_EQ(h.dialog.text(kSizeField), "");
  EXPECT_EQ(h.dialog.text(kChecksumField), "");
  EXPECT_EQ(h.dialog.text(kStatusLine), "");
}

TEST(MainDialogInitialChoice, CommandLineNameSearchOrder) {
  struct Case {
    std::string name;
    int selected;
    bool locked;
  };
  const std::vector<Case> cases = {
      {"larch-f8", 2, true},     // prefix search starts at the second entry
      {"Larch-F8U6", 0, true},   // reached after wrapping round
      {"LARCH-K8", 1, true},
      {"Walnut-X1", 0, false},   // no match: first part, still changeable
  };
  for (const Case& c : cases) {
    MainDialogHarness h;
    h.settings.writeInt(kSettingsSection, settings::kBodyId, kLarchK8T6);  // ignored with a name
    h.ctx.state.commandLinePartName = c.name;
    h.open();
    EXPECT_EQ(h.dialog.comboSelection(kPart), c.selected) << c.name;
    EXPECT_EQ(h.dialog.isEnabled(kPart), !c.locked) << c.name;
    EXPECT_EQ(h.dialog.defaultButton, kUpdateTarget) << c.name;
    EXPECT_EQ(h.dialog.focus, kUpdateTarget) << c.name;
    EXPECT_EQ(h.ctx.state.part.partIndex, h.dialog.comboData(kPart, c.selected)) << c.name;
  }
}

TEST(MainDialogInitialChoice, BodyIdRestoresLastPart) {
  {
    MainDialogHarness h;
    h.settings.writeInt(kSettingsSection, settings::kBodyId, kLarchK8T6);
    h.open();
    EXPECT_EQ(h.dialog.text(kPart), "Larch-K8T6");
    EXPECT_EQ(h.ctx.state.part.partIndex, kLarchK8T6);
  }
  {
    MainDialogHarness h;  // a part outside the listed series
    h.settings.writeInt(kSettingsSection, settings::kBodyId, 7);
    h.open();
    EXPECT_EQ(h.dialog.comboSelection(kPart), 0);
    EXPECT_EQ(h.ctx.state.part.partIndex, kLarchF8U6);
  }
}

TEST(MainDialogInitialChoice, UnbalancedEntryReportsAndSearchGoesOn) {
  TableResources res;
  res.addTable(4096 + 40, {{0, "Alder-Z1(Q"}, {21, "6"}, {2, "8"}});
  res.addTable(4096 + 41, {{0, "Alder-Z2(Q)X"}, {21, "6"}, {2, "8"}});
  MainDialogHarness h(&res);
  h.ctx.state.commandLinePartName = "Alder-Z2X";  // base + suffix
  h.open();
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].text, "ERROR");
  EXPECT_EQ(h.messages.shown[0].caption, "loomwrite");
  EXPECT_EQ(h.dialog.text(kPart), "Alder-Z2(Q)X");
  EXPECT_FALSE(h.dialog.isEnabled(kPart));
}

TEST(MainDialogClose, CloseBoxAndExitSaveChoice) {
  for (bool viaCloseBox : {true, false}) {
    MainDialogHarness h;
    h.open();
    choosePartAt(h, 2);
    click(h, kFirstOptionBox);
    if (viaCloseBox) {
      h.main->onCloseRequest();
    } else {
      h.main->onCommand(kExit);
    }
    EXPECT_EQ(h.dialog.endResult, kIdCancel);
    EXPECT_EQ(h.settings.readInt(kSettingsSection, settings::kBodyId), kLarchF8P6);
    const auto por = h.settings.readBinary(kSettingsSection, settings::kOptionBytes);
    ASSERT_TRUE(por.has_value());
    EXPECT_EQ(*por, (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(h.deviceWatch.unwatchCount, 1);
  }
}

TEST(MainDialogStatus, HexEditRefreshesSizeAndChecksum) {
  MainDialogHarness h;
  h.open();
  h.hexView.model().writeByte(0, 0x12);
  EXPECT_EQ(h.dialog.text(kSizeField), "Size = 1 Bytes");
  EXPECT_EQ(h.dialog.text(kChecksumField), "Checksum = 0x0012");
  EXPECT_EQ(h.ctx.state.part.codeSize, 1u);
  EXPECT_EQ(h.ctx.state.part.codeChecksum, 0x12);

  // 0x10000 bytes of 0xFF add up to 0xFF0000: the low 16 bits are 0.
  std::vector<uint8_t> image(0x10000, 0xFF);
  h.hexView.send(hexmsg::kReplace, reinterpret_cast<uintptr_t>(image.data()), static_cast<intptr_t>(image.size()));
  EXPECT_EQ(h.dialog.text(kSizeField), "Size = 65536 Bytes");
  EXPECT_EQ(h.dialog.text(kChecksumField), "Checksum = 0x0000");
  image.resize(0x100);
  h.hexView.send(hexmsg::kReplace, reinterpret_cast<uintptr_t>(image.data()), static_cast<intptr_t>(image.size()));
  EXPECT_EQ(h.dialog.text(kChecksumField), "Checksum = 0xFF00");

  // 0x12345 = 0x124 bytes of 0xFF plus one 0x69 byte.
  std::vector<uint8_t> sum(0x124, 0xFF);
  sum.push_back(0x69);
  ASSERT_EQ(std::accumulate(sum.begin(), sum.end(), 0u), 0x12345u);
  h.hexView.send(hexmsg::kReplace, reinterpret_cast<uintptr_t>(sum.data()), static_cast<intptr_t>(sum.size()));
  EXPECT_EQ(h.dialog.text(kChecksumField), "Checksum = 0x2345");
}

TEST(MainDialogStatus, ProgressIsPaintedDirectlyAndFromPostedMessages) {
  MainDialogHarness h;
  h.open();
  h.main->drawProgress(40);
  ASSERT_EQ(h.progress.painted.size(), 1u);
  EXPECT_EQ(h.progress.painted[0].first, kStatusLine);
  EXPECT_EQ(h.progress.painted[0].second.text, "Completed ...40%");

  // A worker thread posts; the paint happens when the UI thread runs it.
  std::thread worker([&] { h.main->post(postmsg::kProgress, 0, -1); });
  worker.join();
  EXPECT_EQ(h.progress.painted.size(), 1u);
  EXPECT_EQ(h.loop.runPending(), 1);
  ASSERT_EQ(h.progress.painted.size(), 2u);
  EXPECT_FALSE(h.progress.painted[1].second.bar);

  // A message posted by a worker after the window has gone is dropped.
  h.main->post(postmsg::kProgress, 0, 50);
  h.main.reset();
  EXPECT_EQ(h.loop.runPending(), 1);
  EXPECT_EQ(h.progress.painted.size(), 2u);
}

TEST(MainDialogHooks, CommandsTimerMenuAndDevicesReachTheirHandlers) {
  MainDialogHarness h;
  std::vector<std::string> calls;
  MainDialog& m = h.create();
  m.hooks.loadFile = [&] { calls.push_back("load"); };
  m.hooks.saveProject = [&] { calls.push_back("save"); };
  m.hooks.updateTarget = [&] { calls.push_back("target"); };
  m.hooks.updateProgrammer = [&] { calls.push_back("programmer"); };
  m.hooks.startupProbe = [&] { calls.push_back("probe"); };
  m.hooks.showAbout = [&] { calls.push_back("about"); };
  m.hooks.deviceChanged = [&](bool arrived, const std::string& path) {
    calls.push_back((arrived ? "+" : "-") + path);
  };
  m.hooks.startFirmwareUpdate = [&](uintptr_t prompt) { calls.push_back("fw" + std::to_string(prompt)); };
  m.initialise();

  for (int id : {kLoadFile, kSaveKpj, kUpdateTarget, kUpdateProgrammer, kInsertIspCode}) m.onCommand(id);
  m.onTimer(kStartupProbeTimer);
  EXPECT_TRUE(h.timers.running.empty());
  m.onSystemCommand(syscmd::kAbout | 0x3);
  h.deviceWatch.deliver(true, "dev0");
  m.onPrivateMessage(postmsg::kStartFirmwareUpdate, 77, 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"load", "save", "target", "programmer", "probe", "about", "+dev0",
                                             "fw77"}));

  h.settings.writeInt(kSettingsSection, settings::kCheckVersion, 0);
  m.onSystemCommand(syscmd::kCheckUpdate);
  EXPECT_EQ(h.updateCheck.modes, std::vector<int>{0});
  EXPECT_EQ(h.settings.readInt(kSettingsSection, settings::kCheckVersion), 1);

  m.disableUpdateProgrammer();
  EXPECT_FALSE(h.dialog.isEnabled(kUpdateProgrammer));
}

// While an operation runs, nothing that starts a dialog or changes the job
// gets through; afterwards every control is as the logic last asked, even
// when the logic changed it meanwhile.
TEST(MainDialogOperation, RunningOperationLocksJobControlsAndGivesThemBack) {
  MainDialogHarness h;
  std::vector<std::string> calls;
  MainDialog& m = h.create();
  h.dialog.addControl(kWindowMenu, MemoryControlKind::Button);
  m.hooks.loadFile = [&] { calls.push_back("load"); };
  m.hooks.saveProject = [&] { calls.push_back("save"); };
  m.hooks.updateTarget = [&] { calls.push_back("target"); };
  m.hooks.startupProbe = [&] { calls.push_back("probe"); };
  m.hooks.showAbout = [&] { calls.push_back("about"); };
  m.hooks.activated = [&] { calls.push_back("activated"); };
  m.initialise();
  const bool fourthBoxBefore = h.dialog.isEnabled(kFirstOptionBox + 4);
  ASSERT_FALSE(fourthBoxBefore) << "Larch-F8U6 has four option bits";

  m.beginOperation();
  m.beginOperation();  // nested: a firmware update ending inside Update Target
  for (int id : {kLoadFile, kSaveKpj, kExit, kUpdateTarget, kSeries, kPart, kFirstOptionBox, kIwdgCounter, kHexView,
                 kAutoReload, kWindowMenu})
    EXPECT_FALSE(h.dialog.control(id)->enabled) << id;
  EXPECT_TRUE(h.dialog.control(kStatusLine)->enabled);
  // The adapter check disables "Update Programmer" for good meanwhile; the
  // logic sees its own wishes.
  m.disableUpdateProgrammer();
  h.dialog.setChecked(kFirstOptionBox, true);
  for (int id : {kLoadFile, kSaveKpj, kUpdateTarget, kFirstOptionBox}) m.onCommand(id);
  m.onCommand(kExit);
  m.onSystemCommand(syscmd::kAbout);
  m.onSystemCommand(syscmd::kCheckUpdate);
  m.onActivated();
  m.onTimer(kStartupProbeTimer);
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(h.updateCheck.modes.empty());
  EXPECT_FALSE(h.dialog.endResult.has_value()) << "Exit is refused; the close box still works";
  EXPECT_EQ(h.ctx.state.part.optionBytes[0], 0xFF) << "the refused click read no option box";
  EXPECT_EQ(h.timers.running.count(kStartupProbeTimer), 1u) << "the probe stays due";
  EXPECT_TRUE(m.dialog().isEnabled(kLoadFile));

  m.endOperation();
  EXPECT_FALSE(h.dialog.control(kLoadFile)->enabled) << "one operation still runs";
  m.endOperation();
  EXPECT_TRUE(h.dialog.control(kLoadFile)->enabled);
  EXPECT_TRUE(h.dialog.control(kWindowMenu)->enabled);
  EXPECT_FALSE(h.dialog.control(kUpdateProgrammer)->enabled);
  EXPECT_EQ(h.dialog.control(kFirstOptionBox + 4)->enabled, fourthBoxBefore);
  m.onTimer(kStartupProbeTimer);
  m.onCommand(kLoadFile);
  EXPECT_EQ(calls, (std::vector<std::string>{"probe", "load"}));
}

// The window menu's choice of language: every text of the window follows at
// once, the choice is stored, the platform is told, and nothing changes
// while an operation runs.
TEST(MainDialogLanguage, ChoosingChineseRetextsTheWindowAndIsStored) {
  MainDialogHarness h;
  std::vector<uint16_t> platform;
  h.ctx.ports.platformLanguage = [&](uint16_t index) { platform.push_back(index); };
  MainDialog& m = h.create();
  h.dialog.addControl(kWindowMenu, MemoryControlKind::Button);
  m.initialise();
  h.dialog.setChecked(kFirstOptionBox, true);
  m.onCommand(kFirstOptionBox);
  h.hexView.model().writeByte(0, 0xA5);
  EXPECT_EQ(m.windowMenuTexts().languages.size(), 2u);
  EXPECT_EQ(m.windowMenuTexts().languages[1].second, "简体中文");

  m.beginOperation();
  EXPECT_FALSE(m.chooseLanguage(language::kSimplifiedChinese)) << "refused while an operation runs";
  m.endOperation();
  EXPECT_EQ(h.dialog.text(kLoadFile), "Load File");
  EXPECT_FALSE(settings::language(h.settings).has_value());

  ASSERT_TRUE(m.chooseLanguage(language::kSimplifiedChinese));
  EXPECT_EQ(settings::language(h.settings), 1);
  EXPECT_EQ(platform, std::vector<uint16_t>{1});
  EXPECT_EQ(h.dialog.text(kLoadFile), "加载文件");
  EXPECT_EQ(h.dialog.text(kWholeChip), "整片");
  EXPECT_EQ(h.dialog.title(), "Loomwrite_Programmer (v1.4.0.0) FW = v0. 0 ");
  EXPECT_EQ(h.dialog.tooltip(kFirstOptionBox), "SWD 保护位\n勾选：受保护\n不勾选：不受保护");
  EXPECT_EQ(h.dialog.tooltip(kWindowMenu), "菜单");
  EXPECT_EQ(h.dialog.text(kSizeField), "大小 = 1 字节");
  EXPECT_EQ(h.dialog.text(kStatusLine), "已切换为简体中文，立即生效。");
  EXPECT_TRUE(h.dialog.isChecked(kFirstOptionBox)) << "the option boxes keep their check marks";
  EXPECT_EQ(m.windowMenuTexts().about, "关于 Loomwrite_Programmer(&A)...");
  EXPECT_EQ(m.windowMenuTexts().languageInUse, language::kSimplifiedChinese);
  EXPECT_EQ(h.hexView.settings().languageIndex, 1) << "the hex view's own menu follows";

  EXPECT_FALSE(m.chooseLanguage(7)) << "no table";
  ASSERT_TRUE(m.chooseLanguage(language::kEnglish));
  EXPECT_EQ(h.dialog.text(kLoadFile), "Load File");
  EXPECT_EQ(h.dialog.tooltip(kFirstOptionBox), "SWD protect bit\nChecked : Protected\nUnchecked : Unprotected");
  EXPECT_EQ(settings::language(h.settings), 0);
}

TEST(MainDialogMessages, MessageByKeys) {
  MainDialogHarness h;
  h.open();
  EXPECT_EQ(h.main->messageByKeys(1104, 1103, mb::kIconInformation), kIdOk);
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].text, "Update Target ok !");
  EXPECT_EQ(h.messages.shown[0].caption, "Pass !");
  // A key without text shows nothing.
  EXPECT_EQ(h.main->messageByKeys(1101, 9999, mb::kIconError), 0);
  EXPECT_EQ(h.messages.shown.size(), 1u);
}

TEST(MainDialogHooks, CommandLineFileAtInitialisationAndActivation) {
  MainDialogHarness h;
  std::vector<std::string> calls;
  MainDialog& m = h.create();
  m.hooks.loadCommandLineFile = [&] { calls.push_back("command-line file"); };
  m.hooks.activated = [&] { calls.push_back("activated"); };
  m.initialise();
  EXPECT_EQ(calls, std::vector<std::string>{"command-line file"}) << "the last step of initialisation";
  m.onActivated();
  EXPECT_EQ(calls.back(), "activated");
  m.codeFiles().lastLoadedPath = "/tmp/last.hex";
  m.showLastLoadedPath();
  EXPECT_EQ(h.dialog.text(kStatusLine), "/tmp/last.hex");
}

TEST(MainDialogDevices, FailedRegistrationIsReportedOnceAndWindowWorks) {
  MainDialogHarness h;
  h.deviceWatch.registrationSucceeds = false;
  h.open();
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].text, "Error for RegisterDeviceNotification");
  EXPECT_EQ(h.messages.shown[0].caption, "Vantrel Loomwrite Programmer");
  EXPECT_EQ(h.messages.shown[0].style, mb::kIconWarning);
  click(h, kFirstOptionBox);
  EXPECT_EQ(h.ctx.state.part.optionBytes[0], 0xFE);
  h.main->onCommand(kExit);
  EXPECT_EQ(h.deviceWatch.unwatchCount, 0);
  EXPECT_EQ(h.messages.shown.size(), 1u);
}

TEST(MainDialogTitle, FirmwareVersionFromLinkLibraryResource) {
  static const uint8_t kImage[] = {0xAA, 0xBB, 0x01, 0x05};
  static ModuleResourceFn accessor = [](const char* type, uint32_t id, uint32_t* size) -> const uint8_t* {
    if (std::string(type) != "FW" || id != 5002) return nullptr;
    *size = sizeof(kImage);
    return kImage;
  };
  MainDialogHarness h;
  int library = 0;
  h.ctx.state.linkLibrary = &library;
  h.modules.symbols["LW_ModuleResource"] = reinterpret_cast<void*>(accessor);
  h.open();
  EXPECT_EQ(h.dialog.title(), "Loomwrite_Programmer (v1.4.0.0) FW = v1. 5 ");
  EXPECT_FALSE(h.main->link().complete());  // no entry points in this module
}

}  // namespace
}  // namespace lw::test
