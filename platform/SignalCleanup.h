#pragma once

namespace runebin::platform {

// Removes the temporary files of saves in progress when the program is ended by SIGINT, SIGTERM
// or SIGHUP, and then lets the signal end it as it would have. Outside a save the program's own
// handling of these signals is untouched; a signal the program ignores stays ignored.
class SignalCleanup {
 public:
  SignalCleanup();  // installs the handlers (the first of nested instances does)
  ~SignalCleanup();
  SignalCleanup(const SignalCleanup&) = delete;
  SignalCleanup& operator=(const SignalCleanup&) = delete;

  // The file to remove if a signal comes; empty (or too long a path) removes nothing.
  void Watch(const char* path);
  void Forget();

 private:
  int slot_ = -1;
};

// Holds SIGINT, SIGTERM and SIGHUP back while it lives (they are delivered when it ends): for the
// steps that must not be cut short, such as overwriting a file in place and restoring it.
class SignalHold {
 public:
  SignalHold();
  ~SignalHold();
  SignalHold(const SignalHold&) = delete;
  SignalHold& operator=(const SignalHold&) = delete;

 private:
  alignas(16) unsigned char previous_[128];  // the signal mask before, as the system stores it
};

}  // namespace runebin::platform
