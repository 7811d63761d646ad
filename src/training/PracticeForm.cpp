#include "training/PracticeForm.h"

#include "course/CopyScore.h"
#include "course/CourseState.h"
#include "sound/Player.h"
#include "base/Reporter.h"
#include "storage/AudioFile.h"
#include "base/CodePage.h"
#include "storage/Texts.h"
#include "training/Practice.h"
#include "training/Reaction.h"
#include "base/Clock.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <tuple>

namespace {

// One second of sound per block: long enough that its end, reported ahead,
// leaves time to place the next; short enough that the first starts at once.
constexpr size_t BlockSamples = 11025;
constexpr size_t MaxLearnerFileBytes = 10u * 1024 * 1024;

constexpr std::array<TPracticeLine, 6> KindLines = {PracticeGroups,   PracticeWords,  PracticeCallsigns,
                                                    PracticeContacts, PracticeAbbrev, PracticeOwnText};

QString Html(const QString& Text) {
  return Text.toHtmlEscaped();
}

// The settings of two conditions alike, whatever their seeds.
bool SameSettings(const practice::TBand& A, const practice::TBand& B) {
  return A.Noise == B.Noise && A.SnrDb == B.SnrDb && A.QsbDepthDb == B.QsbDepthDb &&
         A.QsbPeriodSec == B.QsbPeriodSec && A.Qrm == B.Qrm && A.QrnPerMin == B.QrnPerMin &&
         A.FistPct == B.FistPct;
}

} // namespace

