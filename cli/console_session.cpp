#include "cli/console_session.h"

#include "core/ids/language_keys.h"
#include "platform/memory/memory_main_dialog.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "app/link_library_finder.h"
#include "app/startup.h"
#include "core/codes.h"
#include "core/regular_file.h"
#include "core/text.h"
#include "image/code_buffer_access.h"
#include "image/code_loader.h"
#include "platform/hid_link/lw_hid_transport.h"
#include "core/ports/clock_port.h"
#include "resources/embedded_resources.h"
#include "resources/hex_entry.h"
#include "resources/language.h"
#include "resources/languages.h"
#include "ui/main/main_dialog.h"
#include "ui/main/main_dialog_layout.h"
#include "ui/main/main_window_host.h"
#include "ui/main/option_layouts.h"

namespace lw::cli {

namespace fs = std::filesystem;

namespace {

// The firmware-update worker gives up on its own: at most 60 attempts to
// open the adapter in update mode, the download, and 20 s for the
// restarted adapter to leave. This is only a guard beyond all of that.
constexpr int kFirmwareWorkerGuardMs = 180'000;

std::string fileStem(const std::string& path) {
  return fs::path(path).stem().string();
}

}  // namespace

std::string programPath() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.string();
}

ConsoleSession::ConsoleSession(const SessionSetup& setup)
    : setup_(setup), messages_(setup.yes, setup.messageOut), progress_(setup.progress, stderr) {
  messages_.setBeforeLine([this] { progress_.clearLine(); });

  ctx_.resources = &embeddedResources();
  ctx_.state.languageIndex = usableLanguage(*ctx_.resources, setup.languageIndex);
  ctx_.ports.messages = &messages_;
  ctx_.ports.settings = &settings_;
  ctx_.ports.files = &files_;
  ctx_.ports.clock = setup.clock ? setup.clock : &systemClock();
  ctx_.ports.modules = &modules_;
  ctx_.state.programPath = programPath();
  ctx_.state.applicationName = ctx_.state.programPath.empty() ? "loomwrite-cli" : fileStem(ctx_.state.programPath);

  declareMainDialogControls(dialog_);
  hid_ = std::make_unique<LwHidTransport>();

  MainDialogPorts ports;
  ports.dialog = &dialog_;
  ports.hexView = &hexView_;
  ports.timers = &timers_;
  ports.progress = &progress_;
  ports.eventLoop = &loop_;
  main_ = std::make_unique<MainDialog>(ctx_, ports);
  hexView_.setNotify([this](int id, int code) { main_->onCommand(id, code); });

  OperationViews views;
  views.askLoadArea = [this](uint32_t) { return nextArea_; };
  // The KPJ Dialog answers what --to, --from and --part-no said (Cancel
  // without them); the Form list dialog keeps the form for the outputs.
  views.askRequestAddressing = [this] { return kpjDialogAnswer; };
  views.showFormList = [this](const std::u16string& form, OperationViews::FormRenderer) { shownForm = form; };
  views.showFirmwarePrompt = [this](int mode, OperationViews::StartUpdate startUpdate) {
    showFirmwarePrompt(mode, startUpdate);
  };
  views.editOfflineSettings = [this](OfflineSettings& settings, uint32_t highestStartAddress) {
    return offlineDialog && offlineDialog(settings, highestStartAddress);
  };
  if (setup.progressJson) {
    progressJson_.emplace(setup.progressJson);
    views.progressEvents = [this](const OperationProgress& p) { progressJson_->take(p); };
  }
  HidTransportPort& hid = setup.hid ? *setup.hid : *hid_;
  operations_ = std::make_unique<MainWindowHost>(*main_, loop_, hid, std::move(views));
  operations_->install();
}

