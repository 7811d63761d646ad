#include "windows/MemUnit.h"

#include "sound/Player.h"
#include "sound/SoundState.h"
#include "sound/ThdTimer.h"
#include "windows/Caption.h"
#include "windows/Fonts.h"
#include "storage/Texts.h"
#include "windows/WindowPlace.h"

#include <QShowEvent>
#include <QTextCursor>

#include <algorithm>
#include <array>

namespace {
std::unique_ptr<TTickTimer> ReplayTimer(TTickTimer* Given) {
  if (Given != nullptr)
    return nullptr;
  // Its ticks start the characters.
  return std::make_unique<TSoundTimer>(TThreadPriority::Normal);
}

template <class T>
T* Make(QWidget* Parent, const char* Name, int Left, int Top, int Width, int Height) {
  auto* W = new T(Parent);
  W->setObjectName(Name);
  W->setGeometry(Left, Top, Width, Height);
  return W;
}

// An interface text, or the designed caption while no language file gave one.
template <size_t N>
std::string TextOr(const std::array<std::string, N>& Table, size_t Line, const char* Designed) {
  return Table[Line].empty() ? std::string(Designed) : Table[Line];
}
std::string PlayText() {
  return TextOr(storage::Texte.TextFormText, 2, "Geben");
}
std::string PlayingText() {
  return TextOr(storage::Texte.TextFormText, 3, "Stop");
}

// Room the typed copy takes under the text; the controls below move down.
constexpr int ScoreHeight = 112;

// Groups of five characters sent per line of the copy.
constexpr int ScoreGroupsPerLine = 4;

QString Html(const QString& Text) {
  return Text.toHtmlEscaped().replace(QLatin1Char(' '), QLatin1String("&nbsp;"));
}

uint16_t TimerMs(int32_t Ms) {
  return static_cast<uint16_t>(std::clamp<int32_t>(Ms, 1, 65535));
}

QPushButton* Button(QWidget* Parent, const char* Name, int Left, const char* Caption) {
  auto* B = Make<QPushButton>(Parent, Name, Left, 268, 75, 25);
  SetCaption(B, Caption);
  return B;
}
} // namespace

TMemForm::TMemForm(QWidget* Parent, TTickTimer* Timer)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      FOwnTimer(ReplayTimer(Timer)), MemTimer(Timer != nullptr ? *Timer : *FOwnTimer) {
  setObjectName("MemForm");
  SetCaption(this, "Text");
  // 370 x 327 with its frame and title bar.
  setFixedSize(362, 300);
  setFont(PixelFont("Arial", 12));

  GebEdit = Make<QLineEdit>(this, "GebEdit", 1, 4, 360, 24);
  GebEdit->setReadOnly(true);
  GebText = Make<QPlainTextEdit>(this, "GebText", 1, 32, 360, 201);
  GebText->setReadOnly(true);
  QPalette P = GebText->palette();
  P.setColor(QPalette::Base, QColor(255, 255, 0));
  GebText->setPalette(P);
  // The selection marks the group being played, also without the focus.
  for (QWidget* W : {static_cast<QWidget*>(GebEdit), static_cast<QWidget*>(GebText)}) {
    QPalette S = W->palette();
    S.setColor(QPalette::Inactive, QPalette::Highlight,
               S.color(QPalette::Active, QPalette::Highlight));
    S.setColor(QPalette::Inactive, QPalette::HighlightedText,
               S.color(QPalette::Active, QPalette::HighlightedText));
    W->setPalette(S);
  }

  MemPlayBtn = Button(this, "MemPlayBtn", 8, "Geben");
  MemPlayBtn->setFocusPolicy(Qt::NoFocus);
  MemPausBtn = Button(this, "MemPausBtn", 88, "Pause");
  MemPausBtn->setFocusPolicy(Qt::NoFocus);
  MemPausBtn->setCheckable(true);
  MemClBtn = Button(this, "MemClBtn", 279, "Close");

  Label1 = Make<QLabel>(this, "Label1", 176, 240, 80, 16);
  Label1->setAlignment(Qt::AlignHCenter);
  SetCaption(Label1, "Speed");
  Bevel1 = Make<TBevel>(this, "Bevel1", 182, 262, 55, 26);
  SPLabel = Make<QLabel>(this, "SPLabel", 185, 265, 49, 20);
  SPLabel->setFont(PixelFont("Arial", 16, true));
  SPLabel->setAlignment(Qt::AlignCenter);
  QPalette SP = SPLabel->palette();
  SP.setColor(QPalette::WindowText, Qt::white);
  SP.setColor(QPalette::Window, QColor(0, 0, 255));
  SPLabel->setPalette(SP);
  SPLabel->setAutoFillBackground(true);
  SetCaption(SPLabel, "60");
  SPSpeed = Make<TSpinButton>(this, "SPSpeed", 239, 262, 17, 26);

  CopyText = Make<QTextEdit>(this, "CopyText", 1, 237, 360, ScoreHeight - 4);
  CopyText->setReadOnly(true);
  CopyText->setLineWrapMode(QTextEdit::NoWrap);
  CopyText->hide();

  SPSpeed->OnUpClick = [this] { SPSpeedUpClick(); };
  SPSpeed->OnDownClick = [this] { SPSpeedDownClick(); };
  connect(MemPlayBtn, &QPushButton::clicked, this, [this] { MemPlayBtnClick(); });
  connect(MemPausBtn, &QPushButton::clicked, this, [this] { MemPausBtnClick(); });
  connect(MemClBtn, &QPushButton::clicked, this, [this] { MemClBtnClick(); });
  MemTimer.SetOnTimer([this] { MemTimerTimer(); });
  FormCreate();
}

