#pragma once

#include <QRect>

#include <cstring>
#include <stdexcept>

// Where each control of the main window sits: its parent and its rectangle
// in that parent, in the designed pixels. An empty size: the control takes
// its caption's size. The one table of the window's geometry for the tests
// that need it.
struct TPlace {
  const char* Name;
  const char* Parent;
  QRect Geometry;
};

inline constexpr TPlace MainWindowPlaces[] = {
    {"InfPanel", "AFormClient", {136, 8, 485, 57}},
    {"Label2", "InfPanel", {24, 4, 0, 0}},
    {"NormalRB", "InfPanel", {4, 22, 65, 17}},
    {"OnlyRB", "InfPanel", {4, 39, 65, 17}},
    {"Label14", "InfPanel", {80, 7, 57, 15}},
    {"GroupLabel", "InfPanel", {82, 31, 37, 18}},
    {"GroupAD", "InfPanel", {120, 31, 17, 18}},
    {"IcoPanel", "InfPanel", {148, 8, 185, 41}},
    {"HorIm", "IcoPanel", {75, 3, 35, 35}},
    {"SprechIm", "IcoPanel", {113, 3, 35, 35}},
    {"MouseIm", "IcoPanel", {36, 3, 35, 35}},
    {"SchreibIm", "IcoPanel", {113, 3, 35, 35}},
    {"Label15", "InfPanel", {347, 7, 54, 15}},
    {"LektLabel", "InfPanel", {347, 31, 37, 18}},
    {"LektAD", "InfPanel", {384, 31, 16, 18}},
    {"Label16", "InfPanel", {408, 7, 57, 19}},
    {"UebLabel", "InfPanel", {411, 31, 37, 18}},
    {"UebAD", "InfPanel", {448, 31, 16, 18}},
    {"Bevel1", "InfPanel", {344, 29, 59, 22}},
    {"Bevel2", "InfPanel", {408, 29, 59, 22}},
    {"Bevel3", "InfPanel", {80, 29, 59, 22}},
    {"BdPanel", "AFormClient", {8, 8, 121, 281}},
    {"GroupBox1", "BdPanel", {8, 8, 105, 105}},
    {"BRB", "GroupBox1", {8, 16, 94, 17}},
    {"ZiffRB", "GroupBox1", {8, 37, 94, 17}},
    {"ZeichRB", "GroupBox1", {8, 59, 94, 17}},
    {"AllRB", "GroupBox1", {8, 80, 94, 17}},
    {"Scroller1", "BdPanel", {49, 117, 23, 13}},
    {"SpPanel", "BdPanel", {12, 133, 97, 113}},
    {"Label6", "SpPanel", {8, 0, 81, 15}},
    {"SpeedLB", "SpPanel", {17, 16, 49, 18}},
    {"SpeedUD", "SpPanel", {65, 16, 15, 18}},
    {"Label7", "SpPanel", {38, 31, 0, 0}},
    {"VerhLB", "SpPanel", {17, 52, 49, 18}},
    {"VerhaltUD", "SpPanel", {65, 52, 15, 18}},
    {"Label10", "SpPanel", {8, 72, 81, 15}},
    {"AbstandLB", "SpPanel", {17, 88, 49, 18}},
    {"AbstandUD", "SpPanel", {64, 88, 15, 18}},
    {"TonPanel", "BdPanel", {12, 133, 97, 113}},
    {"Label3", "TonPanel", {6, 8, 33, 15}},
    {"Label9", "TonPanel", {46, 8, 47, 15}},
    {"TnBar", "TonPanel", {6, 24, 33, 78}},
    {"FrontBar", "TonPanel", {53, 24, 33, 78}},
    {"TestBtn", "BdPanel", {32, 256, 57, 17}},
    {"FullT", "BdPanel", {8, 256, 41, 17}},
    {"KeyPanel", "AFormClient", {136, 72, 486, 177}},
    {"TimeLabel", "KeyPanel", {16, 16, 49, 19}},
    {"Label4", "KeyPanel", {18, 4, 449, 24}},
    {"R1Panel", "KeyPanel", {0, 0, 485, 177}},
    {"Label1", "R1Panel", {18, 8, 449, 24}},
    {"MerkWLabel", "R1Panel", {104, 32, 277, 60}},
    {"Bevel4", "R1Panel", {102, 32, 281, 60}},
    {"TimePanel", "KeyPanel", {178, 28, 129, 121}},
    {"RepBtn", "KeyPanel", {408, 152, 57, 17}},
    {"MerkCheckBox", "AFormClient", {152, 260, 97, 17}},
    {"StartBtn", "AFormClient", {298, 256, 75, 25}},
    {"WeiterBtn", "AFormClient", {378, 256, 75, 25}},
    {"Bevel5", "AFormClient", {494, 256, 35, 24}},
    {"Image1", "AFormClient", {496, 258, 30, 20}},
    {"Image2", "AFormClient", {496, 258, 30, 20}},
    {"TimeCB", "AFormClient", {544, 260, 97, 17}},
};

inline const TPlace& PlaceOf(const char* Name) {
  for (const TPlace& P : MainWindowPlaces)
    if (std::strcmp(P.Name, Name) == 0)
      return P;
  throw std::out_of_range(Name);
}

// The control's rectangle in the window's client area ("AFormClient").
inline QRect ClientRect(const char* Name) {
  const TPlace& P = PlaceOf(Name);
  if (std::strcmp(P.Parent, "AFormClient") == 0)
    return P.Geometry;
  return P.Geometry.translated(ClientRect(P.Parent).topLeft());
}
