#include "gui/OpenFileDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLayout>
#include <string>

#include "gui/WindowText.h"

namespace runebin::gui {

namespace {

QString QtPatterns(const QString& patterns) {
  QStringList converted;
  for (QString pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
    pattern = pattern.trimmed();
    if (pattern == QStringLiteral("*.*")) {
      pattern = QStringLiteral("*");
    }
    if (!pattern.isEmpty()) {
      converted.append(pattern);
    }
  }
  return converted.join(u' ');
}

// "Korvel Files (*.pvx)" -> "Korvel Files": the patterns are shown from the pattern field.
QString WithoutTrailingPatterns(QString description) {
  description = description.trimmed();
  if (description.endsWith(u')')) {
    const qsizetype open = description.lastIndexOf(u'(');
    if (open >= 0) {
      description.truncate(open);
    }
  }
  return description.trimmed();
}

}  // namespace

QStringList ToQtNameFilters(std::string_view filter) {
  const QStringList fields = TextToQt(filter).split(u'|');
  QStringList nameFilters;
  // Pairs of description and patterns; an empty description ends the list.
  for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
    if (fields.at(i).isEmpty()) {
      break;
    }
    const QString patterns = QtPatterns(fields.at(i + 1));
    if (patterns.isEmpty()) {
      continue;
    }
    nameFilters.append(WithoutTrailingPatterns(fields.at(i)) + QStringLiteral(" (") + patterns +
                       u')');
  }
  return nameFilters;
}

std::optional<OpenFileChoice> RunOpenFileDialog(QWidget* parent, const OpenFileRequest& request,
                                                QString& folder) {
  QFileDialog dialog(parent, TextToQt(request.title), folder);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // AnyFile: a typed name that does not exist is returned all the same; loading reports it.
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList nameFilters = ToQtNameFilters(request.filter);
  if (!nameFilters.isEmpty()) {
    dialog.setNameFilters(nameFilters);
    dialog.selectNameFilter(nameFilters.first());
  }
  QString suffix = TextToQt(request.defaultExtension);
  while (suffix.startsWith(u'.')) {
    suffix.remove(0, 1);
  }
  dialog.setDefaultSuffix(suffix);

  auto* readOnly = new QCheckBox(QStringLiteral("Open as &read-only"), &dialog);
  readOnly->setObjectName(QLatin1String(kReadOnlyCheckBoxName));
  readOnly->setAccessibleName(WithoutMnemonics(readOnly->text()));
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    grid->addWidget(readOnly, grid->rowCount(), 0, 1, grid->columnCount());
  } else if (dialog.layout() != nullptr) {
    dialog.layout()->addWidget(readOnly);
  }

  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) {
    return std::nullopt;
  }
  const QString path = QDir::toNativeSeparators(QFileInfo(chosen.first()).absoluteFilePath());
  folder = QFileInfo(path).absolutePath();
  return OpenFileChoice{PathFromQt(path), readOnly->isChecked()};
}

}  // namespace runebin::gui