TPracticeForm::TPracticeForm(TPlayer& Player, TMessageReporter& Reporter, QWidget* Parent)
    : QDialog(Parent), FPlayer(Player), FReporter(Reporter) {
  setObjectName("PracticeForm");
  setModal(true);
  auto* Grid = new QGridLayout(this);
  int Row = 0;
  auto AddLabel = [this, Grid](const char* Name, int R, int C) {
    auto* L = new QLabel(this);
    L->setObjectName(Name);
    Grid->addWidget(L, R, C);
    return L;
  };
  auto Spin = [this](const char* Name, int Min, int Max, int Value) {
    auto* S = new QSpinBox(this);
    S->setObjectName(Name);
    S->setRange(Min, Max);
    S->setValue(Value);
    return S;
  };

  AddLabel("KindLabel", Row, 0);
  KindCB = new QComboBox(this);
  KindCB->setObjectName("KindCB");
  for (size_t I = 0; I < KindLines.size(); ++I)
    KindCB->addItem(QString());
  Grid->addWidget(KindCB, Row, 1, 1, 2);
  FileBtn = new QPushButton(this);
  FileBtn->setObjectName("FileBtn");
  Grid->addWidget(FileBtn, Row, 3);
  ++Row;
  FileLabel = new QLabel(this);
  FileLabel->setObjectName("FileLabel");
  Grid->addWidget(FileLabel, Row, 1, 1, 3);
  ++Row;
  ReachedCheckBox = new QCheckBox(this);
  ReachedCheckBox->setObjectName("ReachedCheckBox");
  ReachedCheckBox->setChecked(true);
  Grid->addWidget(ReachedCheckBox, Row, 0, 1, 4);
  ++Row;
  AddLabel("DepthLabel", Row, 0);
  DepthSE = Spin("DepthSE", 50, 10000, 1000);
  DepthSE->setSingleStep(50);
  Grid->addWidget(DepthSE, Row, 1);
  ++Row;
  AddLabel("LengthLabel", Row, 0);
  LengthSE = Spin("LengthSE", 1, 60, 2);
  Grid->addWidget(LengthSE, Row, 1);
  LengthUnitCB = new QComboBox(this);
  LengthUnitCB->setObjectName("LengthUnitCB");
  LengthUnitCB->addItem(QString());
  LengthUnitCB->addItem(QString());
  Grid->addWidget(LengthUnitCB, Row, 2);
  ++Row;
  AddLabel("CharWpmLabel", Row, 0);
  CharWpmSE = Spin("CharWpmSE", practice::MinCharWpm, practice::MaxCharWpm, 25);
  Grid->addWidget(CharWpmSE, Row, 1);
  ++Row;
  AddLabel("EffWpmLabel", Row, 0);
  EffWpmSE = Spin("EffWpmSE", practice::MinEffectiveWpm, 25, 15);
  Grid->addWidget(EffWpmSE, Row, 1);
  CpmLabel = new QLabel(this);
  CpmLabel->setObjectName("CpmLabel");
  Grid->addWidget(CpmLabel, Row - 1, 2, 2, 2);
  ++Row;
  AddLabel("ToneLabel", Row, 0);
  ToneSE = Spin("ToneSE", practice::MinToneHz, practice::MaxToneHz, 600);
  ToneSE->setSingleStep(10);
  Grid->addWidget(ToneSE, Row, 1);
  ++Row;
  AddLabel("CopyLabel", Row, 0);
  CopyCB = new QComboBox(this);
  CopyCB->setObjectName("CopyCB");
  for (int I = 0; I < 3; ++I)
    CopyCB->addItem(QString());
  Grid->addWidget(CopyCB, Row, 1, 1, 2);
  ++Row;

  // The band conditions, each off by default: two columns of three.
  BandGroup = new QGroupBox(this);
  BandGroup->setObjectName("BandGroup");
  auto* BandGrid = new QGridLayout(BandGroup);
  const practice::TBand Off;
  NoiseCB = new QCheckBox(BandGroup);
  NoiseCB->setObjectName("NoiseCB");
  BandGrid->addWidget(NoiseCB, 0, 0);
  SnrSE = Spin("SnrSE", practice::MinSnrDb, practice::MaxSnrDb, Off.SnrDb);
  QsbDepthSE = Spin("QsbDepthSE", 0, practice::MaxQsbDepthDb, Off.QsbDepthDb);
  QsbPeriodSE =
      Spin("QsbPeriodSE", practice::MinQsbPeriodSec, practice::MaxQsbPeriodSec, Off.QsbPeriodSec);
  QrmSE = Spin("QrmSE", 0, practice::MaxQrm, Off.Qrm);
  QrnSE = Spin("QrnSE", 0, practice::MaxQrnPerMin, Off.QrnPerMin);
  FistSE = Spin("FistSE", 0, practice::MaxFistPct, Off.FistPct);
  const std::array<std::tuple<const char*, QSpinBox*, int, int>, 6> BandPlaces = {
      {{nullptr, SnrSE, 0, 1},
       {"QsbDepthLabel", QsbDepthSE, 1, 1},
       {"QsbPeriodLabel", QsbPeriodSE, 2, 1},
       {"QrmLabel", QrmSE, 0, 3},
       {"QrnLabel", QrnSE, 1, 3},
       {"FistLabel", FistSE, 2, 3}}};
  for (const auto& [LabelName, Box, R, C] : BandPlaces) {
    if (LabelName != nullptr) {
      auto* L = new QLabel(BandGroup);
      L->setObjectName(LabelName);
      L->setBuddy(Box);
      BandGrid->addWidget(L, R, C - 1);
    }
    Box->setParent(BandGroup);
    BandGrid->addWidget(Box, R, C);
  }
  BandGrid->setColumnStretch(1, 1);
  BandGrid->setColumnStretch(3, 1);
  SnrSE->setEnabled(false);
  connect(NoiseCB, &QCheckBox::toggled, this,
          [this](bool On) { SnrSE->setEnabled(On && !FRunning); });
  Grid->addWidget(BandGroup, Row, 0, 1, 4);
  ++Row;

  auto* Buttons = new QHBoxLayout;
  auto Button = [this, Buttons](const char* Name) {
    auto* B = new QPushButton(this);
    B->setObjectName(Name);
    B->setAutoDefault(false);
    Buttons->addWidget(B);
    return B;
  };
  StartBtn = Button("StartBtn");
  StopBtn = Button("StopBtn");
  RepeatBtn = Button("RepeatBtn");
  SlowerBtn = Button("SlowerBtn");
  FasterBtn = Button("FasterBtn");
  SaveBtn = Button("SaveBtn");
  CloseBtn = Button("CloseBtn");
  Grid->addLayout(Buttons, Row, 0, 1, 4);
  ++Row;

  CopyEdit = new QLineEdit(this);
  CopyEdit->setObjectName("CopyEdit");
  Grid->addWidget(CopyEdit, Row, 0, 1, 4);
  // Each character typed keeps its moment, for its reaction; an edit
  // inside the line keeps the moments before it.
  connect(CopyEdit, &QLineEdit::textEdited, this, [this](const QString& Now) {
    const int64_t AtUs = NowUs ? NowUs() : TSteadyClock::RealNowUs();
    const auto Length = static_cast<size_t>(Now.size());
    if (Length < FTypedUs.size())
      FTypedUs.resize(Length);
    while (FTypedUs.size() < Length)
      FTypedUs.push_back(AtUs);
  });
  ++Row;
  TextView = new QTextEdit(this);
  TextView->setObjectName("TextView");
  TextView->setReadOnly(true);
  TextView->setMinimumHeight(120);
  Grid->addWidget(TextView, Row, 0, 1, 4);
  WordList = new QListWidget(this);
  WordList->setObjectName("WordList");
  WordList->setFlow(QListView::LeftToRight);
  WordList->setWrapping(true);
  WordList->setMinimumHeight(120);
  WordList->hide();
  Grid->addWidget(WordList, Row, 0, 1, 4);
  ++Row;
  ResultLabel = new QLabel(this);
  ResultLabel->setObjectName("ResultLabel");
  ResultLabel->setWordWrap(true);
  Grid->addWidget(ResultLabel, Row, 0, 1, 4);

  StopBtn->setEnabled(false);
  RepeatBtn->setEnabled(false);
  SlowerBtn->setEnabled(false);
  FasterBtn->setEnabled(false);
  CopyEdit->setEnabled(false);
  FBlock.resize(BlockSamples);

  AskTextFile = [this] { return QFileDialog::getOpenFileName(this, QString(), QString(), T(PracticeTextFilter)); };
  AskAudioFile = [this] {
    return QFileDialog::getSaveFileName(this, T(PracticeSaveTitle), QStringLiteral("practice.mp3"),
                                        T(PracticeAudioFilter));
  };

  connect(StartBtn, &QPushButton::clicked, this, [this] { StartBtnClick(); });
  connect(StopBtn, &QPushButton::clicked, this, [this] { StopBtnClick(); });
  connect(RepeatBtn, &QPushButton::clicked, this, [this] { RepeatBtnClick(); });
  connect(SlowerBtn, &QPushButton::clicked, this, [this] { SlowerBtnClick(); });
  connect(FasterBtn, &QPushButton::clicked, this, [this] { FasterBtnClick(); });
  connect(SaveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
  connect(FileBtn, &QPushButton::clicked, this, [this] { FileBtnClick(); });
  connect(CloseBtn, &QPushButton::clicked, this, [this] { close(); });
  connect(CharWpmSE, &QSpinBox::valueChanged, this, [this] { SpeedsChanged(); });
  connect(EffWpmSE, &QSpinBox::valueChanged, this, [this] { SpeedsChanged(); });
  connect(KindCB, &QComboBox::currentIndexChanged, this, [this] { KindChanged(); });
  connect(LengthUnitCB, &QComboBox::currentIndexChanged, this, [this](int Unit) {
    // Minutes or characters: each its own range.
    if (Unit == 0)
      LengthSE->setRange(1, 60);
    else
      LengthSE->setRange(10, 20000);
  });
  connect(WordList, &QListWidget::itemChanged, this, [this] { HeadTicked(); });
  ApplyTexts();
  SpeedsChanged();
  KindChanged();
}

TPracticeForm::~TPracticeForm() {
  FSaveCancel = true;
  if (FSaver.joinable())
    FSaver.join();
}

QString TPracticeForm::T(size_t Line) const {
  return ToUnicode(PracticeLineText(static_cast<TPracticeLine>(Line)), FCharset);
}

void TPracticeForm::Prepare(uint8_t Charset) {
  FCharset = Charset;
  ToneSE->setValue(practice::ToneOfKlang().ToneHz);
  ApplyTexts();
}

void TPracticeForm::ApplyTexts() {
  setWindowTitle(T(PracticeTitle));
  auto Label = [this](const char* Name, size_t Line) {
    if (auto* L = findChild<QLabel*>(Name))
      L->setText(T(Line));
  };
  Label("KindLabel", PracticeKindLabel);
  Label("DepthLabel", PracticeDepthLabel);
  Label("LengthLabel", PracticeLengthLabel);
  Label("CharWpmLabel", PracticeCharWpm);
  Label("EffWpmLabel", PracticeEffWpm);
  Label("ToneLabel", PracticeTone);
  Label("CopyLabel", PracticeCopyLabel);
  for (size_t I = 0; I < KindLines.size(); ++I)
    KindCB->setItemText(static_cast<int>(I), T(KindLines[I]));
  LengthUnitCB->setItemText(0, T(PracticeMinutes));
  LengthUnitCB->setItemText(1, T(PracticeChars));
  CopyCB->setItemText(0, T(PracticeTyped));
  CopyCB->setItemText(1, T(PracticeHead));
  CopyCB->setItemText(2, T(PracticePaper));
  ReachedCheckBox->setText(T(PracticeReached));
  const std::array<std::pair<QPushButton*, TPracticeLine>, 8> Captions = {{{StartBtn, PracticeStart},
                                                                           {StopBtn, PracticeStop},
                                                                           {RepeatBtn, PracticeRepeat},
                                                                           {SlowerBtn, PracticeSlower},
                                                                           {FasterBtn, PracticeFaster},
                                                                           {SaveBtn, PracticeSave},
                                                                           {FileBtn, PracticeFile},
                                                                           {CloseBtn, PracticeClose}}};
  for (const auto& [Btn, Line] : Captions) {
    Btn->setText(T(Line));
    Btn->setAccessibleName(T(Line));
  }
  const std::array<std::pair<QWidget*, TPracticeLine>, 10> Hints = {{{KindCB, PracticeHintKind},
                                                                     {ReachedCheckBox, PracticeHintReached},
                                                                     {DepthSE, PracticeHintDepth},
                                                                     {LengthSE, PracticeHintLength},
                                                                     {CharWpmSE, PracticeHintCharWpm},
                                                                     {EffWpmSE, PracticeHintEffWpm},
                                                                     {ToneSE, PracticeHintTone},
                                                                     {CopyCB, PracticeHintCopy},
                                                                     {CopyEdit, PracticeHintCopyEdit},
                                                                     {SaveBtn, PracticeHintSave}}};
  for (const auto& [W, Line] : Hints) {
    W->setToolTip(T(Line));
    W->setAccessibleDescription(T(Line));
  }
  const auto B = [this](TBandLine Line) { return ToUnicode(BandLineText(Line), FCharset); };
  BandGroup->setTitle(B(BandTitle));
  NoiseCB->setText(B(BandNoise));
  const std::array<std::tuple<QWidget*, const char*, TBandLine, TBandLine>, 7> BandTexts = {
      {{NoiseCB, nullptr, BandNoise, BandHintNoise},
       {SnrSE, nullptr, BandNoise, BandHintSnr},
       {QsbDepthSE, "QsbDepthLabel", BandQsbDepth, BandHintQsbDepth},
       {QsbPeriodSE, "QsbPeriodLabel", BandQsbPeriod, BandHintQsbPeriod},
       {QrmSE, "QrmLabel", BandQrm, BandHintQrm},
       {QrnSE, "QrnLabel", BandQrn, BandHintQrn},
       {FistSE, "FistLabel", BandFist, BandHintFist}}};
  for (const auto& [W, LabelName, Caption, Hint] : BandTexts) {
    if (LabelName != nullptr)
      if (auto* L = findChild<QLabel*>(LabelName))
        L->setText(B(Caption));
    // A screen reader names each control by its caption, without the colon.
    QString Name = B(Caption);
    if (Name.endsWith(QLatin1Char(':')))
      Name.chop(1);
    W->setAccessibleName(Name);
    W->setToolTip(B(Hint));
    W->setAccessibleDescription(B(Hint));
  }
  SpeedsChanged();
}

practice::TTiming TPracticeForm::Timing() const {
  practice::TTiming Timing;
  Timing.CharWpm = CharWpmSE->value();
  Timing.EffectiveWpm = EffWpmSE->value();
  return Timing.Clamped();
}

practice::TBand TPracticeForm::Band() const {
  practice::TBand Now;
  Now.Noise = NoiseCB->isChecked();
  Now.SnrDb = SnrSE->value();
  Now.QsbDepthDb = QsbDepthSE->value();
  Now.QsbPeriodSec = QsbPeriodSE->value();
  Now.Qrm = QrmSE->value();
  Now.QrnPerMin = QrnSE->value();
  Now.FistPct = FistSE->value();
  return Now;
}

void TPracticeForm::SetBand(const practice::TBand& Wanted) {
  // The spin boxes' ranges clamp what is out of range.
  NoiseCB->setChecked(Wanted.Noise);
  SnrSE->setValue(Wanted.SnrDb);
  QsbDepthSE->setValue(Wanted.QsbDepthDb);
  QsbPeriodSE->setValue(Wanted.QsbPeriodSec);
  QrmSE->setValue(Wanted.Qrm);
  QrnSE->setValue(Wanted.QrnPerMin);
  FistSE->setValue(Wanted.FistPct);
  FKeptBand = Band();
}

void TPracticeForm::KeepBandIfChanged() {
  const practice::TBand Now = Band();
  if (SameSettings(Now, FKeptBand))
    return;
  FKeptBand = Now;
  if (KeepBand)
    KeepBand(Now);
}

std::unique_ptr<practice::TBandMix> TPracticeForm::MakeMix() {
  KeepBandIfChanged();
  practice::TTone Tone = practice::ToneOfKlang();
  Tone.ToneHz = ToneSE->value();
  FBand = Band();
  FBand.Seed = DrawSeed ? DrawSeed() : static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch());
  const std::string Alphabet =
      course::Kurs.AlphabetFile.empty() ? std::string("Eng.txt") : course::Kurs.AlphabetFile;
  return std::make_unique<practice::TBandMix>(
      practice::CodesOf(FText, sound::Codetafel, FCharset), Timing(), Tone, FBand,
      FBand.Qrm > 0 ? practice::OtherStationTexts(Alphabet, sound::Codetafel, FCharset, FBand.Seed)
                    : std::vector<practice::TCodeSequence>{});
}