TMemForm::~TMemForm() = default;

void TMemForm::showEvent(QShowEvent* Event) {
  CentreOnScreen(*this);
  QDialog::showEvent(Event);
  if (!Event->spontaneous())
    FormActivate();
}

// Escape and the system's close act as the Close button, so that the main
// window always gets its speed back.
void TMemForm::reject() {
  MemClBtnClick();
}

void TMemForm::ApplyTexts() {
  SetCharset(this, Charset());
  SetCaption(this, CaptionText(CaptionMemForm));
  SetCaption(MemClBtn, TextOr(storage::Texte.TextFormText, 1, "Close"));
  if (!Running())
    SetCaption(MemPlayBtn, PlayText());
  SetCaption(MemPausBtn, TextOr(storage::Texte.TextFormText, 4, "Pause"));
  SetCaption(Label1, TextOr(storage::Texte.TextFormText, 5, "Speed"));
}

int32_t TMemForm::Length() const {
  return FContext.Text != nullptr ? std::max(FContext.Text->Length(), 0) : 0;
}

bool TMemForm::Running() const {
  return CaptionOf(MemPlayBtn) != PlayText();
}

uint8_t TMemForm::Charset() const {
  return FContext.KeyPanel != nullptr ? CharsetOf(FContext.KeyPanel) : CharsetOf(GebText);
}

int TMemForm::SelStart() const {
  return GebText->textCursor().selectionStart();
}

int TMemForm::SelLength() const {
  const QTextCursor C = GebText->textCursor();
  return C.selectionEnd() - C.selectionStart();
}

int TMemForm::DocumentEnd() const {
  return static_cast<int>(GebText->document()->characterCount()) - 1;
}

void TMemForm::Select(int Start, int Len) {
  QTextCursor C = GebText->textCursor();
  const int End = DocumentEnd();
  const int From = std::clamp(Start, 0, std::max(End, 0));
  C.setPosition(From);
  C.setPosition(std::clamp(From + Len, 0, std::max(End, 0)), QTextCursor::KeepAnchor);
  GebText->setTextCursor(C);
}

void TMemForm::ApplySpeed() {
  MemKlang = sound::AtSpeed(sound::Klang, MemSpeed);
  SPLabel->setText(QString::number(MemSpeed));
}

void TMemForm::SPSpeedDownClick(bool Step) {
  if (Step)
    MemSpeed = std::max(MemSpeed - 5, 30);
  ApplySpeed();
}

void TMemForm::SPSpeedUpClick(bool Step) {
  if (Step)
    MemSpeed = std::min(MemSpeed + 5, 150);
  ApplySpeed();
}

void TMemForm::FormCreate() {
  MemSpeed = std::clamp<int32_t>(sound::Klang.Speed, 30, 150);
  SPSpeedDownClick(false);
}

