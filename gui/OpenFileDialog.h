#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string_view>

#include "app/Toolkit.h"

class QWidget;

namespace runebin::gui {

// Turns a "Description (*.a)|*.a|All Files (*.*)|*.*||" filter list into the name filters of a
// Qt file dialog, one per description/pattern pair, in order. Patterns separated by ';' are
// kept apart, and "*.*" becomes "*" since it means every file, with or without an extension.
QStringList ToQtNameFilters(std::string_view filter);

// Object names that let the read-only check box be found (by tests and accessibility tools).
inline constexpr char kReadOnlyCheckBoxName[] = "readOnlyCheckBox";

// Runs the program's open-file dialog modally over `parent`: Qt's own (non-native) file dialog,
// so that it can carry the read-only check box, with the request's title, filters (the first
// one selected) and default extension. A typed name need not exist; loading decides. Returns
// the absolute path and the check box's state, or nothing when the user cancels.
// `folder` is where the dialog starts; it is updated to the folder of the chosen file.
std::optional<OpenFileChoice> RunOpenFileDialog(QWidget* parent, const OpenFileRequest& request,
                                                QString& folder);

}  // namespace runebin::gui
