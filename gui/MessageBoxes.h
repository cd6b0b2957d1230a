#pragma once

#include <QString>

#include "app/Toolkit.h"

class QWidget;

namespace runebin::gui {

// The caption of every message box and of the main window.
inline constexpr char kApplicationName[] = "Runebin";

// Shows a standard modal message box over `parent` (or on its own when null): caption
// "Runebin", warning icon, and either one OK button or Yes and No with Yes the default. The
// text is shown as plain text, line breaks and runs of blanks kept. Returns the button pressed;
// closing a question without answering counts as No, closing a report as OK.
Answer ShowWarningMessage(QWidget* parent, const QString& text, MessageKind kind);

}  // namespace runebin::gui
