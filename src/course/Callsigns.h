// Callsigns of realistic form for the copy practice: the prefixes each
// country holds from the ITU, the usual shapes (1x1 to 2x3), now and then a
// portable, mobile or low-power suffix; weighted towards the countries of
// the course's language.
#pragma once

#include "course/PracticeChars.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace course {

// The language a station's operator speaks, for its name in a contact.
enum class TStationGroup { English, German, Russian, Turkish, Other };

struct TStation {
  std::string Call; // course text
  TStationGroup Group = TStationGroup::Other;
  // Of a country of the course's language.
  bool Home = false;
  // A town of the station's country, in ASCII, and, for the countries of
  // the German, Russian and Turkish courses, in its own spelling (UTF-8).
  std::string TownLatin;
  std::string TownNative;
};

enum class TStationWhere { Any, Home, Abroad };

class TCallsigns {
public:
  explicit TCallsigns(const TPracticeChars& Chars);
  // True when no callsign can be written in the allowed characters.
  bool Empty() const { return FCountries.empty(); }
  // A station of any country (weighted), of the course's countries (Home)
  // or of the others (Abroad; Any when there is none of the kind asked for).
  // Suffix: a /P, /M or /QRP may follow.
  std::optional<TStation> Draw(TPracticeRng& Rng, TStationWhere Where, bool Suffix = true) const;

private:
  struct TCountry {
    TStationGroup Group;
    bool Home;
    int32_t Weight;
    std::vector<std::string> Prefixes; // course text, each with a digit to follow
    std::string Digits;
    const char* Towns;
    const char* NativeTowns;
  };
  std::vector<TCountry> FCountries;
  std::vector<std::string> FLetters;  // the suffix letters, course text
  std::vector<std::string> FSuffixes; // "/P", "/M", "/QRP" as they can be written
};

} // namespace course
