#pragma once

#include <QPixmap>
#include <QSize>

// The program's pictures, drawn at run time so that they need no files and
// stay sharp at the sizes the windows give them. Backgrounds are transparent
// except where a picture fills its place.

// The four exercise kinds, 35 x 35, for IcoPanel (green while idle, red while
// a session runs): listen, speak, answer with the mouse, write down.
QPixmap HorPicture();
QPixmap SprechPicture();
QPixmap MousePicture();
QPixmap SchreibPicture();

// The square-wave switch, 30 x 20: Image1 offers the square wave, Image2 the
// way back to the sine.
QPixmap SquareWavePicture();
QPixmap SineWavePicture();

// Glyphs of StartBtn and WeiterBtn, 16 x 16.
QPixmap StartGlyph();
QPixmap WeiterGlyph();

// The about box: its background picture and its small emblem (33 x 33),
// which is also the windows' icon.
QPixmap AboutBackground(QSize Size);
QPixmap EmblemPicture();
