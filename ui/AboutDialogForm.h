// The About box: the program's name and version, two links, and a sample code that
// its Read button loads into the reader window.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QTextEdit>
#include <QPushButton>
#include <string_view>

#include "HyperLink.h"

namespace zendric {

class TMainScreen;

// One line that exercises most tags and reads without a single message.
inline constexpr std::string_view SampleCode =
    "ZN2.Dw+Hew Gm/f L12m6t20w W- T2t Cgr^|bk,bye+ Bfl|/sm# A(r++v-) J~ M+2 O(r+3v?) Nm H+ $- "
    "Fc/v+ Pl4wt Sks,wl Tc+[alchemy] V++ Q- Fr+^ Ac+ Df+ R* S? U! I+#";

class TAboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutDialog(TMainScreen* reader);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateEmblem();
  void CreateCredits();
  void CreateSample();
  void CreateDescription();
  void CreateButtons();
  void DescribeControls();
  void PlaceControls();
  void btnReadClick();

  TMainScreen* Reader;
  QFrame* bvIcon;
  QLabel* imIcon;
  QLabel* Label1;
  QLabel* Label4;
  QLabel* Label2;
  THyperLink* HyperLink1;
  QLabel* Label3;
  THyperLink* HyperLink2;
  QLabel* Label5;
  QLabel* lbZendric;
  QPushButton* btnRead;
  QTextEdit* meAbout;
  QPushButton* OKButton;
};

}  // namespace zendric
