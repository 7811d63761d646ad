#pragma once

#include "base/Reporter.h"
#include "sound/SoundState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The course material in the working directory: "LD.dat" holds the teaching
// order of the letters, one line per layout; the alphabet file of the layout
// lists its letters with their codes, one per line; each course's mnemonic
// file ("EngMerkW.txt", "DeuMerkW.txt", "RusMerkW.txt", "TurMerkW.txt") holds
// a word per character of its code table, in the course's code page.

inline constexpr char LessonDataFile[] = "LD.dat";
inline constexpr char MerkWortFile[] = "RusMerkW.txt"; // the Russian course's

// The mnemonic file of layout SprachNr (1 English, 2 German, 3 Russian,
// 4 Turkish); empty for any other number, which has none.
std::string MerkWortFileOf(int32_t SprachNr);
// The order written to a new LD.dat and used when it lacks the layout's line.
inline constexpr char DefaultBuchFolge[] = "tmoeishagfpdlwbzqjyunxkrvc";
// The alphabet's letters share the code table with the 18 digits and signs.
constexpr size_t MaxAlphabetLetters = 32;

// The parsers below take a file's bytes and touch no file; the loaders find
// the file, read it (TextFile.h) and hand its bytes over.

// The code table an alphabet file's bytes give: each non-empty line is a
// letter (ASCII capitals lowered) followed by its code, cut to 10 bytes; then
// the digits and signs with their built-in codes. Only the first 32 letters
// are taken, and a line that names a digit, a sign or a letter already
// defined is passed over, as it could never be looked up.
sound::TCodetafel ParseCodeTable(std::span<const uint8_t> Bytes);

// The mnemonic words of RusMerkW.txt's bytes into slots 1 .. 50 of Woerter:
// line p, cut to 30 bytes, is the word of Letters' character p; slots
// without a line become empty; lines after the fiftieth are ignored.
void ParseMerkWoerter(std::span<const uint8_t> Bytes,
                      std::array<std::string, MaxLetters + 1>& Woerter);

// Line SprachNr (1 for a lower one) of LD.dat's bytes, the layout's teaching
// order as written; nothing when the file has fewer lines.
std::optional<std::string> ParseLessonData(std::span<const uint8_t> Bytes, int32_t SprachNr);

// Fills Letters and Codes from AlphabetFile: each non-empty line is a letter
// (ASCII capitals lowered) followed by its code, cut to 10 bytes; then the
// digits and signs with their built-in codes. Only the first 32 letters are
// taken, and a line that names a digit, a sign or a letter already defined is
// passed over, as it could never be looked up. When the file cannot be read,
// shows its name and " is not found!" and leaves the table as it was.
bool LoadCodeTable(TMessageReporter& Reporter);

// Fills MerkWoerter from the mnemonic file Name (RusMerkW.txt when not
// given): line p, cut to 30 bytes, is the word of Letters' character p; slots
// without a line become empty; lines after the fiftieth are ignored. False
// when the file cannot be read; MerkWoerter is then emptied, so that no
// word of another course is shown and the keys show the sung form instead.
bool LoadMerkWoerter(const std::string& Name = MerkWortFile);

// Reads line SprachNr of LD.dat into BuchFolge (a missing LD.dat is created
// with the default order, and "eng.txt" becomes the alphabet; a file with
// fewer lines shows "PPPPPPP" and the default order is taught from
// "Eng.Txt"), loads the code table and the mnemonic words, and keeps in
// BuchFolge, after the letters, the digits and signs only the characters the
// code table has, each once. The mnemonic words come from the course's own
// file (MerkWortFileOf); MerkWoerterGeladen tells whether they could be read.
// True when LD.dat held the line.
bool LoadLessonData(int32_t SprachNr, TMessageReporter& Reporter);
