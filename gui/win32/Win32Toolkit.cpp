#include "gui/win32/Win32Toolkit.h"

#include <commctrl.h>

#include "gui/win32/DialogTemplate.h"
#include "gui/win32/OpenFileDialog.h"
#include "gui/win32/PreviewPainter.h"
#include "gui/win32/SmallDialogs.h"
#include "gui/win32/WideText.h"
#include "resources/ControlIds.h"
#include "resources/MainDialogLayout.h"
#include "resources/StringTable.h"

namespace runebin::win32 {

namespace {

// A fixed-size window with a title bar, the window menu, the caption's help button and a
// task-bar entry; centred on the screen.
constexpr DWORD kMainWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CONTEXTHELP | DS_CENTER;
constexpr DWORD kMainWindowExtendedStyle = WS_EX_APPWINDOW;

// Pixels between the preview frame and the picture, so that outlines on the bounds stay whole.
constexpr int kPreviewMargin = 4;
// Dialog units of a group box's width that its caption cannot use: the indent and the gaps
// around the caption on the left, the frame and as much again on the right.
constexpr int kCaptionMarginUnits = 16;

ControlKind KindOf(int id) {
  const ControlLayout* row = FindControl(kMainDialogLayout, id);
  return row != nullptr ? row->kind : ControlKind::StaticText;
}

std::wstring WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

// Buttons and group boxes read "&x" as a keyboard mnemonic; "&&" shows one "&".
std::wstring EscapeMnemonics(const std::wstring& text) {
  std::wstring escaped;
  for (const wchar_t c : text) {
    escaped.push_back(c);
    if (c == L'&') {
      escaped.push_back(L'&');
    }
  }
  return escaped;
}

// `text` shortened in the middle ("C:\Users\...\Symbols.pvs") to fit `room` pixels in `dc`.
std::wstring ShortenedInTheMiddle(HDC dc, const std::wstring& text, int room) {
  const auto width = [dc](const std::wstring& candidate) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, candidate.c_str(), static_cast<int>(candidate.size()), &size);
    return size.cx;
  };
  if (width(text) <= room) {
    return text;
  }
  for (std::size_t keep = text.size(); keep-- > 0;) {
    const std::size_t head = (keep + 1) / 2;
    const std::wstring candidate =
        text.substr(0, head) + L"\x2026" + text.substr(text.size() - (keep - head));
    if (width(candidate) <= room) {
      return candidate;
    }
  }
  return L"\x2026";
}

}  // namespace

Win32Toolkit::Win32Toolkit() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  const std::vector<DWORD> dialogTemplate =
      BuildDialogTemplate(kMainDialogLayout, kMainWindowStyle, kMainWindowExtendedStyle);
  // Created hidden, so that the controls exist before the window is shown.
  ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                               reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()), nullptr,
                               DialogProc, reinterpret_cast<LPARAM>(this));
}

Win32Toolkit::~Win32Toolkit() {
  if (window_ != nullptr) {
    ::DestroyWindow(window_);
  }
}

INT_PTR CALLBACK Win32Toolkit::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Win32Toolkit*>(lParam);
    ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    self->window_ = window;
    self->OnInit();
    return FALSE;  // the focus is placed when the window is shown
  }
  auto* self = reinterpret_cast<Win32Toolkit*>(::GetWindowLongPtrW(window, DWLP_USER));
  return self != nullptr ? self->HandleMessage(message, wParam, lParam) : FALSE;
}

void Win32Toolkit::OnInit() {
  const std::wstring about = TextToWide(LoadResourceString(kIdsAboutBox));
  HMENU menu = ::GetSystemMenu(window_, FALSE);
  if (menu != nullptr && !about.empty()) {
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, ids::kAboutCommand, about.c_str());
  }
  SetAppIcon(window_);
  for (const ControlLayout& row : kMainDialogLayout.controls) {
    if (row.kind == ControlKind::GroupBox && row.id != kNoControlId) {
      captions_[row.id] = TextToWide(row.label);
    }
  }
}

