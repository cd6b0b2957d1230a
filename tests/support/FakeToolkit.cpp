#include "tests/support/FakeToolkit.h"

#include <gtest/gtest.h>

#include "resources/MainDialogLayout.h"

namespace runebin::testing {

FakeToolkit::FakeToolkit() {
  for (const ControlLayout& layout : kMainDialogLayout.controls) {
    if (layout.id == kNoControlId) {
      continue;
    }
    if (layout.kind == ControlKind::ListBox) {
      lists_[layout.id] = ListBox{};
    }
    controls_[layout.id] = Control{layout.enabled, layout.shown, std::string(layout.label)};
  }
}

void FakeToolkit::AnswerYes() {
  script_.push_back({StepKind::Answer, true});
}
void FakeToolkit::AnswerNo() {
  script_.push_back({StepKind::Answer, false});
}
void FakeToolkit::ChooseFile(const std::string& path, bool readOnly) {
  script_.push_back({StepKind::FileDialog, true, path, readOnly});
}
void FakeToolkit::CancelFileDialog() {
  script_.push_back({StepKind::FileDialog, false});
}
void FakeToolkit::EnterRename(const std::string& newName) {
  script_.push_back({StepKind::Rename, true, {}, false, newName});
}
void FakeToolkit::CancelRename() {
  script_.push_back({StepKind::Rename, false});
}
void FakeToolkit::EnterWmfImport(std::optional<std::string> name,
                                 std::optional<std::string> maxSizeText) {
  script_.push_back(
      {StepKind::WmfImport, true, {}, false, std::move(name), std::move(maxSizeText)});
}
void FakeToolkit::CancelWmfImport() {
  script_.push_back({StepKind::WmfImport, false});
}

void FakeToolkit::Press(WindowEvents& events, int controlId) {
  const Control& control = ControlAt(controlId);
  if (!control.enabled || !control.shown) {
    ADD_FAILURE() << "control " << controlId << " pressed while disabled or hidden";
    return;
  }
  events.OnCommand(controlId);
}

void FakeToolkit::Select(WindowEvents& events, int listBoxId, int index) {
  ListBox& list = ListAt(listBoxId);
  if (index < -1 || index >= static_cast<int>(list.lines.size())) {
    ADD_FAILURE() << "list " << listBoxId << " has no line " << index;
    return;
  }
  list.selection = index;
  events.OnSelectionChange(listBoxId);
}

std::vector<std::string> FakeToolkit::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Message& message : messages) {
    texts.push_back(message.text);
  }
  return texts;
}

std::vector<std::string> FakeToolkit::ListLines(int id) const {
  return ListAt(id).lines;
}

int FakeToolkit::ListFills(int id) const {
  return ListAt(id).fills;
}

void FakeToolkit::EnableControl(int id, bool enabled) {
  ControlAt(id).enabled = enabled;
}
bool FakeToolkit::IsControlEnabled(int id) const {
  return ControlAt(id).enabled;
}
void FakeToolkit::ShowControl(int id, bool shown) {
  ControlAt(id).shown = shown;
}
bool FakeToolkit::IsControlShown(int id) const {
  return ControlAt(id).shown;
}
void FakeToolkit::SetControlText(int id, const std::string& text) {
  ControlAt(id).text = text;
}
std::string FakeToolkit::GetControlText(int id) const {
  return ControlAt(id).text;
}

void FakeToolkit::ListReset(int id) {
  ListBox& list = ListAt(id);
  list.lines.clear();
  list.selection = -1;
  ++list.fills;
}

void FakeToolkit::ListSetLines(int id, const std::vector<std::string>& lines) {
  ListBox& list = ListAt(id);
  list.lines = lines;
  list.selection = -1;
  ++list.fills;
}

int FakeToolkit::ListCount(int id) const {
  return static_cast<int>(ListAt(id).lines.size());
}
int FakeToolkit::ListGetSelection(int id) const {
  return ListAt(id).selection;
}
void FakeToolkit::ListSetSelection(int id, int index) {
  ListBox& list = ListAt(id);
  list.selection = index >= 0 && index < static_cast<int>(list.lines.size()) ? index : -1;
}

