#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/DialogValidation.h"
#include "app/Toolkit.h"

namespace runebin::testing {

// An in-memory toolkit for behaviour tests: the main window's controls start as its layout table
// says, the user's answers are scripted in one queue, and every message is recorded.
//
// A question, file dialog or small dialog takes the next scripted step; a step of another kind,
// or an empty queue, fails the test (the box then answers No / Cancel). Report boxes (OK only)
// need no step. The scripted dialogs validate as the real ones do, and an OK they refuse fails
// the test. Texts entered are UTF-8, as typed; the dialog data holds the file's names.
class FakeToolkit final : public Toolkit {
 public:
  FakeToolkit();

  // --- The script, in the order the program will ask.
  void AnswerYes() { script_.push_back({Step::Answer, true}); }
  void AnswerNo() { script_.push_back({Step::Answer, false}); }
  void ChooseFile(const std::string& path, bool readOnly = false) {
    script_.push_back({Step::FileDialog, true, path, readOnly});
  }
  void CancelFileDialog() { script_.push_back({Step::FileDialog, false}); }
  void EnterRename(const std::string& newName) {
    script_.push_back({Step::Rename, true, {}, false, newName});
  }
  void CancelRename() { script_.push_back({Step::Rename, false}); }
  // OK with these edit texts; a missing one keeps the text the dialog offered.
  void EnterWmfImport(std::optional<std::string> name, std::optional<std::string> maxSizeText) {
    script_.push_back({Step::WmfImport, true, {}, false, std::move(name), std::move(maxSizeText)});
  }
  void CancelWmfImport() { script_.push_back({Step::WmfImport, false}); }
  bool ScriptUsedUp() const { return script_.empty(); }

  // --- The user's actions in the main window. Pressing a disabled or hidden control fails the
  // test and does nothing, as a real window would do nothing.
  void Press(WindowEvents& events, int controlId);
  void Select(WindowEvents& events, int listBoxId, int index);
  // What RunMainWindow does while the window is shown (the user's whole session).
  std::function<void(WindowEvents&)> session;

  // --- What was shown.
  std::vector<std::string> messages;
  // The about box and the main window, in the order they appeared and ended.
  std::vector<std::string> journal;
  std::vector<OpenFileRequest> fileDialogs;
  std::vector<RenameDialogData> renameDialogs;  // the data each Rename dialog opened with
  struct ImportDialogOpened {
    std::string name;
    std::string maxSizeText;
  };
  std::vector<ImportDialogOpened> importDialogs;
  bool mainWindowEnded = false;
  std::vector<std::string> ListLines(int id) const { return List(id).lines; }
  const DisplayList* Picture(int id) const { return At(id).picture.get(); }
  std::string PictureDescription(int id) const { return At(id).description; }

  // Toolkit
  void EnableControl(int id, bool enabled) override { At(id).enabled = enabled; }
  bool IsControlEnabled(int id) const override { return At(id).enabled; }
  void ShowControl(int id, bool shown) override { At(id).shown = shown; }
  bool IsControlShown(int id) const override { return At(id).shown; }
  void SetControlText(int id, const std::string& text) override { At(id).text = text; }
  std::string GetControlText(int id) const override { return At(id).text; }
  void ListReset(int id) override { ListSetLines(id, {}); }
  void ListSetLines(int id, const std::vector<std::string>& lines) override;
  int ListCount(int id) const override { return static_cast<int>(List(id).lines.size()); }
  int ListGetSelection(int id) const override { return List(id).selection; }
  void ListSetSelection(int id, int index) override;
  void SetPicture(int id, std::shared_ptr<const DisplayList> picture,
                  const std::string& description) override {
    At(id).picture = std::move(picture);
    At(id).description = description;
  }
  Answer ShowMessage(const std::string& text, MessageKind kind) override;
  std::optional<OpenFileChoice> ChooseFileToOpen(const OpenFileRequest& request) override;
  bool RunRenameDialog(RenameDialogData& data) override;
  bool RunWmfImportDialog(WmfImportDialogData& data) override;
  void RunAboutBox() override { journal.push_back("about box"); }
  void RunMainWindow(WindowEvents& events) override;
  void EndMainWindow() override;

 private:
  struct Step {
    enum Kind { Answer, FileDialog, Rename, WmfImport } kind;
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
    bool isList = false;
    std::vector<std::string> lines;
    int selection = -1;
    std::shared_ptr<const DisplayList> picture;
    std::string description;
  };

  // The next step, which must be of `kind`; nothing (and a test failure) otherwise.
  std::optional<Step> Next(Step::Kind kind, const std::string& what);
  // The control `id` of the layout; a test failure for any other id.
  Control& At(int id) const;
  Control& List(int id) const;  // the same, and a test failure unless it is a list box
  // Runs a small dialog with the next step: true when it is an OK that `validate` accepts.
  bool RunDialog(Step::Kind kind, const std::string& what,
                 const std::function<std::optional<FieldProblem>(const Step&)>& validate);

  std::deque<Step> script_;
  mutable std::map<int, Control> controls_;
};

}  // namespace runebin::testing
