#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/DialogValidation.h"
#include "platform/Toolkit.h"

namespace runebin::testing {

// An in-memory toolkit for behaviour tests: the main window's controls start as its layout table
// says, the user's answers are scripted in one queue, and everything shown is recorded.
//
// A question, file dialog or small dialog takes the next scripted step; a step of another kind,
// or an empty queue, fails the test (the box then answers No / Cancel). Report boxes (OK only)
// need no step. The scripted dialogs validate their input as the real ones do: an OK with input
// the dialog refuses records the refusal as a message and takes the next step.
class FakeToolkit final : public Toolkit {
 public:
  FakeToolkit();

  // --- The script, in the order the program will ask.
  void AnswerYes();
  void AnswerNo();
  void ChooseFile(const std::string& path, bool readOnly = false);
  void CancelFileDialog();
  // OK with `newName` in the edit box.
  void EnterRename(const std::string& newName);
  void CancelRename();
  // OK with these edit texts; a missing one keeps the text the dialog offered.
  void EnterWmfImport(std::optional<std::string> name, std::optional<std::string> maxSizeText);
  void CancelWmfImport();
  // Whether every scripted step was used.
  bool ScriptUsedUp() const { return script_.empty(); }

  // --- The user's actions in the main window. Pressing a control that is disabled or hidden
  // fails the test and does nothing, as a real window would do nothing.
  void Press(WindowEvents& events, int controlId);
  void Select(WindowEvents& events, int listBoxId, int index);
  // What RunMainWindow does while the window is shown (the user's whole session).
  std::function<void(WindowEvents&)> session;

  // --- What was shown.
  struct Message {
    std::string text;
    MessageKind kind;
  };
  std::vector<Message> messages;
  std::vector<std::string> MessageTexts() const;
  // Every box, dialog and window in the order it appeared ("about box", "main window", ...).
  std::vector<std::string> journal;
  std::vector<OpenFileRequest> fileDialogs;
  std::vector<RenameDialogData> renameDialogs;  // the data each Rename dialog opened with
  struct ImportDialogOpened {
    std::string name;
    std::string maxSizeText;
  };
  std::vector<ImportDialogOpened> importDialogs;
  std::vector<FieldProblem> refusals;  // validation refusals, with the field that got the focus
  int aboutBoxes = 0;
  bool mainWindowEnded = false;

  // --- Control state.
  std::vector<std::string> ListLines(int id) const;
  // How often a list box was filled (to tell whether the lists were rebuilt).
  int ListFills(int id) const;

  // Toolkit
  void EnableControl(int id, bool enabled) override;
  bool IsControlEnabled(int id) const override;
  void ShowControl(int id, bool shown) override;
  bool IsControlShown(int id) const override;
  void SetControlText(int id, const std::string& text) override;
  std::string GetControlText(int id) const override;
  void ListReset(int id) override;
  void ListSetLines(int id, const std::vector<std::string>& lines) override;
  int ListCount(int id) const override;
  int ListGetSelection(int id) const override;
  void ListSetSelection(int id, int index) override;
  Answer ShowMessage(const std::string& text, MessageKind kind) override;
  std::optional<OpenFileChoice> ChooseFileToOpen(const OpenFileRequest& request) override;
  bool RunRenameDialog(RenameDialogData& data) override;
  bool RunWmfImportDialog(WmfImportDialogData& data) override;
  void RunAboutBox() override;
  void RunMainWindow(WindowEvents& events) override;
  void EndMainWindow() override;

 private:
  enum class StepKind { Answer, FileDialog, Rename, WmfImport };
  struct Step {
    StepKind kind;
    bool accept = false;  // Yes, a file chosen, OK
    std::string path{};
    bool readOnly = false;
    std::optional<std::string> text{};  // new name, or the import's name
    std::optional<std::string> maxSizeText{};
  };
  struct Control {
    bool enabled = true;
    bool shown = true;
    std::string text;
  };
  struct ListBox {
    std::vector<std::string> lines;
    int selection = -1;
    int fills = 0;
  };

  // The next step, which must be of `kind`; nothing (and a test failure) otherwise.
  std::optional<Step> Next(StepKind kind, const std::string& what);
  Control& ControlAt(int id);
  const Control& ControlAt(int id) const;
  ListBox& ListAt(int id);
  const ListBox& ListAt(int id) const;
  void Refuse(const FieldProblem& problem);

  std::deque<Step> script_;
  std::map<int, Control> controls_;
  std::map<int, ListBox> lists_;
};

}  // namespace runebin::testing