std::vector<QWidget*> TPracticeForm::RunLocked() const {
  return {StartBtn,  RepeatBtn, SlowerBtn, FasterBtn, SaveBtn,  KindCB,   FileBtn,
          CharWpmSE, EffWpmSE,  ToneSE,    CopyCB,    LengthSE, BandGroup};
}

void TPracticeForm::SpeedsChanged() {
  // The effective speed never passes the character speed.
  EffWpmSE->setMaximum(CharWpmSE->value());
  const practice::TTiming Now = Timing();
  CpmLabel->setText(T(PracticeCpmFormat)
                        .arg(Now.CharWpm * practice::CpmPerWpm)
                        .arg(Now.EffectiveWpm * practice::CpmPerWpm));
}

void TPracticeForm::KindChanged() {
  const auto Kind = static_cast<course::TPracticeKind>(KindCB->currentIndex());
  const bool Own = Kind == course::TPracticeKind::Text;
  FileBtn->setEnabled(Own && !FRunning);
  FileLabel->setVisible(Own);
  DepthSE->setEnabled(Kind == course::TPracticeKind::Words);
  ReachedCheckBox->setEnabled(!Own);
}

void TPracticeForm::FileBtnClick() {
  const QString Name = AskTextFile ? AskTextFile() : QString();
  if (Name.isEmpty())
    return;
  std::ifstream In(QFile::encodeName(Name).toStdString(), std::ios::binary);
  if (!In) {
    FReporter.ShowMessage(FromUnicode(T(PracticeErrEmpty) + QStringLiteral(" ") + Name, FCharset));
    return;
  }
  // One byte past the limit tells a file that is too large; the rest is
  // never read.
  FLearnerText.assign(MaxLearnerFileBytes + 1, '\0');
  In.read(FLearnerText.data(), static_cast<std::streamsize>(FLearnerText.size()));
  FLearnerText.resize(static_cast<size_t>(In.gcount()));
  FileLabel->setText(Name);
}

