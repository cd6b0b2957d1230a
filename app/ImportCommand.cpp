// File 1's "Import...": a Windows Metafile becomes a new symbol definition at the end of File 1.
#include <filesystem>

#include "app/MainDialog.h"
#include "metafile/ImportMetafile.h"
#include "symbols/Messages.h"

namespace runebin {

void MainDialog::OnImport() {
  const OpenFileRequest request{"Import WMF File as Symbol", "Windows Metafile (*.wmf)|*.wmf||",
                                ".wmf"};
  const std::optional<OpenFileChoice> choice = toolkit_.ChooseFileToOpen(request);
  if (!choice) {
    return;
  }
  const std::string& path = choice->path;
  WmfImportDialogData data;
  data.m_name = std::filesystem::path(path).filename().string();
  data.m_maxSize = lastMaxSize_;
  if (!toolkit_.RunWmfImportDialog(data)) {
    return;
  }
  lastMaxSize_ = data.m_maxSize;  // kept even when the import then fails

  std::unique_ptr<SymbolDef> definition;
  const int result = ImportMetafile(path, data.m_name, data.m_maxSize, definition);
  if (result != ImportSucceeded) {
    Report(messages::ImportFailure(result, path));
    return;
  }
  if (!definition) {
    Report(std::string(messages::kImportReturnedNothing));
    return;
  }
  definition->useCount = 0;
  pane1_.drawing.symbolDefs.Add(std::move(definition));
  pane1_.drawing.SetModified(true);
  RefreshSymbolLists();
}

}  // namespace runebin
