#include "windows/WindowPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget& Window) {
  QScreen* Screen = Window.screen() != nullptr ? Window.screen() : QGuiApplication::primaryScreen();
  if (Screen == nullptr)
    return;
  QRect Frame = Window.frameGeometry();
  Frame.moveCenter(Screen->availableGeometry().center());
  Window.move(Frame.topLeft());
}
