#include "gui/win32/DialogTemplate.h"

#include <cstring>
#include <string>

#include "gui/win32/WideText.h"

namespace runebin::win32 {

namespace {

// The predefined window classes a template names by atom.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kListBoxAtom = 0x0083;

WORD ClassAtom(ControlKind kind) {
  switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
    case ControlKind::GroupBox:
      return kButtonAtom;
    case ControlKind::ListBox:
      return kListBoxAtom;
    case ControlKind::EditBox:
      return kEditAtom;
    case ControlKind::StaticText:
    case ControlKind::BlackFrame:
    case ControlKind::Icon:
      return kStaticAtom;
  }
  return kStaticAtom;
}

// Appends to a template held as 16-bit words; the caller pads to DWORD boundaries.
class TemplateWriter {
 public:
  void Word(WORD value) { words_.push_back(value); }
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Short(int value) { Word(static_cast<WORD>(static_cast<short>(value))); }
  void Text(const std::wstring& text) {
    for (const wchar_t c : text) {
      Word(static_cast<WORD>(c));
    }
    Word(0);
  }
  void AlignToDword() {
    if (words_.size() % 2 != 0) {
      Word(0);
    }
  }
  std::vector<DWORD> Finish() {
    AlignToDword();
    std::vector<DWORD> dwords(words_.size() / 2);
    std::memcpy(dwords.data(), words_.data(), words_.size() * sizeof(WORD));
    return dwords;
  }

 private:
  std::vector<WORD> words_;
};

}  // namespace

DWORD ControlStyle(const ControlLayout& row) {
  DWORD style = WS_CHILD;
  if (row.shown) {
    style |= WS_VISIBLE;
  }
  if (!row.enabled) {
    style |= WS_DISABLED;
  }
  if (row.tabStop) {
    style |= WS_TABSTOP;
  }
  switch (row.kind) {
    case ControlKind::PushButton:
      return style | BS_PUSHBUTTON;
    case ControlKind::DefaultPushButton:
      return style | BS_DEFPUSHBUTTON;
    case ControlKind::GroupBox:
      return style | BS_GROUPBOX;
    case ControlKind::ListBox:
      // Single selection, in the program's order, reporting changes; the height is the layout's,
      // not snapped to whole lines.
      return style | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    case ControlKind::StaticText:
      // Texts the program sets (names, numbers) show '&' as it is.
      return style | SS_LEFT | (row.id != kNoControlId ? SS_NOPREFIX : 0);
    case ControlKind::BlackFrame:
      // Drawn by the dialog: the frame, and the picture inside it when there is one.
      return style | SS_OWNERDRAW;
    case ControlKind::EditBox:
      return style | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL;
    case ControlKind::Icon:
      return style | SS_ICON;
  }
  return style;
}

std::vector<DWORD> BuildDialogTemplate(const DialogLayout& layout, DWORD dialogStyle,
                                       DWORD extendedStyle) {
  TemplateWriter out;
  out.Dword(dialogStyle | DS_SETFONT);
  out.Dword(extendedStyle);
  out.Word(static_cast<WORD>(layout.controls.size()));
  out.Short(0);
  out.Short(0);
  out.Short(layout.width);
  out.Short(layout.height);
  out.Word(0);  // no menu
  out.Word(0);  // the standard dialog class
  out.Text(TextToWide(layout.caption));
  out.Word(static_cast<WORD>(layout.fontPointSize));
  out.Text(kDialogFontFace);

  for (const ControlLayout& row : layout.controls) {
    out.AlignToDword();
    out.Dword(ControlStyle(row));
    out.Dword(0);
    out.Short(row.x);
    out.Short(row.y);
    out.Short(row.width);
    out.Short(row.height);
    out.Word(static_cast<WORD>(row.id));  // kNoControlId becomes 0xFFFF, the usual static id
    out.Word(0xFFFF);
    out.Word(ClassAtom(row.kind));
    if (row.kind == ControlKind::Icon) {
      // An icon control names its icon resource by ordinal.
      out.Word(0xFFFF);
      out.Word(static_cast<WORD>(kAppIconResource));
    } else {
      out.Text(TextToWide(row.label));
    }
    out.Word(0);  // no creation data
  }
  return out.Finish();
}

}  // namespace runebin::win32
