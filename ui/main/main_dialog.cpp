#include "ui/main/main_dialog.h"

#include <array>
#include <vector>

#include "core/ids/language_keys.h"
#include "core/context/messages.h"
#include "core/context/settings_keys.h"
#include "core/codes.h"
#include "core/text.h"
#include "core/ports/device_watch_port.h"
#include "core/ports/dialog_port.h"
#include "core/ports/event_loop_port.h"
#include "core/ports/hex_view_port.h"
#include "core/ports/message_box_port.h"
#include "core/ports/progress_paint_port.h"
#include "core/ports/update_check_port.h"
#include "resources/hex_entry.h"
#include "ui/dialogs/hex_control.h"
#include "resources/language.h"
#include "resources/languages.h"
#include "resources/part_database.h"
#include "resources/series_table.h"
#include "ui/main/combo_helpers.h"
#include "ui/main/part_name_search.h"
#include "ui/main/progress_bar.h"
#include "ui/main/status_texts.h"

namespace lw {

namespace {

using namespace mainid;

// Controls whose captions come from the language table, in the order they
// are set. Ids the window does not have are skipped. The template's own list
// ends at 1149; the radio buttons and the address label follow it so that
// they change language with the rest (their English texts are the
// template's).
constexpr std::array<int, 23> kCaptionIds = {1003, 1004, 1013, 1014, 2,    1016, 1017, 1018, 1049, 1050, 1051, 1052,
                                             1053, 1054, 1055, 1056, 1057, 1058, 1059, 1149, 1005, 1009, 1045};

// The hex view's colour record: flags, then four pairs of grey lines and
// black text.
constexpr std::array<uint32_t, 9> kHexViewColours = {0x55,     0xC8C8C8, 0, 0xC8C8C8, 0,
                                                     0xC8C8C8, 0,        0xC8C8C8, 0};
constexpr uintptr_t kHexViewRowSetup = 14;
constexpr uintptr_t kHexViewSetup = 0x60000;

constexpr char kDeviceWatchFailedCaption[] = "Vantrel Loomwrite Programmer";

int optionBoxId(int k) { return kFirstOptionBox + k; }

}  // namespace

MainDialog::MainDialog(AppContext& ctx, const MainDialogPorts& ports)
    : ctx_(ctx),
      dialog_(*ports.dialog),
      hexView_(*ports.hexView),
      timers_(*ports.timers),
      progress_(ports.progress),
      eventLoop_(ports.eventLoop),
      deviceWatch_(ports.deviceWatch) {}

MainDialog::~MainDialog() {
  *alive_ = false;
  if (watching_ && deviceWatch_) deviceWatch_->unwatch();
}

std::string MainDialog::text(uint16_t k) const {
  return languageText(*ctx_.resources, ctx_.state.languageIndex, k).value_or("");
}

// ---- Initialisation ------------------------------------------------------

void MainDialog::initialise() {
  hexView_.send(hexmsg::kColours, reinterpret_cast<uintptr_t>(kHexViewColours.data()), 0);
  hexView_.send(hexmsg::kRowSetup, kHexViewRowSetup, 0);
  hexView_.send(hexmsg::kSetup, kHexViewSetup, 0);
  hexView_.send(hexmsg::kLanguage, ctx_.state.languageIndex, 0);

  dialog_.setChecked(kUserDefine, false);
  dialog_.setChecked(kWholeChip, true);
  dialog_.setTextLimit(kIwdgCounter, 5);

  // Binding only looks the names up; the title needs the firmware image.
  link_ = bindLinkLibrary(*ctx_.ports.modules, ctx_.state.linkLibrary);
  setCaptions();
  initialChoice();

  timers_.startTimer(kStartupProbeTimer, kStartupProbeDelayMs);

  if (deviceWatch_) {
    watching_ = deviceWatch_->watch([this](bool arrived, const std::string& path) {
      if (hooks.deviceChanged) hooks.deviceChanged(arrived, path);
    });
    if (!watching_) {
      ctx_.ports.messages->show(text(textkey::kDeviceWatchFailed), kDeviceWatchFailedCaption, mb::kIconWarning);
    }
  }

  adapterLeaveTimeoutMs_ = kAdapterLeaveTimeoutMs;
}

void MainDialog::setCaptions() {
  dialog_.setTitle(mainWindowTitle(captionPart(text(textkey::kProgramTitle)), firmwareVersionText(firmwareImage(link_))));
  for (int id : kCaptionIds) {
    if (!dialog_.hasControl(id)) continue;
    const auto t = languageText(*ctx_.resources, ctx_.state.languageIndex, static_cast<uint16_t>(id));
    if (!t) continue;
    dialog_.setText(id, captionPart(*t));
    const std::string tip = tooltipPart(*t);
    if (!tip.empty()) addTooltip(id, tip);
  }
  dialog_.setTooltip(kWindowMenu, text(textkey::kMenuButtonTip));
}

void MainDialog::initialChoice() {
  listSeries();

  const std::string& wanted = ctx_.state.commandLinePartName;
  if (!wanted.empty()) {
    std::vector<std::string> entries;
    for (int i = 0; i < dialog_.comboCount(kPart); ++i) entries.push_back(dialog_.comboText(kPart, i));
    const auto found = findPartByName(entries, wanted, [this](const std::string&) {
      ctx_.ports.messages->show(text(textkey::kPartSearchError), ctx_.state.applicationName, mb::kOk);
    });
    if (found) {
      dialog_.comboSelect(kPart, *found);
      dialog_.setEnabled(kPart, false);
    } else {
      dialog_.comboSelect(kPart, dialog_.comboCount(kPart) > 0 ? 0 : -1);
    }
    dialog_.setDefaultButton(kUpdateTarget);
    dialog_.setFocus(kUpdateTarget);
  } else {
    dialog_.setDefaultButton(kLoadFile);
    dialog_.setFocus(kLoadFile);
    const int32_t bodyId = settings::bodyId(*ctx_.ports.settings);
    if (bodyId != -1) {
      for (int i = dialog_.comboCount(kPart) - 1; i >= 0; --i) {
        if (dialog_.comboData(kPart, i) == static_cast<uint32_t>(bodyId) && !dialog_.comboText(kPart, i).empty()) {
          dialog_.comboSelect(kPart, i);
          break;
        }
      }
    }
  }

  ctx_.state.part.partIndex = kForceApplyPart;
  choosePart();

  if (hooks.loadCommandLineFile) hooks.loadCommandLineFile();
}

// ---- Part choice and option bits -------------------------------------------

void MainDialog::listSeries() {
  dialog_.comboClear(kSeries);
  for (const SeriesEntry& s : seriesEntries()) dialog_.comboAdd(kSeries, s.name, s.seriesNumber);
  dialog_.comboSelect(kSeries, dialog_.comboCount(kSeries) > 0 ? 0 : -1);
  listParts();
}

void MainDialog::listParts() {
  const int series = dialog_.comboSelection(kSeries);
  dialog_.comboClear(kPart);
  if (series >= 0) {
    for (const PartEntry& p : partsOfSeries(*ctx_.resources, dialog_.comboData(kSeries, series))) {
      dialog_.comboAdd(kPart, p.name, p.partIndex);
    }
  }
  dialog_.comboSelect(kPart, dialog_.comboCount(kPart) > 0 ? 0 : -1);
  choosePart();
}

void MainDialog::choosePart() {
  const auto p = static_cast<uint16_t>(selectedNumber(dialog_, kPart));
  if (p == ctx_.state.part.partIndex) return;
  applyPart(p);
  dialog_.setChecked(kWholeChip, true);
  dialog_.setChecked(kUserDefine, false);
  setupCheckBoxes(true);
  showOptionBytes();
  hexView_.send(hexmsg::kCommand, hexmsg::kClear, 0);
  hexView_.send(hexmsg::kFlashSize, ctx_.state.part.flashSize, 0);
  dialog_.setText(kChecksumField, "");
  dialog_.setText(kSizeField, "");
  dialog_.setText(kStatusLine, "");
}

void MainDialog::applyPart(uint16_t partIndex) {
  lw::applyPart(*ctx_.resources, partIndex, ctx_.state.part);
  if (hooks.partApplied) hooks.partApplied();
}

void MainDialog::setupCheckBoxes(bool uncheck) {
  const PartRecord& part = ctx_.state.part;
  for (int k = 0; k < kOptionBoxCount; ++k) {
    const int id = optionBoxId(k);
    OptionBoxState& box = boxes_[static_cast<std::size_t>(k)];
    if (const auto record = optionBitRecord(*ctx_.resources, part.partIndex, k, ctx_.state.languageIndex)) {
      box = {.enabled = true, .checked = false, .byteIndex = record->byteIndex, .mask = record->mask & 0xFF};
      dialog_.setEnabled(id, true);
      dialog_.setText(id, record->name);
      addTooltip(id, record->description);
    } else {
      box = {};
      dialog_.setEnabled(id, false);
      dialog_.setText(id, "");
      addTooltip(id, "");
    }
    if (uncheck) dialog_.setChecked(id, false);
  }
  // The first four boxes carry more detailed tooltips of their own.
  for (uint16_t k = 0; k < textkey::kFixedOptionTipCount; ++k) {
    addTooltip(optionBoxId(k), text(static_cast<uint16_t>(textkey::kFirstFixedOptionTip + k)));
  }
}

OptionBoxStates MainDialog::currentBoxStates() const {
  OptionBoxStates states = boxes_;
  for (int k = 0; k < kOptionBoxCount; ++k) {
    states[static_cast<std::size_t>(k)].checked = dialog_.isChecked(optionBoxId(k));
  }
  return states;
}

void MainDialog::showOptionBytes() {
  PartRecord& part = ctx_.state.part;
  const OptionLayout layout = optionLayoutFor(part.partIndex);
  if (layout == OptionLayout::None) return;
  OptionBoxStates states = currentBoxStates();
  showOptionLayout(layout, states, part.optionBytes);
  for (int k = 0; k < kOptionBoxCount; ++k) {
    const auto& s = states[static_cast<std::size_t>(k)];
    if (s.checked != dialog_.isChecked(optionBoxId(k))) dialog_.setChecked(optionBoxId(k), s.checked);
  }
  if (hasIwdgCounter(part.partIndex)) {
    writeHexControl(dialog_, kIwdgCounter, iwdgCounter(part.optionBytes), 5);
  }
}

void MainDialog::readOptionCheckBoxes() {
  PartRecord& part = ctx_.state.part;
  const OptionLayout layout = optionLayoutFor(part.partIndex);
  if (layout == OptionLayout::None) return;
  readOptionLayout(layout, currentBoxStates(), part.optionBytes);
  if (hasIwdgCounter(part.partIndex)) setIwdgCounter(part.optionBytes, readHexControl(dialog_, kIwdgCounter));
}

// ---- Commands ---------------------------------------------------------------

void MainDialog::onCommand(int id, int code) {
  // The hex view's change notice is no command: the size and checksum
  // follow the buffer whatever runs.
  if (operationRunning() && LockableControls::lockable(id) && id != kHexView) return;
  if (id >= kFirstOptionBox && id <= kLastOptionBox) {
    if (code == notify::kClicked) readOptionCheckBoxes();
    return;
  }
  switch (id) {
    case kSeries:
      if (code == notify::kSelChange) listParts();
      break;
    case kPart:
      if (code == notify::kSelChange) choosePart();
      break;
    case kHexView:
      if (code == notify::kContentChanged) refreshSizeAndChecksum();
      break;
    case kLoadFile:
      if (code == notify::kClicked && hooks.loadFile) hooks.loadFile();
      break;
    case kUpdateTarget:
      if (code == notify::kClicked && hooks.updateTarget) hooks.updateTarget();
      break;
    case kUpdateProgrammer:
      if (code == notify::kClicked && hooks.updateProgrammer) hooks.updateProgrammer();
      break;
    case kSaveKpj:
      if (code == notify::kClicked && hooks.saveProject) hooks.saveProject();
      break;
    case kExit:
      if (code == notify::kClicked) endWithCancel();
      break;
    default:
      break;  // "Insert ISP-Code" and everything else: nothing to do
  }
}

void MainDialog::onSystemCommand(unsigned command) {
  if (operationRunning()) return;
  switch (command & ~0xFu) {
    case syscmd::kCheckUpdate:
      if (ctx_.ports.updateCheck) ctx_.ports.updateCheck->run(0);
      settings::setCheckVersion(*ctx_.ports.settings, 1);
      break;
    case syscmd::kAbout:
      if (hooks.showAbout) hooks.showAbout();
      break;
    case syscmd::kReadTarget:
      if (hooks.readTarget) hooks.readTarget();
      break;
    case syscmd::kVerifyTarget:
      if (hooks.verifyTarget) hooks.verifyTarget();
      break;
    case syscmd::kEraseTarget:
      if (hooks.eraseTarget) hooks.eraseTarget();
      break;
    case syscmd::kBlankCheck:
      if (hooks.blankCheck) hooks.blankCheck();
      break;
    default:
      break;
  }
}

void MainDialog::onTimer(int id) {
  if (id != kStartupProbeTimer) return;
  // The probe opens the adapter, which would close the one in use: it
  // stays due and runs at the first tick after the operation.
  if (operationRunning()) return;
  timers_.killTimer(kStartupProbeTimer);
  if (hooks.startupProbe) hooks.startupProbe();
}

void MainDialog::onActivated() {
  if (operationRunning()) return;  // a reload would change the Code buffer under the write
  if (hooks.activated) hooks.activated();
}

void MainDialog::saveChoice() {
  readOptionCheckBoxes();
  const PartRecord& part = ctx_.state.part;
  settings::setBodyId(*ctx_.ports.settings, static_cast<int32_t>(selectedNumber(dialog_, kPart)));
  settings::setOptionBytes(*ctx_.ports.settings,
                           std::vector<uint8_t>(part.optionBytes.begin(),
                                                part.optionBytes.begin() + part.optionByteCount));
}

void MainDialog::onCloseRequest() {
  saveChoice();
  endWithCancel();
}

void MainDialog::endWithCancel() {
  saveChoice();
  if (watching_ && deviceWatch_) deviceWatch_->unwatch();
  watching_ = false;
  dialog_.endDialog(kIdCancel);
}

// ---- Posted messages ----------------------------------------------------------

void MainDialog::post(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  if (!eventLoop_) return;
  std::weak_ptr<bool> alive = alive_;
  eventLoop_->post([this, alive, msg, wParam, lParam] {
    const auto token = alive.lock();
    if (token && *token) onPrivateMessage(msg, wParam, lParam);
  });
}

void MainDialog::onPrivateMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case postmsg::kStartFirmwareUpdate:
      if (hooks.startFirmwareUpdate) hooks.startFirmwareUpdate(wParam);
      break;
    case postmsg::kProgress:
      drawProgress(static_cast<int>(lParam));
      break;
    default:
      break;
  }
}

