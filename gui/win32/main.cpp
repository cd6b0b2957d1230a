// The window program on Windows: the about box, then the main window until Done.

#include <windows.h>

#include "app/MainDialog.h"
#include "gui/win32/Win32Toolkit.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  runebin::win32::Win32Toolkit toolkit;
  if (toolkit.Window() == nullptr) {
    ::MessageBoxW(nullptr, L"The main window could not be created.", L"Runebin",
                  MB_OK | MB_ICONERROR);
    return 1;
  }
  return runebin::RunApplication(toolkit);
}
