// The code builder's window: the items of a persona in code order at the left, the
// selected item's choices at the right in the reading's own words, and underneath the
// live code and its reading. It holds one sitting of the builder, which decides what a
// step is, what undo takes back and where the code goes; the window draws it and hands
// it every choice.
#pragma once

#include <QDialog>
#include <QSettings>
#include <map>
#include <memory>
#include <optional>
#include <random>

#include "Builder.h"
#include "BuilderForm.h"
#include "BuilderSession.h"

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
  // A list of more items than this has rows of one line (see FillItemList).
  static constexpr std::size_t ManyRows = 300;

  explicit TBuilderDialog(QWidget* parent = nullptr);
  ~TBuilderDialog() override;

  // A new sitting on the reader's field: a post opens the code the found-code bar
  // offers (`chosen`: the index chosen in its list, -1 for none), any other text opens
  // whole; an empty field gives a new persona. Nothing to undo yet. `read`: the field as
  // the window read it, whose reading then serves.
  void Open(const QString& field, std::ptrdiff_t chosen = -1, const FieldModel* read = nullptr);
  // The code as built now.
  QString Code() const;
  const Persona& CurrentPersona() const { return session.Current(); }
  const BuilderSession& Session() const { return session; }
  // What "Use this code" does to the reader's field: nullopt leaves it as it is.
  std::optional<BuilderSession::Splice> Use(const QString& field) const;
  // The text of a row of the item list, or its tooltip: the item's text and the hint
  // the core gives it.
  QString RowText(int row, bool tip) const;
  // Keeps the dialog's size there from now on.
  void RememberSizeIn(std::unique_ptr<QSettings> settings);

  // Takes back the last step, or does again the last one taken back; the item the step
  // was about is selected. A field being typed into ends its step first.
  void Undo();
  void Redo();

  // Cancel, Escape and the close button: with changes, closes only once the user
  // agrees to discard them.
  void reject() override;
  // Sized to the screen it opens on before it shows.
  void setVisible(bool visible) override;

 protected:
  void done(int result) override;
  void showEvent(QShowEvent* event) override;
  // Enter never closes the builder: Ctrl+Enter or the button uses the code.
  void keyPressEvent(QKeyEvent* event) override;
  // The builder's undo keys win over a line edit's own undo; a long text field takes no
  // line break and ends its typing when it loses the focus, as a line edit does.
  bool eventFilter(QObject* watched, QEvent* event) override;

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
  void OpenPasted();

  // Rebuilds the list, then the page of row `select`.
  void FillItemList(int select);
  // Sets a row's text and tooltip.
  void ShowRow(int row);
  void ShowRows();
  void FillPage();
  void RefillPageLater();
  void ShowCode();
  void ShowUndoState();
  // Bounds the size to the room on the screen the dialog opens on.
  void FitScreen();

  // The selected item's form, drawn field by field from the core's description; while
  // the fields keep their shape, only their values are set again.
  void DrawPage();
  QWidget* Control(const FormField& field);
  QWidget* LongField(const FormField& field);
  QWidget* Ticks(const std::vector<const FormField*>& ticks);
  QWidget* Search(const FormField& field, QComboBox* box);
  void SetValues(const QWidget* except);
  // Gives a field of the selected item a value, chosen or typed (typed values of one
  // field go together until it loses the focus); false when the field does not take
  // it, its reason then shown beside the field.
  bool Set(const std::string& key, const QString& value, bool typed = false);
  void ShowWhy(const std::string& key, const QString& why);
  void EndTyping();

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
  // Text typed into a field of the page that the field did not take, and why, by key:
  // it stays in the field until the field takes a value.
  struct Refusal {
    QString Typed;
    QString Why;
  };
  std::map<std::string, Refusal> refused;
  bool redrawAfterTyping = false;  // the page changed shape under the caret
  QLineEdit* edCode = nullptr;
  QPlainTextEdit* meReading = nullptr;
  QPushButton* btnRandom = nullptr;
  QPushButton* btnUndo = nullptr;
  QPushButton* btnRedo = nullptr;
  QPushButton* btnUse = nullptr;
  QPushButton* btnCancel = nullptr;

  BuilderSession session;
  std::mt19937 random{std::random_device{}()};
  std::unique_ptr<QSettings> Settings;
};

}  // namespace zendric