INT_PTR Win32Toolkit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Escape, the close box, Alt+F4 and the window menu's Close all arrive as IDCANCEL and
      // are ignored: Done is the only way out, and it writes the files back.
      if (LOWORD(wParam) != IDCANCEL) {
        OnControlCommand(LOWORD(wParam), HIWORD(wParam));
      }
      return TRUE;
    case WM_SYSCOMMAND:
      // The low four bits of a system command are the system's own.
      if ((wParam & 0xFFF0) == ids::kAboutCommand) {
        if (events_ != nullptr) {
          events_->OnCommand(ids::kAboutCommand);
        }
        ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      return FALSE;
    case WM_DRAWITEM:
      if (wParam == static_cast<WPARAM>(ids::kPreview)) {
        DrawPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

void Win32Toolkit::OnControlCommand(int id, int code) {
  if (events_ == nullptr) {
    return;
  }
  switch (KindOf(id)) {
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
      if (code == BN_CLICKED) {
        events_->OnCommand(id);
      }
      break;
    case ControlKind::ListBox:
      // Sent for the user's changes only, by mouse and keyboard alike: LB_SETCURSEL sends none.
      if (code == LBN_SELCHANGE) {
        events_->OnSelectionChange(id);
      }
      break;
    default:
      break;
  }
}

bool Win32Toolkit::HandleListKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || (message.wParam != VK_DELETE && message.wParam != VK_F2) ||
      ::GetParent(message.hwnd) != window_) {
    return false;
  }
  const int list = ::GetDlgCtrlID(message.hwnd);
  if (list != ids::kList1 && list != ids::kList2) {
    return false;
  }
  const bool first = list == ids::kList1;
  const int button = message.wParam == VK_DELETE ? (first ? ids::kDelete1 : ids::kDelete2)
                                                 : (first ? ids::kRename1 : ids::kRename2);
  if (events_ != nullptr && IsControlEnabled(button) && IsControlShown(button)) {
    events_->OnCommand(button);
  }
  return true;
}

void Win32Toolkit::DrawPreview(const DRAWITEMSTRUCT& item) const {
  RECT inside = item.rcItem;
  ::InflateRect(&inside, -1, -1);
  const auto found = pictures_.find(static_cast<int>(item.CtlID));
  if (found != pictures_.end() && found->second) {
    PaintDisplayList(item.hDC, *found->second, inside, kPreviewMargin);
  } else {
    ::FillRect(item.hDC, &inside, ::GetSysColorBrush(COLOR_BTNFACE));
  }
  ::FrameRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

void Win32Toolkit::ShowGroupCaption(HWND box, const std::wstring& caption) {
  RECT margin{0, 0, kCaptionMarginUnits, 0};
  ::MapDialogRect(window_, &margin);
  RECT place{};
  ::GetClientRect(box, &place);
  HDC dc = ::GetDC(box);
  HGDIOBJ font =
      ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(box, WM_GETFONT, 0, 0)));
  const std::wstring shown = ShortenedInTheMiddle(dc, caption, place.right - margin.right);
  ::SelectObject(dc, font);
  ::ReleaseDC(box, dc);
  ::SetWindowTextW(box, EscapeMnemonics(shown).c_str());
}

HWND Win32Toolkit::Control(int id) const {
  if (window_ == nullptr || id == kNoControlId) {
    return nullptr;
  }
  return ::GetDlgItem(window_, id);
}

HWND Win32Toolkit::DialogOwner() const {
  return window_ != nullptr && ::IsWindowVisible(window_) ? window_ : nullptr;
}

void Win32Toolkit::EnableControl(int id, bool enabled) {
  HWND control = Control(id);
  if (control == nullptr) {
    return;
  }
  if (!enabled && ::GetFocus() == control) {
    // A disabled control cannot keep the focus; the keyboard would be left with nowhere to go.
    ::SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
  }
  ::EnableWindow(control, enabled ? TRUE : FALSE);
}

bool Win32Toolkit::IsControlEnabled(int id) const {
  HWND control = Control(id);
  return control != nullptr && ::IsWindowEnabled(control);
}

void Win32Toolkit::ShowControl(int id, bool shown) {
  HWND control = Control(id);
  if (control == nullptr) {
    return;
  }
  if (!shown && ::GetFocus() == control) {
    ::SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
  }
  ::ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
}

