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

bool BothWritableSameFile(const FilePane& other, const OpenFileChoice& choice) {
  if (choice.readOnly || other.document.ReadOnly() || !other.document.Identity()) {
    return false;
  }
  const std::optional<platform::FileIdentity> chosen = platform::IdentityOfPath(choice.path);
  return chosen && chosen->SameFile(*other.document.Identity());
}

}  // namespace

void MainDialog::OnOpenClose(FilePane& pane) {
  if (pane.document.IsOpen()) {
    ClosePane(pane);
  } else {
    OpenPane(pane);
  }
}

bool MainDialog::ClosePane(FilePane& pane) {
  // A read-only document is never written back. A file that another program changed since it was
  // opened is replaced only when the user says so.
  SaveStatus saved = pane.document.WriteBack();
  if (saved.result == SaveResult::ChangedOnDisk &&
      Ask(messages::ChangedOnDiskQuestion(pane.path))) {
    saved = pane.document.WriteBack(std::nullopt, Document::IfChanged::Overwrite);
  }
  // Changes that could not be written go only when the user says so; otherwise the pane stays
  // open with them, so that the cause (a full disk, a read-only file) can be fixed and the pane
  // closed again.
  if (!saved.Saved() && saved.result != SaveResult::ChangedOnDisk &&
      !Ask(messages::CloseUnsavedQuestion(saved, pane.path))) {
    return false;
  }
  pane.document.Close();
  pane.path.clear();
  toolkit_.SetControlText(pane.controls.caption, std::string(pane.controls.emptyCaption));
  toolkit_.SetControlText(pane.controls.openClose, "Open...");
  UpdateCommandStates(pane, -1, -1);
  RefreshSymbolLists();
  return true;
}

void MainDialog::OpenPane(FilePane& pane) {
  const OpenFileRequest request{std::string(pane.controls.dialogTitle), kDrawingFilter, ".pvx"};
  const std::optional<OpenFileChoice> choice = toolkit_.ChooseFileToOpen(request);
  if (!choice) {
    RefreshSymbolLists();
    return;
  }
  // A file open read-only in the other pane has the marker in its path, so it may be opened here
  // too: a read-only pane never writes. Two writable panes must not hold the same file under any
  // name (a link, another spelling), or Done would write one pane's changes over the other's.
  const FilePane& other = Other(pane);
  if (other.document.IsOpen() &&
      (choice->path == other.path || BothWritableSameFile(other, *choice))) {
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
  // A pane whose changes the user keeps after a failed write stops Done there; panes closed
  // before it stay closed.
  for (FilePane* pane : {&pane1_, &pane2_}) {
    if (pane->document.IsOpen() && !ClosePane(*pane)) {
      return;
    }
  }
  pane1_.document.Close();
  pane2_.document.Close();
  toolkit_.EndMainWindow();
}

}  // namespace runebin
