#include "windows/MainView.h"

#include "windows/Caption.h"
#include "windows/Fonts.h"
#include "windows/Pictures.h"

#include <QAction>
#include <QActionGroup>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace {

// The face colour of the window and its panels.
const QColor Face(192, 192, 192);
const QColor Green(0, 128, 0);
const QColor Lime(0, 255, 0);
const QColor Blue(0, 0, 255);

template <class T> T* Make(QWidget* Parent, const char* Name, int Left, int Top, int Width = -1, int Height = -1) {
  auto* W = new T(Parent);
  W->setObjectName(Name);
  if (Width < 0) {
    W->adjustSize();
    W->move(Left, Top);
  } else {
    W->setGeometry(Left, Top, Width, Height);
  }
  return W;
}

void Colors(QWidget* W, const QColor& Text, const QColor& Back = QColor()) {
  QPalette P = W->palette();
  P.setColor(QPalette::WindowText, Text);
  P.setColor(QPalette::ButtonText, Text);
  if (Back.isValid()) {
    P.setColor(QPalette::Window, Back);
    W->setAutoFillBackground(true);
  }
  W->setPalette(P);
}

QLabel* Caption(QWidget* Parent, const char* Name, int Left, int Top, int Width, int Height, const char* Text) {
  auto* L = Make<QLabel>(Parent, Name, Left, Top, Width, Height);
  SetCaption(L, Text);
  return L;
}

// A label that takes the size of its caption.
QLabel* AutoCaption(QWidget* Parent, const char* Name, int Left, int Top, const char* Text) {
  auto* L = new QLabel(Parent);
  L->setObjectName(Name);
  SetCaption(L, Text);
  L->adjustSize();
  L->move(Left, Top);
  return L;
}

// A picture of IcoPanel or the square-wave switch.
TImage* Picture(QWidget* Parent, const char* Name, int Left, int Top, int Width, int Height, const QPixmap& Pixmap) {
  auto* I = Make<TImage>(Parent, Name, Left, Top, Width, Height);
  I->setPixmap(Pixmap);
  return I;
}

// The track bars: a thumb of the length a bar asks for (property
// "velmThumb", in pixels) and tick marks in a dark grey that shows on the
// face colour.
class TTrackStyle final : public QProxyStyle {
public:
  using QProxyStyle::QProxyStyle;
  int pixelMetric(PixelMetric Metric, const QStyleOption* Option, const QWidget* Widget) const override {
    if (Metric == PM_SliderLength && Widget != nullptr && Widget->property("velmThumb").isValid())
      return Widget->property("velmThumb").toInt();
    return QProxyStyle::pixelMetric(Metric, Option, Widget);
  }
  void drawComplexControl(ComplexControl Control, const QStyleOptionComplex* Option, QPainter* Painter,
                          const QWidget* Widget) const override {
    if (Control != CC_Slider) {
      QProxyStyle::drawComplexControl(Control, Option, Painter, Widget);
      return;
    }
    auto* Slider = qstyleoption_cast<const QStyleOptionSlider*>(Option);
    if (Slider == nullptr) {
      QProxyStyle::drawComplexControl(Control, Option, Painter, Widget);
      return;
    }
    QStyleOptionSlider Copy(*Slider);
    const QColor Ticks = (Slider->state & State_Enabled) ? QColor(64, 64, 64) : QColor(128, 128, 128);
    Copy.subControls &= ~SC_SliderTickmarks;
    QProxyStyle::drawComplexControl(Control, &Copy, Painter, Widget);
    // Tick marks on both sides, one per step.
    const int Span = proxy()->pixelMetric(PM_SliderSpaceAvailable, Slider, Widget);
    const int Thumb = proxy()->pixelMetric(PM_SliderLength, Slider, Widget);
    const QRect Groove = proxy()->subControlRect(CC_Slider, Slider, SC_SliderGroove, Widget);
    Painter->save();
    Painter->setPen(Ticks);
    const int Interval = std::max(1, Slider->tickInterval);
    for (int V = Slider->minimum; V <= Slider->maximum; V += Interval) {
      const int Y = Slider->rect.y() + Thumb / 2 +
                    sliderPositionFromValue(Slider->minimum, Slider->maximum, V, Span, Slider->upsideDown);
      Painter->drawLine(Groove.left() - 7, Y, Groove.left() - 3, Y);
      Painter->drawLine(Groove.right() + 3, Y, Groove.right() + 7, Y);
    }
    Painter->restore();
  }
};

