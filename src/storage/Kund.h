#pragma once

#include "storage/RecordFile.h"
#include "storage/StorageState.h"

#include <QString>

#include <cstdint>
#include <span>

class TMessageReporter;

// The learner record file "CWK.dat": progress, sound settings and layout,
// read once at start-up and written once at close.

inline constexpr char KundFileName[] = "CWK.dat";

// Fills Kund from record 0 of the file's bytes: Read, or Short with Kund
// unchanged. Touches no file.
TRecordRead ParseKund(std::span<const uint8_t> Bytes);

// Fills Kund from the file's record 0. A missing file, or one too short to
// hold a record, is treated as missing: Kund takes the default record and the
// file is made to hold it (through a symbolic link that points nowhere yet,
// its target is made). A file that exists but cannot be read is not touched
// (it may hold progress the next run can read); Kund then takes the default
// record too. The file never loses bytes, and a file that is read is never
// rewritten here, write-protected or not. False when the record could not
// be made or the close would not be able to write it; nothing is shown here.
// FirstSprachNr is the layout of a default record (the learner's language
// at a first start); a record read keeps its own.
bool LoadKund(uint8_t FirstSprachNr = DefaultKund.SprachNr);

// The layout of a first start from the learner's language, a locale name
// as "de_DE.UTF-8" or "tr": English, German, Russian or Turkish; English for
// any other.
uint8_t SprachNrOfLocale(const QString& LocaleName);

// Shows KundNotSavedText (sound/Reporter.h), unless Told says the learner
// has been told so already in this run; sets Told before the box shows.
void TellKundNotSaved(TMessageReporter& Reporter, bool& Told);

// What the program holds at close, in its own types; KundSpeichern stores the
// low byte of each.
struct TKundValues {
  int32_t MaxLektNr = 0;
  int32_t MaxUebNr = 0;
  int32_t Speed = 0;    // the engine's Speed
  int32_t Ton = 0;      // the engine's Ton
  int32_t Abstand = 0;  // the engine's Abstand
  int32_t Front = 0;    // the FrontBar position, 13 minus the engine's Atacke
};

// The values to store from the engine variables, with the course position
// handed in.
TKundValues KundValuesOf(int32_t MaxLektNr, int32_t MaxUebNr);

// Sets Kund from Values and storage::Kund.SprachNr and writes it as record 0 of
// "CWK.dat"; bytes after the record survive. When there is no such file any
// more, a new one gets the current record. A file that exists but cannot be
// opened for writing is left as it is, and the learner is told through
// TellKundNotSaved. True when the record reached the file.
bool KundSpeichern(const TKundValues& Values, TMessageReporter& Reporter, bool& Told);
