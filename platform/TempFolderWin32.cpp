#include <windows.h>

#include "platform/FileNames.h"
#include "platform/TempFolder.h"

namespace runebin::platform {

// The folder GetTempPathW names (from %TMP%, %TEMP% or the profile), without its final separator.
std::string TemporaryFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) {
    return "C:\\Windows\\Temp";
  }
  std::string folder = Narrow(std::wstring_view(buffer, length));
  while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) {
    folder.pop_back();
  }
  return folder;
}

}  // namespace runebin::platform
