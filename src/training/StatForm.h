#pragma once

#include "storage/StatFile.h"

#include <QDialog>
#include <QWidget>

#include <functional>

#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

// One bar of the chart: a character of the course and its figures.
struct TStatBar {
  char Zeichen = '\0';
  TZeichenStat Stat;
  bool Lektion = false; // a character of the lesson in force
};

// The bars of a course in teaching order (KursFolge), the lesson's
// characters (LektZeichen) flagged.
std::vector<TStatBar> StatBars(const TStatistik& Stat, int32_t KursNr, const std::string& KursFolge,
                               const std::string& LektZeichen);

// Up to Count characters of Candidates with the highest error rate among
// those sent and copied wrong at least once; the more often sent first on a
// tie, then teaching order.
std::string Weakest(const std::vector<TStatBar>& Bars, const std::string& Candidates,
                    size_t Count = 3);

// The bar chart: one bar per character, its height the error rate; the
// lesson's characters in blue on a lighter ground, the others grey. The
// figures behind a bar show on hover.
class TStatChart final : public QWidget {
public:
  explicit TStatChart(QWidget* Parent = nullptr);
  void SetBars(std::vector<TStatBar> Bars, uint8_t Charset);
  const std::vector<TStatBar>& Bars() const { return FBars; }
  // The bar under a point of the widget, or -1.
  int BarAt(const QPoint& Point) const;
  // What the hover shows for bar I.
  QString Tip(int I) const;

protected:
  void paintEvent(QPaintEvent* Event) override;
  bool event(QEvent* Event) override;

private:
  QRect BarRect(int I) const;
  std::vector<TStatBar> FBars;
  uint8_t FCharset = 0;
};

// The statistics window: the chart of the course in force, the three
// weakest characters of the lesson under it, a button that marks them for
// the next exercise-4 run, and a table of the same figures for screen
// readers. Its texts follow the interface language.
class TStatForm final : public QDialog {
public:
  explicit TStatForm(QWidget* Parent = nullptr);

  TStatChart* StatChart;
  QLabel* WeakLabel;
  QPushButton* MarkBtn;
  QTableWidget* StatTable;
  QPushButton* CloseBtn;

  // Fills the window from the statistics for course Kurs (1..4); Charset
  // is the course's character set; CanMark whether marks may be set now.
  void Fill(const TStatistik& Stat, int32_t KursNr, uint8_t Charset, bool CanMark);
  // The characters MarkBtn marks.
  const std::string& Weak() const { return FWeak; }
  // Called with Weak() when MarkBtn is pressed.
  std::function<void(const std::string&)> OnMark;

private:
  std::string FWeak;
};
