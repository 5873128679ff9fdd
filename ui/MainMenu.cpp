#include "MainMenu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QSaveFile>

#include "ReadingPrint.h"
#include "ReadingText.h"

namespace zendric {
namespace {

const QString AppTitle = QStringLiteral("Zendric 2 reader");
const QString RecentKey = QStringLiteral("files/recent");
const QString FolderKey = QStringLiteral("files/folder");
const QString FormatKey = QStringLiteral("files/format");

QString KeyText(const QKeySequence& keys) { return keys.toString(QKeySequence::NativeText); }

// The platform's key for help, F1 where it has none.
QKeySequence HelpKey() {
  const QKeySequence help(QKeySequence::HelpContents);
  return help.isEmpty() ? QKeySequence(Qt::Key_F1) : help;
}

QString FilterOf(const ReadingFormatName& f) {
  return QStringLiteral("%1 (*.%2)").arg(QString::fromUtf8(f.Label.data(), static_cast<qsizetype>(f.Label.size())),
                                         QString::fromUtf8(f.Extension.data(), static_cast<qsizetype>(f.Extension.size())));
}

QString Latin(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

QString DefaultOpen(QWidget* parent, const QString& title, const QString& folder, const QString& filters) {
  return QFileDialog::getOpenFileName(parent, title, folder, filters);
}

QString DefaultSave(QWidget* parent, const QString& title, const QString& path, const QString& filters,
                    QString* chosen) {
  return QFileDialog::getSaveFileName(parent, title, path, filters, chosen);
}

bool DefaultPrint(QPrinter* printer, QWidget* parent) {
  QPrintDialog dialog(printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace

TMainMenu::TMainMenu(MenuTargets targets, QWidget* parent)
    : QMenuBar(parent), Targets(std::move(targets)), Dialogs{DefaultOpen, DefaultSave, DefaultPrint} {
  setObjectName(QStringLiteral("mbMain"));
  CreateFileMenu();
  CreateEditMenu();
  CreateHelpMenu();
}

void TMainMenu::CreateFileMenu() {
  QMenu* file = addMenu(QStringLiteral("&File"));
  QAction* open = file->addAction(QStringLiteral("&Open…"), this, &TMainMenu::OpenDialog);
  open->setShortcut(QKeySequence::Open);
  RecentMenu = file->addMenu(QStringLiteral("Open &Recent"));
  connect(RecentMenu, &QMenu::aboutToShow, this, &TMainMenu::ShowRecentFiles);
  ShowRecentFiles();
  file->addSeparator();
  QAction* save = file->addAction(QStringLiteral("&Save Reading As…"), this, &TMainMenu::SaveDialog);
  save->setShortcut(QKeySequence::Save);
  file->addSeparator();
  QAction* print = file->addAction(QStringLiteral("&Print…"), this, &TMainMenu::PrintDialog);
  print->setShortcut(QKeySequence::Print);
  file->addAction(QStringLiteral("&Export as PDF…"), this, &TMainMenu::ExportPdfDialog);
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("&Quit"), Targets.window, &QWidget::close);
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quit->setMenuRole(QAction::QuitRole);
}

// The field's own edits. Their keys are only shown here: the field (and the reading,
// for Copy) answer them themselves, and a second binding would make them ambiguous.
void TMainMenu::CreateEditMenu() {
  QMenu* edit = addMenu(QStringLiteral("&Edit"));
  QPlainTextEdit* field = Targets.field;
  const auto add = [&](const QString& text, QKeySequence::StandardKey keys, auto&& slot) {
    QAction* action = edit->addAction(text + u'\t' + KeyText(keys));
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  QAction* undo = add(QStringLiteral("&Undo"), QKeySequence::Undo, [field] { field->undo(); });
  QAction* redo = add(QStringLiteral("&Redo"), QKeySequence::Redo, [field] { field->redo(); });
  undo->setEnabled(field->document()->isUndoAvailable());
  redo->setEnabled(field->document()->isRedoAvailable());
  connect(field, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
  connect(field, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);
  edit->addSeparator();
  QAction* cut = add(QStringLiteral("Cu&t"), QKeySequence::Cut, [field] { field->cut(); });
  cut->setEnabled(false);
  connect(field, &QPlainTextEdit::copyAvailable, cut, &QAction::setEnabled);
  add(QStringLiteral("&Copy"), QKeySequence::Copy, [this] {
    // In the reading, its own Copy: the selection there or the whole reading.
    const QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == Targets.readingColumn || Targets.readingColumn->isAncestorOf(focus))) {
      for (QAction* action : Targets.readingColumn->actions())
        if (action->shortcuts().contains(QKeySequence(QKeySequence::Copy))) return action->trigger();
    }
    Targets.field->copy();
  });
  add(QStringLiteral("&Paste"), QKeySequence::Paste, [field] { field->paste(); });
  add(QStringLiteral("Select &All"), QKeySequence::SelectAll, [field] {
    field->setFocus();
    field->selectAll();
  });
  edit->addSeparator();
  QMenu* copyAs = edit->addMenu(QStringLiteral("Copy Reading &As"));
  for (const ReadingFormatName& f : ReadingFormats) {
    const ReadingFormat format = f.Format == ReadingFormat::HtmlDocument ? ReadingFormat::Html : f.Format;
    QAction* action = copyAs->addAction(Latin(f.Label), this, [this, format] { CopyReadingAs(format); });
    action->setObjectName(QStringLiteral("actCopyAs_") + Latin(f.Key));
  }
  edit->addSeparator();
  QAction* make = edit->addAction(QStringLiteral("&Make a Code…"), this, [this] { Targets.makeCode(); });
  make->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
}

void TMainMenu::CreateHelpMenu() {
  QMenu* help = addMenu(QStringLiteral("&Help"));
  QAction* about = help->addAction(QStringLiteral("&About"), this, [this] { Targets.about(); });
  about->setShortcut(HelpKey());
  about->setMenuRole(QAction::AboutRole);
}

void TMainMenu::RememberFilesIn(std::unique_ptr<QSettings> settings) {
  Settings = std::move(settings);
  Recent = Settings ? Settings->value(RecentKey).toStringList() : QStringList();
  ShowRecentFiles();
}

void TMainMenu::ShowRecentFiles() {
  RecentMenu->clear();
  for (const QString& path : Recent) {
    QAction* action = RecentMenu->addAction(QDir::toNativeSeparators(path));
    connect(action, &QAction::triggered, this, [this, path] { Targets.openFile(path); });
  }
  if (Recent.isEmpty()) RecentMenu->addAction(QStringLiteral("No recent files"))->setEnabled(false);
  else RecentMenu->addSeparator();
  QAction* clear = RecentMenu->addAction(QStringLiteral("&Clear the List"), this, [this] {
    Recent.clear();
    if (Settings) Settings->setValue(RecentKey, Recent);
  });
  clear->setEnabled(!Recent.isEmpty());
}

void TMainMenu::FileOpened(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  Recent.removeAll(full);
  Recent.prepend(full);
  while (Recent.size() > MaxRecentFiles) Recent.removeLast();
  FileName = QFileInfo(full).fileName();
  KeepFolderOf(full);
  if (Settings) Settings->setValue(RecentKey, Recent);
  Targets.window->setWindowTitle(QStringLiteral("%1 — %2").arg(FileName, AppTitle));
}

QString TMainMenu::Folder() const {
  const QString folder = Settings ? Settings->value(FolderKey).toString() : QString();
  return folder.isEmpty() || !QFileInfo(folder).isDir() ? QDir::homePath() : folder;
}

void TMainMenu::KeepFolderOf(const QString& path) {
  if (Settings) Settings->setValue(FolderKey, QFileInfo(path).absolutePath());
}

void TMainMenu::Complain(const QString& message) const {
  auto* box = new QMessageBox(QMessageBox::Warning, AppTitle, message, QMessageBox::Ok, Targets.window);
  box->setObjectName(QStringLiteral("mbComplain"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void TMainMenu::OpenDialog() {
  const QString path = Dialogs.openFile(Targets.window, QStringLiteral("Open a text with a Zendric 2 code"), Folder(),
                                        QStringLiteral("Text files (*.txt *.eml *.text);;All files (*)"));
  if (!path.isEmpty()) Targets.openFile(path);
}

bool TMainMenu::SaveReading(const QString& path, ReadingFormat format, QString* why) const {
  const QByteArray code = Targets.code().toUtf8();
  const std::string text =
      RenderReading(format, std::string_view(code.constData(), static_cast<std::size_t>(code.size())), Targets.reading());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
      !file.commit()) {
    *why = file.errorString();
    return false;
  }
  return true;
}

// The type chosen in the dialog decides the format; a name without an extension gets
// that type's.
void TMainMenu::SaveDialog() {
  QStringList filters;
  for (const ReadingFormatName& f : ReadingFormats) filters << FilterOf(f);
  const QString lastKey = Settings ? Settings->value(FormatKey).toString() : QString();
  const ReadingFormatName* last = &ReadingFormats[0];
  for (const ReadingFormatName& f : ReadingFormats)
    if (Latin(f.Key) == lastKey) last = &f;
  QString chosen = FilterOf(*last);
  const QString base = FileName.isEmpty() ? QStringLiteral("reading") : QFileInfo(FileName).completeBaseName() +
                                                                            QStringLiteral(" reading");
  QString path = Dialogs.saveFile(Targets.window, QStringLiteral("Save the reading"),
                                  QDir(Folder()).filePath(base + u'.' + Latin(last->Extension)),
                                  filters.join(QStringLiteral(";;")), &chosen);
  if (path.isEmpty()) return;
  const ReadingFormatName* format = last;
  for (const ReadingFormatName& f : ReadingFormats)
    if (FilterOf(f) == chosen) format = &f;
  if (QFileInfo(path).suffix().isEmpty()) path += u'.' + Latin(format->Extension);
  QString why;
  if (!SaveReading(path, format->Format, &why)) return Complain(QStringLiteral("Cannot save %1: %2").arg(path, why));
  KeepFolderOf(path);
  if (Settings) Settings->setValue(FormatKey, Latin(format->Key));
}

void TMainMenu::PrintReading(QPrinter* printer) const { zendric::PrintReading(printer, Targets.code(), Targets.reading()); }

void TMainMenu::PrintDialog() {
  QPrinter printer(QPrinter::HighResolution);
  if (Dialogs.print(&printer, Targets.window)) PrintReading(&printer);
}

void TMainMenu::ExportPdfDialog() {
  const QString base = FileName.isEmpty() ? QStringLiteral("reading") : QFileInfo(FileName).completeBaseName() +
                                                                            QStringLiteral(" reading");
  QString chosen = QStringLiteral("PDF (*.pdf)");
  QString path = Dialogs.saveFile(Targets.window, QStringLiteral("Export the reading as PDF"),
                                  QDir(Folder()).filePath(base + QStringLiteral(".pdf")), chosen, &chosen);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  PrintReading(&printer);
  // The printer says nothing of a file it could not write.
  if (!QFileInfo(path).isFile()) return Complain(QStringLiteral("Cannot write %1").arg(path));
  KeepFolderOf(path);
}

void TMainMenu::CopyReadingAs(ReadingFormat format) {
  QApplication::clipboard()->setText(ReadingAs(format, Targets.code(), Targets.reading()));
}

}  // namespace zendric
