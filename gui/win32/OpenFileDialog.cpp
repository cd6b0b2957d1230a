#include "gui/win32/OpenFileDialog.h"

#include <commdlg.h>

#include <vector>

#include "gui/win32/WideText.h"

namespace runebin::win32 {

std::wstring ToDialogFilter(std::string_view filter) {
  std::wstring fields = TextToWide(filter);
  // An empty description ends the list; whatever follows it is not offered.
  const std::size_t end = fields.find(L"||");
  if (end != std::wstring::npos) {
    fields.resize(end);
  }
  for (wchar_t& c : fields) {
    if (c == L'|') {
      c = L'\0';
    }
  }
  fields.append(2, L'\0');
  return fields;
}

std::optional<OpenFileChoice> RunOpenFileDialog(HWND owner, const OpenFileRequest& request) {
  const std::wstring filter = ToDialogFilter(request.filter);
  const std::wstring title = TextToWide(request.title);
  std::wstring extension = TextToWide(request.defaultExtension);
  while (!extension.empty() && extension.front() == L'.') {
    extension.erase(0, 1);  // the dialog wants the extension without its dot
  }
  // Room for the longest path the system can return.
  std::vector<wchar_t> path(32768, L'\0');

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  // No OFN_HIDEREADONLY: the read-only check box shows; no OFN_FILEMUSTEXIST: loading reports a
  // name that does not exist. The program's working folder stays where it was.
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  if (!::GetOpenFileNameW(&dialog)) {
    return std::nullopt;
  }
  return OpenFileChoice{WideToText(path.data()), (dialog.Flags & OFN_READONLY) != 0};
}

}  // namespace runebin::win32