QSlider* TrackBar(QWidget* Parent, const char* Name, int Left, int Min, int Max, int Position) {
  auto* B = Make<QSlider>(Parent, Name, Left, 24, 33, 78);
  B->setOrientation(Qt::Vertical);
  // The lowest position at the top: the tone bar puts the highest pitch and
  // the attack bar the softest ramp there.
  B->setInvertedAppearance(true);
  B->setInvertedControls(true);
  B->setRange(Min, Max);
  B->setSingleStep(1);
  B->setPageStep(1);
  B->setTickPosition(QSlider::TicksBothSides);
  B->setTickInterval(1);
  B->setValue(Position);
  // Reached by Tab; the arrow keys move the thumb the way they point.
  B->setFocusPolicy(Qt::TabFocus);
  return B;
}

// A number display: white bold digits on a colour.
QLabel* Display(QWidget* Parent, const char* Name, int Left, int Top, int Width, int Height,
                const char* Text, const QColor& TextColor, const QColor& Back) {
  auto* L = Caption(Parent, Name, Left, Top, Width, Height, Text);
  L->setFont(PixelFont("Times New Roman", 16, true));
  L->setAlignment(Qt::AlignCenter);
  Colors(L, TextColor, Back);
  return L;
}

TUpDown* UpDown(QWidget* Parent, const char* Name, int Left, int Top, int Min, int Max, int Step, int Position) {
  auto* U = Make<TUpDown>(Parent, Name, Left, Top, 15, 18);
  U->SetRange(Min, Max);
  U->SetIncrement(Step);
  U->SetPosition(Position);
  return U;
}

QAction* Item(QMenu* Menu, const char* Name, const char* Text) {
  auto* A = Menu->addAction(QString());
  A->setObjectName(Name);
  SetCaption(A, Text);
  return A;
}

QAction* Separator(QMenu* Menu, const char* Name) {
  QAction* A = Menu->addSeparator();
  A->setObjectName(Name);
  return A;
}

} // namespace

