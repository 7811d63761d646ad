// What the copy practice may put into a text of one course: the characters
// the course can sound, limited to those the learner has reached, in capitals
// of the course's code page; and the drawing of the practice's random choices.
#pragma once

#include "sound/SoundState.h"

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>

namespace course {

enum class TPracticeLanguage { English, German, Russian, Turkish };

// The course's language from the bare name of its alphabet file ("Deu.txt",
// "rus.TXT"...); English for a name of no other course.
TPracticeLanguage PracticeLanguageOf(const std::string& AlphabetFile);

class TPracticeChars {
public:
  // Table: the course's code table (ParseCodeTable of its alphabet file).
  // Allowed: capitals of the code page; empty allows every character the
  // course can sound.
  TPracticeChars(TPracticeLanguage Language, const sound::TCodetafel& Table,
                 const std::string& Allowed);

  TPracticeLanguage Language() const { return FLanguage; }
  // The capital of a small letter of the course's code page; other bytes
  // stay as they are.
  char Upper(char C) const;
  bool IsAllowed(char Capital) const { return FAllowed[static_cast<uint8_t>(Capital)]; }
  // The allowed characters, in the order of the code table.
  const std::string& AllowedChars() const { return FAllowedChars; }
  // The byte of the course's code page for a Unicode character, or nothing.
  std::optional<char> FromCodePoint(char32_t U) const;

  // One word made fit for the text, or nothing when it holds a character
  // that is not allowed (or is empty):
  // - Native: bytes of the code page, small letters made capitals;
  std::optional<std::string> Native(std::string_view Bytes) const;
  // - Utf8: a word of the course's language written in UTF-8;
  std::optional<std::string> Utf8(std::string_view Word) const;
  // - Latin: a word of the international Morse code in ASCII (callsigns, Q
  //   codes, abbreviations), each letter written as the course's letter that
  //   has the same code, so it sounds as sent on the air (the Russian
  //   course writes W as В, V as Ж, Q as Щ).
  std::optional<std::string> Latin(std::string_view Ascii) const;
  // Words separated by single spaces: the pure ASCII ones Latin, the others
  // Utf8. Nothing when one of them does not fit.
  std::optional<std::string> Phrase(std::string_view Utf8Words) const;

private:
  TPracticeLanguage FLanguage;
  std::array<bool, 256> FAllowed{};
  std::string FAllowedChars;
  // The course's capital for each ASCII capital by its international code.
  std::array<char, 26> FLatin{};
  std::unordered_map<char32_t, char> FFromUnicode;
};

// The practice's random choices, reproducible from a seed.
class TPracticeRng {
public:
  explicit TPracticeRng(uint32_t Seed) : FGen(Seed) {}
  // 0 .. N-1; 0 for N < 1.
  size_t Below(size_t N);
  // True in Percent of the draws.
  bool Chance(int Percent) { return static_cast<int>(Below(100)) < Percent; }
  template <typename T, size_t N> const T& Pick(const T (&Items)[N]) { return Items[Below(N)]; }

private:
  std::mt19937 FGen;
};

} // namespace course
