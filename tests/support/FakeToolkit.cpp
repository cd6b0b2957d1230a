#include "tests/support/FakeToolkit.h"

#include <gtest/gtest.h>

#include "resources/MainDialogLayout.h"
#include "symbols/Windows1252.h"

namespace runebin::testing {

FakeToolkit::FakeToolkit() {
  for (const ControlLayout& layout : kMainDialogLayout.controls) {
    if (layout.id != kNoControlId) {
      Control& control = controls_[layout.id];
      control.enabled = layout.enabled;
      control.shown = layout.shown;
      control.text = layout.label;
      control.isList = layout.kind == ControlKind::ListBox;
    }
  }
}

void FakeToolkit::Press(WindowEvents& events, int controlId) {
  if (!At(controlId).enabled || !At(controlId).shown) {
    ADD_FAILURE() << "control " << controlId << " pressed while disabled or hidden";
    return;
  }
  events.OnCommand(controlId);
}

void FakeToolkit::Select(WindowEvents& events, int listBoxId, int index) {
  Control& list = List(listBoxId);
  if (index < -1 || index >= static_cast<int>(list.lines.size())) {
    ADD_FAILURE() << "list " << listBoxId << " has no line " << index;
    return;
  }
  list.selection = index;
  events.OnSelectionChange(listBoxId);
}

void FakeToolkit::ListSetLines(int id, const std::vector<std::string>& lines) {
  List(id).lines = lines;
  List(id).selection = -1;
}

void FakeToolkit::ListSetSelection(int id, int index) {
  Control& list = List(id);
  list.selection = index >= 0 && index < static_cast<int>(list.lines.size()) ? index : -1;
}

Answer FakeToolkit::ShowMessage(const std::string& text, MessageKind kind) {
  messages.push_back(text);
  if (kind == MessageKind::Ok) {
    return Answer::Ok;
  }
  const auto step = Next(Step::Answer, "question \"" + text + "\"");
  return step && step->accept ? Answer::Yes : Answer::No;
}

std::optional<OpenFileChoice> FakeToolkit::ChooseFileToOpen(const OpenFileRequest& request) {
  fileDialogs.push_back(request);
  const auto step = Next(Step::FileDialog, "file dialog \"" + request.title + "\"");
  if (!step || !step->accept) {
    return std::nullopt;
  }
  return OpenFileChoice{step->path, step->readOnly};
}

bool FakeToolkit::RunDialog(
    Step::Kind kind, const std::string& what,
    const std::function<std::optional<FieldProblem>(const Step&)>& validate) {
  const auto step = Next(kind, what);
  if (!step || !step->accept) {
    return false;
  }
  const auto problem = validate(*step);
  if (problem) {
    ADD_FAILURE() << what << " refused the scripted input: " << problem->message;
  }
  return !problem;
}

bool FakeToolkit::RunRenameDialog(RenameDialogData& data) {
  renameDialogs.push_back(data);
  return RunDialog(Step::Rename, "Rename dialog", [&](const Step& step) {
    return ValidateRenameDialog(step.text.value_or(Windows1252ToUtf8(data.m_newName)), data);
  });
}

bool FakeToolkit::RunWmfImportDialog(WmfImportDialogData& data) {
  const ImportDialogOpened opened{data.m_name, FormatMaxSize(data.m_maxSize)};
  importDialogs.push_back(opened);
  return RunDialog(Step::WmfImport, "WMF Import dialog", [&](const Step& step) {
    return ValidateWmfImportDialog(step.text.value_or(Windows1252ToUtf8(opened.name)),
                                   step.maxSizeText.value_or(opened.maxSizeText), data);
  });
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

std::optional<FakeToolkit::Step> FakeToolkit::Next(Step::Kind kind, const std::string& what) {
  if (script_.empty() || script_.front().kind != kind) {
    ADD_FAILURE() << "unexpected " << what << ": "
                  << (script_.empty() ? "nothing scripted" : "another step was scripted next");
    return std::nullopt;
  }
  Step step = std::move(script_.front());
  script_.pop_front();
  return step;
}

FakeToolkit::Control& FakeToolkit::At(int id) const {
  const auto found = controls_.find(id);
  if (found == controls_.end()) {
    ADD_FAILURE() << "the main window has no control " << id;
    return controls_[id];
  }
  return found->second;
}

FakeToolkit::Control& FakeToolkit::List(int id) const {
  Control& control = At(id);
  if (!control.isList) {
    ADD_FAILURE() << "control " << id << " is no list box";
  }
  return control;
}

}  // namespace runebin::testing