namespace {

// Top area.
void BuildTopArea(TMainView& V, QWidget* Client) {
  V.InfPanel = Make<TPanel>(Client, "InfPanel", 136, 8, 485, 57);
  V.InfPanel->setFont(PixelFont("Times New Roman", 13, true));
  QWidget* Inf = V.InfPanel;
  V.Label2 = AutoCaption(Inf, "Label2", 24, 4, "Text");
  V.NormalRB = Make<QRadioButton>(Inf, "NormalRB", 4, 22, 65, 17);
  SetCaption(V.NormalRB, "Normal");
  V.NormalRB->setChecked(true);
  V.OnlyRB = Make<QRadioButton>(Inf, "OnlyRB", 4, 39, 65, 17);
  SetCaption(V.OnlyRB, "Only");
  V.Bevel3 = Make<TBevel>(Inf, "Bevel3", 80, 29, 59, 22);
  V.Label14 = Caption(Inf, "Label14", 80, 7, 57, 15, "Gruppen");
  V.Label14->setAlignment(Qt::AlignHCenter);
  V.GroupLabel = Display(Inf, "GroupLabel", 82, 31, 37, 18, "50", Qt::white, Green);
  V.GroupAD = Make<TSpinButton>(Inf, "GroupAD", 120, 31, 17, 18);
  V.IcoPanel = Make<TPanel>(Inf, "IcoPanel", 148, 8, 185, 41);
  V.IcoPanel->SetColor(Green);
  V.HorIm = Picture(V.IcoPanel, "HorIm", 75, 3, 35, 35, HorPicture());
  V.SprechIm = Picture(V.IcoPanel, "SprechIm", 113, 3, 35, 35, SprechPicture());
  V.MouseIm = Picture(V.IcoPanel, "MouseIm", 36, 3, 35, 35, MousePicture());
  V.SchreibIm = Picture(V.IcoPanel, "SchreibIm", 113, 3, 35, 35, SchreibPicture());
  V.SchreibIm->hide();
  V.Bevel1 = Make<TBevel>(Inf, "Bevel1", 344, 29, 59, 22);
  V.Label15 = Caption(Inf, "Label15", 347, 7, 54, 15, "Lektion");
  V.Label15->setAlignment(Qt::AlignHCenter);
  V.LektLabel = Display(Inf, "LektLabel", 347, 31, 37, 18, "1", Qt::white, Green);
  V.LektAD = Make<TSpinButton>(Inf, "LektAD", 384, 31, 16, 18);
  V.Bevel2 = Make<TBevel>(Inf, "Bevel2", 408, 29, 59, 22);
  V.Label16 = Caption(Inf, "Label16", 408, 7, 57, 19, "\xDC" "bung");
  V.Label16->setAlignment(Qt::AlignHCenter);
  V.UebLabel = Display(Inf, "UebLabel", 411, 31, 37, 18, "1", Qt::white, Green);
  V.UebAD = Make<TSpinButton>(Inf, "UebAD", 448, 31, 16, 18);
}

// Left column.
void BuildLeftColumn(TMainView& V, QWidget* Client) {
  V.BdPanel = Make<TPanel>(Client, "BdPanel", 8, 8, 121, 281);
  QWidget* Bd = V.BdPanel;
  V.GroupBox1 = Make<QGroupBox>(Bd, "GroupBox1", 8, 8, 105, 105);
  V.GroupBox1->setFont(PixelFont("Times New Roman", 12, true));
  SetCaption(V.GroupBox1, "Morsezeichen");
  V.BRB = Make<QRadioButton>(V.GroupBox1, "BRB", 8, 16, 94, 17);
  SetCaption(V.BRB, "Buchstaben");
  V.BRB->setChecked(true);
  V.ZiffRB = Make<QRadioButton>(V.GroupBox1, "ZiffRB", 8, 37, 94, 17);
  SetCaption(V.ZiffRB, "Ziffern");
  V.ZiffRB->setEnabled(false);
  V.ZeichRB = Make<QRadioButton>(V.GroupBox1, "ZeichRB", 8, 59, 94, 17);
  SetCaption(V.ZeichRB, "Zeichen");
  V.ZeichRB->setEnabled(false);
  V.AllRB = Make<QRadioButton>(V.GroupBox1, "AllRB", 8, 80, 94, 17);
  SetCaption(V.AllRB, "Alle");
  V.AllRB->setEnabled(false);
  V.Scroller1 = Make<TScroller>(Bd, "Scroller1", 49, 117, 23, 13);

  V.TonPanel = Make<TPanel>(Bd, "TonPanel", 12, 133, 97, 113);
  V.TonPanel->setFont(PixelFont("Times New Roman", 12, true));
  V.Label3 = Caption(V.TonPanel, "Label3", 6, 8, 33, 15, "Ton");
  V.Label9 = Caption(V.TonPanel, "Label9", 46, 8, 47, 15, "Atacke");
  V.TnBar = TrackBar(V.TonPanel, "TnBar", 6, 8, 38, 23);
  V.FrontBar = TrackBar(V.TonPanel, "FrontBar", 53, 0, 12, 6);
  {
    // Owned by the window, which frees it after the controls.
    auto* Track = new TTrackStyle();
    Track->setParent(V.Form);
    V.TnBar->setProperty("velmThumb", 12);
    V.TnBar->setStyle(Track);
    V.FrontBar->setStyle(Track);
  }

  V.SpPanel = Make<TPanel>(Bd, "SpPanel", 12, 133, 97, 113);
  V.SpPanel->setFont(PixelFont("Times New Roman", 12, true));
  V.Label6 = Caption(V.SpPanel, "Label6", 8, 0, 81, 15, "Speed");
  V.SpeedLB = Display(V.SpPanel, "SpeedLB", 17, 16, 49, 18, "40", Lime, Blue);
  V.SpeedUD = UpDown(V.SpPanel, "SpeedUD", 65, 16, 30, 150, 5, 30);
  V.Label7 = new QLabel(V.SpPanel);
  V.Label7->setObjectName("Label7");
  V.Label7->setFont(PixelFont("Times New Roman", 16, true));
  SetCaption(V.Label7, "- / .");
  V.Label7->adjustSize();
  V.Label7->move(38, 31);
  V.VerhLB = Display(V.SpPanel, "VerhLB", 17, 52, 49, 18, "3.0", Lime, Blue);
  V.VerhaltUD = UpDown(V.SpPanel, "VerhaltUD", 65, 52, 20, 45, 5, 30);
  V.Label10 = Caption(V.SpPanel, "Label10", 8, 72, 81, 15, "Abstand");
  V.AbstandLB = Display(V.SpPanel, "AbstandLB", 17, 88, 49, 18, "1.0", Lime, Blue);
  V.AbstandUD = UpDown(V.SpPanel, "AbstandUD", 64, 88, 10, 60, 5, 10);
  V.SpPanel->raise();

  V.TestBtn = Make<QPushButton>(Bd, "TestBtn", 32, 256, 57, 17);
  SetCaption(V.TestBtn, "Test");
  V.FullT = Make<QCheckBox>(Bd, "FullT", 8, 256, 41, 17);
  SetCaption(V.FullT, "Full");
  V.FullT->hide();
}

// Answer area.
void BuildAnswerArea(TMainView& V, QWidget* Client) {
  V.KeyPanel = Make<TPanel>(Client, "KeyPanel", 136, 72, 486, 177);
  V.KeyPanel->setFont(PixelFont("Times New Roman", 23, true));
  Colors(V.KeyPanel, QColor(255, 0, 0));
  QWidget* Keys = V.KeyPanel;
  V.TimeLabel = Caption(Keys, "TimeLabel", 16, 16, 49, 19, "00:00");
  V.TimeLabel->setFont(PixelFont("Times New Roman", 16, true));
  Colors(V.TimeLabel, Qt::black);
  V.TimeLabel->hide();
  V.Label4 = Caption(Keys, "Label4", 18, 4, 449, 24, "Die neuen Morsezeichen");
  Colors(V.Label4, Qt::white);
  V.R1Panel = Make<TPanel>(Keys, "R1Panel", 0, 0, 485, 177);
  V.Label1 = Caption(V.R1Panel, "Label1", 18, 8, 449, 24, "Die neuen Morsezeichen");
  Colors(V.Label1, Qt::white, Face);
  V.Bevel4 = Make<TBevel>(V.R1Panel, "Bevel4", 102, 32, 281, 60);
  V.MerkWLabel = Caption(V.R1Panel, "MerkWLabel", 104, 32, 277, 60, "");
  V.MerkWLabel->setWordWrap(true);
  V.MerkWLabel->setAlignment(Qt::AlignCenter);
  // The text keeps the red of KeyPanel's font.
  Colors(V.MerkWLabel, QColor(255, 0, 0), QColor(255, 255, 0));
  V.TimePanel = Make<TPanel>(Keys, "TimePanel", 178, 28, 129, 121);
  V.TimePanel->SetColor(QColor(0, 0, 128));
  V.TimePanel->CaptionLabel()->setObjectName("TimePanelCaption");
  V.TimePanel->CaptionLabel()->setFont(PixelFont("Times New Roman", 97, true));
  Colors(V.TimePanel->CaptionLabel(), QColor(255, 0, 0));
  SetCaption(V.TimePanel->CaptionLabel(), "0");
  V.TimePanel->hide();
  V.RepBtn = Make<QPushButton>(Keys, "RepBtn", 408, 152, 57, 17);
  SetCaption(V.RepBtn, "Repeat");
  // Its own small type: KeyPanel's 23-pixel bold would cut the caption in
  // the 17-pixel-high button.
  V.RepBtn->setFont(PixelFont("MS Sans Serif", 11));
  // Not the keys' red in every state: black when it can be pressed, grey
  // when not.
  QPalette RepColours = V.RepBtn->palette();
  RepColours.setColor(QPalette::Active, QPalette::ButtonText, Qt::black);
  RepColours.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::black);
  RepColours.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
  V.RepBtn->setPalette(RepColours);
  V.RepBtn->hide();
}

