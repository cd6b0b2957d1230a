#include "gui/win32/SmallDialogs.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/DialogValidation.h"
#include "gui/win32/DialogTemplate.h"
#include "gui/win32/WideText.h"
#include "resources/AboutBoxLayout.h"
#include "resources/ControlIds.h"
#include "resources/RenameDialogLayout.h"
#include "resources/WmfImportDialogLayout.h"

namespace runebin::win32 {

namespace {

// Centred on the screen that holds the main window, as the main window is.
constexpr DWORD kSmallDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;

// What one run of a small dialog does beyond the common part: filling the fields when it opens
// and checking them when OK is pressed.
struct DialogScript {
  const DialogLayout& layout;
  std::function<void(HWND)> fill;
  std::function<std::optional<FieldProblem>(HWND)> validate;
};

std::wstring ControlText(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  const int length = control != nullptr ? ::GetWindowTextLengthW(control) : 0;
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  if (control != nullptr) {
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), length + 1)));
  } else {
    text.clear();
  }
  return text;
}

void LimitEditBoxes(HWND dialog, const DialogLayout& layout) {
  for (const ControlLayout& row : layout.controls) {
    if (row.kind == ControlKind::EditBox && row.textLimit > 0) {
      ::SendDlgItemMessageW(dialog, row.id, EM_SETLIMITTEXT, static_cast<WPARAM>(row.textLimit), 0);
    }
  }
}

void FocusField(HWND dialog, int id) {
  if (HWND field = ::GetDlgItem(dialog, id)) {
    ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
  }
}

INT_PTR CALLBACK SmallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* script = reinterpret_cast<DialogScript*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      script = reinterpret_cast<DialogScript*>(lParam);
      ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SetAppIcon(dialog);
      LimitEditBoxes(dialog, script->layout);
      if (script->fill) {
        script->fill(dialog);
      }
      return TRUE;  // the focus goes to the first tab stop
    case WM_COMMAND:
      if (script == nullptr || HIWORD(wParam) != BN_CLICKED) {
        return FALSE;
      }
      if (LOWORD(wParam) == IDOK) {
        const std::optional<FieldProblem> problem =
            script->validate ? script->validate(dialog) : std::nullopt;
        if (!problem) {
          ::EndDialog(dialog, IDOK);
          return TRUE;
        }
        ShowWarningMessage(dialog, TextToWide(problem->message), MessageKind::Ok);
        FocusField(dialog, problem->controlId);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

bool RunDialog(HWND owner, DialogScript& script) {
  const std::vector<DWORD> dialogTemplate =
      BuildDialogTemplate(script.layout, kSmallDialogStyle, 0);
  const INT_PTR result = ::DialogBoxIndirectParamW(
      ::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()), owner,
      SmallDialogProc, reinterpret_cast<LPARAM>(&script));
  return result == IDOK;
}

HICON LoadAppIcon(int metricX, int metricY) {
  return static_cast<HICON>(::LoadImageW(
      ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kAppIconResource), IMAGE_ICON,
      ::GetSystemMetrics(metricX), ::GetSystemMetrics(metricY), LR_DEFAULTCOLOR | LR_SHARED));
}

}  // namespace

HICON LargeAppIcon() {
  static const HICON icon = LoadAppIcon(SM_CXICON, SM_CYICON);
  return icon;
}

HICON SmallAppIcon() {
  static const HICON icon = LoadAppIcon(SM_CXSMICON, SM_CYSMICON);
  return icon;
}

void SetAppIcon(HWND window) {
  ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LargeAppIcon()));
  ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(SmallAppIcon()));
}

Answer ShowWarningMessage(HWND owner, const std::wstring& text, MessageKind kind) {
  const UINT buttons = kind == MessageKind::YesNo ? MB_YESNO : MB_OK;
  const int pressed = ::MessageBoxW(owner, text.c_str(), L"Runebin", buttons | MB_ICONWARNING);
  if (kind == MessageKind::YesNo) {
    return pressed == IDYES ? Answer::Yes : Answer::No;
  }
  return Answer::Ok;
}

bool RunRenameDialog(HWND owner, RenameDialogData& data) {
  DialogScript script{
      kRenameDialogLayout,
      [&data](HWND dialog) {
        // One line: a name too wide for it ends in an ellipsis on screen.
        HWND oldName = ::GetDlgItem(dialog, ids::kRenameOldName);
        ::SetWindowLongPtrW(oldName, GWL_STYLE,
                            ::GetWindowLongPtrW(oldName, GWL_STYLE) | SS_ENDELLIPSIS);
        ::SetWindowTextW(oldName, NameToWide(data.m_oldName).c_str());
        ::SetDlgItemTextW(dialog, ids::kRenameNewName, NameToWide(data.m_newName).c_str());
        ::SendDlgItemMessageW(dialog, ids::kRenameNewName, EM_SETSEL, 0, -1);
      },
      [&data](HWND dialog) {
        return ValidateRenameDialog(WideToText(ControlText(dialog, ids::kRenameNewName)), data);
      }};
  return RunDialog(owner, script);
}

bool RunWmfImportDialog(HWND owner, WmfImportDialogData& data) {
  DialogScript script{
      kWmfImportDialogLayout,
      [&data](HWND dialog) {
        ::SetDlgItemTextW(dialog, ids::kImportName, NameToWide(data.m_name).c_str());
        ::SetDlgItemTextW(dialog, ids::kImportMaxSize,
                          TextToWide(FormatMaxSize(data.m_maxSize)).c_str());
        ::SendDlgItemMessageW(dialog, ids::kImportName, EM_SETSEL, 0, -1);
      },
      [&data](HWND dialog) {
        return ValidateWmfImportDialog(WideToText(ControlText(dialog, ids::kImportName)),
                                       WideToText(ControlText(dialog, ids::kImportMaxSize)), data);
      }};
  return RunDialog(owner, script);
}

void RunAboutBox(HWND owner) {
  DialogScript script{kAboutBoxLayout, {}, {}};
  RunDialog(owner, script);
}

}  // namespace runebin::win32
