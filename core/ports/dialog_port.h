#pragma once
// The controls of one dialog window, addressed by control id. Dialog logic
// talks only to this port; the Qt view and the in-memory test double
// implement it. Calls naming an id the dialog does not have do nothing.
#include <cstdint>
#include <string>

namespace lw {

class DialogPort {
 public:
  virtual ~DialogPort() = default;

  virtual bool hasControl(int id) const = 0;

  // Window text of a control (caption, edit content, static text).
  virtual void setText(int id, const std::string& text) = 0;
  virtual std::string text(int id) const = 0;
  virtual void setTextLimit(int id, int maxChars) = 0;

  // Check boxes and radio buttons.
  virtual void setChecked(int id, bool checked) = 0;
  virtual bool isChecked(int id) const = 0;

  virtual void setEnabled(int id, bool enabled) = 0;
  virtual bool isEnabled(int id) const = 0;
  virtual void setVisible(int id, bool visible) = 0;
  virtual bool isVisible(int id) const = 0;

  // Combo boxes: entries carry a 32-bit number (item data). A sorted combo
  // box inserts by text; comboAdd returns the position of the new entry.
  virtual void comboClear(int id) = 0;
  virtual int comboAdd(int id, const std::string& text, uint32_t data) = 0;
  virtual int comboCount(int id) const = 0;
  virtual std::string comboText(int id, int index) const = 0;
  virtual uint32_t comboData(int id, int index) const = 0;
  virtual void comboSelect(int id, int index) = 0;  // -1 clears the selection
  virtual int comboSelection(int id) const = 0;     // -1 when none

  virtual void setDefaultButton(int id) = 0;
  virtual void setFocus(int id) = 0;
  virtual void setTooltip(int id, const std::string& text) = 0;

  virtual void setTitle(const std::string& title) = 0;
  virtual std::string title() const = 0;

  // Repaints the window (without erasing the background).
  virtual void repaint() = 0;
  // Paints one control at once, before returning: a text shown right before
  // the user-interface thread blocks is then on the screen during the wait.
  // Views that paint only later fall back to repaint().
  virtual void paintNow(int id) {
    (void)id;
    repaint();
  }
  // Ends a modal dialog with the given result (1 = OK, 2 = Cancel).
  virtual void endDialog(int result) = 0;
};

}  // namespace lw
