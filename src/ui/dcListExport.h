// Saving the viewer's list as a tab-separated file: the save dialog and the
// overwrite question (behind an interface, so that the choices can be made
// without a window), the file name rule and the file writing. The list
// viewer's exportList runs the steps in order.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "dcListViews.h"

class QWidget;

namespace dcexport {
// The dialog's file types: index 1 Excel files and index 2 text files, both
// tab-separated text; index 3 a workbook.
constexpr const char* FILTER =
    "Excel Files (*.xls)|*.xls|Text Files(*.txt)|*.txt|Excel Workbook (*.xlsx)|*.xlsx||";
constexpr int FILTER_EXCEL = 1;
constexpr int FILTER_TEXT = 2;
constexpr int FILTER_WORKBOOK = 3;
constexpr const char* DEFAULT_EXTENSION = "xls";
// Show help, no validation, path must exist, file must exist, no network
// button, explorer style, long names, sizing.
constexpr std::uint32_t DIALOG_OPTIONS = 0x00AA1910;
constexpr const char* OVERWRITE_QUESTION = "File already exists, overwrite?";

// The file name the dialog offers: "<name>_Y-M-D" for the selected object,
// "ListY-M-D" when it has no name (CP949).
std::string suggestedName(const char* objectName, const dcViewDate_t& date);
// The chosen path with ".xls" (filter 1), ".txt" (filter 2) or ".xlsx"
// (filter 3) appended when its name has no extension; a typed extension is
// kept as it is.
QString withExtension(const QString& path, int filterIndex);
// The question: the path directly followed by the overwrite text.
QString overwriteQuestion(const QString& path);
// A file that can be opened for reading is there.
bool fileExists(const QString& path);
// Creates or replaces the file and writes text in one go; false when the
// file cannot be created (nothing is written then).
bool writeFile(const QString& path, const std::string& text);
// Creates or replaces the file with a workbook of list; false when it cannot
// be written.
bool writeWorkbook(const QString& path, const dcViewList_t& list, dcViewKind_t kind);
}  // namespace dcexport

// What the dialog shows.
struct dcSaveDialogRequest_t {
  QString initialName;  // the suggested file name, decoded
  const char* filter = dcexport::FILTER;
  const char* defaultExtension = dcexport::DEFAULT_EXTENSION;
  std::uint32_t options = dcexport::DIALOG_OPTIONS;
};

// What the operator chose.
struct dcSaveDialogChoice_t {
  bool accepted = false;  // OK; false: cancelled
  QString path;
  int filterIndex = dcexport::FILTER_EXCEL;  // 1-based, as the dialog counts
};

// The operator's side of the export.
class dcExportChooser_t {
 public:
  virtual ~dcExportChooser_t() = default;
  virtual dcSaveDialogChoice_t chooseSaveFile(const dcSaveDialogRequest_t& request) = 0;
  // A Yes/No question; true for Yes.
  virtual bool askYesNo(const QString& question) = 0;
};

// The platform's save dialog and message box.
class dcQtExportChooser_t : public dcExportChooser_t {
 public:
  explicit dcQtExportChooser_t(QWidget* parent = nullptr) : parent_(parent) {}
  dcSaveDialogChoice_t chooseSaveFile(const dcSaveDialogRequest_t& request) override;
  bool askYesNo(const QString& question) override;

 private:
  QWidget* parent_;
};