void TMemForm::FormActivate() {
  if (sound::Klang.Speed > MemSpeed)
    MemSpeed = std::min<int32_t>(sound::Klang.Speed, 150);
  ApplyTexts();
  MemPausBtn->setEnabled(false);
  SPSpeedDownClick(false);

  // Courier, 12 points.
  QFont F = PixelFont("Courier", 16, true);
  F.setStyleHint(QFont::TypeWriter);
  GebText->setFont(F);
  GebEdit->setFont(F);
  QPalette P = GebText->palette();
  P.setColor(QPalette::Text, Qt::black);
  GebText->setPalette(P);
  P = GebEdit->palette();
  P.setColor(QPalette::Text, Qt::black);
  GebEdit->setPalette(P);
  SetCharset(GebText, Charset());
  SetCharset(GebEdit, Charset());

  FillText();
  FillScore();
  GebEdit->clear();
}

void TMemForm::FillScore() {
  const TMemScore* Score = FContext.Score;
  const bool Shown = Score != nullptr;
  const int Shift = Shown ? ScoreHeight : 0;
  if (height() != 300 + Shift) {
    setFixedSize(362, 300 + Shift);
    if (isVisible())
      CentreOnScreen(*this);
  }
  for (QWidget* W : {static_cast<QWidget*>(MemPlayBtn), static_cast<QWidget*>(MemPausBtn),
                     static_cast<QWidget*>(MemClBtn)})
    W->move(W->x(), 268 + Shift);
  Label1->move(Label1->x(), 240 + Shift);
  Bevel1->move(Bevel1->x(), 262 + Shift);
  SPLabel->move(SPLabel->x(), 265 + Shift);
  SPSpeed->move(SPSpeed->x(), 262 + Shift);
  CopyText->setVisible(Shown);
  if (!Shown) {
    CopyText->clear();
    return;
  }
  const uint8_t Cs = Charset();
  const std::string Accuracy = TextOr(storage::Texte.TypedCopyText, 7, "Accuracy");
  // Two lines per row of groups: the text sent, the copy under it, each
  // character the copy got wrong on a colour of its kind.
  QString Sent;
  QString Typed;
  QString Out = QStringLiteral("<b>%1: %2 %</b><br>")
                    .arg(ToUnicode(Accuracy, Cs).toHtmlEscaped())
                    .arg(Score->Percent);
  int SentInGroup = 0;
  int Groups = 0;
  const size_t N = std::min({Score->Sent.size(), Score->Typed.size(), Score->Marks.size()});
  auto EndRow = [&] {
    Out += QStringLiteral("<span style='color:#000000'>%1</span><br>%2<br>").arg(Sent, Typed);
    Sent.clear();
    Typed.clear();
  };
  for (size_t I = 0; I < N; ++I) {
    const char Mark = Score->Marks[I];
    const QString S = Html(ToUnicode(std::string(1, Score->Sent[I]), Cs));
    const QString T = Html(ToUnicode(std::string(1, Mark == 'm' ? '_' : Score->Typed[I]), Cs));
    const char* Back = Mark == 'w' ? "#ff8080" : Mark == 'm' ? "#ffc040" : Mark == 'x' ? "#80c0ff" : nullptr;
    Sent += S;
    Typed += Back != nullptr ? QStringLiteral("<span style='background-color:%1'>%2</span>")
                                   .arg(QLatin1String(Back), T)
                             : T;
    if (Mark != 'x' && ++SentInGroup == 5) {
      SentInGroup = 0;
      if (++Groups % ScoreGroupsPerLine == 0) {
        EndRow();
      } else {
        Sent += QStringLiteral("&nbsp;&nbsp;");
        Typed += QStringLiteral("&nbsp;&nbsp;");
      }
    }
  }
  if (!Sent.isEmpty())
    EndRow();
  QFont F = GebText->font();
  F.setPixelSize(13);
  CopyText->setFont(F);
  CopyText->document()->setDocumentMargin(2);
  CopyText->setHtml(QStringLiteral("<div style='white-space:pre'>%1</div>").arg(Out));
  CopyText->setAccessibleName(ToUnicode(Accuracy, Cs));
}