ConsoleSession::~ConsoleSession() {
  // The operations wait for a running firmware update; the Link library's
  // code must stay loaded until then.
  operations_.reset();
  main_.reset();
  if (ctx_.state.linkLibrary) {
    modules_.unload(ctx_.state.linkLibrary);
    ctx_.state.linkLibrary = nullptr;
  }
}

bool ConsoleSession::loadLinkLibrary() {
  const std::string dir = fs::path(ctx_.state.programPath).parent_path().string();
  std::string path = dir + "/" + linkLibraryFileName();
  uint32_t error = checkLinkLibraryVersion(path);
  if (error == err::kFileNotFound) {
    if (auto found = locateLinkLibrary(dir, linkLibraryFileName())) {
      path = *found;
      error = checkLinkLibraryVersion(path);
    }
  }
  if (error == err::kSuccess) {
    ctx_.state.linkLibrary = modules_.load(path, error);
    if (ctx_.state.linkLibrary) {
      ctx_.state.linkLibraryPath = path;
      return true;
    }
  }
  if (error == kLinkVersionTooOld) {
    messages_.show(languageText(textkey::kLinkTooOld), languageText(textkey::kError), mb::kIconError,
                   BoxOwner::None);
  } else {
    showSystemErrorBox(ctx_, error);
  }
  return false;
}

bool ConsoleSession::open(const std::string& partName) {
  ctx_.state.commandLinePartName = partName;
  main_->initialise();
  // The window fixes the part it found for the name by disabling the part list.
  return partName.empty() || !dialog_.isEnabled(mainid::kPart);
}

int ConsoleSession::load(const InputFile& file) {
  loadError_.clear();
  auto refuse = [&](const std::string& why) {
    loadError_ = file.path + ": " + why;
    std::fprintf(stderr, "loomwrite-cli: %s\n", loadError_.c_str());
    return kNothingLoaded;
  };
  std::error_code ec;
  if (!fs::exists(file.path, ec)) return refuse("no such file");
  // A FIFO, socket or device is refused before the loader could wait on it.
  if (const OpenedFile probe = openRegularFile(file.path, O_RDONLY); probe.ok()) {
    ::close(probe.fd);
  } else {
    return refuse(probe.reason);
  }
  nextArea_ = LoadArea{file.at.value_or(0), file.at.has_value(), !file.merge};
  const std::size_t boxesBefore = messages_.boxes().size();
  const int result = loadCodeFile(*operations_, file.path, true);
  nextArea_.reset();
  // As "Load File" does: the file becomes the last loaded one, whose path
  // the status line shows again after an operation.
  main_->codeFiles().lastLoadedPath = file.path;
  if (result == kNothingLoaded && messages_.boxes().size() == boxesBefore) refuse("nothing was loaded");
  return result;
}

std::string ConsoleSession::applyOptions(const OptionSettings& s) {
  PartRecord& part = ctx_.state.part;
  const std::string name = partName();
  if (s.rawBytes) {
    if (s.rawBytes->size() != part.optionByteCount) {
      return format("--option-bytes: %s has %u option bytes, %zu were given", name.c_str(), part.optionByteCount,
                    s.rawBytes->size());
    }
    std::copy(s.rawBytes->begin(), s.rawBytes->end(), part.optionBytes.begin());
    // As a loaded project's option bytes: shown in the boxes, from which
    // every operation reads them back.
    main_->setupCheckBoxes(true);
    main_->showOptionBytes();
  }
  auto boxOf = [&](const std::string& option) -> int {
    for (int k = 0; k < kOptionBoxCount; ++k) {
      const int id = mainid::kFirstOptionBox + k;
      if (dialog_.isEnabled(id) && equalsIgnoreCase(dialog_.text(id), option)) return id;
    }
    return 0;
  };
  auto setBox = [&](const std::string& option, bool checked) -> std::string {
    const int id = boxOf(option);
    if (id == 0) {
      std::string known;
      for (const std::string& n : optionNames()) known += (known.empty() ? "" : ", ") + n;
      return format("%s has no option bit '%s' (its option bits: %s)", name.c_str(), option.c_str(),
                    known.empty() ? "none" : known.c_str());
    }
    dialog_.setChecked(id, checked);
    main_->onCommand(id, notify::kClicked);
    return {};
  };
  for (const std::string& option : s.check) {
    if (std::string e = setBox(option, true); !e.empty()) return e;
  }
  for (const std::string& option : s.uncheck) {
    if (std::string e = setBox(option, false); !e.empty()) return e;
  }
  if (s.iwdgCounter) {
    if (!hasIwdgCounter(part.partIndex)) return format("--iwdgcnt: %s has no IWDG counter", name.c_str());
    dialog_.typeText(mainid::kIwdgCounter, hexFormat(*s.iwdgCounter, 5));
  }
  main_->readOptionCheckBoxes();
  return {};
}

