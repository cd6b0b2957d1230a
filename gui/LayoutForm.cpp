#include "gui/LayoutForm.h"

#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QVariant>
#include <algorithm>

#include "gui/GroupFrame.h"
#include "gui/PreviewFrame.h"
#include "gui/WindowText.h"

namespace runebin::gui {

namespace {

// The whole caption of a group box, kept beside the possibly shortened one it shows.
constexpr char kFullCaptionProperty[] = "runebinFullCaption";
// The typing limit of an edit box, in characters.
constexpr char kTextLimitProperty[] = "runebinTextLimit";
// Average character widths of a group box's width that its caption cannot use: the indent and
// the gaps around the caption on the left, the frame and as much again on the right.
constexpr int kCaptionMarginChars = 4;

QString ToQt(std::string_view text) {
  return TextToQt(text);
}

Qt::FocusPolicy FocusPolicyFor(const ControlLayout& control) {
  return control.tabStop ? Qt::StrongFocus : Qt::ClickFocus;
}

QRect PlacementFor(const ControlLayout& control, const DialogUnitConverter& units) {
  return units.ToPixels(control.x, control.y, control.width, control.height);
}

void SetCaption(QGroupBox* box, const QString& caption) {
  box->setProperty(kFullCaptionProperty, caption);
  const QFontMetrics metrics(box->font());
  const int room = box->width() - kCaptionMarginChars * metrics.averageCharWidth();
  const QString shown = metrics.elidedText(caption, Qt::ElideMiddle, room);
  box->setTitle(shown);
  box->setToolTip(shown == caption ? QString() : caption);
  box->setAccessibleName(WithoutMnemonics(caption));
}

// The typing limit of an edit box. Qt's maximum length cuts a longer text short, so it follows
// the text down instead: a longer text put in by the program stays whole, nothing can be added
// to it, and once the user has shortened it below the limit the limit holds.
void LimitTypedText(QLineEdit* edit, int limit) {
  edit->setProperty(kTextLimitProperty, limit);
  edit->setMaxLength(std::max<int>(limit, static_cast<int>(edit->text().size())));
  QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, limit](const QString& text) {
    edit->setMaxLength(std::max<int>(limit, static_cast<int>(text.size())));
  });
}

// "New Name:" names the edit box that follows it.
QString BuddyName(const QString& label) {
  QString name = WithoutMnemonics(label).trimmed();
  if (name.endsWith(u':')) {
    name.chop(1);
  }
  return name;
}

bool Contains(const ControlLayout& outer, const ControlLayout& inner) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

}  // namespace

LayoutForm::LayoutForm(QDialog& dialog, const DialogLayout& layout, const QIcon& icon)
    : units_(DialogFont(layout)) {
  dialog.setFont(DialogFont(layout));
  dialog.setWindowTitle(ToQt(layout.caption));
  dialog.setWindowIcon(icon);
  dialog.setFixedSize(units_.ToPixels(layout.width, layout.height));
  dialog.setSizeGripEnabled(false);

  entries_.reserve(layout.controls.size());
  for (const ControlLayout& control : layout.controls) {
    QWidget* widget = CreateWidget(dialog, control, icon);
    widget->setEnabled(control.enabled);
    widget->setVisible(control.shown);
    entries_.push_back({&control, widget});
  }
  NameForAssistiveTools(layout);
  ChainTabOrder();
}

