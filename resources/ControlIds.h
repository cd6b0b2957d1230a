#pragma once

namespace runebin::ids {

// Control ids of the main window. The layout tables use them, and so do the command handlers.
inline constexpr int kDone = 1;  // also OK of the small dialogs
inline constexpr int kCancel = 2;

inline constexpr int kOpenClose1 = 1000;
inline constexpr int kImport1 = 1001;
inline constexpr int kCopy = 1002;
inline constexpr int kOpenClose2 = 1003;
inline constexpr int kList1 = 1004;
inline constexpr int kDelete1 = 1005;
inline constexpr int kUp1 = 1006;
inline constexpr int kDn1 = 1007;
inline constexpr int kSort1 = 1008;
inline constexpr int kRename1 = 1009;
inline constexpr int kImport2 = 1010;
inline constexpr int kList2 = 1011;
inline constexpr int kUp2 = 1012;
inline constexpr int kDn2 = 1013;
inline constexpr int kSort2 = 1014;
inline constexpr int kDelete2 = 1015;
inline constexpr int kRename2 = 1016;
inline constexpr int kCaption1 = 1017;
inline constexpr int kDetails = 1022;
inline constexpr int kScaleAll1 = 1023;
inline constexpr int kXUnused1 = 1024;
inline constexpr int kRefPage1 = 1025;
inline constexpr int kCaption2 = 1026;
inline constexpr int kScaleAll2 = 1027;
inline constexpr int kXUnused2 = 1028;
inline constexpr int kRefPage2 = 1029;
inline constexpr int kPreview = 1030;  // the frame that shows the selected symbol

// The About item of the window's system (or context) menu.
inline constexpr int kAboutCommand = 0x0010;

// Rename dialog.
inline constexpr int kRenameNewName = 1023;
inline constexpr int kRenameOldName = 1024;

// WMF Import dialog.
inline constexpr int kImportName = 1025;
inline constexpr int kImportMaxSize = 1026;

}  // namespace runebin::ids
