#pragma once

#include <QFont>

// Fonts of the windows. The windows are laid out in pixels, so font heights
// are given in pixels; where the program speaks of a font "size" it means
// points on a screen of 96 pixels per inch, as the keys and MerkWLabel use.

QFont PixelFont(const char* Family, int Pixels, bool Bold = false, bool Italic = false);

// The size in points of a font whose height is set in pixels (or in points).
int FontSize(const QFont& Font);
// Sets the height from a size in points: Round(Size * 96 / 72) pixels.
void SetFontSize(QFont& Font, int Size);

// The families the windows name ("Times New Roman", "Arial", "Courier",
// "MS Sans Serif") are replaced, where they are not installed, by metric-
// compatible free families, so that texts keep the widths the layout expects.
void InstallFontSubstitutes();
