// The window program on Windows: the about box, then the main window until Done.

#include <windows.h>

#include "app/MainDialog.h"
#include "gui/win32/Win32Toolkit.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  runebin::win32::Win32Toolkit toolkit;
  return runebin::RunApplication(toolkit);
}