bool TPracticeForm::MakeText() {
  course::TPracticeRequest Request;
  Request.Kind = static_cast<course::TPracticeKind>(KindCB->currentIndex());
  Request.AlphabetFile = course::Kurs.AlphabetFile.empty() ? std::string("Eng.txt") : course::Kurs.AlphabetFile;
  if (ReachedCheckBox->isChecked() && ReachedCheckBox->isEnabled())
    Request.Allowed = practice::ReachedCharacters(course::Kurs.KursFolge, course::Kurs.MaxLektNr, FCharset);
  // Not limited to the lessons reached: every character of the course but
  // the two signs sent as run-together letters (KA, SK), which a copy is
  // not typed with.
  if (Request.Allowed.empty())
    for (const char C : sound::Codetafel.Letters)
      if (C != '@' && C != '\xA7' && C != ' ')
        Request.Allowed += practice::UpperText(std::string(1, C), FCharset);
  Request.WordDepth = DepthSE->value();
  Request.Chars = LengthUnitCB->currentIndex() == 0
                      ? practice::CharsForMinutes(LengthSE->value(), Timing().EffectiveWpm)
                      : LengthSE->value();
  Request.LearnerText = FLearnerText;
  Request.Seed = static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch());
  if (Request.Kind == course::TPracticeKind::Text && FLearnerText.empty()) {
    FReporter.ShowMessage(PracticeLineText(PracticeNoText));
    return false;
  }
  const course::TPracticeText Made = course::MakePracticeText(Request);
  using E = course::TPracticeText::TError;
  static const std::map<E, TPracticeLine> Errors = {{E::NoList, PracticeErrNoList},
                                                    {E::EmptyList, PracticeErrEmpty},
                                                    {E::TooLarge, PracticeErrTooLarge},
                                                    {E::Binary, PracticeErrBinary},
                                                    {E::NothingSoundable, PracticeErrNothing}};
  std::string Text = practice::UpperText(Made.Text, FCharset);
  if (Made.Error == E::None && Request.Kind == course::TPracticeKind::Groups)
    Text = WeakGroups(Text, Request);
  if (Made.Error == E::None && practice::CodesOf(Text, sound::Codetafel, FCharset).empty())
    Text.clear();
  if (Made.Error != E::None || Text.empty()) {
    FReporter.ShowMessage(PracticeLineText(Made.Error != E::None ? Errors.at(Made.Error) : PracticeErrNothing));
    return false;
  }
  FText = Text;
  ResultLabel->setText(Made.Skipped > 0 ? T(PracticeSkipped).arg(Made.Skipped) : QString());
  return true;
}

