#pragma once

#include "sound/Band.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class TMessageReporter;

// The learner's per-character statistics, "Stat.dat" beside the learner
// record: for every course (the layout number, 1..4) and character, how often
// it was sent and how often it was copied or answered wrong, in each of the
// last StatRuns runs in which it occurred; the reaction times of those runs;
// what it was copied or answered as when wrong; and a history of runs.
//
// The file: a header of StatHeaderSize bytes, "VSTA", then (little-endian,
// 16 bits each) the version, the header's size and one record's size, the
// learner's target reaction time in ms (0: StatTargetMsDefault), then four
// bytes kept as they are; then fixed-size records. The first byte of a
// record is its kind (high four bits) and course (low four bits):
//   kind 0, counts: the character (a byte of the course's code page), the
//     slot the next run goes to (0..19), the runs held (0..20), then
//     StatRuns pairs of 16-bit counts (sent, wrong);
//   kind 1, reactions: the character, next slot, runs held, then StatRuns
//     pairs of 16-bit ms (the run's median reaction, the spread between its
//     quartiles), 0xFFFF for a run without a timed answer;
//   kind 2, confusions: the character sent, the entries (0..20), a byte kept,
//     then 20 entries of the character it was taken for, a byte kept and a
//     16-bit count;
//   kind 3, history: the entries (0..8), two bytes kept, then 8 runs of 10
//     bytes: the day (16 bits, days since 2000-01-01), the exercise, the
//     lesson, characters sent, characters wrong, the median reaction in ms
//     (0xFFFF: none), 16 bits each;
//   kind 4, practice runs (a typed copy of the copy practice): the entries
//     (0..4), two bytes kept, then 4 runs of 20 bytes: the day, characters
//     sent, characters wrong, the median reaction in ms (0xFFFF: none), 16
//     bits each; then a byte each: the character and the effective speed in
//     wpm, the signal-to-noise ratio in dB as a signed byte (-128: no
//     noise), the fading's depth in dB and its period in s, the other
//     stations, the static crashes per minute, the fist in percent, the kind
//     of text; three bytes kept.
// The first version knew kind 0 only, the second kinds 0 to 3; each keeps
// the records of kinds it does not know as bytes, so a file goes back and
// forth between versions without loss. A later version may make the header
// or the records longer: the sizes in the header are followed, the bytes
// beyond the known fields are kept, and so is every record that is not
// valid and whatever follows the last whole record.

inline constexpr char StatFileName[] = "Stat.dat";
inline constexpr char StatNotSavedText[] =
    "\"Stat.dat\" cannot be written. The statistics of this run will not be saved!";
inline constexpr char StatFullText[] =
    "\"Stat.dat\" is full. Characters it does not hold yet will not be counted!";

constexpr size_t StatRuns = 20;
constexpr size_t StatHeaderSize = 16;
constexpr size_t StatRecordSize = 4 + 4 * StatRuns;
constexpr uint16_t StatVersion = 3;
// A file longer than this is not one the program wrote: it is read up to
// here and never written. The program never makes the file longer.
constexpr size_t StatMaxFileSize = 1 << 20;
// Confusion partners kept per character; runs of the history per record and
// per course (the oldest goes first): about a year of daily practice.
constexpr size_t StatPartners = 20;
constexpr size_t StatHistoryPerRecord = 8;
constexpr size_t StatHistoryMax = 64 * StatHistoryPerRecord;
// Practice runs per record and per course (the oldest goes first).
constexpr size_t StatPracticePerRecord = 4;
constexpr size_t StatPracticeMax = 128 * StatPracticePerRecord;
// A reaction beyond this is no reaction (the learner left the keyboard): it
// is neither kept nor shown.
constexpr int32_t StatMaxReactionMs = 30000;
constexpr int32_t StatTargetMsDefault = 1000;

// One character's figures over the runs kept.
struct TZeichenStat {
  int32_t Sent = 0;
  int32_t Wrong = 0;
  int32_t Runs = 0;
  // The median of the runs' median reactions, and of their spreads; -1
  // when no run timed an answer.
  int32_t ReactionMs = -1;
  int32_t SpreadMs = -1;
  // Wrong per sent, 0..1; 0 when never sent.
  double Rate() const { return Sent > 0 ? static_cast<double>(Wrong) / Sent : 0.0; }
};

// What one run gives a character.
struct TStatRun {
  char Zeichen = '\0';
  int32_t Sent = 0;
  int32_t Wrong = 0;
  int32_t ReactionMs = -1; // the run's median reaction, -1: none timed
  int32_t SpreadMs = -1;   // between the run's quartiles
};

// What a character was copied or answered as.
struct TVerwechslung {
  char Als = '\0';
  int32_t Count = 0;
};

// One run of the history.
struct TStatLauf {
  int32_t Day = 0; // days since 2000-01-01
  int32_t UebNr = 0;
  int32_t LektNr = 0;
  int32_t Sent = 0;
  int32_t Wrong = 0;
  int32_t ReactionMs = -1;
};

// One run of the copy practice, with the band conditions it sounded under.
struct TPracticeLauf {
  int32_t Day = 0; // days since 2000-01-01
  int32_t Sent = 0;
  int32_t Wrong = 0;
  int32_t ReactionMs = -1;
  int32_t CharWpm = 0;
  int32_t EffectiveWpm = 0;
  bool Noise = false;
  int32_t SnrDb = 0; // only with Noise
  int32_t QsbDepthDb = 0;
  int32_t QsbPeriodSec = 0;
  int32_t Qrm = 0;
  int32_t QrnPerMin = 0;
  int32_t FistPct = 0;
  int32_t Kind = 0; // course::TPracticeKind
  // Heard clean: no noise, fading, other station, crash or fist.
  bool Clean() const {
    return !Noise && QsbDepthDb == 0 && Qrm == 0 && QrnPerMin == 0 && FistPct == 0;
  }
  bool operator==(const TPracticeLauf&) const = default;
};

