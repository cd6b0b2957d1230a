#include "tests/gui/ModalAnswerer.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>

#include "gui/OpenFileDialog.h"
#include "gui/WindowText.h"

namespace runebin::testing {

ModalAnswerer::ModalAnswerer(QWidget* ignored) : ignored_(ignored) {
  timer_.setInterval(5);
  connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
  timer_.start();
}

void ModalAnswerer::Poll() {
  // A widget is answered once each time it comes to the top (a dialog again after the message
  // box its OK raised).
  QWidget* top = QApplication::activeModalWidget();
  if (top == nullptr || top == ignored_ || top == lastAnswered_ || !top->isVisible()) {
    return;
  }
  lastAnswered_ = top;
  if (answers_.empty()) {
    unexpected_.append(QString::fromLatin1(top->metaObject()->className()) + QStringLiteral(": ") +
                       top->windowTitle());
    QMetaObject::invokeMethod(top, "reject", Qt::QueuedConnection);
    return;
  }
  const Answer answer = std::move(answers_.front());
  answers_.pop_front();
  answer(top);
}

ModalAnswerer::Answer ChooseFile(const QString& path, bool readOnly) {
  return [path, readOnly](QWidget* dialog) {
    if (auto* box = dialog->findChild<QCheckBox*>(QLatin1String(gui::kReadOnlyCheckBoxName))) {
      box->setChecked(readOnly);
    }
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(name, nullptr) << "not the file dialog: " << dialog->windowTitle().toStdString();
    if (name != nullptr) {
      name->setText(path);
    }
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
  };
}

void ClickLater(QWidget* button) {
  if (auto* clickable = qobject_cast<QAbstractButton*>(button)) {
    QMetaObject::invokeMethod(clickable, &QAbstractButton::click, Qt::QueuedConnection);
  }
}

QWidget* FindButton(QWidget* dialog, const QString& text) {
  for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
    if (gui::WithoutMnemonics(button->text()) == text && button->isVisible()) {
      return button;
    }
  }
  return nullptr;
}

void RunScripted(const std::function<void()>& script, const std::function<void()>& run) {
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    std::fputs("window test hung: no one ended the modal loop\n", stderr);
    std::_Exit(3);
  });
  watchdog.start(60000);
  QTimer::singleShot(0, script);
  run();
}

}  // namespace runebin::testing