void ConsoleSession::showFirmwarePrompt(int mode, const std::function<void(std::function<void()>)>& startUpdate) {
  promptMode_ = mode;
  const int answer = messages_.show(languageText(textkey::kFirmwarePrompt), languageText(textkey::kWarning),
                                    mb::kOkCancel | mb::kIconWarning, BoxOwner::None);
  if (answer != kIdOk) {
    promptOutcome_ = PromptOutcome::Cancelled;
    return;
  }
  if (setup_.progress != ProgressStyle::None) {
    std::fprintf(stderr, "%s\n", languageText(textkey::kFirmwareWaiting).c_str());
    std::fflush(stderr);
  }
  // The prompt stays until the worker says the download has ended; the
  // worker's progress and result arrive through the same queue.
  auto ended = std::make_shared<bool>(false);
  startUpdate([ended] { *ended = true; });
  promptOutcome_ = loop_.runUntil([ended] { return *ended; }, kFirmwareWorkerGuardMs) ? PromptOutcome::UpdateRan
                                                                                        : PromptOutcome::UpdateUnfinished;
}

bool ConsoleSession::settleFirmwareUpdate(int timeoutMs) {
  return loop_.runUntil([this] { return ctx_.state.firmwareUpdateRunning == 0; }, timeoutMs);
}

std::vector<uint8_t> ConsoleSession::codeBuffer() { return fetchCodeBuffer(hexView_, codeBufferLength(hexView_)); }

std::string ConsoleSession::sizeText() {
  main_->refreshSizeAndChecksum();
  return dialog_.text(mainid::kSizeField);
}

std::string ConsoleSession::checksumText() {
  main_->refreshSizeAndChecksum();
  return dialog_.text(mainid::kChecksumField);
}

std::string ConsoleSession::partName() const {
  const int selected = dialog_.comboSelection(mainid::kPart);
  return selected < 0 ? std::string() : dialog_.comboText(mainid::kPart, selected);
}

std::vector<std::string> ConsoleSession::partNames() const {
  std::vector<std::string> names;
  for (int i = 0; i < dialog_.comboCount(mainid::kPart); ++i) names.push_back(dialog_.comboText(mainid::kPart, i));
  return names;
}

std::vector<uint8_t> ConsoleSession::optionBytes() {
  main_->readOptionCheckBoxes();
  const PartRecord& part = ctx_.state.part;
  return {part.optionBytes.begin(), part.optionBytes.begin() + part.optionByteCount};
}

std::vector<std::string> ConsoleSession::optionNames() const {
  std::vector<std::string> names;
  for (int k = 0; k < kOptionBoxCount; ++k) {
    const int id = mainid::kFirstOptionBox + k;
    if (dialog_.isEnabled(id) && !dialog_.text(id).empty()) names.push_back(dialog_.text(id));
  }
  return names;
}

std::string ConsoleSession::languageText(uint16_t k) const {
  return lw::languageText(*ctx_.resources, ctx_.state.languageIndex, k).value_or("");
}

}  // namespace lw::cli
