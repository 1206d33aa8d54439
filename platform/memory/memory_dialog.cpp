#include "platform/memory/memory_dialog.h"

#include <algorithm>

#include "core/text.h"

namespace lw {

namespace {
bool isCombo(const MemoryControl& c) {
  return c.kind == MemoryControlKind::Combo || c.kind == MemoryControlKind::SortedCombo;
}
}  // namespace

MemoryControl& MemoryDialog::addControl(int id, MemoryControlKind kind, const std::string& text) {
  MemoryControl& c = controls_[id];
  c = MemoryControl{};
  c.kind = kind;
  c.text = text;
  return c;
}

MemoryControl* MemoryDialog::control(int id) {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

const MemoryControl* MemoryDialog::control(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

bool MemoryDialog::hasControl(int id) const { return control(id) != nullptr; }

void MemoryDialog::setText(int id, const std::string& text) {
  if (MemoryControl* c = control(id)) c->text = text;
}

std::string MemoryDialog::text(int id) const {
  const MemoryControl* c = control(id);
  if (!c) return {};
  if (isCombo(*c) && c->selection >= 0) return c->entries[static_cast<std::size_t>(c->selection)].first;
  return c->text;
}

void MemoryDialog::setTextLimit(int id, int maxChars) {
  if (MemoryControl* c = control(id)) c->textLimit = maxChars;
}

void MemoryDialog::typeText(int id, const std::string& text) {
  MemoryControl* c = control(id);
  if (!c) return;
  c->text = text;
  if (c->textLimit > 0 && c->text.size() > static_cast<std::size_t>(c->textLimit)) {
    c->text.resize(static_cast<std::size_t>(c->textLimit));
  }
}

void MemoryDialog::setChecked(int id, bool checked) {
  if (MemoryControl* c = control(id)) c->checked = checked;
}

bool MemoryDialog::isChecked(int id) const {
  const MemoryControl* c = control(id);
  return c && c->checked;
}

void MemoryDialog::setEnabled(int id, bool enabled) {
  if (MemoryControl* c = control(id)) c->enabled = enabled;
}

bool MemoryDialog::isEnabled(int id) const {
  const MemoryControl* c = control(id);
  return c && c->enabled;
}

void MemoryDialog::setVisible(int id, bool visible) {
  if (MemoryControl* c = control(id)) c->visible = visible;
}

bool MemoryDialog::isVisible(int id) const {
  const MemoryControl* c = control(id);
  return c && c->visible;
}

void MemoryDialog::comboClear(int id) {
  MemoryControl* c = control(id);
  if (!c || !isCombo(*c)) return;
  c->entries.clear();
  c->selection = -1;
}

int MemoryDialog::comboAdd(int id, const std::string& text, uint32_t data) {
  MemoryControl* c = control(id);
  if (!c || !isCombo(*c)) return -1;
  auto pos = c->entries.end();
  if (c->kind == MemoryControlKind::SortedCombo) {
    // Case-insensitive order; an equal text goes after the ones already there.
    pos = std::upper_bound(c->entries.begin(), c->entries.end(), text, [](const std::string& t, const auto& e) {
      return toLowerAscii(t) < toLowerAscii(e.first);
    });
  }
  const auto index = static_cast<int>(pos - c->entries.begin());
  c->entries.insert(pos, {text, data});
  if (c->selection >= index) ++c->selection;
  return index;
}

int MemoryDialog::comboCount(int id) const {
  const MemoryControl* c = control(id);
  return c ? static_cast<int>(c->entries.size()) : 0;
}

std::string MemoryDialog::comboText(int id, int index) const {
  const MemoryControl* c = control(id);
  if (!c || index < 0 || index >= static_cast<int>(c->entries.size())) return {};
  return c->entries[static_cast<std::size_t>(index)].first;
}

uint32_t MemoryDialog::comboData(int id, int index) const {
  const MemoryControl* c = control(id);
  if (!c || index < 0 || index >= static_cast<int>(c->entries.size())) return 0;
  return c->entries[static_cast<std::size_t>(index)].second;
}

void MemoryDialog::comboSelect(int id, int index) {
  MemoryControl* c = control(id);
  if (!c) return;
  c->selection = index >= 0 && index < static_cast<int>(c->entries.size()) ? index : -1;
}

int MemoryDialog::comboSelection(int id) const {
  const MemoryControl* c = control(id);
  return c ? c->selection : -1;
}

void MemoryDialog::setTooltip(int id, const std::string& text) {
  if (MemoryControl* c = control(id)) c->tooltip = text;
}

std::string MemoryDialog::tooltip(int id) const {
  const MemoryControl* c = control(id);
  return c ? c->tooltip : std::string();
}

}  // namespace lw