void TMemForm::FillText() {
  GebText->setReadOnly(false);
  GebText->clear();
  MemText.assign(1, ' '); // not = " ": GCC 12 at -O3 warns falsely (-Wrestrict)
  MemZeilen = 0;
  const int32_t N = Length();
  for (int32_t I = 0; I < N; ++I) {
    const char C = FContext.Text->Character(I);
    MemText += C != '\0' ? C : ' '; // a blank keeps the groups' offsets
    if ((I + 1) % 5 == 0)
      MemText += "  ";
  }
  GebText->setPlainText(ToUnicode(MemText, Charset()));
  MemPausBtn->setChecked(false);
  PauseMark = 0;
  GebText->setReadOnly(true);
  Select(1, 0);
}

void TMemForm::StopReplay() {
  if (!Running())
    return;
  MemPos = Length();
  SetCaption(MemPlayBtn, PlayText());
  MemPausBtn->setEnabled(true);
  // The character placed ahead or being heard is silenced and the tick
  // placed ahead dropped, so the run ends now and no end of a character
  // switches the timer on again.
  if (FContext.Player != nullptr)
    FContext.Player->TakeBack();
  MemTimer.Cancel();
  MemTimerTimer();
}

void TMemForm::MemPlayBtnClick() {
  if (Running()) {
    StopReplay();
    return;
  }
  MemPausBtn->setEnabled(true);
  if (PauseMark > 0) {
    MemPos = PauseMark;
    MemPausBtn->setChecked(false);
    Select(MarkStart, 5);
  } else {
    MemPos = 0;
    MemGruppe = 0;
    MemZeilen = 0;
    GebZeile.assign(1, ' ');
    ZeilenStart = 0;
    MarkStart = 1;
    MarkNeu = true;
    GebEdit->clear();
  }
  MemTimer.SetEnabled(true);
  SetCaption(MemPlayBtn, PlayingText());
  PauseMark = 0;
}

void TMemForm::MemPausBtnClick() {
  if (PauseMark > 0) {
    MemPlayBtnClick();
    return;
  }
  PauseMark = MemPos;
  MemPos = Length();
  SetCaption(MemPlayBtn, PlayText());
}

void TMemForm::MemTimerTimer() {
  MemTimer.SetEnabled(false);
  if (MemPos < Length()) {
    const char C = FContext.Text->Character(MemPos);
    if (C != '\0')
      GebZeile += C;
    const std::string Code = FContext.Text->Code(MemPos);
    FContext.Text->Sounded(Code);

    // The end of the character, heard, starts the pause to the next.
    if (FContext.Player != nullptr)
      FContext.Player->PlayReplayCode(Code, MemKlang, [this] { MemTimer.SetEnabled(true); });

    // The line and the group's highlight show the character when it is
    // heard, not when the tick places it ahead.
    const bool Mark = MarkNeu;
    if (Mark) {
      FGroupStart = MarkStart;
      MarkNeu = false;
    }
    auto Show = [this, Line = GebZeile, Mark, From = FGroupStart] {
      GebEdit->setText(ToUnicode(Line, Charset()));
      if (Mark)
        Select(From, 5);
    };
    if (FContext.Player != nullptr)
      FContext.Player->AtHeardStart(Show);
    else
      Show();
    ++MemPos;
    ++MemGruppe;
    if (MemGruppe == 5) {
      GebZeile += "  ";
      if (GebZeile.size() > 33) {
        ZeilenStart += MemZeilen == 0 ? 36 : 35;
        MarkStart = ZeilenStart;
        GebZeile = " ";
        ++MemZeilen;
      } else {
        MarkStart = std::clamp(FGroupStart, 0, std::max(DocumentEnd(), 0)) + 7;
      }
      MarkNeu = true;
      MemTimer.SetInterval(TimerMs(GroupGapMs(MemKlang)));
      MemGruppe = 0;
    } else {
      MemTimer.SetInterval(TimerMs(CharGapMs(MemKlang)));
    }
    return;
  }
  SetCaption(MemPlayBtn, PlayText());
  if (PauseMark == 0) {
    MemPausBtn->setEnabled(false);
    MemPausBtn->setChecked(false);
  }
  Select(0, 0);
  GebEdit->deselect();
}

void TMemForm::MemClBtnClick() {
  MemPos = Length();
  if (FContext.Player != nullptr)
    FContext.Player->TakeBack();
  MemTimer.Cancel();
  SetCaption(MemPlayBtn, PlayText());
  PauseMark = 0;
  QDialog::done(QDialog::Rejected);
}
