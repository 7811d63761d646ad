#include "training/StatForm.h"

#include "course/CourseState.h"
#include "course/LessonPlan.h"
#include "windows/Caption.h"
#include "windows/Fonts.h"
#include "storage/Texts.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

std::string Text(size_t Line, const char* Designed) {
  const std::string& T = storage::Texte.TypedCopyText[Line];
  return T.empty() ? std::string(Designed) : T;
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
  return S.Sent > 0 ? static_cast<int>(std::lround(100.0 * S.Wrong / S.Sent)) : 0;
}

constexpr int ChartWidth = 560;
constexpr int ChartHeight = 200;
constexpr int AxisLeft = 34;   // pixels for the percent scale
constexpr int AxisBottom = 32; // pixels for the characters: two lines for KA and SK

} // namespace

std::vector<TStatBar> StatBars(const TStatistik& Stat, int32_t KursNr, const std::string& KursFolge,
                               const std::string& LektZeichen) {
  std::vector<TStatBar> Bars;
  for (const char C : KursFolge) {
    TStatBar B;
    B.Zeichen = C;
    B.Stat = Stat.Of(KursNr, C);
    B.Lektion = LektZeichen.find(C) != std::string::npos;
    Bars.push_back(B);
  }
  return Bars;
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

TStatChart::TStatChart(QWidget* Parent) : QWidget(Parent) {
  setObjectName("StatChart");
  setFixedSize(ChartWidth, ChartHeight);
  setMouseTracking(true);
  setFont(PixelFont("Arial", 12, true));
}

void TStatChart::SetBars(std::vector<TStatBar> Bars, uint8_t Charset) {
  FBars = std::move(Bars);
  FCharset = Charset;
  update();
}

QRect TStatChart::BarRect(int I) const {
  const int N = std::max(static_cast<int>(FBars.size()), 1);
  const int Step = (width() - AxisLeft - 4) / N;
  const int Plot = height() - AxisBottom - 6;
  const double Rate = FBars[static_cast<size_t>(I)].Stat.Rate();
  const int H = static_cast<int>(std::lround(Rate * Plot));
  const int Left = AxisLeft + I * Step + 1;
  return QRect(Left, height() - AxisBottom - H, std::max(Step - 2, 1), H);
}

int TStatChart::BarAt(const QPoint& Point) const {
  const int N = static_cast<int>(FBars.size());
  if (N == 0)
    return -1;
  const int Step = (width() - AxisLeft - 4) / N;
  if (Step <= 0 || Point.x() < AxisLeft)
    return -1;
  const int I = (Point.x() - AxisLeft) / Step;
  return I < N ? I : -1;
}

QString TStatChart::Tip(int I) const {
  if (I < 0 || I >= static_cast<int>(FBars.size()))
    return {};
  const TStatBar& B = FBars[static_cast<size_t>(I)];
  return QStringLiteral("%1: %2 %3 / %4 %5 (%6 %)")
      .arg(ToUnicode(Shown(B.Zeichen), FCharset))
      .arg(B.Stat.Wrong)
      .arg(ToUnicode(Text(12, "wrong"), FCharset))
      .arg(B.Stat.Sent)
      .arg(ToUnicode(Text(11, "sent"), FCharset))
      .arg(Percent(B.Stat));
}

bool TStatChart::event(QEvent* Event) {
  if (Event->type() == QEvent::ToolTip) {
    const auto* Help = static_cast<QHelpEvent*>(Event);
    const QString T = Tip(BarAt(Help->pos()));
    if (T.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(Help->globalPos(), T, this);
    return true;
  }
  return QWidget::event(Event);
}

void TStatChart::paintEvent(QPaintEvent*) {
  QPainter P(this);
  P.fillRect(rect(), Qt::white);
  const int Plot = height() - AxisBottom - 6;
  const int Base = height() - AxisBottom;
  P.setPen(QColor(200, 200, 200));
  for (int Pc = 0; Pc <= 100; Pc += 25) {
    const int Y = Base - Plot * Pc / 100;
    P.drawLine(AxisLeft, Y, width() - 2, Y);
    P.setPen(Qt::black);
    P.drawText(QRect(0, Y - 7, AxisLeft - 4, 14), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("%1%").arg(Pc));
    P.setPen(QColor(200, 200, 200));
  }
  const int N = static_cast<int>(FBars.size());
  if (N == 0)
    return;
  const int Step = (width() - AxisLeft - 4) / N;
  for (int I = 0; I < N; ++I) {
    const TStatBar& B = FBars[static_cast<size_t>(I)];
    const int Left = AxisLeft + I * Step;
    // The lesson's characters stand on a ground of their own.
    if (B.Lektion)
      P.fillRect(QRect(Left, Base - Plot, Step, Plot + AxisBottom), QColor(225, 235, 255));
    if (B.Stat.Sent > 0)
      P.fillRect(BarRect(I), B.Lektion ? QColor(0, 0, 200) : QColor(120, 120, 120));
    P.setPen(B.Lektion ? QColor(0, 0, 200) : Qt::black);
    // The prosigns' names a letter above the other, in the type of every
    // other character, so that they keep to their bar and can be read.
    QString Label;
    for (const QChar C : ToUnicode(Shown(B.Zeichen), FCharset))
      Label += (Label.isEmpty() ? QString() : QStringLiteral("\n")) + C;
    P.drawText(QRect(Left - 2, Base + 2, Step + 4, AxisBottom - 2), Qt::AlignHCenter | Qt::AlignTop,
               Label);
  }
  P.setPen(Qt::black);
  P.drawLine(AxisLeft, Base, width() - 2, Base);
}

TStatForm::TStatForm(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName("StatForm");
  setFont(PixelFont("Arial", 12));
  auto* L = new QVBoxLayout(this);
  StatChart = new TStatChart(this);
  L->addWidget(StatChart);
  WeakLabel = new QLabel(this);
  WeakLabel->setObjectName("WeakLabel");
  WeakLabel->setFont(PixelFont("Arial", 14, true));
  L->addWidget(WeakLabel);
  MarkBtn = new QPushButton(this);
  MarkBtn->setObjectName("MarkBtn");
  L->addWidget(MarkBtn, 0, Qt::AlignLeft);
  StatTable = new QTableWidget(this);
  StatTable->setObjectName("StatTable");
  StatTable->setColumnCount(4);
  StatTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StatTable->verticalHeader()->hide();
  StatTable->verticalHeader()->setDefaultSectionSize(20);
  StatTable->setFixedHeight(150);
  L->addWidget(StatTable);
  CloseBtn = new QPushButton(this);
  CloseBtn->setObjectName("CloseBtn");
  L->addWidget(CloseBtn, 0, Qt::AlignRight);
  connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(MarkBtn, &QPushButton::clicked, this, [this] {
    if (OnMark && !FWeak.empty())
      OnMark(FWeak);
    MarkBtn->setEnabled(false);
  });
}

void TStatForm::Fill(const TStatistik& Stat, int32_t KursNr, uint8_t Charset, bool CanMark) {
  auto U = [Charset](const std::string& S) { return ToUnicode(S, Charset); };
  setWindowTitle(U(Text(6, "Statistics")));
  std::vector<TStatBar> Bars = StatBars(Stat, KursNr, course::Kurs.KursFolge, course::Kurs.LektZeichen);
  FWeak = Weakest(Bars, GroupCandidates(course::Kurs.LektZeichen));
  StatChart->setAccessibleName(U(Text(6, "Statistics")));
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

  StatTable->setHorizontalHeaderLabels({U(Text(10, "Character")), U(Text(11, "Sent")),
                                        U(Text(12, "Wrong")), U(Text(13, "Error rate"))});
  StatTable->setAccessibleName(U(Text(6, "Statistics")));
  StatTable->setRowCount(static_cast<int>(Bars.size()));
  for (int R = 0; R < static_cast<int>(Bars.size()); ++R) {
    const TStatBar& B = Bars[static_cast<size_t>(R)];
    const QString Cells[4] = {U(Shown(B.Zeichen)), QString::number(B.Stat.Sent),
                              QString::number(B.Stat.Wrong),
                              QStringLiteral("%1 %").arg(Percent(B.Stat))};
    for (int C = 0; C < 4; ++C) {
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
  StatChart->SetBars(std::move(Bars), Charset);
}