std::string TPracticeForm::WeakGroups(const std::string& Text, const course::TPracticeRequest& Request) const {
  const TSchwaechen Weights = Schwaechen ? Schwaechen() : TSchwaechen{};
  if (Weights.empty())
    return Text;
  // The course's own characters (as its figures keep them) that the text may
  // hold: as many groups of five as drawn, each character at least once when
  // there is room, the weak ones more often and their confusions near them.
  std::string Candidates;
  for (const char C : course::Kurs.KursFolge) {
    const char Upper = practice::UpperText(std::string(1, C), FCharset)[0];
    const bool Fits = Request.Allowed.empty() || Request.Allowed.find(Upper) != std::string::npos;
    if (Fits && C != '@' && C != '\xA7' && Candidates.find(C) == std::string::npos &&
        !practice::CodesOf(std::string(1, Upper), sound::Codetafel, FCharset).empty())
      Candidates += C;
  }
  const size_t Chars = static_cast<size_t>(std::count_if(Text.begin(), Text.end(), [](char C) { return C != ' '; }));
  if (Candidates.empty() || Chars == 0)
    return Text;
  std::vector<int32_t> Folge(Chars, 0);
  std::mt19937 Gen(Request.Seed);
  DrawWeak(Folge, 0, Chars, Candidates, Weights, course::Tastatur.InputLayoutNr, Gen, [](int32_t) { return false; });
  std::string Drawn;
  for (size_t I = 0; I < Chars; ++I) {
    if (I > 0 && I % 5 == 0)
      Drawn += ' ';
    const int32_t V = Folge[I];
    if (V >= 1 && static_cast<size_t>(V) <= Candidates.size())
      Drawn += practice::UpperText(std::string(1, Candidates[static_cast<size_t>(V) - 1]), FCharset);
  }
  return Drawn;
}

