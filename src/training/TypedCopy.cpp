#include "training/TypedCopy.h"

#include "course/Course.h"
#include "course/CourseState.h"
#include "base/Reporter.h"
#include "sound/SoundState.h"
#include "storage/Layouts.h"
#include "training/KeyInput.h"
#include "windows/Caption.h"
#include "windows/CourseView.h"
#include "windows/Fonts.h"
#include "storage/Texts.h"

#include <QApplication>
#include <QDate>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>

#include <map>

namespace {

// The keypad's sign block, as answers read it: 7 8 9 / 4 5 6 / 1 2.
char KeypadSign(uint16_t Vk) {
  static constexpr std::array<uint16_t, 8> Keys = {7, 8, 9, 4, 5, 6, 1, 2};
  for (size_t I = 0; I < Keys.size(); ++I)
    if (Vk == VK_NUMPAD0 + Keys[I])
      return BuiltInSigns[I];
  return '\0';
}

constexpr size_t GroupLength = 5;

bool Taught(char C) {
  return C != '\0' && course::Tastatur.TastZeichen.find(C) != std::string::npos;
}

char At(const std::string& S, int32_t P) {
  return P >= 1 && P <= static_cast<int32_t>(S.size()) ? S[static_cast<size_t>(P) - 1] : '\0';
}

// The form's key presses while the copy is collected. Taken keys, and any
// other key that types text, go no further: a space must not press the
// focused Start button and stop the run.
class TCopyFilter final : public QObject {
public:
  TCopyFilter(TTypedCopy& Copy, QWidget* Form) : FCopy(Copy), FForm(Form) {}

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() != QEvent::KeyPress || !Watched->isWidgetType() ||
        static_cast<QWidget*>(Watched)->window() != FForm)
      return QObject::eventFilter(Watched, Event);
    const auto* Key = static_cast<QKeyEvent*>(Event);
    // A held key repeats only as Backspace does.
    if (Key->isAutoRepeat() && Key->key() != Qt::Key_Backspace)
      return !Key->text().isEmpty();
    const bool Taken =
        FCopy.TypeKey(TypedKeyOf(*Key), VirtualKeyOf(Key->key(), Key->modifiers() & Qt::KeypadModifier));
    return Taken || !Key->text().isEmpty();
  }

private:
  TTypedCopy& FCopy;
  QWidget* FForm;
};

} // namespace

TTypedCopy::TTypedCopy(TCourseView& CourseView, TMessageReporter& Reporter)
    : FCourseView(CourseView), FView(CourseView.View()), FReporter(Reporter),
      FReaction(TSteadyClock::Instance()) {}

TTypedCopy::~TTypedCopy() {
  FFilter.reset();
}

void TTypedCopy::LoadOption() {
  const TOptionen O = LoadOptionen();
  FOn = O.TypedCopy;
  FWeakOn = O.WeakPractice;
  TellSchwaechen();
}

void TTypedCopy::SetOn(bool On) {
  if (On == FOn)
    return;
  FOn = On;
  SaveOptionen({FOn, FWeakOn}, FReporter, FOptionTold);
}

void TTypedCopy::SetWeakOn(bool On) {
  if (On == FWeakOn)
    return;
  FWeakOn = On;
  SaveOptionen({FOn, FWeakOn}, FReporter, FOptionTold);
  TellSchwaechen();
}

TSchwaechen TTypedCopy::Schwaechen() {
  TSchwaechen S;
  if (!FWeakOn)
    return S;
  const TStatistik& Stat = Statistik();
  for (int32_t K = 1; K <= 4; ++K)
    for (int C = 1; C < 256; ++C) {
      const char Z = static_cast<char>(C);
      const TZeichenStat Figures = Stat.Of(K, Z);
      if (Figures.Sent <= 0)
        continue;
      TSchwaeche W;
      int32_t Taken = 0;
      for (const TVerwechslung& V : Stat.Verwechslungen(K, Z)) {
        Taken += V.Count;
        if (W.Partner.size() < 3)
          W.Partner += V.Als;
      }
      W.Gewicht = WeakWeight(Figures.Rate(), Figures.ReactionMs, Stat.TargetMs(),
                             static_cast<double>(Taken) / Figures.Sent);
      S[{K, Z}] = W;
    }
  // On, with nothing known yet: every character weighs 1.
  if (S.empty())
    S[{0, '\0'}] = TSchwaeche{};
  return S;
}

void TTypedCopy::SetTargetMs(int32_t Ms) {
  if (Statistik().TargetMs() == Ms)
    return;
  Statistik().SetTargetMs(Ms);
  Save(FReporter);
}

void TTypedCopy::TellSchwaechen() {
  if (OnSchwaechen)
    OnSchwaechen(Schwaechen());
}

