#pragma once

// The main window's controls as designed: each one's kind, its parent, its
// place in that parent in the designed pixels, its caption and its state at
// start. The one table of the window's geometry for the tests that need it.

#include "windows/Controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QSlider>

#include <cstring>
#include <stdexcept>

template <class T> inline bool Is(const QWidget* W) {
  return dynamic_cast<const T*>(W) != nullptr;
}

struct TControl {
  const char* Name;
  bool (*Kind)(const QWidget*); // the class the control must be
  const char* Parent;           // name of the parent control
  QRect Geometry;               // an empty size: the control takes its caption's size
  const char* Caption;          // nullptr: no caption to check
  bool Visible = true;
  bool Enabled = true;
  int Checked = -1; // -1: not a check box or radio button
};

inline const TControl Controls[] = {
    {"InfPanel", Is<TPanel>, "AFormClient", {136, 8, 485, 57}, nullptr},
    {"Label2", Is<QLabel>, "InfPanel", {24, 4, 0, 0}, "Text"},
    {"NormalRB", Is<QRadioButton>, "InfPanel", {4, 22, 65, 17}, "Normal", true, true, 1},
    {"OnlyRB", Is<QRadioButton>, "InfPanel", {4, 39, 65, 17}, "Only", true, true, 0},
    {"Label14", Is<QLabel>, "InfPanel", {80, 7, 57, 15}, "Gruppen"},
    {"GroupLabel", Is<QLabel>, "InfPanel", {82, 31, 37, 18}, "50"},
    {"GroupAD", Is<TSpinButton>, "InfPanel", {120, 31, 17, 18}, nullptr},
    {"IcoPanel", Is<TPanel>, "InfPanel", {148, 8, 185, 41}, nullptr},
    {"HorIm", Is<TImage>, "IcoPanel", {75, 3, 35, 35}, nullptr},
    {"SprechIm", Is<TImage>, "IcoPanel", {113, 3, 35, 35}, nullptr},
    {"MouseIm", Is<TImage>, "IcoPanel", {36, 3, 35, 35}, nullptr},
    {"SchreibIm", Is<TImage>, "IcoPanel", {113, 3, 35, 35}, nullptr, false},
    {"Label15", Is<QLabel>, "InfPanel", {347, 7, 54, 15}, "Lektion"},
    {"LektLabel", Is<QLabel>, "InfPanel", {347, 31, 37, 18}, nullptr},
    {"LektAD", Is<TSpinButton>, "InfPanel", {384, 31, 16, 18}, nullptr},
    {"Label16",
     Is<QLabel>,
     "InfPanel",
     {408, 7, 57, 19},
     "\xDC"
     "bung"},
    {"UebLabel", Is<QLabel>, "InfPanel", {411, 31, 37, 18}, nullptr},
    {"UebAD", Is<TSpinButton>, "InfPanel", {448, 31, 16, 18}, nullptr},
    {"Bevel1", Is<TBevel>, "InfPanel", {344, 29, 59, 22}, nullptr},
    {"Bevel2", Is<TBevel>, "InfPanel", {408, 29, 59, 22}, nullptr},
    {"Bevel3", Is<TBevel>, "InfPanel", {80, 29, 59, 22}, nullptr},

    {"BdPanel", Is<TPanel>, "AFormClient", {8, 8, 121, 281}, nullptr},
    {"GroupBox1", Is<QGroupBox>, "BdPanel", {8, 8, 105, 105}, "Morsezeichen"},
    {"BRB", Is<QRadioButton>, "GroupBox1", {8, 16, 94, 17}, "Buchstaben", true, true, 1},
    {"ZiffRB", Is<QRadioButton>, "GroupBox1", {8, 37, 94, 17}, "Ziffern", true, false, 0},
    {"ZeichRB", Is<QRadioButton>, "GroupBox1", {8, 59, 94, 17}, "Zeichen", true, false, 0},
    {"AllRB", Is<QRadioButton>, "GroupBox1", {8, 80, 94, 17}, "Alle", true, false, 0},
    {"Scroller1", Is<TScroller>, "BdPanel", {49, 117, 23, 13}, nullptr},
    {"SpPanel", Is<TPanel>, "BdPanel", {12, 133, 97, 113}, nullptr},
    {"Label6", Is<QLabel>, "SpPanel", {8, 0, 81, 15}, "Speed"},
    {"SpeedLB", Is<QLabel>, "SpPanel", {17, 16, 49, 18}, "40"},
    {"SpeedUD", Is<TUpDown>, "SpPanel", {65, 16, 15, 18}, nullptr},
    {"Label7", Is<QLabel>, "SpPanel", {38, 31, 0, 0}, "- / ."},
    {"VerhLB", Is<QLabel>, "SpPanel", {17, 52, 49, 18}, "3.0"},
    {"VerhaltUD", Is<TUpDown>, "SpPanel", {65, 52, 15, 18}, nullptr},
    {"Label10", Is<QLabel>, "SpPanel", {8, 72, 81, 15}, "Abstand"},
    {"AbstandLB", Is<QLabel>, "SpPanel", {17, 88, 49, 18}, "1.0"},
    {"AbstandUD", Is<TUpDown>, "SpPanel", {64, 88, 15, 18}, nullptr},
    {"TonPanel", Is<TPanel>, "BdPanel", {12, 133, 97, 113}, nullptr},
    {"Label3", Is<QLabel>, "TonPanel", {6, 8, 33, 15}, "Ton"},
    {"Label9", Is<QLabel>, "TonPanel", {46, 8, 47, 15}, "Atacke"},
    {"TnBar", Is<QSlider>, "TonPanel", {6, 24, 33, 78}, nullptr},
    {"FrontBar", Is<QSlider>, "TonPanel", {53, 24, 33, 78}, nullptr},
    {"TestBtn", Is<QPushButton>, "BdPanel", {32, 256, 57, 17}, "Test"},
    {"FullT", Is<QCheckBox>, "BdPanel", {8, 256, 41, 17}, "Full", false, true, 0},

    {"KeyPanel", Is<TPanel>, "AFormClient", {136, 72, 486, 177}, nullptr},
    {"TimeLabel", Is<QLabel>, "KeyPanel", {16, 16, 49, 19}, "00:00", false},
    {"Label4", Is<QLabel>, "KeyPanel", {18, 4, 449, 24}, "Die neuen Morsezeichen"},
    {"R1Panel", Is<TPanel>, "KeyPanel", {0, 0, 485, 177}, nullptr},
    {"Label1", Is<QLabel>, "R1Panel", {18, 8, 449, 24}, "Die neuen Morsezeichen"},
    {"MerkWLabel", Is<QLabel>, "R1Panel", {104, 32, 277, 60}, ""},
    {"Bevel4", Is<TBevel>, "R1Panel", {102, 32, 281, 60}, nullptr},
    {"TimePanel", Is<TPanel>, "KeyPanel", {178, 28, 129, 121}, nullptr, false},
    {"RepBtn", Is<QPushButton>, "KeyPanel", {408, 152, 57, 17}, "Repeat", false},

    {"MerkCheckBox",
     Is<QCheckBox>,
     "AFormClient",
     {152, 260, 97, 17},
     "Merkw\xF6rter",
     true,
     true,
     1},
    {"StartBtn", Is<QPushButton>, "AFormClient", {298, 256, 75, 25}, "Start"},
    {"WeiterBtn", Is<QPushButton>, "AFormClient", {378, 256, 75, 25}, "Weiter", true, false},
    {"Bevel5", Is<TBevel>, "AFormClient", {494, 256, 35, 24}, nullptr},
    {"Image1", Is<TImage>, "AFormClient", {496, 258, 30, 20}, nullptr},
    {"Image2", Is<TImage>, "AFormClient", {496, 258, 30, 20}, nullptr},
    {"TimeCB", Is<QCheckBox>, "AFormClient", {544, 260, 97, 17}, "Timer", true, true, 1},
};

inline const TControl& ControlOf(const char* Name) {
  for (const TControl& C : Controls)
    if (std::strcmp(C.Name, Name) == 0)
      return C;
  throw std::out_of_range(Name);
}

// The control's rectangle in the window's client area ("AFormClient").
inline QRect ClientRect(const char* Name) {
  const TControl& C = ControlOf(Name);
  if (std::strcmp(C.Parent, "AFormClient") == 0)
    return C.Geometry;
  return C.Geometry.translated(ClientRect(C.Parent).topLeft());
}
