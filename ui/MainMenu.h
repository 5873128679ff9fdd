// The reader window's menu bar: File (open, recent files, save, print, export as PDF,
// quit), Edit (the field's edits, copying the reading in each format, making a code)
// and Help. The menu's actions own the window's shortcuts, so that no key is bound
// twice.
#pragma once

#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QSettings>
#include <QString>
#include <functional>
#include <memory>

#include "Renderings.h"
#include "ZNParser.h"

namespace zendric {

// What the menu works on, given by the window.
struct MenuTargets {
  QWidget* window = nullptr;
  QPlainTextEdit* field = nullptr;
  QWidget* readingColumn = nullptr;  // its own Copy action copies while it has the focus
  std::function<QString()> code;
  std::function<const ParseResult&()> reading;
  std::function<bool(const QString& path)> openFile;  // false when nothing was opened
  std::function<void()> makeCode, about;
};

// The dialogs the menu asks, replaceable where no one is there to answer them.
struct MenuDialogs {
  // A file to open or save: the chosen path, or empty. `filter` in: the filters; out:
  // the one chosen.
  std::function<QString(QWidget*, const QString& title, const QString& folder, const QString& filters)> openFile;
  std::function<QString(QWidget*, const QString& title, const QString& path, const QString& filters,
                        QString* chosenFilter)>
      saveFile;
  std::function<bool(QPrinter*, QWidget*)> print;  // false when the user cancels
};

class TMainMenu : public QMenuBar {
  Q_OBJECT

 public:
  static constexpr int MaxRecentFiles = 8;

  TMainMenu(MenuTargets targets, QWidget* parent);

  // Recent files and the last folder are kept in `settings` from now on.
  void RememberFilesIn(std::unique_ptr<QSettings> settings);
  void UseDialogs(MenuDialogs dialogs) { Dialogs = std::move(dialogs); }

  // A file was opened (from the menu, a drop or the command line): it heads the recent
  // files, its folder is the next dialog's, and the title names it.
  void FileOpened(const QString& path);
  QStringList RecentFiles() const { return Recent; }

  // Writes the reading in `format` to `path`; false with `why` set when it cannot.
  bool SaveReading(const QString& path, ReadingFormat format, QString* why) const;
  // Prints the reading on `printer`, laid out for its pages.
  void PrintReading(QPrinter* printer) const;

 private:
  void CreateFileMenu();
  void CreateEditMenu();
  void CreateHelpMenu();
  void ShowRecentFiles();
  void OpenDialog();
  void SaveDialog();
  void PrintDialog();
  void ExportPdfDialog();
  void CopyReadingAs(ReadingFormat format);
  QString Folder() const;
  void KeepFolderOf(const QString& path);
  void Complain(const QString& message) const;

  MenuTargets Targets;
  MenuDialogs Dialogs;
  std::unique_ptr<QSettings> Settings;
  QStringList Recent;
  QString FileName;  // of the file last opened, for the title and the saved reading's name
  QMenu* RecentMenu = nullptr;
};

}  // namespace zendric