void TTypedCopy::RunStarted(int32_t LayoutNr) {
  FLayoutNr = LayoutNr;
  FReaction.RunStarted();
  FScored = false;
  FCollecting = false;
  FWrong.assign(course::Folge.UebFolge.size(), false);
  // Endless runs are never scored.
  if (!FOn || course::Kurs.UebNr != 4 || course::Kurs.GruppenZahl >= MaxGruppen)
    return;
  FCopy.clear();
  FCollecting = true;
  if (FLabel == nullptr && FView.StatusLabel != nullptr) {
    FLabel = new QLabel(FView.StatusLabel->parentWidget());
    FLabel->setObjectName("CopyLabel");
    // On the status line under the window, which a run leaves empty: the
    // keys, the count-down and the buttons stay in view.
    FLabel->setGeometry(FView.StatusLabel->geometry());
    QFont F = PixelFont("Courier", 16, true);
    F.setStyleHint(QFont::TypeWriter);
    FLabel->setFont(F);
    FLabel->setAutoFillBackground(true);
    QPalette P = FLabel->palette();
    P.setColor(QPalette::Window, Qt::white);
    P.setColor(QPalette::WindowText, Qt::black);
    FLabel->setPalette(P);
    FLabel->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
    FLabel->setFrameShape(QFrame::Box);
  }
  if (FLabel != nullptr) {
    SetCharset(FLabel, CharsetOf(FView.KeyPanel));
    FLabel->setAccessibleName(ToUnicode(storage::Texte.TypedCopyText[3], CharsetOf(FView.KeyPanel)));
  }
  Show();
  if (FLabel != nullptr) {
    FLabel->show();
    FLabel->raise();
  }
  FFilter = std::make_unique<TCopyFilter>(*this, FView.Form);
  qApp->installEventFilter(FFilter.get());
}

void TTypedCopy::RunStopped() {
  FCollecting = false;
  FScored = false;
  FFilter.reset();
  if (FLabel != nullptr)
    FLabel->hide();
}

void TTypedCopy::ItemWrong(int32_t UebPos) {
  if (UebPos >= 0 && static_cast<size_t>(UebPos) < FWrong.size())
    FWrong[static_cast<size_t>(UebPos)] = true;
}

void TTypedCopy::RunEnded23() {
  if (!Counting() || (course::Kurs.UebNr != 2 && course::Kurs.UebNr != 3))
    return;
  std::vector<char> Sent;
  for (const int32_t E : course::Folge.UebFolge)
    Sent.push_back(course::Kurs.UebNr == 2 ? At(course::Kurs.NeueZeichen, E) : At(course::Kurs.KursFolge, E));
  // What a wrong answer's key was taken for.
  for (const TReaktion& R : FReaction.Answers())
    if (R.Als != '\0' && R.Als != R.Zeichen && Taught(R.Als))
      Statistik().AddVerwechslung(FLayoutNr, R.Zeichen, R.Als);
  AddRun(Sent, FWrong, FReaction.PerZeichen());
  Save(FReporter);
}

std::string TTypedCopy::SentText() const {
  std::string Sent;
  const size_t N = std::min(course::Folge.UebFolge.size(), static_cast<size_t>(std::max(course::Folge.UebLaenge, 0)));
  for (size_t I = 0; I < N; ++I) {
    // The groups of five as sounded, a space between them.
    if (I > 0 && I % GroupLength == 0)
      Sent += ' ';
    if (const char C = At(course::Kurs.BuchFolge, course::Folge.UebFolge[I]); C != '\0')
      Sent += C;
  }
  return Sent;
}

const TMemScore* TTypedCopy::TypingEnds() {
  if (!FCollecting)
    return nullptr;
  FCollecting = false;
  FFilter.reset();
  if (FLabel != nullptr)
    FLabel->hide();
  // Nothing typed: the learner wrote on paper this time, and the run ends as
  // designed, with nothing proposed, marked or counted.
  if (CopyCharacters(FCopy).empty())
    return nullptr;
  FScore = ScoreCopy(SentText(), FCopy);
  FScored = true;
  FMemScore = {};
  for (const TCopyColumn& C : FScore.Columns) {
    FMemScore.Sent += C.Sent != '\0' ? C.Sent : ' ';
    FMemScore.Typed += C.Typed != '\0' ? C.Typed : ' ';
    FMemScore.Marks += "cwmx"[static_cast<int>(C.Mark)];
  }
  FMemScore.Percent = FScore.Percent();
  return &FMemScore;
}

bool TTypedCopy::ProposedAnswer(bool Designed) const {
  // The run that introduces the new characters lets no key be marked, and a
  // Yes would only introduce them again: No is proposed whatever the copy.
  return FScored ? FScore.Errors() && !course::Folge.NeuVorn : Designed;
}

void TTypedCopy::Answered(bool Yes) {
  if (!FScored)
    return;
  FScored = false;
  // As a click on the key would mark it (the rules of FreiClick).
  if (Yes && course::Folge.MarkModus && course::Kurs.UebNr == 4 && !course::Folge.NeuVorn)
    MarkForNextRun(FScore.CopiedWrong);
  CountScored();
  Save(FReporter);
}

