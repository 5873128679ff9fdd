// The code builder's window: the items of a persona in code order at the left, the
// selected item's choices at the right in the reading's own words, and underneath the
// live code and its reading.
#pragma once

#include <QDialog>
#include <QSettings>
#include <memory>
#include <random>

#include "Builder.h"

class QComboBox;
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
  // After a choice changed: the list row, the code and the reading.
  void ChoicesChanged(ItemChoices choices);
  void ShowCode();

  // Page builders, one per kind of item (BuilderPages.cpp).
  void AddSpeciesPage(const SpeciesChoices& c);
  void AddSpeciesPart(const SpeciesPart& part, bool other, std::size_t at);
  void AddRatedPage(const TagRow& tag, const RatedChoices& c);
  void AddSplitPage(const TagRow& tag, const SplitChoices& c);
  void AddGenderPage(const GenderChoices& c);
  void AddMeasurePage(const TagRow& tag, const MeasureChoices& c);
  void AddColourPage(const ColourChoices& c);
  void AddColourChain(const std::vector<ColourLink>& chain, std::size_t group, bool changesTo);
  void AddBreathPage(const BreathChoices& c);
  void AddDietPage(const TagRow& tag, const DietChoices& c);
  void AddAppendagesPage(const AppendageChoices& c);
  void AddSkinPage(const SkinChoices& c);
  void AddKeptPage(const PersonaItem& item);
  // A combo box of the offered ratings of a tag's scale, by their texts.
  QComboBox* RatingBox(const TagRow& tag, std::int32_t rating, const QString& name = QStringLiteral("cbRating"));
  // A button on the page that edits the selected item's choices of kind C.
  template <typename C, typename F>
  QPushButton* EditButton(const QString& text, const QString& name, F edit);
  // Changes the selected item's choices of kind C as they are now (not as they were
  // when the page was built); `rebuild` when the page must show the change.
  template <typename C, typename F>
  void Edit(F edit, bool rebuild = false);

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
