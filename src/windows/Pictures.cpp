#include "windows/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

// Drawn at twice the size and scaled down, so that thin strokes stay smooth.
constexpr int Oversample = 2;

template <class TDraw> QPixmap Draw(QSize Size, TDraw&& Paint, QColor Fill = Qt::transparent) {
  QPixmap Big(Size * Oversample);
  Big.fill(Fill);
  {
    QPainter P(&Big);
    P.setRenderHint(QPainter::Antialiasing);
    P.scale(Oversample, Oversample);
    Paint(P);
  }
  return Big.scaled(Size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QPen Outline(qreal Width = 1.6) { return QPen(Qt::black, Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

} // namespace

QPixmap HorPicture() {
  // Headphones.
  return Draw(QSize(35, 35), [](QPainter& P) {
    P.setPen(QPen(Qt::black, 4.2, Qt::SolidLine, Qt::RoundCap));
    P.drawArc(QRectF(6.5, 5, 22, 24), 0 * 16, 180 * 16);
    P.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    P.drawArc(QRectF(6.5, 5, 22, 24), 10 * 16, 160 * 16);
    P.setPen(Outline());
    P.setBrush(Qt::white);
    P.drawRoundedRect(QRectF(3, 16, 8, 13), 3, 3);
    P.drawRoundedRect(QRectF(24, 16, 8, 13), 3, 3);
    P.setBrush(QColor(40, 40, 40));
    P.drawRoundedRect(QRectF(9, 18, 3.5, 9), 1.5, 1.5);
    P.drawRoundedRect(QRectF(22.5, 18, 3.5, 9), 1.5, 1.5);
  });
}

QPixmap SprechPicture() {
  // A speech bubble holding a dot and a dash.
  return Draw(QSize(35, 35), [](QPainter& P) {
    QPainterPath Bubble;
    Bubble.addRoundedRect(QRectF(2.5, 4, 30, 20), 8, 8);
    QPainterPath Tail;
    Tail.moveTo(8, 21);
    Tail.lineTo(6, 31);
    Tail.lineTo(16, 22);
    Tail.closeSubpath();
    P.setPen(Outline());
    P.setBrush(Qt::white);
    P.drawPath(Bubble.united(Tail));
    P.setPen(Qt::NoPen);
    P.setBrush(Qt::black);
    P.drawEllipse(QPointF(10.5, 14), 2.6, 2.6);
    P.drawRoundedRect(QRectF(16, 11.6, 11, 4.8), 2.4, 2.4);
  });
}

QPixmap MousePicture() {
  // A computer mouse with its cable.
  return Draw(QSize(35, 35), [](QPainter& P) {
    P.setPen(QPen(Qt::black, 1.6));
    P.setBrush(Qt::NoBrush);
    QPainterPath Cable;
    Cable.moveTo(17.5, 9);
    Cable.cubicTo(17.5, 3, 26, 5, 27, 1);
    P.drawPath(Cable);
    P.setPen(Outline());
    P.setBrush(Qt::white);
    P.drawRoundedRect(QRectF(9, 9, 17, 24), 8.5, 8.5);
    P.drawLine(QPointF(9.5, 18), QPointF(25.5, 18));
    P.drawLine(QPointF(17.5, 9), QPointF(17.5, 18));
    P.setBrush(QColor(255, 220, 0));
    P.drawRoundedRect(QRectF(9.8, 9.8, 7.7, 8.2), 3.5, 3.5);
  });
}

QPixmap SchreibPicture() {
  // A sheet with lines of text and a pencil.
  return Draw(QSize(35, 35), [](QPainter& P) {
    P.setPen(Outline(1.3));
    P.setBrush(Qt::white);
    P.drawRect(QRectF(4, 3, 21, 29));
    P.setPen(QPen(QColor(60, 60, 160), 1.4));
    for (int Line = 0; Line < 5; ++Line)
      P.drawLine(QPointF(7, 8 + 5 * Line), QPointF(Line == 4 ? 14 : 22, 8 + 5 * Line));
    P.save();
    P.translate(24, 22);
    P.rotate(-50);
    P.setPen(Outline(1.2));
    P.setBrush(QColor(255, 200, 0));
    P.drawRect(QRectF(-2, -3, 16, 6));
    P.setBrush(QColor(255, 170, 170));
    P.drawRect(QRectF(14, -3, 3.5, 6));
    QPainterPath Tip;
    Tip.moveTo(-2, -3);
    Tip.lineTo(-8, 0);
    Tip.lineTo(-2, 3);
    Tip.closeSubpath();
    P.setBrush(QColor(240, 210, 160));
    P.drawPath(Tip);
    P.setBrush(Qt::black);
    P.drawEllipse(QPointF(-7.2, 0), 1.1, 1.1);
    P.restore();
  });
}

namespace {
QPixmap WavePicture(bool Square) {
  return Draw(
      QSize(30, 20),
      [Square](QPainter& P) {
        P.setPen(QPen(QColor(160, 160, 160), 0.8));
        P.drawLine(QPointF(2, 10), QPointF(28, 10));
        QPainterPath Wave;
        if (Square) {
          Wave.moveTo(2, 15);
          for (int Half = 0; Half < 4; ++Half) {
            const qreal X = 2 + 6.5 * Half;
            const qreal Y = Half % 2 == 0 ? 5 : 15;
            Wave.lineTo(X, Y);
            Wave.lineTo(X + 6.5, Y);
          }
          Wave.lineTo(28, 15);
        } else {
          for (int I = 0; I <= 52; ++I) {
            const qreal X = 2 + I * 0.5;
            const qreal Y = 10 - 5.5 * std::sin(2 * std::numbers::pi * I / 26.0);
            if (I == 0)
              Wave.moveTo(X, Y);
            else
              Wave.lineTo(X, Y);
          }
        }
        P.setPen(QPen(QColor(0, 0, 160), 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        P.drawPath(Wave);
      },
      QColor(255, 255, 224));
}
} // namespace

QPixmap SquareWavePicture() { return WavePicture(true); }
QPixmap SineWavePicture() { return WavePicture(false); }

QPixmap StartGlyph() {
  return Draw(QSize(16, 16), [](QPainter& P) {
    QPainterPath Play;
    Play.moveTo(4, 2.5);
    Play.lineTo(13.5, 8);
    Play.lineTo(4, 13.5);
    Play.closeSubpath();
    P.setPen(QPen(QColor(0, 90, 0), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    P.setBrush(QColor(0, 190, 0));
    P.drawPath(Play);
  });
}

QPixmap WeiterGlyph() {
  return Draw(QSize(16, 16), [](QPainter& P) {
    QPainterPath Arrow;
    Arrow.moveTo(1.5, 6);
    Arrow.lineTo(8, 6);
    Arrow.lineTo(8, 2.5);
    Arrow.lineTo(14.5, 8);
    Arrow.lineTo(8, 13.5);
    Arrow.lineTo(8, 10);
    Arrow.lineTo(1.5, 10);
    Arrow.closeSubpath();
    P.setPen(QPen(QColor(0, 0, 110), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    P.setBrush(QColor(40, 90, 230));
    P.drawPath(Arrow);
  });
}

QPixmap AboutBackground(QSize Size) {
  QPixmap Pixmap(Size);
  QPainter P(&Pixmap);
  P.setRenderHint(QPainter::Antialiasing);
  QLinearGradient Shade(0, 0, 0, Size.height());
  Shade.setColorAt(0, QColor(232, 140, 24));
  Shade.setColorAt(1, QColor(168, 80, 0));
  P.fillRect(Pixmap.rect(), Shade);
  // A faint band of dots and dashes along the bottom.
  P.setPen(Qt::NoPen);
  P.setBrush(QColor(255, 255, 255, 46));
  const char* const Band = ".- -... -.-. -.. . ..-. --. .... .. .--- -.- .-.. -- -. --- .--. --.- .-.";
  qreal X = 8;
  const qreal Y = Size.height() - 22;
  for (const char* C = Band; *C != '\0' && X < Size.width() - 8; ++C) {
    if (*C == '.') {
      P.drawEllipse(QPointF(X + 3, Y + 3), 3, 3);
      X += 10;
    } else if (*C == '-') {
      P.drawRoundedRect(QRectF(X, Y, 16, 6), 3, 3);
      X += 22;
    } else {
      X += 10;
    }
  }
  P.setPen(QPen(QColor(255, 255, 255, 90), 1));
  P.setBrush(Qt::NoBrush);
  P.drawRect(QRectF(3.5, 3.5, Size.width() - 7, Size.height() - 7));
  return Pixmap;
}

QPixmap EmblemPicture() {
  // A round badge with a dot and a dash.
  return Draw(QSize(33, 33), [](QPainter& P) {
    P.setPen(QPen(QColor(0, 0, 128), 2));
    P.setBrush(QColor(255, 230, 40));
    P.drawEllipse(QRectF(2, 2, 29, 29));
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(0, 0, 128));
    P.drawEllipse(QPointF(10, 16.5), 3, 3);
    P.drawRoundedRect(QRectF(15, 13.5, 12, 6), 3, 3);
  });
}
