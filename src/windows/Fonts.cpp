#include "windows/Fonts.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {
constexpr int PixelsPerInch = 96;
constexpr int PointsPerInch = 72;

// a * b / c rounded to the nearest, halves away from zero.
int MulDiv(int A, int B, int C) {
  const long long P = static_cast<long long>(A) * B;
  const long long Half = C / 2;
  return static_cast<int>(P >= 0 ? (P + Half) / C : (P - Half) / C);
}
} // namespace

QFont PixelFont(const char* Family, int Pixels, bool Bold, bool Italic) {
  QFont F(QString::fromLatin1(Family));
  F.setPixelSize(Pixels);
  F.setBold(Bold);
  F.setItalic(Italic);
  return F;
}

int FontSize(const QFont& Font) {
  if (Font.pixelSize() > 0)
    return MulDiv(Font.pixelSize(), PointsPerInch, PixelsPerInch);
  return static_cast<int>(std::lround(Font.pointSizeF()));
}

void SetFontSize(QFont& Font, int Size) {
  Font.setPixelSize(std::max(1, MulDiv(Size, PixelsPerInch, PointsPerInch)));
}

void InstallFontSubstitutes() {
  QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                             {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos")});
  QFont::insertSubstitutions(QStringLiteral("Arial"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
  QFont::insertSubstitutions(QStringLiteral("Courier"),
                             {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"),
                              QStringLiteral("Nimbus Mono PS")});
}