Answer FakeToolkit::ShowMessage(const std::string& text, MessageKind kind) {
  messages.push_back({text, kind});
  journal.push_back("message: " + text);
  if (kind == MessageKind::Ok) {
    return Answer::Ok;
  }
  const auto step = Next(StepKind::Answer, "question \"" + text + "\"");
  return step && step->accept ? Answer::Yes : Answer::No;
}

std::optional<OpenFileChoice> FakeToolkit::ChooseFileToOpen(const OpenFileRequest& request) {
  fileDialogs.push_back(request);
  journal.push_back("file dialog: " + request.title);
  const auto step = Next(StepKind::FileDialog, "file dialog \"" + request.title + "\"");
  if (!step || !step->accept) {
    return std::nullopt;
  }
  return OpenFileChoice{step->path, step->readOnly};
}

void FakeToolkit::Refuse(const FieldProblem& problem) {
  refusals.push_back(problem);
  messages.push_back({problem.message, MessageKind::Ok});
  journal.push_back("message: " + problem.message);
}

bool FakeToolkit::RunRenameDialog(RenameDialogData& data) {
  renameDialogs.push_back(data);
  journal.push_back("rename dialog");
  while (true) {
    const auto step = Next(StepKind::Rename, "Rename dialog");
    if (!step || !step->accept) {
      return false;
    }
    const auto problem = ValidateRenameDialog(step->text.value_or(data.m_newName), data);
    if (!problem) {
      return true;
    }
    Refuse(*problem);
  }
}

bool FakeToolkit::RunWmfImportDialog(WmfImportDialogData& data) {
  const ImportDialogOpened opened{data.m_name, FormatMaxSize(data.m_maxSize)};
  importDialogs.push_back(opened);
  journal.push_back("import dialog");
  while (true) {
    const auto step = Next(StepKind::WmfImport, "WMF Import dialog");
    if (!step || !step->accept) {
      return false;
    }
    const auto problem = ValidateWmfImportDialog(
        step->text.value_or(opened.name), step->maxSizeText.value_or(opened.maxSizeText), data);
    if (!problem) {
      return true;
    }
    Refuse(*problem);
  }
}

void FakeToolkit::RunAboutBox() {
  ++aboutBoxes;
  journal.push_back("about box");
}

void FakeToolkit::RunMainWindow(WindowEvents& events) {
  journal.push_back("main window");
  mainWindowEnded = false;
  if (session) {
    session(events);
  }
  if (!mainWindowEnded) {
    ADD_FAILURE() << "the main window was left open at the end of the session";
  }
}

void FakeToolkit::EndMainWindow() {
  mainWindowEnded = true;
  journal.push_back("main window ended");
}

std::optional<FakeToolkit::Step> FakeToolkit::Next(StepKind kind, const std::string& what) {
  if (script_.empty()) {
    ADD_FAILURE() << "unexpected " << what << ": nothing scripted";
    return std::nullopt;
  }
  if (script_.front().kind != kind) {
    ADD_FAILURE() << "unexpected " << what << ": another step was scripted next";
    return std::nullopt;
  }
  Step step = std::move(script_.front());
  script_.pop_front();
  return step;
}

FakeToolkit::Control& FakeToolkit::ControlAt(int id) {
  const auto found = controls_.find(id);
  if (found == controls_.end()) {
    ADD_FAILURE() << "the main window has no control " << id;
    return controls_[id];
  }
  return found->second;
}

const FakeToolkit::Control& FakeToolkit::ControlAt(int id) const {
  return const_cast<FakeToolkit*>(this)->ControlAt(id);
}

FakeToolkit::ListBox& FakeToolkit::ListAt(int id) {
  const auto found = lists_.find(id);
  if (found == lists_.end()) {
    ADD_FAILURE() << "the main window has no list box " << id;
    return lists_[id];
  }
  return found->second;
}

const FakeToolkit::ListBox& FakeToolkit::ListAt(int id) const {
  return const_cast<FakeToolkit*>(this)->ListAt(id);
}

}  // namespace runebin::testing