void TPracticeForm::StartBtnClick() {
  if (FRunning || !MakeText())
    return;
  Sound();
}

void TPracticeForm::RepeatBtnClick() {
  if (FRunning || FText.empty())
    return;
  Sound();
}

// Slower and Faster move the effective speed by 2 wpm, the Farnsworth way:
// the characters keep their speed, the spaces change; the character speed
// moves only where the effective speed would pass it.
void TPracticeForm::SlowerBtnClick() {
  EffWpmSE->setValue(std::max(EffWpmSE->value() - 2, practice::MinEffectiveWpm));
  RepeatBtnClick();
}

void TPracticeForm::FasterBtnClick() {
  const int Wanted = EffWpmSE->value() + 2;
  if (Wanted > CharWpmSE->value())
    CharWpmSE->setValue(std::min(Wanted, practice::MaxCharWpm));
  EffWpmSE->setValue(std::min(Wanted, CharWpmSE->value()));
  RepeatBtnClick();
}

void TPracticeForm::Sound() {
  FMix = MakeMix();
  FMode = static_cast<TCopyMode>(CopyCB->currentIndex());
  FRunning = true;
  for (QWidget* W : RunLocked())
    W->setEnabled(false);
  StopBtn->setEnabled(true);
  WordList->clear();
  WordList->hide();
  TextView->show();
  TextView->setPlainText(FMode == TCopyMode::Head ? T(PracticeHidden) : QString());
  CopyEdit->clear();
  FTypedUs.clear();
  FHeardFromUs = -1;
  CopyEdit->setEnabled(FMode == TCopyMode::Typed);
  if (FMode == TCopyMode::Typed)
    CopyEdit->setFocus();
  PlayNext();
}

void TPracticeForm::PlayNext() {
  if (!FRunning)
    return;
  const size_t Count = FMix->Next(FBlock);
  if (Count == 0) {
    // The end of the last block has come ahead of being heard: the text
    // shows when it has been heard.
    FPlayer.AtDue([this] { Ended(true); });
    return;
  }
  const bool First = FMix->Position() == static_cast<int64_t>(Count);
  const bool Started = FPlayer.PlayBlock(std::span<const uint8_t>(FBlock.data(), Count), [this](bool Played) {
    if (Played)
      PlayNext();
    else
      Ended(false); // the output failed; the learner has been told
  });
  // The text's time line: when its first sample is heard.
  if (Started && First)
    FHeardFromUs = FPlayer.Morse().HeardStartUs();
  if (!Started)
    Ended(false);
}

void TPracticeForm::StopBtnClick() {
  if (!FRunning)
    return;
  FPlayer.CancelHeard();
  Ended(false);
}

void TPracticeForm::Ended(bool Completed) {
  if (!FRunning)
    return;
  FRunning = false;
  FPlayer.CloseDevice();
  for (QWidget* W : RunLocked())
    W->setEnabled(true);
  SnrSE->setEnabled(NoiseCB->isChecked());
  StopBtn->setEnabled(false);
  CopyEdit->setEnabled(false);
  KindChanged();
  // A text stopped before its end is shown, but not scored: what was not
  // sounded could not be copied.
  if (Completed)
    ShowResult();
  else
    TextView->setPlainText(ToUnicode(FText, FCharset));
}

