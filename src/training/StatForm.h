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
class QSpinBox;
class QTabWidget;
class QTableWidget;
class TMessageReporter;

// One character of the chart: its figures and what it is taken for.
struct TStatBar {
  char Zeichen = '\0';
  TZeichenStat Stat;
  bool Lektion = false; // a character of the lesson in force
  std::vector<TVerwechslung> Als; // most frequent first
  double Gewicht = 1.0;           // how weak, as the weak practice weighs it
};

// The bars of a course in teaching order (KursFolge), the lesson's
// characters (LektZeichen) flagged, each weighed against TargetMs.
std::vector<TStatBar> StatBars(const TStatistik& Stat, int32_t KursNr, const std::string& KursFolge,
                               const std::string& LektZeichen, int32_t TargetMs = StatTargetMsDefault);

// The bars with figures, the weakest first (the weak practice's weight,
// teaching order on a tie), then the lesson's characters not yet sent.
std::vector<TStatBar> WeakestFirst(const std::vector<TStatBar>& Bars);

// Up to Count characters of Candidates with the highest error rate among
// those sent and copied wrong at least once; the more often sent first on a
// tie, then teaching order.
std::string Weakest(const std::vector<TStatBar>& Bars, const std::string& Candidates,
                    size_t Count = 3);

// One day of the progress chart.
struct TStatTag {
  int32_t Day = 0;
  int32_t Runs = 0;
  int32_t Sent = 0;
  int32_t Wrong = 0;
  int32_t ReactionMs = -1; // the median of the day's runs' medians
  int32_t Percent() const;
};
std::vector<TStatTag> StatTage(const std::vector<TStatLauf>& Laeufe);

// The copy practice's runs compared by the band conditions they sounded
// under: clean, noise by its signal-to-noise ratio (20 dB and more, 10 to
// 19, 0 to 9, below 0), and with fading, other stations, static crashes or
// a fist (a run with several conditions counts in each of their rows).
enum class TBandRow { Clean, Snr20, Snr10, Snr0, SnrBelow0, Qsb, Qrm, Qrn, Fist };
constexpr size_t BandRows = 9;
struct TBandVergleich {
  TBandRow Row = TBandRow::Clean;
  int32_t Runs = 0;
  int32_t Sent = 0;
  int32_t Wrong = 0;
  int32_t ReactionMs = -1; // the median of the runs' medians
  int32_t Percent() const;
};
std::vector<TBandVergleich> BandVergleich(const std::vector<TPracticeLauf>& Laeufe);

// Colours a colour-blind learner tells apart (Okabe and Ito): accuracy
// blue, reaction orange.
inline constexpr uint32_t StatBlue = 0x0072B2;
inline constexpr uint32_t StatOrange = 0xE69F00;

// Per character, weakest first: accuracy (blue, % on the left axis) and
// median reaction (orange, ms on the right axis) against the target line,
// what it is taken for under its name; the figures show on hover.
class TStatChart final : public QWidget {
public:
  explicit TStatChart(QWidget* Parent = nullptr);
  void SetBars(std::vector<TStatBar> Bars, uint8_t Charset, int32_t TargetMs);
  const std::vector<TStatBar>& Bars() const { return FBars; }
  // The bar under a point of the widget, or -1.
  int BarAt(const QPoint& Point) const;
  // What the hover shows for bar I.
  QString Tip(int I) const;
  // The top of the reaction scale, in ms.
  int32_t ScaleMs() const;

protected:
  void paintEvent(QPaintEvent* Event) override;
  bool event(QEvent* Event) override;

private:
  std::vector<TStatBar> FBars;
  uint8_t FCharset = 0;
  int32_t FTargetMs = StatTargetMsDefault;
};

// Accuracy and median reaction per day, over the history of the course.
class TProgressChart final : public QWidget {
public:
  explicit TProgressChart(QWidget* Parent = nullptr);
  void SetTage(std::vector<TStatTag> Tage, uint8_t Charset, int32_t TargetMs);
  const std::vector<TStatTag>& Tage() const { return FTage; }
  int TagAt(const QPoint& Point) const;
  QString Tip(int I) const;

protected:
  void paintEvent(QPaintEvent* Event) override;
  bool event(QEvent* Event) override;

private:
  int X(int I) const;
  std::vector<TStatTag> FTage;
  uint8_t FCharset = 0;
  int32_t FTargetMs = StatTargetMsDefault;
};

// The figures as CSV (UTF-8, a header line): one row per course and
// character ("character"), one per run of the history ("run"), one per
// run of the copy practice with its conditions ("practice").
std::string StatCsv(const TStatistik& Stat);
// Writes StatCsv to Path; a file that cannot be written is told.
bool ExportStatCsv(const TStatistik& Stat, const std::string& Path, TMessageReporter& Reporter);

// The statistics window: the characters of the course in force, weakest
// first, the progress per day, the learner's target reaction, the three
// weakest characters of the lesson with a button that marks them for the
// next exercise-4 run, a table of the same figures for screen readers and
// the CSV export. Its texts follow the interface language.
class TStatForm final : public QDialog {
public:
  explicit TStatForm(QWidget* Parent = nullptr);

  TStatChart* StatChart;
  TProgressChart* ProgressChart;
  QLabel* WeakLabel;
  QPushButton* MarkBtn;
  QLabel* TargetLabel;
  QSpinBox* TargetSB;
  QPushButton* ExportBtn;
  QTabWidget* StatTabs;
  QTableWidget* StatTable;
  QLabel* BandLabel;
  QTableWidget* BandTable; // BandVergleich's rows
  QPushButton* CloseBtn;

  // Fills the window from the statistics for course Kurs (1..4); Charset
  // is the course's character set; CanMark whether marks may be set now.
  void Fill(const TStatistik& Stat, int32_t KursNr, uint8_t Charset, bool CanMark);
  // The characters MarkBtn marks.
  const std::string& Weak() const { return FWeak; }
  // Called with Weak() when MarkBtn is pressed.
  std::function<void(const std::string&)> OnMark;
  // The learner set another target (ms).
  std::function<void(int32_t)> OnTarget;
  // ExportBtn pressed.
  std::function<void()> OnExport;

private:
  std::string FWeak;
  bool FFilling = false;
};