// ---- Status fields, progress, messages -----------------------------------------

void MainDialog::refreshSizeAndChecksum() {
  PartRecord& part = ctx_.state.part;
  part.codeChecksum = static_cast<uint16_t>(hexView_.send(hexmsg::kChecksum, 0, 0));
  if (const auto word = languageText(*ctx_.resources, ctx_.state.languageIndex, textkey::kChecksumWord)) {
    dialog_.setText(kChecksumField, checksumFieldText(*word, part.codeChecksum));
  }
  part.codeSize = static_cast<uint32_t>(hexView_.send(hexmsg::kData, 0, 0));
  const auto word = languageText(*ctx_.resources, ctx_.state.languageIndex, textkey::kSizeWord);
  const auto field = languageText(*ctx_.resources, ctx_.state.languageIndex, textkey::kSizeFieldText);
  if (word && field) dialog_.setText(kSizeField, sizeFieldText(*field, *word, part.codeSize));
}

void MainDialog::setStatusText(const std::string& t) { dialog_.setText(kStatusLine, t); }

void MainDialog::setStatusTextByKey(uint16_t k) {
  if (const auto t = languageText(*ctx_.resources, ctx_.state.languageIndex, k)) setStatusText(*t);
}

void MainDialog::showLastLoadedPath() { setStatusText(codeFiles_.lastLoadedPath); }

