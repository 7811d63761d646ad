// The texts of the copy practice: what is sounded, in the course's code page.
#pragma once

#include <cstdint>
#include <string>

namespace course {

enum class TPracticeKind { Groups, Words, Callsigns, Contacts, Abbreviations, Text };

struct TPracticeRequest {
  TPracticeKind Kind = TPracticeKind::Groups;
  // Bare name of the course's alphabet file ("Eng.txt", "Deu.txt", "Rus.txt",
  // "Tur.txt"): picks the word list, the callsign countries and the contact
  // conventions of the course's language.
  std::string AlphabetFile = "Eng.txt";
  // Characters (course code page) the text may hold; empty: every character
  // the course can sound. Letters are given in capitals.
  std::string Allowed;
  // Words: draw from the first WordDepth words of the list (most common first).
  int32_t WordDepth = 1000;
  // About how many characters of text to make (spaces not counted).
  int32_t Chars = 250;
  // Text: the learner's file, as read (UTF-8 or the course's code page).
  std::string LearnerText;
  uint32_t Seed = 1;
};

struct TPracticeText {
  // Words separated by single spaces, capitals, course code page; empty when
  // nothing could be made (Error then says why, in English; the window shows
  // the interface text for it).
  std::string Text;
  // Text: characters of the learner's file the course cannot sound.
  int32_t Skipped = 0;
  enum class TError { None, NoList, EmptyList, TooLarge, Binary, NothingSoundable } Error = TError::None;
};

// Reads the word and abbreviation lists through the program's data lookup
// (learner's folder first, then the shipped data).
TPracticeText MakePracticeText(const TPracticeRequest& Request);

} // namespace course
