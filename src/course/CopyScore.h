#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The learner's typed copy of an exercise-4 text, set against the text that
// was sounded. Bytes of the layout's code page; no Qt.

// How one column of the alignment came out.
enum class TCopyMark : uint8_t {
  Correct, // the character sent was typed
  Wrong,   // another character was typed in its place
  Missed,  // the character sent has nothing typed for it
  Extra,   // a character typed that stands for nothing sent
};

struct TCopyColumn {
  TCopyMark Mark = TCopyMark::Correct;
  char Sent = '\0';  // '\0' for Extra
  char Typed = '\0'; // '\0' for Missed
};

// The longest text scored (exercise 4 sends at most 50 groups of five) and
// the longest copy kept: anything typed beyond it is not taken.
constexpr size_t MaxScoredSent = 250;
constexpr size_t MaxCopyLength = 2 * MaxScoredSent + 20;

struct TCopyScore {
  std::vector<TCopyColumn> Columns; // in the order of the text
  int32_t Sent = 0;                 // characters sent (columns other than Extra)
  int32_t Correct = 0;
  int32_t Wrong = 0;
  int32_t Missed = 0;
  int32_t Extra = 0;
  // Characters sent that were not copied right (wrong or missed), each once,
  // in the order they first went wrong.
  std::string CopiedWrong;

  // Correct characters as a share of those sent, in whole percent rounded
  // down, extra characters each taking one off; 0..100. A text of nothing
  // sent scores 100 when nothing was typed, else 0.
  int32_t Percent() const;
  bool Errors() const { return Wrong + Missed + Extra > 0; }
};

// The copy as scored: spaces are the learner's own group breaks and are not
// characters of the copy; at most MaxCopyLength characters are kept.
std::string CopyCharacters(const std::string& Typed);

// The alignment of least edit distance (a wrong, missed or extra character
// each costs one) of the copy (CopyCharacters of Typed) with Sent, whose
// first MaxScoredSent characters are scored. Spaces part the groups: those
// of Sent as sounded, those of Typed as the learner typed them. A group
// break stands only against a break, and one missed or extra costs one in
// the alignment but is no error and makes no column; so a character missed
// at the end of one group and one extra at the start of the next are two
// errors in their own groups, not one character typed wrong. Where two
// alignments cost the same, a character typed in place of one sent is taken
// as wrong rather than as one missed and one extra, and a break out of place
// leaves the characters matched. Memory and time are bounded by the two
// caps.
TCopyScore ScoreCopy(const std::string& Sent, const std::string& Typed);

// The longest practice text scored by ScoreTextCopy, spaces counted; the
// copy is taken up to twice the text and 20 characters more.
constexpr size_t MaxPracticeScored = 3000;

// The copy of a practice text (words parted by single spaces), aligned with
// least edit distance as ScoreCopy does, but with the space between words
// counted as a character sent: a space missed or typed where none was sent
// is an error of its own, so words run together or split are told. Runs of
// spaces typed count as one, and spaces before the first and after the last
// character typed are not taken.
TCopyScore ScoreTextCopy(const std::string& Sent, const std::string& Typed);
