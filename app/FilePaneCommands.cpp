// Opening and closing a file in a pane, and Done.
#include "app/MainDialog.h"
#include "resources/ControlIds.h"
#include "symbols/Messages.h"

namespace runebin {
namespace {

constexpr const char* kDrawingFilter =
    "Korvel Files (*.pvx)|*.pvx|Korvel Symbol Catalogs (*.pvs)|*.pvs|"
    "Korvel Templates (*.pvt)|*.pvt|All Files (*.*)|*.*||";
constexpr const char* kReadOnlyMarker = " [ro]";

}  // namespace

void MainDialog::OnOpenClose(FilePane& pane) {
  if (pane.drawing.IsLoaded()) {
    ClosePane(pane);
  } else {
    OpenPane(pane);
  }
}

void MainDialog::ClosePane(FilePane& pane) {
  // A read-only pane is never written; its path carries the marker and is no target anyway.
  if (pane.drawing.IsModified() && !pane.readOnly && pane.drawing.Save(pane.path) < 0) {
    Report(messages::SaveFailure(pane.path));
  }
  pane.drawing.Reset();  // the changes go, whether or not they were written
  pane.path.clear();
  toolkit_.SetControlText(pane.controls.caption, std::string(pane.controls.emptyCaption));
  toolkit_.SetControlText(pane.controls.openClose, "Open...");
  UpdateCommandStates(pane, -1, -1);
  RefreshSymbolLists();
}

void MainDialog::OpenPane(FilePane& pane) {
  const OpenFileRequest request{std::string(pane.controls.dialogTitle), kDrawingFilter, ".pvx"};
  const std::optional<OpenFileChoice> choice = toolkit_.ChooseFileToOpen(request);
  if (!choice) {
    RefreshSymbolLists();
    return;
  }
  // The same file by the identical path only: a file open read-only in the other pane has the
  // marker in its path, so it may be opened here too.
  const FilePane& other = Other(pane);
  if (other.drawing.IsLoaded() && choice->path == other.path) {
    Report(std::string(messages::kSameFileTwice));
    return;
  }
  pane.readOnly = choice->readOnly;
  if (const int result = pane.drawing.Load(choice->path); result < 0) {
    Report(messages::LoadFailure(result, choice->path));
    return;
  }
  std::string path = choice->path;
  if (pane.readOnly) {
    path += kReadOnlyMarker;
  }
  toolkit_.SetControlText(pane.controls.caption, path);
  toolkit_.SetControlText(pane.controls.openClose, "Close");
  pane.path = std::move(path);
  UpdateCommandStates(pane, -1, 1);
  RefreshSymbolLists();
}

void MainDialog::OnDone() {
  for (FilePane* pane : {&pane1_, &pane2_}) {
    if (pane->drawing.IsLoaded()) {
      OnOpenClose(*pane);
    }
  }
  pane1_.drawing.Reset();
  pane2_.drawing.Reset();
  toolkit_.EndMainWindow();
}

}  // namespace runebin