bool Win32Toolkit::IsControlShown(int id) const {
  // Hidden by the program, as opposed to not on screen yet because the window is not.
  HWND control = Control(id);
  return control != nullptr && (::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Toolkit::SetControlText(int id, const std::string& text) {
  HWND control = Control(id);
  if (control == nullptr) {
    return;
  }
  if (KindOf(id) == ControlKind::GroupBox) {
    captions_[id] = TextToWide(text);
    ShowGroupCaption(control, captions_[id]);
    return;
  }
  ::SetWindowTextW(control, TextToWide(text).c_str());
}

std::string Win32Toolkit::GetControlText(int id) const {
  HWND control = Control(id);
  if (control == nullptr) {
    return {};
  }
  const auto caption = captions_.find(id);
  return WideToText(caption != captions_.end() ? caption->second : WindowText(control));
}

void Win32Toolkit::ListReset(int id) {
  if (HWND list = Control(id)) {
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
  }
}

void Win32Toolkit::ListSetLines(int id, const std::vector<std::string>& lines) {
  HWND list = Control(id);
  if (list == nullptr) {
    return;
  }
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
  ::SendMessageW(list, LB_INITSTORAGE, lines.size(), lines.size() * 32 * sizeof(wchar_t));
  for (const std::string& line : lines) {
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(NameToWide(line).c_str()));
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

int Win32Toolkit::ListCount(int id) const {
  HWND list = Control(id);
  const LRESULT count = list != nullptr ? ::SendMessageW(list, LB_GETCOUNT, 0, 0) : 0;
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

int Win32Toolkit::ListGetSelection(int id) const {
  HWND list = Control(id);
  const LRESULT selected = list != nullptr ? ::SendMessageW(list, LB_GETCURSEL, 0, 0) : LB_ERR;
  return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void Win32Toolkit::ListSetSelection(int id, int index) {
  HWND list = Control(id);
  if (list == nullptr) {
    return;
  }
  // -1, like any index past the end, leaves no line selected.
  const bool valid = index >= 0 && index < ListCount(id);
  ::SendMessageW(list, LB_SETCURSEL, valid ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1),
                 0);
}

void Win32Toolkit::SetPicture(int id, std::shared_ptr<const DisplayList> picture,
                              const std::string& description) {
  HWND frame = Control(id);
  if (frame == nullptr) {
    return;
  }
  pictures_[id] = std::move(picture);
  // An owner-drawn static shows no text; assistive tools read it as the control's name.
  ::SetWindowTextW(frame, TextToWide(description).c_str());
  ::InvalidateRect(frame, nullptr, FALSE);
}

Answer Win32Toolkit::ShowMessage(const std::string& text, MessageKind kind) {
  return ShowWarningMessage(DialogOwner(), TextToWide(text), kind);
}

std::optional<OpenFileChoice> Win32Toolkit::ChooseFileToOpen(const OpenFileRequest& request) {
  return RunOpenFileDialog(DialogOwner(), request);
}

bool Win32Toolkit::RunRenameDialog(RenameDialogData& data) {
  return win32::RunRenameDialog(DialogOwner(), data);
}

bool Win32Toolkit::RunWmfImportDialog(WmfImportDialogData& data) {
  return win32::RunWmfImportDialog(DialogOwner(), data);
}

void Win32Toolkit::RunAboutBox() {
  win32::RunAboutBox(DialogOwner());
}

void Win32Toolkit::RunMainWindow(WindowEvents& events) {
  if (window_ == nullptr) {
    return;
  }
  events_ = &events;
  running_ = true;
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
  if (HWND first = ::GetNextDlgTabItem(window_, nullptr, FALSE)) {
    ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
  }
  MSG message{};
  while (running_) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));  // for whoever runs the outer loop
      break;
    }
    if (got == -1) {
      break;
    }
    if (!HandleListKey(message) && !::IsDialogMessageW(window_, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  events_ = nullptr;
}

void Win32Toolkit::EndMainWindow() {
  running_ = false;
  if (window_ != nullptr) {
    ::ShowWindow(window_, SW_HIDE);
    // The loop looks at running_ when GetMessage returns, which a message sent to the window
    // (rather than posted) does not make it do.
    ::PostMessageW(window_, WM_NULL, 0, 0);
  }
}

}  // namespace runebin::win32
