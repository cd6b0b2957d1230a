// The symbol commands of the main window: they read the selection, ask the user, call the symbol
// operations and refresh the lists. Entries are looked up (index-checked) before anything changes.
#include <string>

#include "app/MainDialog.h"
#include "resources/ControlIds.h"
#include "symbols/Messages.h"
#include "symbols/SymbolCommands.h"
#include "symbols/Windows1252.h"

namespace runebin {
namespace {

// Names are the file's Windows-1252 bytes; messages are UTF-8 like the paths they also hold, so
// that a message with a name and a path outside ASCII shows both right.
std::string Shown(std::string_view name) {
  return Windows1252ToUtf8(name);
}

}  // namespace

void MainDialog::OnUp(FilePane& pane) {
  const int selected = toolkit_.ListGetSelection(pane.controls.list);
  if (selected <= 0) {
    return;
  }
  MoveSymbolUp(pane.Drawing(), selected);
  toolkit_.ListSetSelection(pane.controls.list, selected - 1);
  RefreshSymbolLists();
}

void MainDialog::OnDn(FilePane& pane) {
  const int selected = toolkit_.ListGetSelection(pane.controls.list);
  const int count = toolkit_.ListCount(pane.controls.list);
  if (selected < 0 || selected >= count - 1) {
    return;
  }
  MoveSymbolDown(pane.Drawing(), selected);
  toolkit_.ListSetSelection(pane.controls.list, selected + 1);
  RefreshSymbolLists();
}

void MainDialog::OnSort(FilePane& pane) {
  // The selected line stays where it is and shows whatever sorted into its place.
  if (SortSymbols(pane.Drawing())) {
    RefreshSymbolLists();
  }
}

void MainDialog::OnRename(FilePane& pane) {
  const int selected = toolkit_.ListGetSelection(pane.controls.list);
  if (selected < 0) {
    return;
  }
  const std::string current = NameOf(pane.Drawing().SymbolDefs().GetAt(selected));
  RenameDialogData data{current, current};
  if (!toolkit_.RunRenameDialog(data)) {
    return;
  }
  const int renamed = RenameSymbol(pane.Drawing(), selected, data.m_newName);
  RefreshSymbolLists();
  if (renamed > 0) {
    Report(messages::RenameReport(renamed, Shown(data.m_oldName), Shown(data.m_newName)));
  }
}

void MainDialog::OnCopy() {
  // The button's label is the only record of the direction.
  const std::string label = toolkit_.GetControlText(ids::kCopy).substr(0, 31);
  FilePane* source = nullptr;
  FilePane* target = nullptr;
  if (!label.empty() && label.front() == '<') {
    source = &pane2_;
    target = &pane1_;
  } else if (!label.empty() && label.front() == '>') {
    source = &pane1_;
    target = &pane2_;
  } else {
    Report(std::string(messages::kCopyDirectionUnknown));
    return;
  }
  const int selected = toolkit_.ListGetSelection(source->controls.list);
  if (selected < 0) {
    return;
  }
  const Entity& definition = source->Drawing().SymbolDefs().GetAt(selected);
  const std::string name = NameOf(definition);
  const int existing = target->Drawing().SymbolDefs().FindByName(name);
  if (existing < 0) {
    AppendSymbolCopy(definition, target->Drawing());
  } else if (Ask(messages::ReplaceQuestion(Shown(name), target->path))) {
    ReplaceSymbolWithCopy(definition, target->Drawing(), existing);
  }
  RefreshSymbolLists();
}

void MainDialog::OnDelete(FilePane& pane) {
  const int selected = toolkit_.ListGetSelection(pane.controls.list);
  if (selected < 0) {
    return;
  }
  const Entity& definition = pane.Drawing().SymbolDefs().GetAt(selected);
  const std::string name = NameOf(definition);
  const int uses = definition.useCount;
  if (!Ask(messages::DeleteQuestion(Shown(name), uses))) {
    return;
  }
  DeleteSymbol(pane.Drawing(), selected);
  if (Ask(std::string(messages::kDeleteReferencesQuestion))) {
    Report(messages::ReferencesRemoved(pane.Drawing().RemoveReferences(name), Shown(name)));
  }
  RefreshSymbolLists();
}

void MainDialog::OnXUnused(FilePane& pane) {
  if (!Ask(messages::DeleteUnusedQuestion(pane.path))) {
    return;
  }
  // Keeps whatever the file still places, also through references nested in groups.
  const int deleted = DeleteUnusedSymbols(pane.Drawing());
  RefreshSymbolLists();
  Report(messages::UnusedDeleted(deleted));
}

}  // namespace runebin