void TPracticeForm::ShowResult() {
  const QString Text = ToUnicode(FText, FCharset);
  if (FMode == TCopyMode::Paper) {
    TextView->setPlainText(Text);
    ResultLabel->setText(T(PracticePaperDone));
    return;
  }
  if (FMode == TCopyMode::Head) {
    // The learner's own judgement, word by word.
    TextView->hide();
    WordList->show();
    const QSignalBlocker Blocker(WordList);
    for (const QString& Word : Text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
      auto* Item = new QListWidgetItem(Word, WordList);
      Item->setFlags(Item->flags() | Qt::ItemIsUserCheckable);
      Item->setCheckState(Qt::Unchecked);
    }
    HeadTicked();
    return;
  }
  const std::string Typed = practice::UpperText(FromUnicode(CopyEdit->text(), FCharset), FCharset);
  const TCopyScore Score = ScoreTextCopy(FText, Typed);
  QString Sent;
  QString Copy;
  for (const TCopyColumn& C : Score.Columns) {
    const QString S = C.Sent != '\0' ? Html(ToUnicode(std::string(1, C.Sent), FCharset)) : QStringLiteral("&nbsp;");
    const QString Y = C.Typed != '\0' ? Html(ToUnicode(std::string(1, C.Typed), FCharset)) : QStringLiteral("_");
    const char* Colour = C.Mark == TCopyMark::Correct ? nullptr
                         : C.Mark == TCopyMark::Extra ? "#a05000"
                                                      : "#c00000";
    Sent += S == QLatin1String(" ") ? QStringLiteral("&nbsp;") : S;
    const QString Shown = Y == QLatin1String(" ") ? QStringLiteral("&nbsp;") : Y;
    Copy += Colour != nullptr ? QStringLiteral("<span style=\"color:%1\">%2</span>").arg(QLatin1String(Colour), Shown)
                              : Shown;
  }
  TextView->setHtml(QStringLiteral("<pre style=\"font-family:monospace\">%1<br>%2</pre>").arg(Sent, Copy));
  const int32_t Correct = std::max(Score.Correct - Score.Extra, 0);
  ResultLabel->setText(T(PracticeResult).arg(Correct).arg(Score.Sent).arg(Score.Percent()));
  // Each character's result, as the course's keys know it (small letters).
  std::map<char, TStatRun> Runs;
  for (const TCopyColumn& C : Score.Columns) {
    if (C.Mark == TCopyMark::Extra || C.Sent == ' ')
      continue;
    const char Key = practice::LowerOf(C.Sent, FCharset);
    TStatRun& Run = Runs[Key];
    Run.Zeichen = Key;
    ++Run.Sent;
    if (C.Mark != TCopyMark::Correct)
      ++Run.Wrong;
  }
  // Each character copied right: the time from its end as heard to the
  // moment its key was typed (0 when typed before it ended).
  std::map<char, std::vector<int32_t>> Reactions;
  // The signal's own character ends: the fist moves them.
  const std::vector<int64_t>& Ends = FMix->Signal().CharEnds();
  if (FHeardFromUs >= 0 && FTypedUs.size() == Typed.size()) {
    size_t SentAt = 0;
    size_t TypedAt = 0;
    for (const TCopyColumn& C : Score.Columns) {
      const bool SentChar = C.Sent != '\0' && C.Sent != ' ';
      if (C.Mark == TCopyMark::Correct && SentChar && SentAt < Ends.size() && TypedAt < FTypedUs.size()) {
        const int64_t HeardEndUs = FHeardFromUs + Ends[SentAt] * 1000000 / SamplesPerSec;
        const int64_t Ms = std::max<int64_t>(FTypedUs[TypedAt] - HeardEndUs, 0) / 1000;
        Reactions[practice::LowerOf(C.Sent, FCharset)].push_back(static_cast<int32_t>(Ms));
      }
      SentAt += SentChar ? 1 : 0;
      TypedAt += C.Typed != '\0' ? 1 : 0;
    }
  }
  std::vector<int32_t> AllMs;
  for (const auto& [Key, Ms] : Reactions)
    AllMs.insert(AllMs.end(), Ms.begin(), Ms.end());
  std::vector<TStatRun> List;
  for (auto [Key, Run] : Runs) {
    if (const auto It = Reactions.find(Key); It != Reactions.end() && !It->second.empty()) {
      Run.ReactionMs = MedianOf(It->second);
      Run.SpreadMs = SpreadOf(It->second);
    }
    List.push_back(Run);
  }
  if (List.empty() || Typed.empty())
    return;
  if (OnPracticeRun) {
    const QDate Today = QDate::currentDate();
    TPracticeLauf Lauf;
    Lauf.Day = StatDay(Today.year(), Today.month(), Today.day());
    Lauf.Sent = Score.Sent;
    Lauf.Wrong = Score.Sent - Correct;
    Lauf.ReactionMs = AllMs.empty() ? -1 : MedianOf(AllMs);
    Lauf.CharWpm = Timing().CharWpm;
    Lauf.EffectiveWpm = Timing().EffectiveWpm;
    Lauf.Noise = FBand.Noise;
    Lauf.SnrDb = FBand.Noise ? FBand.SnrDb : 0;
    Lauf.QsbDepthDb = FBand.QsbDepthDb;
    Lauf.QsbPeriodSec = FBand.QsbDepthDb > 0 ? FBand.QsbPeriodSec : 0;
    Lauf.Qrm = FBand.Qrm;
    Lauf.QrnPerMin = FBand.QrnPerMin;
    Lauf.FistPct = FBand.FistPct;
    Lauf.Kind = KindCB->currentIndex();
    OnPracticeRun(Lauf);
  }
  if (OnScored)
    OnScored(List);
}

