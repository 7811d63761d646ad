#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <array>

#include "windows/Controls.h"
#include "windows/MButUnit.h"

class QAction;
class QActionGroup;

// The strip under the designed window (622 x 293) that holds StatusLabel.
constexpr int StatusStripHeight = 36;

// The controls of the main training window, by their names. The window
// creates them (BuildMainView) and hands this view to the parts of the
// program that show or read them; each control's objectName is its name.
struct TMainView {
  QMainWindow* Form = nullptr;

  // Top area
  TPanel* InfPanel = nullptr;
  QLabel* Label2 = nullptr;
  QRadioButton* NormalRB = nullptr;
  QRadioButton* OnlyRB = nullptr;
  QLabel* Label14 = nullptr;
  QLabel* GroupLabel = nullptr;
  TSpinButton* GroupAD = nullptr;
  TPanel* IcoPanel = nullptr;
  TImage* HorIm = nullptr;
  TImage* SprechIm = nullptr;
  TImage* MouseIm = nullptr;
  TImage* SchreibIm = nullptr;
  QLabel* Label15 = nullptr;
  QLabel* LektLabel = nullptr;
  TSpinButton* LektAD = nullptr;
  QLabel* Label16 = nullptr;
  QLabel* UebLabel = nullptr;
  TSpinButton* UebAD = nullptr;
  TBevel* Bevel1 = nullptr;
  TBevel* Bevel2 = nullptr;
  TBevel* Bevel3 = nullptr;

  // Left column
  TPanel* BdPanel = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QRadioButton* BRB = nullptr;
  QRadioButton* ZiffRB = nullptr;
  QRadioButton* ZeichRB = nullptr;
  QRadioButton* AllRB = nullptr;
  TScroller* Scroller1 = nullptr;
  TPanel* SpPanel = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* SpeedLB = nullptr;
  TUpDown* SpeedUD = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* VerhLB = nullptr;
  TUpDown* VerhaltUD = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* AbstandLB = nullptr;
  TUpDown* AbstandUD = nullptr;
  TPanel* TonPanel = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label9 = nullptr;
  QSlider* TnBar = nullptr;
  QSlider* FrontBar = nullptr;
  QPushButton* TestBtn = nullptr;
  QCheckBox* FullT = nullptr;

  // Answer area
  TPanel* KeyPanel = nullptr;
  QLabel* TimeLabel = nullptr;
  QLabel* Label4 = nullptr;
  TPanel* R1Panel = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* MerkWLabel = nullptr;
  TBevel* Bevel4 = nullptr;
  TPanel* TimePanel = nullptr;
  QPushButton* RepBtn = nullptr;

  // Bottom row
  QCheckBox* MerkCheckBox = nullptr;
  QPushButton* StartBtn = nullptr;
  QPushButton* WeiterBtn = nullptr;
  TBevel* Bevel5 = nullptr;
  TImage* Image1 = nullptr;
  TImage* Image2 = nullptr;
  QCheckBox* TimeCB = nullptr;
  // Under the bottom row: what the end of a run decided, where nothing else
  // says it; the typed copy's line takes its place while a run collects it.
  QLabel* StatusLabel = nullptr;

  // Menu
  QMenuBar* MainMenu1 = nullptr;
  QMenu* MMenu = nullptr;
  QAction* N1 = nullptr;
  QAction* MExit = nullptr;
  QMenu* Keyboard1 = nullptr;
  QMenu* TastBelegung1 = nullptr;
  QActionGroup* LayoutGroup = nullptr;  // radio group 2 of the layout items
  QAction* English = nullptr;
  QAction* German = nullptr;
  QAction* Russish = nullptr;
  QAction* Turkish = nullptr;
  QMenu* Hilfe1 = nullptr;
  QAction* Contence1 = nullptr;
  QAction* N2 = nullptr;
  QAction* ab = nullptr;

  // Keys, created by the start-up sequence (CreateKeys), not with the window.
  std::array<TMButton*, 50> Tasten{};
  std::array<TMButton*, 5> NeuTasten{};
};

// Creates every control of the main window on Form with its built-in caption,
// font, colour, range, position and state, and the menu. Handlers are left to
// the window.
void BuildMainView(TMainView& View, QMainWindow& Form);

// Creates the five large keys on R1Panel and then the fifty keys on KeyPanel,
// hidden and disabled.
void CreateKeys(TMainView& View, const TMButtonContext* Context = nullptr);
