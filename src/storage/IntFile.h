#pragma once

#include <cstdint>
#include <span>
#include <string>

class TMessageReporter;

// The interval file "Int.mtr": IntervallTab (sound/SoundState.h) as one
// 60-byte record, the per-speed pause compensation in milliseconds.

inline constexpr char IntFileName[] = "Int.mtr";

// Fills the table from record 0 of the file's bytes; false, with the table
// as it was, when the bytes are fewer. Touches no file.
bool ParseIntFile(std::span<const uint8_t> Bytes);

// Line I of the interface file's <Intervall> section, or, where the file
// has none, the program's own text: the design's German question and
// message (lines 3 and 4), English for the speed test's result.
std::string IntervallText(size_t I);

// Text with %1 and %2 replaced by the numbers (the speed test's result).
std::string WithNumbers(std::string Text, int32_t First, int32_t Second);

// Reads the table from the file. A missing file, one shorter than the table
// or one that cannot be read is reported with IntervallText(4) ("Int.mtr
// ist nicht gefunden!") and leaves the table as it is (zeros at start-up);
// nothing is created. True when the table was read.
bool ReadIntFile(TMessageReporter& Reporter);

// Writes the table as record 0 of the file (bytes after it survive), or
// into a new file when there is none. A file that exists but cannot be
// written is left as it is. True when the table reached the file; the
// callers tell the learner otherwise.
bool WriteIntFile();

// Intervall := the table entry for a SpeedUD position.
void LoadIntervall(int32_t SpeedPosition);

// At close: only when IntChanged is set and the table differs from the
// file's (a test that stored what the file holds changes nothing), asks
// IntervallText(3) ("Int.dat ist gewekselt. Speichern?") and writes the
// table on Yes; a failed write shows IntNotSavedText (sound/Reporter.h).
// True unless a write was asked for and failed.
bool SaveIntAtClose(TMessageReporter& Reporter);
