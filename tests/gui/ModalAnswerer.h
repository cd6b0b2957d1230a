#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

namespace runebin::testing {

// Plays the user in front of modal boxes and dialogs: each expected answer is a function that
// receives the next modal widget that comes up (other than the main window) and acts on it, for
// example by ticking a box and clicking a button. Answers should act through queued calls
// (ClickLater) so that a box opened in turn can be answered too.
//
// A modal widget that comes up with no answer left is recorded in Unexpected() and rejected, so
// that a test fails instead of hanging.
class ModalAnswerer : public QObject {
 public:
  using Answer = std::function<void(QWidget*)>;

  // `ignored` is the main window, which runs modally itself.
  explicit ModalAnswerer(QWidget* ignored = nullptr);

  void Expect(Answer answer);
  int Pending() const { return static_cast<int>(answers_.size()); }
  const QStringList& Unexpected() const { return unexpected_; }
  // Every modal widget answered so far, described as "Class: title".
  const QStringList& Seen() const { return seen_; }

 private:
  void Poll();

  QPointer<QWidget> ignored_;
  std::deque<Answer> answers_;
  QPointer<QWidget> lastAnswered_;
  bool waitingForChange_ = false;
  QStringList unexpected_;
  QStringList seen_;
  QTimer timer_;
};

// Answers for the common boxes.
// Types `path` into the open-file dialog, sets its read-only box and confirms.
ModalAnswerer::Answer ChooseFile(const QString& path, bool readOnly = false);
// Presses the button labelled `button` (without '&'); a message box's text is appended to
// `texts` when given.
ModalAnswerer::Answer Press(const QString& button, QStringList* texts = nullptr);

// Clicks a button from the event loop, after the current call has returned.
void ClickLater(QWidget* button);
// The button of `dialog` whose text (without '&') is `text`, or null.
QWidget* FindButton(QWidget* dialog, const QString& text);

// Runs `script` from inside the event loop that `run` starts, e.g. a modal window's; `script` is
// expected to end that loop. A watchdog ends the process if nothing ends it within a minute.
void RunScripted(const std::function<void()>& script, const std::function<void()>& run);

}  // namespace runebin::testing