class TStatistik {
public:
  // A statistics file of no runs.
  TStatistik();
  // The figures held in a file's bytes. Bytes that are not a statistics file
  // (another header) give no figures, and such a file is not to be written
  // (Writable false); an empty one is as a new file.
  static TStatistik Parse(std::span<const uint8_t> Bytes);

  // The file's content: what was read, with the runs added since.
  const std::vector<uint8_t>& Bytes() const { return FBytes; }
  bool Writable() const { return FWritable; }
  // Valid count records read or added.
  size_t Records() const;

  TZeichenStat Of(int32_t Kurs, char Zeichen) const;
  // Adds one run of course Kurs: each character's counts go to the slot of
  // its next run, the oldest of StatRuns being dropped. Counts are capped at
  // 65535; a character with nothing sent is left out. A character without a
  // record whose new record would take the file beyond StatMaxFileSize is
  // left out as well, and counted in Refused: nothing held is given up for
  // it. A run's reaction (when timed) goes to the character's reactions.
  void AddRun(int32_t Kurs, std::span<const TStatRun> Run);
  // Characters (and runs of the history) left out because the file was full.
  size_t Refused() const { return FRefused; }

  // Zeichen was taken for Als Count times more. A character with
  // StatPartners partners gives up its least frequent one for a new one.
  void AddVerwechslung(int32_t Kurs, char Zeichen, char Als, int32_t Count = 1);
  // The characters Zeichen was taken for, the most frequent first.
  std::vector<TVerwechslung> Verwechslungen(int32_t Kurs, char Zeichen) const;

  // The history of course Kurs, the oldest first; at most StatHistoryMax.
  void AddLauf(int32_t Kurs, const TStatLauf& Lauf);
  std::vector<TStatLauf> Laeufe(int32_t Kurs) const;
  // The practice runs of course Kurs, the oldest first; at most
  // StatPracticeMax.
  void AddPracticeLauf(int32_t Kurs, const TPracticeLauf& Lauf);
  std::vector<TPracticeLauf> PracticeLaeufe(int32_t Kurs) const;

  // The learner's target reaction time, 100..10000 ms.
  int32_t TargetMs() const;
  void SetTargetMs(int32_t Ms);

private:
  // Offset of the first valid record of a kind (Tag: kind and course) for
  // Zeichen, or npos.
  size_t Find(uint8_t Tag, char Zeichen) const;
  // A new record of Tag after the last whole one, or npos when the file is
  // full.
  size_t NewRecord(uint8_t Tag, char Zeichen);
  void Index();
  // Appends Entry to the history held in records of Tag, PerRecord entries
  // each, at most Max entries: the oldest goes first.
  void AppendEntry(uint8_t Tag, size_t PerRecord, size_t Max, std::span<const uint8_t> Entry);
  // Every entry of the records of Tag, in file order.
  std::vector<std::span<const uint8_t>> Entries(uint8_t Tag, size_t EntrySize) const;

  std::vector<uint8_t> FBytes;
  size_t FHeaderSize = StatHeaderSize;
  size_t FRecordSize = StatRecordSize;
  size_t FRecordsEnd = StatHeaderSize; // after the last whole record
  bool FWritable = true;
  size_t FRefused = 0;
  std::vector<size_t> FValid; // offsets of the valid records, first of each kind and character
};

// The day number of the history for a date (days since 2000-01-01).
int32_t StatDay(int Year, int Month, int Day);

// Reads "Stat.dat" (a missing file is a new one); an unreadable or foreign
// file gives no figures and is never written.
TStatistik LoadStatistik();

// Writes the statistics as "Stat.dat", atomically, as the learner record is
// written. On failure the learner is told StatNotSavedText once (Told);
// when runs had characters left out for a full file, StatFullText once
// (FullTold).
bool SaveStatistik(const TStatistik& Stat, TMessageReporter& Reporter, bool& Told, bool& FullTold);

// ---------------------------------------------------------------------------
// The program's own options, "Optionen.dat": one byte, bit 0 the typed copy
// of exercise 4, bit 1 the practice of the weak characters. Bytes after it
// are kept. Missing, empty or unreadable: all options off.
//
// The copy practice's band conditions follow in bytes 1 to 7: a byte of
// flags (bit 0: the conditions are kept here, bit 1: noise on), the
// signal-to-noise ratio in dB as a signed byte, the fading's depth in dB and
// its period in s, the other stations, the static crashes per minute and
// the fist in percent. A file without them (an older program's, which keeps
// them when it writes its byte) gives every condition off.

inline constexpr char OptionFileName[] = "Optionen.dat";
inline constexpr char OptionNotSavedText[] =
    "\"Optionen.dat\" cannot be written. The option will not be kept!";

struct TOptionen {
  bool TypedCopy = false; // the learner types the exercise-4 text as it is sounded
  bool WeakPractice = false; // exercise 4 draws the weak characters more often
};

TOptionen ParseOptionen(std::span<const uint8_t> Bytes);
TOptionen LoadOptionen();
bool SaveOptionen(const TOptionen& Optionen, TMessageReporter& Reporter, bool& Told);

practice::TBand ParseBandOptionen(std::span<const uint8_t> Bytes);
// The conditions kept, within their ranges; all off when none are kept.
practice::TBand LoadBandOptionen();
bool SaveBandOptionen(const practice::TBand& Band, TMessageReporter& Reporter, bool& Told);
