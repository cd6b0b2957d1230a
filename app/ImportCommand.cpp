// File 1's "Import...": a Windows Metafile becomes a new symbol definition at the end of File 1.
#include <filesystem>

#include "app/MainDialog.h"
#include "symbols/Messages.h"
#include "symbols/Windows1252.h"

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
  // The name offered is the file's name as far as a symbol name can hold it.
  data.m_name = Utf8ToWindows1252Fitting(std::filesystem::path(path).filename().string())
                    .substr(0, static_cast<std::size_t>(kMaxSymbolNameLength));
  data.m_maxSize = lastMaxSize_;
  if (!toolkit_.RunWmfImportDialog(data)) {
    return;
  }
  lastMaxSize_ = data.m_maxSize;  // kept even when the import then fails

  // The window imports whatever the metafile holds, even nothing that converts.
  const ImportResult result = pane1_.document.ImportSymbol(path, data.m_name, data.m_maxSize, true);
  if (result != ImportResult::Succeeded) {
    Report(messages::ImportFailure(result, path));
    return;
  }
  RefreshSymbolLists();
}

}  // namespace runebin
