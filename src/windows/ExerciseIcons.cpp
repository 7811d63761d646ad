#include "windows/ExerciseIcons.h"

#include <QWidget>

void ArrangeExerciseIcons(TMainView& View, int Uebung) {
  const int W = View.HorIm->width();
  const int H = View.HorIm->height();
  const int T = View.HorIm->y();
  const int P = View.IcoPanel->width() / 2;
  const int Left = P - W / 2 - W - 4;
  const int Centre = P - W / 2;
  const int Right = P + W / 2 + 4;
  auto Place = [&](QWidget* Im, int X) {
    Im->setGeometry(X, T, W, H);
    Im->show();
  };
  switch (Uebung) {
  case 1:
    View.MouseIm->hide();
    Place(View.HorIm, Left);
    Place(View.SprechIm, Right);
    View.SchreibIm->hide();
    break;
  case 2:
  case 3:
    Place(View.MouseIm, Right);
    Place(View.HorIm, Left);
    Place(View.SprechIm, Centre);
    View.SchreibIm->hide();
    break;
  case 4:
    View.MouseIm->hide();
    Place(View.HorIm, Left);
    Place(View.SprechIm, Centre);
    Place(View.SchreibIm, Right);
    break;
  default:
    Place(View.MouseIm, Left);
    Place(View.HorIm, Centre);
    Place(View.SprechIm, Right);
    View.SchreibIm->hide();
    break;
  }
}
