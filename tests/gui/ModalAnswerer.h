#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

namespace runebin::testing {

// Plays the user in front of modal boxes: each expected answer gets the next modal widget that
// comes up (other than `ignored`, the main window) and acts on it through queued calls, so that a
// box it opens in turn is answered too. A modal widget with no answer left is noted and rejected,
// so that a test fails instead of hanging.
class ModalAnswerer : public QObject {
 public:
  using Answer = std::function<void(QWidget*)>;

  explicit ModalAnswerer(QWidget* ignored = nullptr);
  void Expect(Answer answer) { answers_.push_back(std::move(answer)); }
  int Pending() const { return static_cast<int>(answers_.size()); }
  const QStringList& Unexpected() const { return unexpected_; }

 private:
  void Poll();

  QPointer<QWidget> ignored_, lastAnswered_;
  std::deque<Answer> answers_;
  QStringList unexpected_;
  QTimer timer_;
};

// Types `path` into the open-file dialog, sets its read-only box and confirms.
ModalAnswerer::Answer ChooseFile(const QString& path, bool readOnly = false);
// Clicks a button from the event loop, after the current call has returned.
void ClickLater(QWidget* button);
// The visible button of `dialog` whose text (without '&') is `text`, or null.
QWidget* FindButton(QWidget* dialog, const QString& text);
// Runs `script` from inside the event loop that `run` starts (a modal window's), which `script`
// is to end; a watchdog ends the process if nothing does within a minute.
void RunScripted(const std::function<void()>& script, const std::function<void()>& run);

}  // namespace runebin::testing
