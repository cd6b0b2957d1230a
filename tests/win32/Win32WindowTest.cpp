// The Win32 window program's own part: its controls are built from the layout table, and the
// real windows carry the user's clicks, selections and typing to the program and its answers back.
// The window's behaviour itself is tested through the in-memory toolkit.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>

#include "app/MainDialog.h"
#include "gui/win32/WideText.h"
#include "gui/win32/Win32Toolkit.h"
#include "resources/ControlIds.h"
#include "resources/MainDialogLayout.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/win32/WindowDriver.h"

namespace runebin {
namespace {

using namespace runebin::testing;

std::string ListLine(HWND dialog, int listId, int index) {
  wchar_t line[256] = {};
  ::SendDlgItemMessageW(dialog, listId, LB_GETTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(line));
  return win32::WideToText(line);
}

bool Contains(const Bytes& bytes, std::string_view text) {
  return std::search(bytes.begin(), bytes.end(), text.begin(), text.end(), [](auto byte, char c) {
           return byte == static_cast<unsigned char>(c);
         }) != bytes.end();
}

class Win32Window : public ::testing::Test {
 protected:
  // Runs the main window while `script` plays the user, then checks that the script finished.
  void Run(const std::function<void(const WindowDriver&)>& script) {
    const std::string failure = RunScripted(
        toolkit.Window(), [&] { dialog.Run(); },
        [&](const WindowDriver& user) {
          user.WaitUntilShown();
          script(user);
        });
    EXPECT_EQ(failure, "");
  }
  bool Enabled(int id) const { return toolkit.IsControlEnabled(id); }
  std::string Text(int id) const { return toolkit.GetControlText(id); }
  int Count(int id) const { return toolkit.ListCount(id); }

