#include "windows/Gr.h"

#include "windows/Caption.h"
#include "windows/Fonts.h"
#include "windows/WindowPlace.h"

// "VELM congratulates you! You have learnt the necessary minimum of Morse
// characters. Now consolidate your knowledge and work on your speed."
const char* const TGrForm::Congratulation =
    "        VELM  \xEF\xEE\xE7\xE4\xF0\xE0\xE2\xEB\xFF\xE5\xF2 \xC2\xE0\xF1!       \xC2\xFB "
    "\xE8\xE7\xF3\xF7\xE8\xEB\xE8 \xED\xE5\xEE\xE1\xF5\xEE\xE4\xE8\xEC\xFB\xE9 \xEC\xE8\xED\xE8\xEC\xF3\xEC "
    "\xE7\xED\xE0\xEA\xEE\xE2 \xCC\xEE\xF0\xE7\xE5. \xD2\xE5\xEF\xE5\xF0\xFC \xC2\xE0\xEC "
    "\xEE\xF1\xF2\xE0\xE5\xF2\xF1\xFF \xE7\xE0\xEA\xF0\xE5\xEF\xE8\xF2\xFC \xE7\xED\xE0\xED\xE8\xFF \xE8 "
    "\xEF\xEE\xF0\xE0\xE1\xEE\xF2\xE0\xF2\xFC \xED\xE0\xE4 \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xFC\xFE. ";

TGrForm::TGrForm(QWidget* Parent) : QDialog(Parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName("GrForm");
  SetCaption(this, "");
  setFixedSize(389, 145);
  QPalette P = palette();
  P.setColor(QPalette::Window, QColor(0, 0, 128));
  setPalette(P);
  setAutoFillBackground(true);

  Label1 = new TClickLabel(this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(rect());
  Label1->setFont(PixelFont("Times New Roman", 24, true));
  QPalette LP = Label1->palette();
  LP.setColor(QPalette::WindowText, QColor(255, 0, 0));
  Label1->setPalette(LP);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setWordWrap(true);
  SetCharset(Label1, RUSSIAN_CHARSET);
  SetCaption(Label1, Congratulation);
  Label1->OnClick = [this] { Label1Click(); };
}

void TGrForm::Label1Click() { accept(); }

void TGrForm::showEvent(QShowEvent* Event) {
  CentreOnScreen(*this);
  QDialog::showEvent(Event);
}
