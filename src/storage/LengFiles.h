#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

class TMessageReporter;

// The interface language files. "Leng.dat" names the interface text file of
// each layout on its line 1 (English) to 4 (Turkish); an interface text file
// holds sections opened by a header line ("<Menu>" ... "<Messages>", and
// "<Courses>" and "<Hints>"), each followed by a fixed number of text lines,
// which fill the tables of storage/Texts.h. A file without the last two
// keeps working: the controls then keep their built-in names and no hints.
// Both are 8-bit text in the layout's code page.

inline constexpr char LengFileName[] = "Leng.dat";

// What reading the language files needs from the windows.
struct TTextLinks {
  TMessageReporter* Reporter = nullptr;
  // Shows the texts just read on the controls.
  std::function<void()> ShowTexts;
  // Closes the main window, which runs its close sequence and ends the
  // program; used when "Leng.dat" is missing.
  std::function<void()> CloseMainWindow;
};

enum class TTextsLoad {
  Loaded,       // the texts of the layout are in the tables and shown
  NotFound,     // the interface text file is missing: tables and captions kept
  Closing,      // "Leng.dat" is missing: the main window has been closed
};

// The name on line N of "Leng.dat"'s bytes (its last line when it has
// fewer; empty for an N below 1 or no lines). Touches no file.
std::string ParseLengDat(std::span<const uint8_t> Bytes, int32_t N);

// Fills the tables of storage/Texts.h from an interface text file's bytes,
// as ReadTextFile below tells. Touches no file and no control.
void ParseTexts(std::span<const uint8_t> Bytes);

// Reads the name on line N of "Leng.dat" (its last line when it has fewer),
// then that interface text file. A missing "Leng.dat" shows "\"Leng.dat\" is
// not found!" and closes the main window; nothing is read or applied then.
TTextsLoad LoadTexts(TTextLinks& Links, int32_t N);

// Reads an interface text file into the tables and has them shown. A missing
// file shows "File is not found!" and changes nothing. A section given twice
// takes its later texts; a section that is not given keeps its texts; one cut
// short by the end of the file gets empty texts for the missing lines.
bool ReadTextFile(TTextLinks& Links, const std::string& Name);