void TPracticeForm::HeadTicked() {
  int Ticked = 0;
  for (int I = 0; I < WordList->count(); ++I)
    if (WordList->item(I)->checkState() == Qt::Checked)
      ++Ticked;
  ResultLabel->setText(T(PracticeHeadResult).arg(Ticked).arg(WordList->count()));
}

void TPracticeForm::SaveBtnClick() {
  if (FRunning || FSaver.joinable())
    return;
  const QString Name = AskAudioFile ? AskAudioFile() : QString();
  if (Name.isEmpty())
    return;
  const std::filesystem::path Path(QFile::encodeName(Name).toStdString());
  const storage::TAudioFormat Format = storage::AudioFormatOf(Path);
  if (Format == storage::TAudioFormat::None || !storage::AudioFormatAvailable(Format)) {
    const QString What = Format == storage::TAudioFormat::None ? QFileInfo(Name).suffix()
                                                               : QString::fromLatin1(storage::AudioFormatName(Format));
    FReporter.ShowMessage(FromUnicode(T(PracticeFormatMissing).arg(What), FCharset));
    return;
  }
  // The text shown last, or a new one when there is none yet.
  if (FText.empty() && !MakeText())
    return;
  std::shared_ptr<practice::TBandMix> Render = MakeMix();
  const std::string Utf8 = ToUnicode(FText, FCharset).toStdString();
  FSavePath = Name;
  FSaveDone = 0;
  FSaveTotal = std::max<int64_t>(Render->TotalSamples(), 1);
  FSaveCancel = false;
  FSaveFinished = false;
  SaveBtn->setEnabled(false);
  StartBtn->setEnabled(false);
  FProgress = new QProgressDialog(T(PracticeSaveProgress), T(PracticeCancel), 0, 1000, this);
  FProgress->setObjectName("SaveProgress");
  FProgress->setWindowTitle(T(PracticeSaveTitle));
  FProgress->setWindowModality(Qt::WindowModal);
  FProgress->setMinimumDuration(0);
  FProgress->setAutoClose(false);
  FProgress->setAutoReset(false);
  connect(FProgress, &QProgressDialog::canceled, this, [this] { FSaveCancel = true; });
  FSaver = std::thread([this, Path, Render, Utf8] {
    const storage::TAudioWrite Written =
        storage::WriteAudioFile(Path, *Render, Utf8, [this](int64_t Done, int64_t Total) {
          FSaveDone = Done;
          FSaveTotal = std::max<int64_t>(Total, 1);
          return !FSaveCancel.load();
        });
    FSaveResult = static_cast<int>(Written.Result);
    FSaveReason = Written.Reason;
    FSaveFinished = true;
  });
  FSavePoll = new QTimer(this);
  connect(FSavePoll, &QTimer::timeout, this, [this] {
    if (FProgress != nullptr)
      FProgress->setValue(static_cast<int>(FSaveDone.load() * 1000 / FSaveTotal.load()));
    if (FSaveFinished)
      SaveEnded();
  });
  FSavePoll->start(50);
}

void TPracticeForm::WaitForSave() {
  if (FSaver.joinable()) {
    while (!FSaveFinished)
      std::this_thread::yield();
    SaveEnded();
  }
}

void TPracticeForm::SaveEnded() {
  if (!FSaver.joinable())
    return;
  FSaver.join();
  if (FSavePoll != nullptr) {
    FSavePoll->stop();
    FSavePoll->deleteLater();
    FSavePoll = nullptr;
  }
  if (FProgress != nullptr) {
    FProgress->hide();
    FProgress->deleteLater();
    FProgress = nullptr;
  }
  SaveBtn->setEnabled(true);
  StartBtn->setEnabled(true);
  const auto Result = static_cast<storage::TAudioResult>(FSaveResult);
  if (Result == storage::TAudioResult::Written)
    ResultLabel->setText(T(PracticeSaved).arg(FSavePath));
  else if (Result != storage::TAudioResult::Cancelled)
    FReporter.ShowMessage(FromUnicode(T(PracticeSaveFailed).arg(QString::fromStdString(FSaveReason)), FCharset));
}

void TPracticeForm::closeEvent(QCloseEvent* Event) {
  StopBtnClick();
  KeepBandIfChanged();
  FSaveCancel = true;
  WaitForSave();
  QDialog::closeEvent(Event);
}

void TPracticeForm::reject() {
  StopBtnClick();
  KeepBandIfChanged();
  FSaveCancel = true;
  WaitForSave();
  QDialog::reject();
}