void MainDialog::drawProgress(int value, uint16_t wordKey) {
  if (!progress_) return;
  const PaintRect client = progress_->clientRect(kStatusLine);
  progress_->paintProgress(kStatusLine, progressPaint(client, value, text(wordKey)));
}

int MainDialog::messageByKeys(uint16_t captionKey, uint16_t textKey, unsigned style) {
  return lw::messageByKeys(ctx_, captionKey, textKey, (style & mb::kIconMask) | mb::kOk);
}

void MainDialog::addTooltip(int id, const std::string& t) { dialog_.setTooltip(id, t); }

std::vector<MainDialog::MenuEntry> MainDialog::targetMenuEntries() const {
  return {{syscmd::kReadTarget, text(textkey::kReadTargetMenu)},
          {syscmd::kVerifyTarget, text(textkey::kVerifyTargetMenu)},
          {syscmd::kEraseTarget, text(textkey::kEraseTargetMenu)},
          {syscmd::kBlankCheck, text(textkey::kBlankCheckMenu)}};
}

std::string MainDialog::aboutText() const { return format("%s", text(textkey::kProgramTitle).c_str()); }

// ---- The window menu and the language ---------------------------------------

MainDialog::WindowMenuTexts MainDialog::windowMenuTexts() const {
  WindowMenuTexts t;
  t.checkUpdate = text(textkey::kCheckUpdateMenu);
  t.about = aboutTitle() + "(&A)...";
  t.language = text(textkey::kLanguageMenu);
  for (const uint16_t index : availableLanguages(*ctx_.resources))
    t.languages.emplace_back(index, languageName(*ctx_.resources, index));
  t.languageInUse = ctx_.state.languageIndex;
  return t;
}

bool MainDialog::chooseLanguage(uint16_t languageIndex) {
  if (operationRunning() || !languageAvailable(*ctx_.resources, languageIndex)) return false;
  settings::setLanguage(*ctx_.ports.settings, languageIndex);
  if (languageIndex == ctx_.state.languageIndex) return true;
  ctx_.state.languageIndex = languageIndex;
  if (ctx_.ports.platformLanguage) ctx_.ports.platformLanguage(languageIndex);
  applyTexts();
  setStatusTextByKey(textkey::kLanguageInUse);
  return true;
}

void MainDialog::applyTexts() {
  setCaptions();
  hexView_.send(hexmsg::kLanguage, ctx_.state.languageIndex, 0);
  // The option boxes keep their check marks; their tooltips change.
  setupCheckBoxes(false);
  // The fields show their words again once they show anything.
  if (!dialog_.text(kSizeField).empty() || !dialog_.text(kChecksumField).empty()) refreshSizeAndChecksum();
}

void MainDialog::disableUpdateProgrammer() { dialog_.setEnabled(kUpdateProgrammer, false); }

}  // namespace lw