QWidget* LayoutForm::CreateWidget(QDialog& dialog, const ControlLayout& control,
                                  const QIcon& icon) const {
  const QRect placement = PlacementFor(control, units_);
  const QString label = ToQt(control.label);
  switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton: {
      auto* button = new QPushButton(label, &dialog);
      button->setGeometry(placement);
      button->setFocusPolicy(FocusPolicyFor(control));
      button->setAutoDefault(true);  // Enter presses the button that has the focus
      button->setDefault(control.kind == ControlKind::DefaultPushButton);
      button->setAccessibleName(WithoutMnemonics(label));
      return button;
    }
    case ControlKind::GroupBox: {
      auto* box = new GroupFrame(&dialog);
      box->setGeometry(placement);
      box->setFocusPolicy(Qt::NoFocus);
      SetCaption(box, label);
      return box;
    }
    case ControlKind::ListBox: {
      auto* list = new QListWidget(&dialog);
      list->setGeometry(placement);
      list->setFocusPolicy(FocusPolicyFor(control));
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      list->setUniformItemSizes(true);  // keeps filling long lists fast
      list->setTextElideMode(Qt::ElideRight);
      return list;
    }
    case ControlKind::StaticText: {
      auto* text = new QLabel(label, &dialog);
      text->setGeometry(placement);
      text->setTextFormat(Qt::PlainText);
      text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      text->setWordWrap(true);
      text->setFocusPolicy(Qt::NoFocus);
      return text;
    }
    case ControlKind::BlackFrame: {
      auto* frame = new PreviewFrame(&dialog);
      frame->setGeometry(placement);
      return frame;
    }
    case ControlKind::EditBox: {
      auto* edit = new QLineEdit(label, &dialog);
      edit->setGeometry(placement);
      edit->setFocusPolicy(FocusPolicyFor(control));
      if (control.textLimit > 0) {
        LimitTypedText(edit, control.textLimit);
      }
      return edit;
    }
    case ControlKind::Icon: {
      // An icon control takes the icon's own size, whatever the rectangle says.
      auto* picture = new QLabel(&dialog);
      const QPixmap pixmap = icon.pixmap(QSize(32, 32));
      picture->setPixmap(pixmap);
      picture->setGeometry(
          QRect(placement.topLeft(), pixmap.isNull() ? placement.size() : QSize(32, 32)));
      picture->setFocusPolicy(Qt::NoFocus);
      picture->setAccessibleName(QStringLiteral("Application icon"));
      return picture;
    }
  }
  return new QWidget(&dialog);
}

void LayoutForm::NameForAssistiveTools(const DialogLayout& layout) {
  const Entry* lastStatic = nullptr;
  for (const Entry& entry : entries_) {
    const ControlLayout& control = *entry.layout;
    if (control.kind == ControlKind::StaticText && !control.label.empty()) {
      lastStatic = &entry;
    } else if (control.kind == ControlKind::EditBox && lastStatic != nullptr) {
      // The label in front of an edit box names it, and its mnemonic moves the focus there.
      if (auto* label = qobject_cast<QLabel*>(lastStatic->widget)) {
        label->setBuddy(entry.widget);
      }
      entry.widget->setAccessibleName(BuddyName(ToQt(lastStatic->layout->label)));
      lastStatic = nullptr;
    } else if (control.kind == ControlKind::ListBox && control.label.empty()) {
      // A list box without a label of its own is named after the group box around it.
      for (const ControlLayout& outer : layout.controls) {
        if (outer.kind == ControlKind::GroupBox && Contains(outer, control)) {
          entry.widget->setAccessibleName(ToQt(outer.label) + QStringLiteral(" symbols"));
        }
      }
    }
  }
}

void LayoutForm::ChainTabOrder() {
  QWidget* previous = nullptr;
  for (const Entry& entry : entries_) {
    if (!entry.layout->tabStop) {
      continue;
    }
    if (previous != nullptr) {
      QWidget::setTabOrder(previous, entry.widget);
    }
    previous = entry.widget;
  }
}

QWidget* LayoutForm::Control(int id) const {
  if (id == kNoControlId) {
    return nullptr;
  }
  for (const Entry& entry : entries_) {
    if (entry.layout->id == id) {
      return entry.widget;
    }
  }
  return nullptr;
}

QWidget* LayoutForm::FirstTabStop() const {
  for (const Entry& entry : entries_) {
    if (entry.layout->tabStop && entry.widget->isEnabled() && !entry.widget->isHidden()) {
      return entry.widget;
    }
  }
  return nullptr;
}

QString ControlLabel(const QWidget* widget) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
    return button->text();
  }
  if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
    return box->property(kFullCaptionProperty).toString();
  }
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    return label->text();
  }
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
    return edit->text();
  }
  return {};
}

void SetControlLabel(QWidget* widget, const QString& label) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(label);
    button->setAccessibleName(WithoutMnemonics(label));
  } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
    SetCaption(box, label);
  } else if (auto* text = qobject_cast<QLabel*>(widget)) {
    text->setText(label);
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(label);
  }
}

void SetLimitedText(QLineEdit* edit, const QString& text) {
  const QVariant limit = edit->property(kTextLimitProperty);
  if (limit.isValid()) {
    edit->setMaxLength(std::max<int>(limit.toInt(), static_cast<int>(text.size())));
  }
  edit->setText(text);
}

}  // namespace runebin::gui
