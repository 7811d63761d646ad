#pragma once

#include <cstdint>
#include <span>

class TMessageReporter;

// The interval file "Int.mtr": IntervallTab (sound/SoundState.h) as one
// 60-byte record, the per-speed pause compensation in milliseconds.

inline constexpr char IntFileName[] = "Int.mtr";

// Fills the table from record 0 of the file's bytes; false, with the table
// as it was, when the bytes are fewer. Touches no file.
bool ParseIntFile(std::span<const uint8_t> Bytes);

// Reads the table from the file. A missing file, one shorter than the table
// or one that cannot be read is reported with "Int.mtr ist nicht gefunden!"
// and leaves the table as it is (zeros at start-up); nothing is created.
// True when the table was read.
bool ReadIntFile(TMessageReporter& Reporter);

// Writes the table as record 0 of the file (bytes after it survive), or
// into a new file when there is none. A file that exists but cannot be
// written is left as it is. True when the table reached the file; the
// callers tell the learner otherwise.
bool WriteIntFile();

// Intervall := the table entry for a SpeedUD position.
void LoadIntervall(int32_t SpeedPosition);

// At close: only when IntChanged is set, asks "Int.dat ist gewekselt.
// Speichern?" and writes the table on Yes; a failed write shows
// IntNotSavedText (sound/Reporter.h). True unless a write was asked for and
// failed.
bool SaveIntAtClose(TMessageReporter& Reporter);