  TempDir files;
  const std::string landscape = files.Write(
      "Landscape.pvx", Drawing({TypeZero(1), Definition("Tree", {}, {0, 0, 12.5F, 8.0F}),
                                Definition("Oak"), Reference("Tree")}));
  const std::string catalog =
      files.Write("Catalog.pvs", Drawing({TypeZero(1), Definition("Bench")}));
  win32::Win32Toolkit toolkit;
  MainDialog dialog{toolkit, files.Path("entities.txt")};
};

TEST_F(Win32Window, EveryControlIsBuiltFromItsLayoutRow) {
  const std::map<ControlKind, std::wstring> classes = {
      {ControlKind::PushButton, L"Button"}, {ControlKind::DefaultPushButton, L"Button"},
      {ControlKind::GroupBox, L"Button"},   {ControlKind::ListBox, L"ListBox"},
      {ControlKind::StaticText, L"Static"}, {ControlKind::BlackFrame, L"Static"}};
  HWND main = toolkit.Window();
  RECT client{};
  ::GetClientRect(main, &client);
  RECT designed{0, 0, kMainDialogLayout.width, kMainDialogLayout.height};
  ::MapDialogRect(main, &designed);
  EXPECT_EQ(client.right, designed.right);
  EXPECT_EQ(client.bottom, designed.bottom);
  for (const ControlLayout& row : kMainDialogControls) {
    SCOPED_TRACE("control " + std::to_string(row.id) + " " + std::string(row.label));
    HWND control = ::GetDlgItem(main, row.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), classes.at(row.kind).c_str()), 0);
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&place), 2);
    // Position and size are converted from dialog units each on its own.
    RECT expected{row.x, row.y, row.width, row.height};
    ::MapDialogRect(main, &expected);
    EXPECT_EQ(place.left, expected.left);
    EXPECT_EQ(place.top, expected.top);
    EXPECT_EQ(place.right - place.left, expected.right);
    EXPECT_EQ(place.bottom - place.top, expected.bottom);
    EXPECT_EQ(Text(row.id), row.label);
    EXPECT_EQ(Enabled(row.id), row.enabled);
    EXPECT_EQ(toolkit.IsControlShown(row.id), row.shown);
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, row.tabStop);
    if (row.kind == ControlKind::ListBox) {
      EXPECT_EQ(style & (LBS_NOTIFY | LBS_SORT | LBS_MULTIPLESEL), LBS_NOTIFY);
    }
  }
  EXPECT_EQ(::GetWindowLongPtrW(::GetDlgItem(main, ids::kDone), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
  wchar_t about[64] = {};
  ::GetMenuStringW(::GetSystemMenu(main, FALSE), ids::kAboutCommand, about, 64, MF_BYCOMMAND);
  EXPECT_EQ(win32::WideToText(about), "&About Runebin...");
}

TEST_F(Win32Window, OpensSelectsCopiesAndWritesBackThroughTheRealControls) {
  const Bytes landscapeBefore = ReadFileBytes(landscape);
  Run([&](const WindowDriver& user) {
    HWND main = user.Main();
    user.Press(main, ids::kOpenClose1);
    user.ChooseFile(L"Open Korvel File 1", landscape, false);
    user.Press(main, ids::kOpenClose2);
    user.ChooseFile(L"Open Korvel File 2", catalog, true);
    EXPECT_EQ(Text(ids::kOpenClose1), "Close");
    EXPECT_TRUE(Text(ids::kCaption2).ends_with("Catalog.pvs [ro]"));
    EXPECT_EQ(ListLine(main, ids::kList1, 1), "Oak");

    user.Select(main, ids::kList1, 0);  // File 2 read-only: nothing to copy into
    EXPECT_EQ(Text(ids::kDetails), "Used 1 times\nWidth: 12.50\nHeight: 8.00\n");
    EXPECT_FALSE(Enabled(ids::kUp1));
    EXPECT_TRUE(Enabled(ids::kDn1));
    EXPECT_FALSE(Enabled(ids::kCopy));

    user.Press(main, ids::kOpenClose2);  // close, and open again writable
    EXPECT_EQ(Text(ids::kCaption2), "File 2");
    user.Press(main, ids::kOpenClose2);
    user.ChooseFile(L"Open Korvel File 2", catalog, false);
    user.Select(main, ids::kList1, 1);
    EXPECT_TRUE(Enabled(ids::kUp1));
    EXPECT_FALSE(Enabled(ids::kDn1));
    EXPECT_EQ(Text(ids::kCopy), ">>> Copy >>>");
    user.Press(main, ids::kCopy);
    EXPECT_EQ(Count(ids::kList2), 2);
    user.Press(main, ids::kDone);
  });
  EXPECT_EQ(ReadFileBytes(landscape), landscapeBefore);
  EXPECT_TRUE(Contains(ReadFileBytes(catalog), "Oak"));
}

TEST_F(Win32Window, CancelRequestsAreIgnoredAndTheWindowMenuShowsTheAboutBox) {
  Run([&](const WindowDriver& user) {
    HWND main = user.Main();
    ::PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    user.Sync();
    EXPECT_TRUE(::IsWindowVisible(main));

    ::PostMessageW(main, WM_SYSCOMMAND, ids::kAboutCommand, 0);
    HWND about = user.WaitForDialog(L"About Runebin");
    ::PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
    user.WaitUntilClosed(about);

    user.Press(main, ids::kImport2);
    HWND box = user.WaitForDialog(L"Runebin");
    EXPECT_EQ(user.MessageText(box), "Import only allowed on File 1");
    user.Press(box, IDOK);
    user.WaitUntilClosed(box);
    user.Press(main, ids::kDone);
  });
}

TEST_F(Win32Window, DialogsLimitTheirFieldsRefuseBadInputAndHandBackWhatWasTyped) {
  Run([&](const WindowDriver& user) {
    HWND main = user.Main();
    user.Press(main, ids::kOpenClose1);
    user.ChooseFile(L"Open Korvel File 1", landscape, false);
    user.Select(main, ids::kList1, 0);
    ::PostMessageW(::GetDlgItem(main, ids::kList1), WM_KEYDOWN, VK_F2, 0);  // F2 renames
    HWND rename = user.WaitForDialog(L"Rename");
    EXPECT_EQ(user.Text(rename, ids::kRenameOldName), "Tree");
    EXPECT_EQ(::SendDlgItemMessageW(rename, ids::kRenameNewName, EM_GETLIMITTEXT, 0, 0), 31);
    user.SetText(rename, ids::kRenameNewName, "\xE6\x97\xA5");  // not in Windows-1252
    user.Press(rename, IDOK);
    HWND refusal = user.WaitForDialog(L"Runebin");
    user.Press(refusal, IDOK);
    user.WaitUntilClosed(refusal);
    EXPECT_TRUE(::IsWindowVisible(rename));
    user.SetText(rename, ids::kRenameNewName, "Linde \xC3\xA9t\xC3\xA9");  // "Linde été"
    user.Press(rename, IDOK);
    user.WaitUntilClosed(rename);
    HWND report = user.WaitForDialog(L"Runebin");  // how many references were renamed
    user.Press(report, IDOK);
    user.WaitUntilClosed(report);
    EXPECT_EQ(ListLine(main, ids::kList1, 0), "Linde \xC3\xA9t\xC3\xA9");

    user.Press(main, ids::kImport1);
    user.ChooseFile(L"Import WMF File as Symbol", RUNEBIN_WMF_CORPUS "/wmfjs-ellipse.wmf", false);
    HWND import = user.WaitForDialog(L"WMF Import");
    EXPECT_EQ(user.Text(import, ids::kImportMaxSize), "100");
    user.SetText(import, ids::kImportName, "Ellipse");
    user.SetText(import, ids::kImportMaxSize, "25");
    user.Press(import, IDOK);
    user.WaitUntilClosed(import);
    EXPECT_EQ(ListLine(main, ids::kList1, 2), "Ellipse");
    EXPECT_EQ(dialog.LastMaxSize(), 25.0F);
    user.Press(main, ids::kDone);
  });
  const Bytes written = ReadFileBytes(landscape);
  EXPECT_TRUE(Contains(written, "Linde \xE9t\xE9"));  // the name in Windows-1252
  EXPECT_TRUE(Contains(written, "Ellipse"));
}

}  // namespace
}  // namespace runebin
