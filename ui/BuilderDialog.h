// The code builder's window: the items of a persona in code order at the left, the
// selected item's choices at the right in the reading's own words, and underneath the
// live code and its reading.
#pragma once

#include <QDialog>
#include <QSettings>
#include <map>
#include <memory>
#include <random>

#include "Builder.h"
#include "BuilderForm.h"

class QComboBox;
class QKeyEvent;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace zendric {

class TBuilderDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TBuilderDialog(QWidget* parent = nullptr);
  ~TBuilderDialog() override;

  // Starts from `code`: its items become choices where the builder can write them the
  // same way; an empty code gives a new persona.
  void Open(const QString& code);
  // The code as built now.
  QString Code() const;
  const Persona& CurrentPersona() const { return persona; }
  // Keeps the dialog's size there from now on.
  void RememberSizeIn(std::unique_ptr<QSettings> settings);

 protected:
  void done(int result) override;
  // Enter never closes the builder: Ctrl+Enter or the button uses the code.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateItemList();
  void CreateLiveArea();
  void CreateButtons();
  void DescribeControls();

  void lbItemsChange();
  void btnAddClick();
  void btnRemoveClick();
  void btnMoveClick(int step);
  void btnRandomClick();

  // Rebuilds the list, then the page of row `select`.
  void FillItemList(int select);
  void FillPage();
  void RefillPageLater();
  void ShowCode();

  // The selected item's form, drawn field by field from the core's description; while
  // the fields keep their shape, only their values are set again.
  void DrawPage();
  QWidget* Control(const FormField& field);
  QWidget* Ticks(const std::vector<const FormField*>& ticks);
  QWidget* Search(const FormField& field, QComboBox* box);
  void SetValues(const QWidget* except);
  // Gives a field of the selected item a value; false when the field does not take it.
  bool Set(const std::string& key, const QString& value);

  QListWidget* lbItems = nullptr;
  QComboBox* cbAddTag = nullptr;
  QPushButton* btnAdd = nullptr;
  QPushButton* btnRemove = nullptr;
  QPushButton* btnUp = nullptr;
  QPushButton* btnDown = nullptr;
  QScrollArea* sbPage = nullptr;
  QWidget* pnPage = nullptr;
  QVBoxLayout* pageLayout = nullptr;
  int pageRow = -1;  // the item the page shows
  std::vector<FormField> fields;  // its fields as drawn
  std::string drawn;  // their shape, values left out
  std::map<std::string, QString> searches;  // what was typed into a search, by the field's key
  QLineEdit* edCode = nullptr;
  QPlainTextEdit* meReading = nullptr;
  QPushButton* btnRandom = nullptr;
  QPushButton* btnUse = nullptr;
  QPushButton* btnCancel = nullptr;

  Persona persona;
  std::mt19937 random{std::random_device{}()};
  std::unique_ptr<QSettings> Settings;
};

}  // namespace zendric
