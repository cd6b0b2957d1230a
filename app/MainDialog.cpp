#include "app/MainDialog.h"

#include <stdexcept>

#include "resources/ControlIds.h"
#include "symbols/Messages.h"
#include "symbols/SymbolCommands.h"

namespace runebin {

const PaneControls kPane1Controls{
    ids::kCaption1,  ids::kOpenClose1,     ids::kList1,   ids::kUp1,
    ids::kDn1,       ids::kSort1,          ids::kDelete1, ids::kRename1,
    ids::kScaleAll1, ids::kXUnused1,       ids::kImport1, ids::kRefPage1,
    "File 1",        "Open Korvel File 1", ">>> Copy >>>"};

const PaneControls kPane2Controls{
    ids::kCaption2,  ids::kOpenClose2,     ids::kList2,   ids::kUp2,
    ids::kDn2,       ids::kSort2,          ids::kDelete2, ids::kRename2,
    ids::kScaleAll2, ids::kXUnused2,       ids::kImport2, ids::kRefPage2,
    "File 2",        "Open Korvel File 2", "<<< Copy <<<"};

namespace {

constexpr std::string_view kCopyLabel = "Copy";

std::string DetailsText(const Entity& definition) {
  const SymbolSize size = MeasureSymbol(definition);
  return messages::SymbolDetails(static_cast<int>(definition.useCount), size.width, size.height);
}

}  // namespace

MainDialog::MainDialog(Toolkit& toolkit, const std::string& entityListingPath)
    : toolkit_(toolkit),
      pane1_(kPane1Controls, entityListingPath),
      pane2_(kPane2Controls, entityListingPath) {}

void MainDialog::Run() {
  toolkit_.RunMainWindow(*this);
}

int RunApplication(Toolkit& toolkit) {
  toolkit.RunAboutBox();
  MainDialog dialog(toolkit);
  dialog.Run();
  return 0;
}

void MainDialog::OnCommand(int controlId) {
  try {
    Dispatch(controlId);
  } catch (const std::invalid_argument&) {
    // A list index out of step with its list: the handlers look entries up before changing
    // anything, so nothing has changed.
    Report(std::string(messages::kInvalidArgument));
  }
}

void MainDialog::OnSelectionChange(int listBoxId) {
  try {
    if (listBoxId == pane1_.controls.list) {
      OnSymbolSelected(pane1_);
    } else if (listBoxId == pane2_.controls.list) {
      OnSymbolSelected(pane2_);
    }
  } catch (const std::invalid_argument&) {
    Report(std::string(messages::kInvalidArgument));
  }
}

void MainDialog::Dispatch(int id) {
  switch (id) {
    case ids::kDone:
      OnDone();
      return;
    case ids::kCopy:
      OnCopy();
      return;
    case ids::kImport1:
      OnImport();
      return;
    case ids::kImport2:
      Report("Import only allowed on File 1");
      return;
    case ids::kAboutCommand:
      toolkit_.RunAboutBox();
      return;
    default:
      break;
  }
  for (FilePane* pane : {&pane1_, &pane2_}) {
    const PaneControls& c = pane->controls;
    if (id == c.openClose) {
      OnOpenClose(*pane);
    } else if (id == c.up) {
      OnUp(*pane);
    } else if (id == c.dn) {
      OnDn(*pane);
    } else if (id == c.sort) {
      OnSort(*pane);
    } else if (id == c.rename) {
      OnRename(*pane);
    } else if (id == c.remove) {
      OnDelete(*pane);
    } else if (id == c.xUnused) {
      OnXUnused(*pane);
    } else if (id == c.refPage) {
      Report("Reference page printing not implemented");
    }
    // "Scale All" does nothing.
  }
}

void MainDialog::Report(const std::string& text) {
  toolkit_.ShowMessage(text, MessageKind::Ok);
}

bool MainDialog::Ask(const std::string& text) {
  return toolkit_.ShowMessage(text, MessageKind::YesNo) == Answer::Yes;
}

void MainDialog::UpdateCommandStates(FilePane& pane, int selected, int count) {
  const PaneControls& c = pane.controls;
  const FilePane& other = Other(pane);
  toolkit_.EnableControl(ids::kCopy, false);
  toolkit_.SetControlText(ids::kCopy, std::string(kCopyLabel));
  if (selected < 0) {
    for (const int id : {c.up, c.dn, c.remove, c.rename}) {
      toolkit_.EnableControl(id, false);
    }
    toolkit_.SetControlText(ids::kDetails, "");
    ShowPreview(nullptr);
  } else {
    toolkit_.EnableControl(c.up, selected > 0);
    toolkit_.EnableControl(c.dn, selected < count - 1);
    toolkit_.EnableControl(c.remove, true);
    toolkit_.EnableControl(c.rename, true);
    // Copying goes only toward a writable file; the label is the direction.
    if (other.document.IsOpen() && !other.document.ReadOnly()) {
      toolkit_.EnableControl(ids::kCopy, true);
      toolkit_.SetControlText(ids::kCopy, std::string(c.copyLabel));
    }
  }
  const bool hasLines = count > 0;
  for (const int id : {c.sort, c.scaleAll, c.xUnused, c.import}) {
    toolkit_.EnableControl(id, hasLines);
  }
  if (!hasLines) {
    toolkit_.SetControlText(ids::kDetails, "");
    ShowPreview(nullptr);
  }
}

void MainDialog::OnSymbolSelected(FilePane& pane) {
  const int selected = toolkit_.ListGetSelection(pane.controls.list);
  const int count = toolkit_.ListCount(pane.controls.list);
  std::string details;
  if (selected >= 0) {
    details = DetailsText(pane.Drawing().SymbolDefs().GetAt(selected));
  }
  UpdateCommandStates(pane, selected, count);
  if (selected >= 0) {
    toolkit_.SetControlText(ids::kDetails, details);
    ShowPreview(&pane.Drawing().SymbolDefs().GetAt(selected));
  }
}

void MainDialog::RefreshSymbolLists() {
  for (FilePane* pane : {&pane1_, &pane2_}) {
    const int list = pane->controls.list;
    const int selected = toolkit_.ListGetSelection(list);
    if (!pane->document.IsOpen()) {
      toolkit_.ListReset(list);
      continue;
    }
    const EntityList& definitions = pane->Drawing().SymbolDefs();
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(definitions.GetSize()));
    for (int i = 0; i < definitions.GetSize(); ++i) {
      lines.push_back(NameOf(definitions.GetAt(i)));
    }
    toolkit_.ListSetLines(list, lines);
    if (selected >= 0 && selected < static_cast<int>(lines.size())) {
      toolkit_.ListSetSelection(list, selected);
    }
  }
}

}  // namespace runebin