// Bottom row.
void BuildBottomRow(TMainView& V, QWidget* Client) {
  V.MerkCheckBox = Make<QCheckBox>(Client, "MerkCheckBox", 152, 260, 97, 17);
  V.MerkCheckBox->setFont(PixelFont("Times New Roman", 13, true));
  SetCaption(V.MerkCheckBox, "Merkw\xF6rter");
  V.MerkCheckBox->setChecked(true);
  V.StartBtn = Make<QPushButton>(Client, "StartBtn", 298, 256, 75, 25);
  SetCaption(V.StartBtn, "Start");
  V.StartBtn->setIcon(StartGlyph());
  V.WeiterBtn = Make<QPushButton>(Client, "WeiterBtn", 378, 256, 75, 25);
  SetCaption(V.WeiterBtn, "Weiter");
  V.WeiterBtn->setIcon(WeiterGlyph());
  V.WeiterBtn->setEnabled(false);
  V.Bevel5 = Make<TBevel>(Client, "Bevel5", 494, 256, 35, 24);
  V.Image2 = Picture(Client, "Image2", 496, 258, 30, 20, SineWavePicture());
  V.Image2->setCursor(Qt::PointingHandCursor);
  V.Image1 = Picture(Client, "Image1", 496, 258, 30, 20, SquareWavePicture());
  V.Image1->setCursor(Qt::PointingHandCursor);
  V.Image1->raise();
  V.TimeCB = Make<QCheckBox>(Client, "TimeCB", 544, 260, 97, 17);
  SetCaption(V.TimeCB, "Timer");
  V.TimeCB->setChecked(true);
  V.StatusLabel = Make<QLabel>(Client, "StatusLabel", 8, 293, 606, StatusStripHeight - 4);
  V.StatusLabel->setFont(PixelFont("Times New Roman", 12));
  V.StatusLabel->setFrameShape(QFrame::Panel);
  V.StatusLabel->setFrameShadow(QFrame::Sunken);
  V.StatusLabel->setIndent(4);
  // Two lines hold the longest text of every language.
  V.StatusLabel->setWordWrap(true);
  V.StatusLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

// Menu.
void BuildMenu(TMainView& V, QMainWindow& Form) {
  V.MainMenu1 = new QMenuBar(&Form);
  V.MainMenu1->setObjectName("MainMenu1");
  {
    QPalette P = V.MainMenu1->palette();
    P.setColor(QPalette::Window, Face);
    P.setColor(QPalette::Button, Face);
    V.MainMenu1->setPalette(P);
  }
  Form.setMenuBar(V.MainMenu1);
  V.MMenu = V.MainMenu1->addMenu(QString());
  V.MMenu->setObjectName("MMenu");
  SetCaption(V.MMenu, "Menu");
  V.N1 = Separator(V.MMenu, "N1");
  V.MExit = Item(V.MMenu, "MExit", "Exit");
  // The layout menu is where the learner chooses the course: all four items
  // are shown.
  V.Keyboard1 = V.MainMenu1->addMenu(QString());
  V.Keyboard1->setObjectName("Keyboard1");
  SetCaption(V.Keyboard1, "Keyboard");
  V.TastBelegung1 = V.Keyboard1->addMenu(QString());
  V.TastBelegung1->setObjectName("TastBelegung1");
  SetCaption(V.TastBelegung1, "Layout");
  V.LayoutGroup = new QActionGroup(&Form);
  V.LayoutGroup->setObjectName("LayoutGroup");
  V.LayoutGroup->setExclusive(true);
  struct TLayoutItem {
    QAction** Slot;
    const char* Name;
    const char* Text;
    int Tag;
  };
  for (const TLayoutItem& L : {TLayoutItem{&V.English, "English", "Englisch", 601},
                               TLayoutItem{&V.German, "German", "Deutsch", 602},
                               TLayoutItem{&V.Russish, "Russish", "Russisch", 603},
                               TLayoutItem{&V.Turkish, "Turkish", "Turkisch", 604}}) {
    QAction* A = Item(V.TastBelegung1, L.Name, L.Text);
    A->setCheckable(true);
    A->setData(L.Tag);
    V.LayoutGroup->addAction(A);
    *L.Slot = A;
  }
  V.English->setChecked(true);
  V.Hilfe1 = V.MainMenu1->addMenu(QString());
  V.Hilfe1->setObjectName("Hilfe1");
  SetCaption(V.Hilfe1, "?");
  V.Contence1 = Item(V.Hilfe1, "Contence1", "Help");
  V.N2 = Separator(V.Hilfe1, "N2");
  V.ab = Item(V.Hilfe1, "ab", "About");
}

} // namespace

