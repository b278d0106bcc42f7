#include "dcListExport.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <cstdio>

#include "dcListFiles.h"

namespace {
constexpr const char* kMessageBoxTitle = "dcOverlook";  // the application title

// "desc|pattern|desc|pattern||" as the dialog's name filters.
QStringList nameFilters(const char* filter) {
  const QStringList parts = QString::fromLatin1(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    filters.append(parts[i].contains(QLatin1Char('(')) ? parts[i] : parts[i] + " (" + parts[i + 1] + ")");
  }
  return filters;
}
}  // namespace

namespace dcexport {

std::string suggestedName(const char* objectName, const dcViewDate_t& date) {
  if (objectName && *objectName) return dcviews::exportName(objectName, date);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "List%d-%d-%d", date.year, date.month, date.day);
  return buffer;
}

QString withExtension(const QString& path, int filterIndex) {
  if (!QFileInfo(path).suffix().isEmpty()) return path;
  if (filterIndex == FILTER_EXCEL) return path + QStringLiteral(".xls");
  if (filterIndex == FILTER_TEXT) return path + QStringLiteral(".txt");
  if (filterIndex == FILTER_WORKBOOK) return path + QStringLiteral(".xlsx");
  return path;
}

QString overwriteQuestion(const QString& path) {
  return QString::asprintf("%s%s", path.toUtf8().constData(), OVERWRITE_QUESTION);
}

bool fileExists(const QString& path) {
  QFile file(path);
  if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) return false;
  file.close();
  return true;
}

bool writeFile(const QString& path, const std::string& text) {
  QFile file(path);
  if (QFileInfo(path).isDir() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  file.write(text.data(), static_cast<qint64>(text.size()));
  file.close();
  return true;
}

bool writeWorkbook(const QString& path, const dcViewList_t& list, dcViewKind_t kind) {
  if (QFileInfo(path).isDir()) return false;
  return !dclistfile::writeWorkbook(QFile::encodeName(path).toStdString(), list, kind);
}

}  // namespace dcexport

dcSaveDialogChoice_t dcQtExportChooser_t::chooseSaveFile(const dcSaveDialogRequest_t& request) {
  QFileDialog dialog(parent_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The export asks its own overwrite question; the extension of a name
  // typed without one follows the chosen file type (added by the export).
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  // Qt's own dialog, which speaks the console's Korean; a desktop's native
  // one would speak the session's language.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  const QStringList filters = nameFilters(request.filter);
  dialog.setNameFilters(filters);
  dialog.selectFile(request.initialName);
  dcSaveDialogChoice_t choice;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return choice;
  choice.accepted = true;
  choice.path = dialog.selectedFiles().constFirst();
  choice.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  if (choice.filterIndex < 1) choice.filterIndex = dcexport::FILTER_EXCEL;
  return choice;
}

bool dcQtExportChooser_t::askYesNo(const QString& question) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kMessageBoxTitle), question,
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}
