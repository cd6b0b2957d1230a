#include "gui/WmfImportDialog.h"

#include <QLineEdit>

#include "gui/WindowText.h"
#include "resources/ControlIds.h"
#include "resources/WmfImportDialogLayout.h"

namespace runebin::gui {

WmfImportDialog::WmfImportDialog(QWidget* parent, const QIcon& icon, WmfImportDialogData& data)
    : LayoutDialog(parent, kWmfImportDialogLayout, icon), data_(data) {
  if (QLineEdit* name = Edit(ids::kImportName)) {
    SetLimitedText(name, NameToQt(data.m_name));
    name->selectAll();
  }
  if (QLineEdit* maxSize = Edit(ids::kImportMaxSize)) {
    maxSize->setText(TextToQt(FormatMaxSize(data.m_maxSize)));
  }
}

std::optional<FieldProblem> WmfImportDialog::Validate() {
  const QLineEdit* name = Edit(ids::kImportName);
  const QLineEdit* maxSize = Edit(ids::kImportMaxSize);
  const QByteArray maxSizeText = maxSize != nullptr ? maxSize->text().toUtf8() : QByteArray();
  return ValidateWmfImportDialog(
      name != nullptr ? TextFromQt(name->text()) : std::string(),
      std::string_view(maxSizeText.constData(), static_cast<std::size_t>(maxSizeText.size())),
      data_);
}

bool RunWmfImportDialog(QWidget* parent, const QIcon& icon, WmfImportDialogData& data) {
  WmfImportDialog dialog(parent, icon, data);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace runebin::gui
