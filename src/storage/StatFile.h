#pragma once

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
// last StatRuns runs in which it occurred.
//
// The file: a header of StatHeaderSize bytes, "VSTA", then (little-endian,
// 16 bits each) the version, the header's size and one record's size, then
// six bytes kept as they are; then fixed-size records. A record: the
// course, the character (a byte of the course's code page), the slot the
// next run goes to (0..19), the runs held (0..20), then StatRuns pairs of
// 16-bit counts (sent, wrong). A later version may make the header or the
// records longer: the sizes in the header are followed, the bytes beyond
// the known fields are kept, and so is every record that is not valid and
// whatever follows the last whole record.

inline constexpr char StatFileName[] = "Stat.dat";
inline constexpr char StatNotSavedText[] =
    "\"Stat.dat\" cannot be written. The statistics of this run will not be saved!";
inline constexpr char StatFullText[] =
    "\"Stat.dat\" is full. Characters it does not hold yet will not be counted!";

constexpr size_t StatRuns = 20;
constexpr size_t StatHeaderSize = 16;
constexpr size_t StatRecordSize = 4 + 4 * StatRuns;
constexpr uint16_t StatVersion = 1;
// A file longer than this is not one the program wrote: it is read up to
// here and never written. The program never makes the file longer.
constexpr size_t StatMaxFileSize = 1 << 20;

// One character's figures over the runs kept.
struct TZeichenStat {
  int32_t Sent = 0;
  int32_t Wrong = 0;
  int32_t Runs = 0;
  // Wrong per sent, 0..1; 0 when never sent.
  double Rate() const { return Sent > 0 ? static_cast<double>(Wrong) / Sent : 0.0; }
};

// What one run gives a character.
struct TStatRun {
  char Zeichen = '\0';
  int32_t Sent = 0;
  int32_t Wrong = 0;
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
  // Valid records read or added.
  size_t Records() const;

  TZeichenStat Of(int32_t Kurs, char Zeichen) const;
  // Adds one run of course Kurs: each character's counts go to the slot of
  // its next run, the oldest of StatRuns being dropped. Counts are capped at
  // 65535; a character with nothing sent is left out. A character without a
  // record whose new record would take the file beyond StatMaxFileSize is
  // left out as well, and counted in Refused: nothing held is given up for
  // it.
  void AddRun(int32_t Kurs, std::span<const TStatRun> Run);
  // Characters left out by AddRun because the file was full.
  size_t Refused() const { return FRefused; }

private:
  // Offset of the valid record of (Kurs, Zeichen), or npos.
  size_t Find(int32_t Kurs, char Zeichen) const;
  void Index();

  std::vector<uint8_t> FBytes;
  size_t FHeaderSize = StatHeaderSize;
  size_t FRecordSize = StatRecordSize;
  size_t FRecordsEnd = StatHeaderSize; // after the last whole record
  bool FWritable = true;
  size_t FRefused = 0;
  std::vector<size_t> FValid; // offsets of the valid records, first of each character
};

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
// of exercise 4. Bytes after it are kept. Missing, empty or unreadable: all
// options off.

inline constexpr char OptionFileName[] = "Optionen.dat";
inline constexpr char OptionNotSavedText[] =
    "\"Optionen.dat\" cannot be written. The option will not be kept!";

struct TOptionen {
  bool TypedCopy = false; // the learner types the exercise-4 text as it is sounded
};

TOptionen ParseOptionen(std::span<const uint8_t> Bytes);
TOptionen LoadOptionen();
bool SaveOptionen(const TOptionen& Optionen, TMessageReporter& Reporter, bool& Told);
