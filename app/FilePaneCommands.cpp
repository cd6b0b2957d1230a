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
  if (pane.document.IsOpen()) {
    ClosePane(pane);
  } else {
    OpenPane(pane);
  }
}

void MainDialog::ClosePane(FilePane& pane) {
  // A read-only document is never written back. A file that another program changed since it was
  // opened is replaced only when the user says so.
  SaveStatus saved = pane.document.WriteBack();
  if (saved.result == SaveResult::ChangedOnDisk &&
      Ask(messages::ChangedOnDiskQuestion(pane.path))) {
    saved = pane.document.WriteBack(std::nullopt, Document::IfChanged::Overwrite);
  }
  if (!saved.Saved() && saved.result != SaveResult::ChangedOnDisk) {
    Report(messages::SaveFailure(saved, pane.path));
  }
  pane.document.Close();  // the changes go, whether or not they were written
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
  if (other.document.IsOpen() && choice->path == other.path) {
    Report(std::string(messages::kSameFileTwice));
    return;
  }
  const LoadResult result =
      pane.document.Open(choice->path, choice->readOnly, Document::Lock::WhileLoading);
  if (result != LoadResult::Loaded) {
    Report(messages::LoadFailure(result, choice->path));
    return;
  }
  std::string path = choice->path;
  if (choice->readOnly) {
    path += kReadOnlyMarker;
  }
  toolkit_.SetControlText(pane.controls.caption, path);
  toolkit_.SetControlText(pane.controls.openClose, "Close");
  pane.path = std::move(path);
  UpdateCommandStates(pane, -1, 1);
  RefreshSymbolLists();
  if (const std::optional<DamagedTail> damage = pane.Drawing().Damage()) {
    Report(messages::DamagedFile(choice->path, *damage));
  }
}

void MainDialog::OnDone() {
  for (FilePane* pane : {&pane1_, &pane2_}) {
    if (pane->document.IsOpen()) {
      OnOpenClose(*pane);
    }
  }
  pane1_.document.Close();
  pane2_.document.Close();
  toolkit_.EndMainWindow();
}

}  // namespace runebin
