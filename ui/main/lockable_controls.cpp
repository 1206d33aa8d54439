#include "ui/main/lockable_controls.h"

#include <array>

#include "core/ids/main_dialog_ids.h"

namespace lw {

namespace {

using namespace mainid;

// Everything the user can click, choose or type into; the status fields,
// labels and group boxes only show.
constexpr std::array kLockedIds = {
    kExit,          kPart,     kUserDefine, kWholeChip,       kIspSize,  kIapLowerBound, kLoadFile,
    kInsertIspCode, kUpdateTarget, kUpdateProgrammer, kSaveKpj, kHexView, kIapSize,       kIwdtDivEnable,
    kIwdtDiv,       kAddress,  kBootMode,   kSeries,          kIwdgCounter, kAutoReload, kWindowMenu,
};

}  // namespace

bool LockableControls::lockable(int id) {
  if (id >= kFirstOptionBox && id <= kLastOptionBox) return true;
  for (const int locked : kLockedIds)
    if (locked == id) return true;
  return false;
}

void LockableControls::lock() {
  if (depth_++ > 0) return;
  wanted_.clear();
  auto hold = [this](int id) {
    if (!inner_.hasControl(id)) return;
    wanted_[id] = inner_.isEnabled(id);
    inner_.setEnabled(id, false);
  };
  for (const int id : kLockedIds) hold(id);
  for (int id = kFirstOptionBox; id <= kLastOptionBox; ++id) hold(id);
}

void LockableControls::unlock() {
  if (depth_ == 0 || --depth_ > 0) return;
  for (const auto& [id, enabled] : wanted_) inner_.setEnabled(id, enabled);
  wanted_.clear();
}

void LockableControls::setEnabled(int id, bool enabled) {
  if (locked() && lockable(id) && inner_.hasControl(id)) {
    wanted_[id] = enabled;
    return;
  }
  inner_.setEnabled(id, enabled);
}

bool LockableControls::isEnabled(int id) const {
  if (locked()) {
    if (const auto it = wanted_.find(id); it != wanted_.end()) return it->second;
  }
  return inner_.isEnabled(id);
}

}  // namespace lw