void BuildMainView(TMainView& V, QMainWindow& Form) {
  V.Form = &Form;
  Form.setObjectName("AForm");
  SetCaption(&Form, "VELM-MTR 2.12");
  auto* Client = new QWidget(&Form);
  Client->setObjectName("AFormClient");
  Client->setFixedSize(622, 293 + StatusStripHeight);
  Client->setFont(PixelFont("Times New Roman", 11));
  {
    QPalette P = Client->palette();
    P.setColor(QPalette::Window, Face);
    P.setColor(QPalette::Button, Face);
    // Disabled captions in grey, readable on the face colour.
    for (QPalette::ColorRole Role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
      P.setColor(QPalette::Disabled, Role, QColor(128, 128, 128));
    Client->setPalette(P);
    Client->setAutoFillBackground(true);
  }
  Form.setCentralWidget(Client);

  BuildTopArea(V, Client);
  BuildLeftColumn(V, Client);
  BuildAnswerArea(V, Client);
  BuildBottomRow(V, Client);
  BuildMenu(V, Form);

  Form.setFixedSize(622, 293 + StatusStripHeight + V.MainMenu1->sizeHint().height());

  // Tab goes through the left column top down: the speed panel's arrows,
  // then the tone panel's bars, which lie behind them.
  QWidget::setTabOrder(V.Scroller1, V.SpeedUD);
  QWidget::setTabOrder(V.SpeedUD, V.VerhaltUD);
  QWidget::setTabOrder(V.VerhaltUD, V.AbstandUD);
  QWidget::setTabOrder(V.AbstandUD, V.TnBar);
  QWidget::setTabOrder(V.TnBar, V.FrontBar);
  QWidget::setTabOrder(V.FrontBar, V.TestBtn);
}

void CreateKeys(TMainView& V, const TMButtonContext* Context) {
  const int Top = V.MerkWLabel->y() + V.MerkWLabel->height() + 10;
  for (size_t I = 0; I < V.NeuTasten.size(); ++I) {
    auto* K = new TMButton(V.R1Panel, Context);
    K->setObjectName(QString("NeuTasten%1").arg(I + 1));
    K->setGeometry(0, Top, 70, 65);
    QFont F = V.KeyPanel->font();
    SetFontSize(F, 32);
    K->setFont(F);
    SetCaption(K, std::to_string(I + 1));
    K->SetGroupIndex(77);
    K->SetAllowAllUp(true);
    K->setEnabled(false);
    K->hide();
    V.NeuTasten[I] = K;
  }
  for (size_t I = 0; I < V.Tasten.size(); ++I) {
    auto* K = new TMButton(V.KeyPanel, Context);
    K->setObjectName(QString("Tasten%1").arg(I + 1));
    K->setGeometry(0, 0, 30, 30);
    K->SetAllowAllUp(true);
    K->setEnabled(false);
    K->hide();
    V.Tasten[I] = K;
  }
}
