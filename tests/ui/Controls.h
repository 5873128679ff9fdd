// The controls of the two windows, found by their object names as any tool outside the
// windows finds them: the windows keep their widgets to themselves.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTextEdit>
#include <QToolButton>
#include <QtGlobal>

#include "AboutDialogForm.h"
#include "ErrorList.h"
#include "HyperLink.h"
#include "MainScreenForm.h"

namespace zendric::testing {

template <class T>
T* Named(const QObject* window, const char* name) {
  T* found = window->findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("no control named %s", name);
  return found;
}

struct ReaderControls {
  explicit ReaderControls(const TMainScreen& w)
      : pnTop(Named<QWidget>(&w, "pnTop")),
        meZendric(Named<QPlainTextEdit>(&w, "meZendric")),
        pnButton(Named<QWidget>(&w, "pnButton")),
        btnAbout(Named<QToolButton>(&w, "btnAbout")),
        btnMake(Named<QToolButton>(&w, "btnMake")),
        lbErrors(Named<TErrorList>(&w, "lbErrors")),
        sbCodeList(Named<QScrollArea>(&w, "sbCodeList")),
        Panel1(Named<QWidget>(&w, "Panel1")) {}

  QWidget* pnTop;
  QPlainTextEdit* meZendric;
  QWidget* pnButton;
  QToolButton* btnAbout;
  QToolButton* btnMake;
  TErrorList* lbErrors;
  QScrollArea* sbCodeList;
  QWidget* Panel1;
};

struct AboutControls {
  explicit AboutControls(const TAboutDialog& d)
      : bvIcon(Named<QFrame>(&d, "bvIcon")),
        imIcon(Named<QLabel>(&d, "imIcon")),
        Label1(Named<QLabel>(&d, "Label1")),
        Label4(Named<QLabel>(&d, "Label4")),
        Label2(Named<QLabel>(&d, "Label2")),
        HyperLink1(Named<THyperLink>(&d, "HyperLink1")),
        Label3(Named<QLabel>(&d, "Label3")),
        HyperLink2(Named<THyperLink>(&d, "HyperLink2")),
        Label5(Named<QLabel>(&d, "Label5")),
        lbZendric(Named<QLabel>(&d, "lbZendric")),
        btnRead(Named<QPushButton>(&d, "btnRead")),
        meAbout(Named<QTextEdit>(&d, "meAbout")),
        OKButton(Named<QPushButton>(&d, "OKButton")) {}

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

}  // namespace zendric::testing
