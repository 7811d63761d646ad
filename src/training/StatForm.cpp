#include "training/StatForm.h"

#include "course/CourseState.h"
#include "course/LessonPlan.h"
#include "course/WeakPractice.h"
#include "base/Reporter.h"
#include "storage/Layouts.h"
#include "storage/Texts.h"
#include "windows/Caption.h"
#include "windows/Fonts.h"

#include <QDate>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace {

std::string Text(size_t Line, const char* Designed) {
  const std::string& T = storage::Texte.TypedCopyText[Line];
  return T.empty() ? std::string(Designed) : T;
}

// A chart's tooltip: the figures of what lies under the pointer, none
// between the bars or points.
void ShowChartTip(QWidget& Chart, const QHelpEvent& Help, const QString& Tip) {
  if (Tip.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(Help.globalPos(), Tip, &Chart);
}

QString SText(TStatistikLine Line, uint8_t Charset) {
  return ToUnicode(StatistikLineText(Line), Charset);
}

// A character as the keys show it: the prosigns by name.
std::string Shown(char C) {
  if (C == '@')
    return "KA";
  if (C == '\xA7')
    return "SK";
  return std::string(1, C);
}

int Percent(const TZeichenStat& S) {
  return S.Sent > 0 ? static_cast<int>(std::lround(100.0 * (S.Sent - S.Wrong) / S.Sent)) : 0;
}

QColor Rgb(uint32_t C) {
  return QColor(static_cast<int>(C >> 16), static_cast<int>((C >> 8) & 0xFF), static_cast<int>(C & 0xFF));
}

// The reaction scale: a round top above the target and every figure.
int32_t ScaleFor(int32_t TargetMs, int32_t MaxMs) {
  const int32_t Top = std::max({TargetMs * 3 / 2, MaxMs, 500});
  return (Top + 499) / 500 * 500;
}

constexpr int ChartWidth = 620;
constexpr int ChartHeight = 230;
constexpr int ProgressHeight = 180;
constexpr int AxisLeft = 40;   // the accuracy scale
constexpr int AxisRight = 48;  // the reaction scale
constexpr int AxisTop = 32;    // the legend and the unit of the reaction scale
constexpr int AxisBottom = 40; // the characters, and what they are taken for

QDate DateOf(int32_t Day) {
  return QDate(2000, 1, 1).addDays(Day);
}

void Legend(QPainter& P, int Left, uint8_t Charset, int32_t TargetMs) {
  const QFontMetrics M(P.font());
  int X = Left;
  const std::pair<uint32_t, TStatistikLine> Items[] = {{StatBlue, StatAccuracy}, {StatOrange, StatReaction}};
  for (const auto& [Colour, Line] : Items) {
    P.fillRect(QRect(X, 6, 10, 10), Rgb(Colour));
    const QString T = SText(Line, Charset);
    P.setPen(Qt::black);
    P.drawText(QPoint(X + 14, 16), T);
    X += 14 + M.horizontalAdvance(T) + 16;
  }
  P.setPen(QPen(Qt::black, 1, Qt::DashLine));
  P.drawLine(X, 11, X + 18, 11);
  P.setPen(Qt::black);
  P.drawText(QPoint(X + 22, 16), SText(StatTarget, Charset) + QStringLiteral(" %1 ms").arg(TargetMs));
}

// The two scales and their grid: accuracy on the left, reaction on the right.
void Axes(QPainter& P, const QRect& Plot, int32_t ScaleMs, int32_t TargetMs) {
  for (int Pc = 0; Pc <= 100; Pc += 25) {
    const int Y = Plot.bottom() - Plot.height() * Pc / 100;
    P.setPen(QColor(220, 220, 220));
    P.drawLine(Plot.left(), Y, Plot.right(), Y);
    P.setPen(Rgb(StatBlue));
    P.drawText(QRect(0, Y - 7, Plot.left() - 4, 14), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("%1 %").arg(Pc));
    P.setPen(QColor(0x99, 0x66, 0x00)); // the orange's darker shade, to be read as text
    P.drawText(QRect(Plot.right() + 4, Y - 7, AxisRight - 4, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QString::number(ScaleMs * Pc / 100));
  }
  P.setPen(QColor(0x99, 0x66, 0x00));
  P.drawText(QRect(Plot.right() + 4, Plot.top() - 26, AxisRight, 14), Qt::AlignLeft, QStringLiteral("ms"));
  const int TY = Plot.bottom() - static_cast<int>(std::lround(static_cast<double>(Plot.height()) * TargetMs / ScaleMs));
  P.setPen(QPen(Qt::black, 1, Qt::DashLine));
  P.drawLine(Plot.left(), TY, Plot.right(), TY);
  P.setPen(Qt::black);
  P.drawLine(Plot.left(), Plot.bottom(), Plot.right(), Plot.bottom());
  P.drawLine(Plot.left(), Plot.top(), Plot.left(), Plot.bottom());
  P.drawLine(Plot.right(), Plot.top(), Plot.right(), Plot.bottom());
}

std::string CourseName(int32_t K) {
  static const char* const Names[] = {"", "English", "German", "Russian", "Turkish"};
  return K >= 1 && K <= 4 ? Names[K] : "";
}

std::string CsvField(const QString& S) {
  std::string U = S.toStdString();
  if (U.find_first_of(",\"\r\n") == std::string::npos)
    return U;
  std::string Q = "\"";
  for (const char C : U) {
    if (C == '"')
      Q += '"';
    Q += C;
  }
  return Q + '"';
}

std::string Ms(int32_t V) {
  return V >= 0 ? std::to_string(V) : std::string();
}

} // namespace

std::vector<TStatBar> StatBars(const TStatistik& Stat, int32_t KursNr, const std::string& KursFolge,
                               const std::string& LektZeichen, int32_t TargetMs) {
  std::vector<TStatBar> Bars;
  for (const char C : KursFolge) {
    TStatBar B;
    B.Zeichen = C;
    B.Stat = Stat.Of(KursNr, C);
    B.Lektion = LektZeichen.find(C) != std::string::npos;
    // Only what the course teaches is shown as taken for.
    int32_t Taken = 0;
    for (const TVerwechslung& V : Stat.Verwechslungen(KursNr, C))
      if (KursFolge.find(V.Als) != std::string::npos) {
        B.Als.push_back(V);
        Taken += V.Count;
      }
    if (B.Stat.Sent > 0)
      B.Gewicht = WeakWeight(B.Stat.Rate(), B.Stat.ReactionMs, TargetMs,
                             static_cast<double>(Taken) / B.Stat.Sent);
    Bars.push_back(B);
  }
  return Bars;
}

std::vector<TStatBar> WeakestFirst(const std::vector<TStatBar>& Bars) {
  std::vector<TStatBar> Out;
  for (const TStatBar& B : Bars)
    if (B.Stat.Sent > 0)
      Out.push_back(B);
  std::stable_sort(Out.begin(), Out.end(),
                   [](const TStatBar& A, const TStatBar& B) { return A.Gewicht > B.Gewicht; });
  for (const TStatBar& B : Bars)
    if (B.Stat.Sent == 0 && B.Lektion)
      Out.push_back(B);
  return Out;
}

std::string Weakest(const std::vector<TStatBar>& Bars, const std::string& Candidates, size_t Count) {
  std::vector<const TStatBar*> Weak;
  for (const TStatBar& B : Bars)
    if (B.Stat.Wrong > 0 && Candidates.find(B.Zeichen) != std::string::npos)
      Weak.push_back(&B);
  // Stable: teaching order decides the last ties.
  std::stable_sort(Weak.begin(), Weak.end(), [](const TStatBar* A, const TStatBar* B) {
    // A.Wrong / A.Sent > B.Wrong / B.Sent, in integers.
    const int64_t L = static_cast<int64_t>(A->Stat.Wrong) * B->Stat.Sent;
    const int64_t R = static_cast<int64_t>(B->Stat.Wrong) * A->Stat.Sent;
    if (L != R)
      return L > R;
    return A->Stat.Sent > B->Stat.Sent;
  });
  std::string Out;
  for (size_t I = 0; I < Weak.size() && I < Count; ++I)
    Out += Weak[I]->Zeichen;
  return Out;
}

int32_t TStatTag::Percent() const {
  return Sent > 0 ? static_cast<int32_t>(std::lround(100.0 * (Sent - Wrong) / Sent)) : 0;
}

std::vector<TStatTag> StatTage(const std::vector<TStatLauf>& Laeufe) {
  std::map<int32_t, std::pair<TStatTag, std::vector<int32_t>>> Per;
  for (const TStatLauf& L : Laeufe) {
    auto& [T, Ms] = Per[L.Day];
    T.Day = L.Day;
    ++T.Runs;
    T.Sent += L.Sent;
    T.Wrong += L.Wrong;
    if (L.ReactionMs >= 0)
      Ms.push_back(L.ReactionMs);
  }
  std::vector<TStatTag> Tage;
  for (auto& [Day, TM] : Per) {
    auto& [T, Ms] = TM;
    if (!Ms.empty()) {
      std::sort(Ms.begin(), Ms.end());
      const size_t N = Ms.size();
      T.ReactionMs = N % 2 == 1 ? Ms[N / 2] : (Ms[N / 2 - 1] + Ms[N / 2]) / 2;
    }
    Tage.push_back(T);
  }
  return Tage;
}

int32_t TBandVergleich::Percent() const {
  return Sent > 0 ? static_cast<int32_t>(std::lround(100.0 * (Sent - Wrong) / Sent)) : 0;
}

std::vector<TBandVergleich> BandVergleich(const std::vector<TPracticeLauf>& Laeufe) {
  std::array<std::vector<int32_t>, BandRows> Ms;
  std::vector<TBandVergleich> Rows(BandRows);
  for (size_t R = 0; R < BandRows; ++R)
    Rows[R].Row = static_cast<TBandRow>(R);
  for (const TPracticeLauf& L : Laeufe) {
    std::vector<TBandRow> In;
    if (L.Clean())
      In.push_back(TBandRow::Clean);
    if (L.Noise)
      In.push_back(L.SnrDb >= 20   ? TBandRow::Snr20
                   : L.SnrDb >= 10 ? TBandRow::Snr10
                   : L.SnrDb >= 0  ? TBandRow::Snr0
                                   : TBandRow::SnrBelow0);
    if (L.QsbDepthDb > 0)
      In.push_back(TBandRow::Qsb);
    if (L.Qrm > 0)
      In.push_back(TBandRow::Qrm);
    if (L.QrnPerMin > 0)
      In.push_back(TBandRow::Qrn);
    if (L.FistPct > 0)
      In.push_back(TBandRow::Fist);
    for (const TBandRow R : In) {
      TBandVergleich& V = Rows[static_cast<size_t>(R)];
      ++V.Runs;
      V.Sent += L.Sent;
      V.Wrong += L.Wrong;
      if (L.ReactionMs >= 0)
        Ms[static_cast<size_t>(R)].push_back(L.ReactionMs);
    }
  }
  for (size_t R = 0; R < BandRows; ++R) {
    std::vector<int32_t>& M = Ms[R];
    if (M.empty())
      continue;
    std::sort(M.begin(), M.end());
    const size_t N = M.size();
    Rows[R].ReactionMs = N % 2 == 1 ? M[N / 2] : (M[N / 2 - 1] + M[N / 2]) / 2;
  }
  return Rows;
}

// ---------------------------------------------------------------------------

TStatChart::TStatChart(QWidget* Parent) : QWidget(Parent) {
  setObjectName("StatChart");
  setFixedSize(ChartWidth, ChartHeight);
  setMouseTracking(true);
  setFont(PixelFont("Arial", 12));
}

void TStatChart::SetBars(std::vector<TStatBar> Bars, uint8_t Charset, int32_t TargetMs) {
  FBars = std::move(Bars);
  FCharset = Charset;
  FTargetMs = TargetMs;
  update();
}

int32_t TStatChart::ScaleMs() const {
  int32_t Max = 0;
  for (const TStatBar& B : FBars)
    Max = std::max(Max, B.Stat.ReactionMs);
  return ScaleFor(FTargetMs, Max);
}

int TStatChart::BarAt(const QPoint& Point) const {
  const int N = static_cast<int>(FBars.size());
  if (N == 0)
    return -1;
  const int Step = (width() - AxisLeft - AxisRight) / N;
  if (Step <= 0 || Point.x() < AxisLeft)
    return -1;
  const int I = (Point.x() - AxisLeft) / Step;
  return I < N ? I : -1;
}

QString TStatChart::Tip(int I) const {
  if (I < 0 || I >= static_cast<int>(FBars.size()))
    return {};
  const TStatBar& B = FBars[static_cast<size_t>(I)];
  QString T = QStringLiteral("%1: %2 %3 / %4 %5; %6 %7 %")
                  .arg(ToUnicode(Shown(B.Zeichen), FCharset))
                  .arg(B.Stat.Wrong)
                  .arg(ToUnicode(Text(12, "wrong"), FCharset))
                  .arg(B.Stat.Sent)
                  .arg(ToUnicode(Text(11, "sent"), FCharset))
                  .arg(SText(StatAccuracy, FCharset).section(QLatin1Char('('), 0, 0).trimmed())
                  .arg(Percent(B.Stat));
  if (B.Stat.ReactionMs >= 0)
    T += QStringLiteral("; %1 %2 ms (± %3 ms)")
             .arg(SText(StatReaction, FCharset).section(QLatin1Char('('), 0, 0).trimmed())
             .arg(B.Stat.ReactionMs)
             .arg(B.Stat.SpreadMs / 2);
  if (!B.Als.empty()) {
    T += QStringLiteral("; ") + SText(StatTakenFor, FCharset) + QLatin1Char(':');
    for (size_t K = 0; K < B.Als.size() && K < 3; ++K)
      T += QStringLiteral(" %1 %2×").arg(ToUnicode(Shown(B.Als[K].Als), FCharset)).arg(B.Als[K].Count);
  }
  return T;
}

bool TStatChart::event(QEvent* Event) {
  if (Event->type() != QEvent::ToolTip)
    return QWidget::event(Event);
  const auto* Help = static_cast<QHelpEvent*>(Event);
  ShowChartTip(*this, *Help, Tip(BarAt(Help->pos())));
  return true;
}

void TStatChart::paintEvent(QPaintEvent*) {
  QPainter P(this);
  P.fillRect(rect(), Qt::white);
  const QRect Plot(AxisLeft, AxisTop, width() - AxisLeft - AxisRight, height() - AxisTop - AxisBottom);
  const int32_t Scale = ScaleMs();
  Legend(P, AxisLeft, FCharset, FTargetMs);
  const int N = static_cast<int>(FBars.size());
  const int Step = N > 0 ? Plot.width() / N : 0;
  for (int I = 0; I < N; ++I) {
    const TStatBar& B = FBars[static_cast<size_t>(I)];
    const int Left = Plot.left() + I * Step;
    if (B.Lektion)
      P.fillRect(QRect(Left, Plot.top(), Step, Plot.height()), QColor(242, 242, 242));
    const int W = std::max((Step - 4) / 2, 1);
    if (B.Stat.Sent > 0) {
      const int H = Plot.height() * Percent(B.Stat) / 100;
      P.fillRect(QRect(Left + 2, Plot.bottom() - H, W, H), Rgb(StatBlue));
    }
    if (B.Stat.ReactionMs >= 0) {
      const int H = static_cast<int>(std::lround(static_cast<double>(Plot.height()) *
                                                 std::min(B.Stat.ReactionMs, Scale) / Scale));
      P.fillRect(QRect(Left + 2 + W, Plot.bottom() - H, W, H), Rgb(StatOrange));
    }
    QFont F = font();
    F.setBold(B.Lektion);
    P.setFont(F);
    P.setPen(Qt::black);
    P.drawText(QRect(Left - 4, Plot.bottom() + 2, Step + 8, 16), Qt::AlignHCenter | Qt::AlignTop,
               ToUnicode(Shown(B.Zeichen), FCharset));
    P.setFont(font());
    if (!B.Als.empty()) {
      P.setPen(QColor(90, 90, 90));
      P.drawText(QRect(Left - 4, Plot.bottom() + 18, Step + 8, 16), Qt::AlignHCenter | Qt::AlignTop,
                 QStringLiteral("→") + ToUnicode(Shown(B.Als.front().Als), FCharset));
    }
  }
  Axes(P, Plot, Scale, FTargetMs);
}

// ---------------------------------------------------------------------------

TProgressChart::TProgressChart(QWidget* Parent) : QWidget(Parent) {
  setObjectName("ProgressChart");
  setFixedSize(ChartWidth, ProgressHeight);
  setMouseTracking(true);
  setFont(PixelFont("Arial", 12));
}

void TProgressChart::SetTage(std::vector<TStatTag> Tage, uint8_t Charset, int32_t TargetMs) {
  FTage = std::move(Tage);
  FCharset = Charset;
  FTargetMs = TargetMs;
  update();
}

int TProgressChart::X(int I) const {
  const int N = static_cast<int>(FTage.size());
  const int W = width() - AxisLeft - AxisRight - 20;
  return AxisLeft + 10 + (N > 1 ? W * I / (N - 1) : W / 2);
}

int TProgressChart::TagAt(const QPoint& Point) const {
  int Best = -1;
  for (int I = 0; I < static_cast<int>(FTage.size()); ++I)
    if (std::abs(Point.x() - X(I)) <= 8 && (Best < 0 || std::abs(Point.x() - X(I)) < std::abs(Point.x() - X(Best))))
      Best = I;
  return Best;
}

QString TProgressChart::Tip(int I) const {
  if (I < 0 || I >= static_cast<int>(FTage.size()))
    return {};
  const TStatTag& T = FTage[static_cast<size_t>(I)];
  QString S = QStringLiteral("%1: %2 %3, %4 %")
                  .arg(DateOf(T.Day).toString(Qt::ISODate))
                  .arg(T.Runs)
                  .arg(SText(StatRunsLine, FCharset))
                  .arg(T.Percent());
  if (T.ReactionMs >= 0)
    S += QStringLiteral(", %1 ms").arg(T.ReactionMs);
  return S;
}

bool TProgressChart::event(QEvent* Event) {
  if (Event->type() != QEvent::ToolTip)
    return QWidget::event(Event);
  const auto* Help = static_cast<QHelpEvent*>(Event);
  ShowChartTip(*this, *Help, Tip(TagAt(Help->pos())));
  return true;
}

void TProgressChart::paintEvent(QPaintEvent*) {
  QPainter P(this);
  P.setRenderHint(QPainter::Antialiasing, true);
  P.fillRect(rect(), Qt::white);
  const QRect Plot(AxisLeft, AxisTop, width() - AxisLeft - AxisRight, height() - AxisTop - 30);
  int32_t Max = 0;
  for (const TStatTag& T : FTage)
    Max = std::max(Max, T.ReactionMs);
  const int32_t Scale = ScaleFor(FTargetMs, Max);
  // The title, then the legend of the chart above.
  QFont Bold = font();
  Bold.setBold(true);
  P.setFont(Bold);
  P.setPen(Qt::black);
  const QString Title = SText(StatProgress, FCharset);
  P.drawText(QPoint(AxisLeft, 16), Title);
  const int LegendLeft = AxisLeft + QFontMetrics(Bold).horizontalAdvance(Title) + 16;
  P.setFont(font());
  Legend(P, LegendLeft, FCharset, FTargetMs);
  P.setRenderHint(QPainter::Antialiasing, false);
  Axes(P, Plot, Scale, FTargetMs);
  P.setRenderHint(QPainter::Antialiasing, true);
  if (FTage.empty()) {
    P.setPen(Qt::black);
    P.drawText(Plot, Qt::AlignCenter, SText(StatNoRuns, FCharset));
    return;
  }
  QPainterPath Acc;
  QPainterPath Re;
  bool ReStarted = false;
  for (int I = 0; I < static_cast<int>(FTage.size()); ++I) {
    const TStatTag& T = FTage[static_cast<size_t>(I)];
    const QPointF A(X(I), Plot.bottom() - Plot.height() * T.Percent() / 100.0);
    I == 0 ? Acc.moveTo(A) : Acc.lineTo(A);
    if (T.ReactionMs >= 0) {
      const QPointF R(X(I), Plot.bottom() - static_cast<double>(Plot.height()) * std::min(T.ReactionMs, Scale) / Scale);
      ReStarted ? Re.lineTo(R) : Re.moveTo(R);
      ReStarted = true;
    }
  }
  P.setPen(QPen(Rgb(StatBlue), 2));
  P.drawPath(Acc);
  P.setPen(QPen(Rgb(StatOrange), 2));
  P.drawPath(Re);
  // Marks of their own shape as well as colour: circles and squares.
  for (int I = 0; I < static_cast<int>(FTage.size()); ++I) {
    const TStatTag& T = FTage[static_cast<size_t>(I)];
    P.setPen(Qt::NoPen);
    P.setBrush(Rgb(StatBlue));
    P.drawEllipse(QPointF(X(I), Plot.bottom() - Plot.height() * T.Percent() / 100.0), 3.5, 3.5);
    if (T.ReactionMs >= 0) {
      P.setBrush(Rgb(StatOrange));
      const double Y = Plot.bottom() - static_cast<double>(Plot.height()) * std::min(T.ReactionMs, Scale) / Scale;
      P.drawRect(QRectF(X(I) - 3.5, Y - 3.5, 7, 7));
    }
  }
  P.setPen(Qt::black);
  // Dates under the days, as many as fit.
  const int Every = std::max(1, static_cast<int>(FTage.size()) / 8);
  for (int I = 0; I < static_cast<int>(FTage.size()); I += Every)
    P.drawText(QRect(X(I) - 30, Plot.bottom() + 3, 60, 14), Qt::AlignHCenter,
               DateOf(FTage[static_cast<size_t>(I)].Day).toString(QStringLiteral("dd.MM.")));
  P.drawText(QRect(Plot.left(), Plot.bottom() + 15, Plot.width(), 14), Qt::AlignHCenter,
             SText(StatDayAxis, FCharset));
}

// ---------------------------------------------------------------------------

std::string StatCsv(const TStatistik& Stat) {
  std::string Csv = "row,course,character,sent,wrong,accuracy_percent,median_reaction_ms,reaction_"
                    "spread_ms,taken_for,"
                    "date,exercise,lesson,kind,char_wpm,effective_wpm,snr_db,qsb_depth_db,qsb_"
                    "period_s,qrm,qrn_per_min,"
                    "fist_percent\r\n";
  const std::string NoBand = ",,,,,,,,,";
  for (int32_t K = 1; K <= 4; ++K) {
    const TLayout* Layout = LayoutOfNr(K);
    const uint8_t Charset = Layout != nullptr ? Layout->Charset : ANSI_CHARSET;
    for (int C = 1; C < 256; ++C) {
      const char Z = static_cast<char>(C);
      const TZeichenStat S = Stat.Of(K, Z);
      if (S.Sent <= 0)
        continue;
      std::string Als;
      for (const TVerwechslung& V : Stat.Verwechslungen(K, Z))
        Als += (Als.empty() ? "" : " ") + ToUnicode(Shown(V.Als), Charset).toStdString() + ":" +
               std::to_string(V.Count);
      Csv += "character," + CourseName(K) + "," + CsvField(ToUnicode(Shown(Z), Charset)) + "," +
             std::to_string(S.Sent) + "," + std::to_string(S.Wrong) + "," +
             std::to_string(Percent(S)) + "," + Ms(S.ReactionMs) + "," + Ms(S.SpreadMs) + "," +
             CsvField(QString::fromStdString(Als)) + ",,," + NoBand + "\r\n";
    }
  }
  for (int32_t K = 1; K <= 4; ++K)
    for (const TStatLauf& L : Stat.Laeufe(K)) {
      const int32_t Pc = L.Sent > 0 ? static_cast<int32_t>(std::lround(100.0 * (L.Sent - L.Wrong) / L.Sent)) : 0;
      Csv += "run," + CourseName(K) + ",," + std::to_string(L.Sent) + "," +
             std::to_string(L.Wrong) + "," + std::to_string(Pc) + "," + Ms(L.ReactionMs) + ",,," +
             DateOf(L.Day).toString(Qt::ISODate).toStdString() + "," + std::to_string(L.UebNr) +
             "," + std::to_string(L.LektNr) + NoBand + "\r\n";
    }
  static const char* const Kinds[] = {"groups",   "words",         "callsigns",
                                      "contacts", "abbreviations", "text"};
  for (int32_t K = 1; K <= 4; ++K)
    for (const TPracticeLauf& L : Stat.PracticeLaeufe(K)) {
      const int32_t Pc =
          L.Sent > 0 ? static_cast<int32_t>(std::lround(100.0 * (L.Sent - L.Wrong) / L.Sent)) : 0;
      const bool Qsb = L.QsbDepthDb > 0;
      Csv += "practice," + CourseName(K) + ",," + std::to_string(L.Sent) + "," +
             std::to_string(L.Wrong) + "," + std::to_string(Pc) + "," + Ms(L.ReactionMs) + ",,," +
             DateOf(L.Day).toString(Qt::ISODate).toStdString() + ",,," +
             (L.Kind >= 0 && L.Kind < 6 ? Kinds[L.Kind] : "") + "," + std::to_string(L.CharWpm) +
             "," + std::to_string(L.EffectiveWpm) + "," +
             (L.Noise ? std::to_string(L.SnrDb) : std::string()) + "," +
             std::to_string(L.QsbDepthDb) + "," +
             (Qsb ? std::to_string(L.QsbPeriodSec) : std::string()) + "," + std::to_string(L.Qrm) +
             "," + std::to_string(L.QrnPerMin) + "," + std::to_string(L.FistPct) + "\r\n";
    }
  return Csv;
}

bool ExportStatCsv(const TStatistik& Stat, const std::string& Path, TMessageReporter& Reporter) {
  QSaveFile File(QString::fromLocal8Bit(Path.c_str()));
  const std::string Csv = StatCsv(Stat);
  if (File.open(QIODevice::WriteOnly) &&
      File.write(Csv.data(), static_cast<qint64>(Csv.size())) == static_cast<qint64>(Csv.size()) && File.commit())
    return true;
  std::string T = StatistikLineText(StatNotWritten);
  const size_t P = T.find("%1");
  if (P != std::string::npos)
    T.replace(P, 2, Path);
  Reporter.ShowMessage(T);
  return false;
}

// ---------------------------------------------------------------------------

TStatForm::TStatForm(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName("StatForm");
  setFont(PixelFont("Arial", 12));
  auto* L = new QVBoxLayout(this);
  StatChart = new TStatChart(this);
  L->addWidget(StatChart);
  auto* Row = new QHBoxLayout;
  WeakLabel = new QLabel(this);
  WeakLabel->setObjectName("WeakLabel");
  WeakLabel->setFont(PixelFont("Arial", 14, true));
  Row->addWidget(WeakLabel);
  MarkBtn = new QPushButton(this);
  MarkBtn->setObjectName("MarkBtn");
  Row->addWidget(MarkBtn);
  Row->addStretch(1);
  TargetLabel = new QLabel(this);
  TargetLabel->setObjectName("TargetLabel");
  Row->addWidget(TargetLabel);
  TargetSB = new QSpinBox(this);
  TargetSB->setObjectName("TargetSB");
  TargetSB->setRange(100, 10000);
  TargetSB->setSingleStep(50);
  TargetLabel->setBuddy(TargetSB);
  Row->addWidget(TargetSB);
  L->addLayout(Row);
  ProgressChart = new TProgressChart(this);
  L->addWidget(ProgressChart);
  StatTable = new QTableWidget(this);
  StatTable->setObjectName("StatTable");
  StatTable->setColumnCount(6);
  StatTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StatTable->verticalHeader()->hide();
  StatTable->verticalHeader()->setDefaultSectionSize(20);
  // The characters' table and the copy practice's runs by their band
  // conditions on two tabs, so each keeps the window's width.
  StatTabs = new QTabWidget(this);
  StatTabs->setObjectName("StatTabs");
  StatTabs->addTab(StatTable, QString());
  auto* BandPage = new QWidget(this);
  auto* BandBox = new QVBoxLayout(BandPage);
  BandBox->setContentsMargins(4, 4, 4, 4);
  BandLabel = new QLabel(BandPage);
  BandLabel->setObjectName("BandLabel");
  BandBox->addWidget(BandLabel);
  BandTable = new QTableWidget(BandPage);
  BandTable->setObjectName("BandTable");
  BandTable->setColumnCount(4);
  BandTable->setRowCount(static_cast<int>(BandRows));
  BandTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  BandTable->verticalHeader()->hide();
  BandTable->verticalHeader()->setDefaultSectionSize(18);
  BandTable->horizontalHeader()->setStretchLastSection(true);
  BandLabel->setBuddy(BandTable);
  BandBox->addWidget(BandTable);
  StatTabs->addTab(BandPage, QString());
  StatTabs->setFixedHeight(250);
  L->addWidget(StatTabs);
  auto* Buttons = new QHBoxLayout;
  ExportBtn = new QPushButton(this);
  ExportBtn->setObjectName("ExportBtn");
  Buttons->addWidget(ExportBtn);
  Buttons->addStretch(1);
  CloseBtn = new QPushButton(this);
  CloseBtn->setObjectName("CloseBtn");
  Buttons->addWidget(CloseBtn);
  L->addLayout(Buttons);
  connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(MarkBtn, &QPushButton::clicked, this, [this] {
    if (OnMark && !FWeak.empty())
      OnMark(FWeak);
    MarkBtn->setEnabled(false);
  });
  connect(ExportBtn, &QPushButton::clicked, this, [this] {
    if (OnExport)
      OnExport();
  });
  connect(TargetSB, &QSpinBox::valueChanged, this, [this](int Ms) {
    if (FFilling)
      return;
    if (OnTarget)
      OnTarget(Ms);
    // The chart follows at once.
    StatChart->SetBars(StatChart->Bars(), CharsetOf(StatChart), Ms);
  });
}

void TStatForm::Fill(const TStatistik& Stat, int32_t KursNr, uint8_t Charset, bool CanMark) {
  FFilling = true;
  auto U = [Charset](const std::string& S) { return ToUnicode(S, Charset); };
  setWindowTitle(U(Text(6, "Statistics")));
  const int32_t TargetMs = Stat.TargetMs();
  const std::vector<TStatBar> All =
      StatBars(Stat, KursNr, course::Kurs.KursFolge, course::Kurs.LektZeichen, TargetMs);
  FWeak = Weakest(All, GroupCandidates(course::Kurs.LektZeichen));
  std::vector<TStatBar> Bars = WeakestFirst(All);
  StatChart->setAccessibleName(U(Text(6, "Statistics")));
  ProgressChart->setAccessibleName(SText(StatProgress, Charset));
  std::string Weak = Text(8, "Weakest") + ":";
  // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on a
  // literal plus a temporary string.
  if (FWeak.empty()) {
    Weak += ' ';
    Weak += Text(15, "no errors counted yet");
  } else {
    for (size_t I = 0; I < FWeak.size(); ++I) {
      Weak += I == 0 ? " " : ", ";
      Weak += Shown(FWeak[I]);
    }
  }
  WeakLabel->setText(U(Weak));
  MarkBtn->setText(U(Text(9, "Practise these")));
  MarkBtn->setEnabled(CanMark && !FWeak.empty());
  CloseBtn->setText(U(Text(14, "Close")));
  ExportBtn->setText(SText(StatExport, Charset));
  TargetLabel->setText(SText(StatTargetSetting, Charset));
  TargetSB->setAccessibleName(SText(StatTargetSetting, Charset));
  TargetSB->setValue(TargetMs);

  StatTable->setHorizontalHeaderLabels({U(Text(10, "Character")), U(Text(11, "Sent")), U(Text(12, "Wrong")),
                                        SText(StatAccuracy, Charset), SText(StatReaction, Charset),
                                        SText(StatTakenFor, Charset)});
  StatTable->setAccessibleName(U(Text(6, "Statistics")));
  StatTable->setRowCount(static_cast<int>(Bars.size()));
  for (int R = 0; R < static_cast<int>(Bars.size()); ++R) {
    const TStatBar& B = Bars[static_cast<size_t>(R)];
    QString Als;
    for (size_t K = 0; K < B.Als.size() && K < 3; ++K)
      Als += (K == 0 ? QString() : QStringLiteral(", ")) +
             QStringLiteral("%1 %2×").arg(U(Shown(B.Als[K].Als))).arg(B.Als[K].Count);
    const QString Cells[6] = {U(Shown(B.Zeichen)),
                              QString::number(B.Stat.Sent),
                              QString::number(B.Stat.Wrong),
                              B.Stat.Sent > 0 ? QStringLiteral("%1 %").arg(Percent(B.Stat)) : QString(),
                              B.Stat.ReactionMs >= 0 ? QStringLiteral("%1 ms").arg(B.Stat.ReactionMs) : QString(),
                              Als};
    for (int C = 0; C < 6; ++C) {
      auto* Item = new QTableWidgetItem(Cells[C]);
      if (B.Lektion) {
        QFont F = Item->font();
        F.setBold(true);
        Item->setFont(F);
      }
      StatTable->setItem(R, C, Item);
    }
  }
  StatTable->resizeColumnsToContents();
  SetCharset(StatChart, Charset);
  StatChart->SetBars(std::move(Bars), Charset, TargetMs);
  ProgressChart->SetTage(StatTage(Stat.Laeufe(KursNr)), Charset, TargetMs);

  const auto B = [Charset](TBandLine Line) { return ToUnicode(BandLineText(Line), Charset); };
  const std::vector<TPracticeLauf> Practice = Stat.PracticeLaeufe(KursNr);
  BandLabel->setText(Practice.empty() ? B(BandCompare) + QStringLiteral(": ") + B(BandNoRuns)
                                      : B(BandCompare));
  BandTable->setAccessibleName(B(BandCompare));
  BandLabel->setVisible(Practice.empty());
  StatTabs->setTabText(0, SText(StatCharacters, Charset));
  StatTabs->setTabText(1, B(BandCompare));
  // The figures' headings on two lines, parted at the space nearest their
  // middle: the narrow columns leave room for the rows in every language.
  const auto TwoLines = [](QString Heading) {
    qsizetype Best = -1;
    for (qsizetype I = 0; I < Heading.size(); ++I)
      if (Heading[I] == QLatin1Char(' ') &&
          (Best < 0 || std::abs(2 * I - Heading.size()) < std::abs(2 * Best - Heading.size())))
        Best = I;
    if (Best >= 0)
      Heading[Best] = QLatin1Char('\n');
    return Heading;
  };
  BandTable->setHorizontalHeaderLabels({B(BandConditions), SText(StatRunsLine, Charset),
                                        TwoLines(SText(StatAccuracy, Charset)),
                                        TwoLines(SText(StatReaction, Charset))});
  constexpr std::array<TBandLine, BandRows> Names = {BandClean,   BandSnr20,     BandSnr10,
                                                     BandSnr0,    BandSnrBelow0, BandWithQsb,
                                                     BandWithQrm, BandWithQrn,   BandWithFist};
  const std::vector<TBandVergleich> Rows = BandVergleich(Practice);
  for (size_t R = 0; R < BandRows; ++R) {
    const TBandVergleich& V = Rows[R];
    const QString Cells[4] = {B(Names[R]), QString::number(V.Runs),
                              V.Sent > 0 ? QStringLiteral("%1 %").arg(V.Percent()) : QString(),
                              V.ReactionMs >= 0 ? QStringLiteral("%1 ms").arg(V.ReactionMs)
                                                : QString()};
    for (int C = 0; C < 4; ++C) {
      auto* Item = new QTableWidgetItem(Cells[C]);
      if (C > 0)
        Item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      BandTable->setItem(static_cast<int>(R), C, Item);
    }
  }
  BandTable->resizeColumnsToContents();
  // Every row in sight, with room for a scroll bar in a language whose
  // texts are wide; the characters' table as high beside it.
  BandTable->setFixedHeight(BandTable->horizontalHeader()->sizeHint().height() +
                            BandTable->verticalHeader()->length() + 2 * BandTable->frameWidth() +
                            BandTable->horizontalScrollBar()->sizeHint().height());
  StatTable->setFixedHeight(BandTable->height() + BandLabel->sizeHint().height());
  FFilling = false;
}