void TTypedCopy::CountScored() {
  std::vector<char> Sent;
  std::vector<bool> Wrong;
  for (const TCopyColumn& C : FScore.Columns) {
    if (C.Mark == TCopyMark::Extra)
      continue;
    Sent.push_back(C.Sent);
    Wrong.push_back(C.Mark != TCopyMark::Correct);
    // The alignment knows what the character was copied as.
    if (C.Mark == TCopyMark::Wrong && C.Sent != '\0' && C.Typed != '\0')
      Statistik().AddVerwechslung(FLayoutNr, C.Sent, C.Typed);
  }
  AddRun(Sent, Wrong);
}

void TTypedCopy::SaveAtEnd(TMessageReporter& Reporter) {
  if (!FScored)
    return;
  FScored = false;
  CountScored();
  Save(Reporter);
}

void TTypedCopy::MarkForNextRun(const std::string& Zeichen) {
  FCourseView.MarkKeys(Zeichen);
}

bool TTypedCopy::TypeKey(const TTypedKey& Key, uint16_t VirtualKey) {
  if (!FCollecting)
    return false;
  if (Key.Key == Qt::Key_Backspace) {
    if (!FCopy.empty())
      FCopy.pop_back();
    Show();
    return true;
  }
  if (Key.Key == Qt::Key_Space) {
    if (!FCopy.empty() && FCopy.back() != ' ' && FCopy.size() < 2 * MaxCopyLength)
      FCopy += ' ';
    Show();
    return true;
  }
  char C = KeypadSign(VirtualKey);
  if (C == '\0' && !Key.Keypad) {
    const TLayout* Layout = LayoutOfNr(FLayoutNr);
    const std::optional<char> Typed =
        Layout != nullptr ? TranslateTyped(*Layout, Key) : TypedChar(Key);
    C = Typed.value_or('\0');
    if (C != '\0' && !Taught(C)) {
      // Caps Lock or Shift: the letter of the key in the course's case.
      const uint8_t Charset = Layout != nullptr ? Layout->Charset : ANSI_CHARSET;
      const std::string Lower = FromUnicode(ToUnicode(std::string(1, C), Charset).toLower(), Charset);
      C = Lower.size() == 1 ? Lower[0] : '\0';
    }
  }
  if (!Taught(C))
    return false;
  if (CopyCharacters(FCopy).size() < MaxCopyLength)
    FCopy += C;
  Show();
  return true;
}

void TTypedCopy::Show() {
  if (FLabel == nullptr)
    return;
  const uint8_t Charset = CharsetOf(FLabel);
  const QString Text = ToUnicode(FCopy, Charset) + QLatin1Char('_');
  // One line: the end of the copy, where the learner types.
  const QFontMetrics M(FLabel->font());
  FLabel->setText(M.elidedText(Text, Qt::ElideLeft, FLabel->width() - 8));
}

TStatistik& TTypedCopy::Statistik() {
  if (!FStat)
    FStat = std::make_unique<TStatistik>(LoadStatistik());
  return *FStat;
}

void TTypedCopy::AddRun(const std::vector<char>& Sent, const std::vector<bool>& Wrong,
                        const std::vector<TStatRun>& Reactions) {
  std::map<char, TStatRun> Per;
  for (size_t I = 0; I < Sent.size(); ++I) {
    if (Sent[I] == '\0')
      continue;
    TStatRun& R = Per[Sent[I]];
    R.Zeichen = Sent[I];
    ++R.Sent;
    if (I < Wrong.size() && Wrong[I])
      ++R.Wrong;
  }
  for (const TStatRun& R : Reactions)
    if (auto It = Per.find(R.Zeichen); It != Per.end()) {
      It->second.ReactionMs = R.ReactionMs;
      It->second.SpreadMs = R.SpreadMs;
    }
  std::vector<TStatRun> Run;
  TStatLauf Lauf;
  for (const auto& [C, R] : Per) {
    Run.push_back(R);
    Lauf.Sent += R.Sent;
    Lauf.Wrong += R.Wrong;
  }
  if (Run.empty())
    return;
  Statistik().AddRun(FLayoutNr, Run);
  const QDate Today = QDate::currentDate();
  Lauf.Day = StatDay(Today.year(), Today.month(), Today.day());
  Lauf.UebNr = course::Kurs.UebNr;
  Lauf.LektNr = course::Kurs.LektNr;
  Lauf.ReactionMs = Reactions.empty() ? -1 : FReaction.MedianMs();
  Statistik().AddLauf(FLayoutNr, Lauf);
}

void TTypedCopy::Save(TMessageReporter& Reporter) {
  if (FStat)
    SaveStatistik(*FStat, Reporter, FStatTold, FStatFullTold);
  TellSchwaechen();
}
