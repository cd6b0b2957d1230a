#pragma once

#include <QIcon>
#include <QString>
#include <vector>

#include "gui/DialogUnits.h"
#include "resources/DialogLayout.h"

class QDialog;
class QLineEdit;
class QWidget;

namespace runebin::gui {

// The widgets of one dialog, created from its layout table: each control placed at its
// rectangle converted from dialog units with the dialog font's metrics, with its label,
// initial enabled and shown states, accessible name and place in the tab order. The dialog gets
// the font, the caption, a fixed size and the application icon.
//
// The widgets are children of the dialog, which owns them; a LayoutForm only points at them and
// must not outlive the dialog.
//
// Kinds map to: push buttons -> QPushButton (the default one set as the dialog's default),
// group boxes -> QGroupBox, list boxes -> single-selection QListWidget, static texts -> plain
// QLabel (left and top aligned, wrapping), the black frame -> PreviewFrame (a QFrame), edit boxes
// -> QLineEdit, the icon -> QLabel showing the application icon at its natural 32x32 size.
class LayoutForm {
 public:
  struct Entry {
    const ControlLayout* layout;
    QWidget* widget;
  };

  LayoutForm(QDialog& dialog, const DialogLayout& layout, const QIcon& icon);

  // The widget of control `id`, or null when the layout has no such id.
  QWidget* Control(int id) const;
  // Every control in layout order.
  const std::vector<Entry>& Controls() const { return entries_; }
  // The first control in tab order that can take the focus now, or null.
  QWidget* FirstTabStop() const;
  const DialogUnitConverter& Units() const { return units_; }

 private:
  QWidget* CreateWidget(QDialog& dialog, const ControlLayout& control, const QIcon& icon) const;
  void NameForAssistiveTools(const DialogLayout& layout);
  void ChainTabOrder();

  DialogUnitConverter units_;
  std::vector<Entry> entries_;
};

// A control's visible label, whatever its kind: the button text, the group box caption (whole,
// also when the box shows it shortened), the static text, the edit box contents.
QString ControlLabel(const QWidget* widget);
// Sets the visible label and keeps the accessible name in step with it. A group box caption too
// wide for its box is shortened in the middle with "..." and shown whole in a tool tip.
void SetControlLabel(QWidget* widget, const QString& label);

// Puts `text` in an edit box whole, even when it is longer than the box's typing limit; the user
// can then shorten it but not lengthen it.
void SetLimitedText(QLineEdit* edit, const QString& text);

}  // namespace runebin::gui
