#include "course/Callsigns.h"

#include <array>
#include <sstream>

namespace course {

namespace {

struct TCountryEntry {
  TStationGroup Group;
  int32_t Weight;
  // Prefixes before the call's digit: one or two characters, or a range
  // "AA-AL" of the second character.
  const char* Prefixes;
  const char* Digits;
  const char* Towns;
  // The same towns in the country's own spelling, UTF-8; empty: as Towns.
  const char* NativeTowns;
};

using G = TStationGroup;

// The prefixes of the ITU's table of allocations, as the countries give them
// to their amateurs.
constexpr std::array<TCountryEntry, 52> Countries = {{
    {G::English, 3, "G GW GM GI", "034678",
     "LONDON LEEDS BRISTOL YORK OXFORD CARDIFF GLASGOW BELFAST", ""},
    {G::English, 3, "M MW MM MI", "013567", "LONDON DERBY BATH HULL EXETER SWANSEA DUNDEE NEWRY",
     ""},
    {G::English, 1, "2E 2W 2M 2I", "01", "LONDON LEEDS READING BANGOR PERTH", ""},
    {G::English, 9, "K W N AA-AL KA-KZ NA-NZ WA-WZ", "0123456789",
     "BOSTON DENVER DALLAS SEATTLE CHICAGO MIAMI PHOENIX AUSTIN ATLANTA OMAHA", ""},
    {G::English, 2, "VE VA VO VY", "123456789", "TORONTO OTTAWA CALGARY VANCOUVER HALIFAX REGINA",
     ""},
    {G::English, 2, "VK", "12345678", "SYDNEY PERTH BRISBANE ADELAIDE MELBOURNE HOBART DARWIN", ""},
    {G::English, 1, "ZL", "1234", "AUCKLAND WELLINGTON NELSON DUNEDIN HAMILTON", ""},
    {G::German, 6, "DA-DR", "0123456789",
     "BERLIN HAMBURG MUENCHEN KOELN FRANKFURT STUTTGART DRESDEN LEIPZIG BREMEN HANNOVER NUERNBERG "
     "KASSEL",
     "BERLIN HAMBURG MÜNCHEN KÖLN FRANKFURT STUTTGART DRESDEN LEIPZIG BREMEN HANNOVER NÜRNBERG "
     "KASSEL"},
    {G::German, 2, "OE", "123456789", "WIEN GRAZ LINZ SALZBURG INNSBRUCK", ""},
    {G::German, 2, "HB", "93", "ZUERICH BERN BASEL LUZERN THUN", "ZÜRICH BERN BASEL LUZERN THUN"},
    {G::Russian, 6, "R RA-RZ UA-UI", "0123456789",
     "MOSKVA PETERBURG KAZAN SAMARA OMSK TULA PERM TVER NOVOSIBIRSK KURSK",
     "МОСКВА ПЕТЕРБУРГ КАЗАНЬ САМАРА ОМСК ТУЛА ПЕРМЬ ТВЕРЬ НОВОСИБИРСК КУРСК"},
    {G::Russian, 3, "UR-UZ EM-EO", "0123456789", "KYIV KHARKIV ODESA LVIV POLTAVA",
     "КИЕВ ХАРЬКОВ ОДЕССА ЛЬВОВ ПОЛТАВА"},
    {G::Russian, 2, "EU-EW", "12345678", "MINSK GOMEL BREST GRODNO VITEBSK",
     "МИНСК ГОМЕЛЬ БРЕСТ ГРОДНО ВИТЕБСК"},
    {G::Russian, 2, "UN-UQ", "0123456789", "ALMATY ASTANA KARAGANDA AKTOBE",
     "АЛМАТЫ АСТАНА КАРАГАНДА АКТОБЕ"},
    {G::Turkish, 7, "TA-TC YM", "123456789",
     "ISTANBUL ANKARA IZMIR BURSA ANTALYA KONYA ADANA TRABZON ESKISEHIR",
     "İSTANBUL ANKARA İZMİR BURSA ANTALYA KONYA ADANA TRABZON ESKİŞEHİR"},
    {G::Other, 2, "F", "145689", "PARIS LYON NANTES LILLE DIJON", ""},
    {G::Other, 2, "I IK IZ IW IU", "0123456789", "ROMA MILANO TORINO NAPOLI BOLOGNA", ""},
    {G::Other, 2, "EA EB EC ED EE EF EG EH", "123456789", "MADRID SEVILLA VALENCIA BILBAO", ""},
    {G::Other, 1, "CT CS", "1234", "LISBOA PORTO BRAGA", ""},
    {G::Other, 1, "PA PB PC PD PE PF PG PH", "0123456789", "AMSTERDAM UTRECHT DELFT LEIDEN", ""},
    {G::Other, 1, "ON OO OP OQ OR OS OT", "1234567", "BRUGGE GENT LIEGE NAMUR", ""},
    {G::Other, 1, "OZ OU OV", "0123456789", "ODENSE AARHUS AALBORG", ""},
    {G::Other, 1, "LA LB", "1234567", "OSLO BERGEN TROMSO", ""},
    {G::Other, 1, "SA SB SC SD SE SF SG SH SI SJ SK SL SM", "0123456789", "STOCKHOLM UPPSALA LUND",
     ""},
    {G::Other, 1, "OH OG OF OI", "0123456789", "HELSINKI TAMPERE TURKU", ""},
    {G::Other, 2, "SP SQ SO SN SR HF 3Z", "0123456789", "WARSZAWA KRAKOW GDANSK POZNAN", ""},
    {G::Other, 1, "OK OL", "0123456789", "PRAHA BRNO PLZEN", ""},
    {G::Other, 1, "OM", "0123456789", "BRATISLAVA KOSICE", ""},
    {G::Other, 1, "HA HG", "0123456789", "BUDAPEST DEBRECEN SZEGED", ""},
    {G::Other, 1, "YO YP YQ YR", "23456789", "BUCURESTI CLUJ IASI", ""},
    {G::Other, 1, "LZ", "12345", "SOFIA PLOVDIV VARNA", ""},
    {G::Other, 1, "SV SX SZ", "123456789", "ATHINA PATRA VOLOS", ""},
    {G::Other, 1, "9A", "1234567", "ZAGREB SPLIT RIJEKA", ""},
    {G::Other, 1, "S5", "01234567", "LJUBLJANA MARIBOR", ""},
    {G::Other, 1, "YU YT", "1234567", "BEOGRAD NIS", ""},
    {G::Other, 1, "EI EJ", "2345789", "DUBLIN CORK GALWAY", ""},
    {G::Other, 1, "LY", "12345", "VILNIUS KAUNAS", ""},
    {G::Other, 1, "YL", "23", "RIGA LIEPAJA", ""},
    {G::Other, 1, "ES", "1234567", "TALLINN TARTU", ""},
    {G::Other, 2, "JA JE JF JG JH JI JJ JK JL JM JN JO JP JQ JR JS 7J 7K 7L 7M 7N", "0123456789",
     "TOKYO OSAKA KYOTO SAPPORO NAGOYA", ""},
    {G::Other, 1, "BA BD BG BH BI BY", "0123456789", "BEIJING SHANGHAI WUHAN", ""},
    {G::Other, 1, "HL DS", "0123456789", "SEOUL BUSAN DAEGU", ""},
    {G::Other, 1, "VU", "23", "DELHI MUMBAI CHENNAI", ""},
    {G::Other, 1, "PY PP PU PT", "0123456789", "SANTOS RECIFE CURITIBA", ""},
    {G::Other, 1, "LU LW", "0123456789", "CORDOBA ROSARIO MENDOZA", ""},
    {G::Other, 1, "CE CA CB", "0123456789", "SANTIAGO TEMUCO", ""},
    {G::Other, 1, "XE XF", "123", "MONTERREY PUEBLA", ""},
    {G::Other, 1, "ZS ZR ZT ZU", "123456", "DURBAN PRETORIA", ""},
    {G::Other, 1, "4X 4Z", "0123456789", "HAIFA ASHDOD", ""},
    {G::Other, 1, "4L", "0123456789", "TBILISI BATUMI", ""},
    {G::Other, 1, "5B", "4", "NICOSIA LIMASSOL", ""},
    {G::Other, 1, "4K", "0123456789", "BAKU GANJA", ""},
}};

TStationGroup HomeGroup(TPracticeLanguage Language) {
  switch (Language) {
  case TPracticeLanguage::German:
    return G::German;
  case TPracticeLanguage::Russian:
    return G::Russian;
  case TPracticeLanguage::Turkish:
    return G::Turkish;
  default:
    return G::English;
  }
}

// "AA-AL" as AA, AB ... AL; every other word as it is.
std::vector<std::string> Expand(const char* Prefixes) {
  std::vector<std::string> Out;
  std::istringstream Words(Prefixes);
  std::string W;
  while (Words >> W) {
    if (W.size() == 5 && W[2] == '-') {
      for (char C = W[1]; C <= W[4]; ++C)
        Out.push_back(std::string{W[0], C});
    } else {
      Out.push_back(W);
    }
  }
  return Out;
}

std::string WordAt(const char* Words, size_t Index) {
  std::istringstream In(Words);
  std::string W;
  for (size_t I = 0; I <= Index && In >> W; ++I) {
  }
  return W;
}

size_t WordCount(const char* Words) {
  std::istringstream In(Words);
  std::string W;
  size_t N = 0;
  while (In >> W)
    ++N;
  return N;
}

} // namespace

TCallsigns::TCallsigns(const TPracticeChars& Chars) {
  for (char C = 'A'; C <= 'Z'; ++C)
    if (const std::optional<std::string> L = Chars.Latin(std::string(1, C)))
      FLetters.push_back(*L);
  for (const char* S : {"/P", "/M", "/QRP"})
    if (const std::optional<std::string> Made = Chars.Latin(S))
      FSuffixes.push_back(*Made);
  if (FLetters.empty())
    return;
  const TStationGroup Home = HomeGroup(Chars.Language());
  for (const TCountryEntry& E : Countries) {
    TCountry Country{E.Group, E.Group == Home, E.Weight, {}, {}, E.Towns, E.NativeTowns};
    for (const std::string& P : Expand(E.Prefixes))
      if (const std::optional<std::string> Made = Chars.Latin(P))
        Country.Prefixes.push_back(*Made);
    for (const char* D = E.Digits; *D != '\0'; ++D)
      if (Chars.IsAllowed(*D))
        Country.Digits += *D;
    if (!Country.Prefixes.empty() && !Country.Digits.empty())
      FCountries.push_back(std::move(Country));
  }
}

std::optional<TStation> TCallsigns::Draw(TPracticeRng& Rng, TStationWhere Where,
                                         bool Suffix) const {
  const auto Fits = [Where](const TCountry& C) {
    return Where == TStationWhere::Any || C.Home == (Where == TStationWhere::Home);
  };
  // The course's own countries weigh ten times their share.
  const auto WeightOf = [](const TCountry& C) {
    return static_cast<size_t>(C.Weight * (C.Home ? 10 : 1));
  };
  size_t Total = 0;
  for (const TCountry& C : FCountries)
    Total += Fits(C) ? WeightOf(C) : 0;
  if (Total == 0)
    return Where == TStationWhere::Any ? std::nullopt : Draw(Rng, TStationWhere::Any, Suffix);
  size_t R = Rng.Below(Total);
  const TCountry* Chosen = nullptr;
  for (const TCountry& C : FCountries) {
    if (!Fits(C))
      continue;
    if (R < WeightOf(C)) {
      Chosen = &C;
      break;
    }
    R -= WeightOf(C);
  }
  if (Chosen == nullptr)
    return std::nullopt;

  TStation S;
  S.Group = Chosen->Group;
  S.Home = Chosen->Home;
  const std::string& Prefix = Chosen->Prefixes[Rng.Below(Chosen->Prefixes.size())];
  S.Call = Prefix + Chosen->Digits[Rng.Below(Chosen->Digits.size())];
  // A prefix of one character mostly has three letters after the digit, a
  // prefix of two mostly three or two; a single letter is rare (contests,
  // special stations).
  const size_t Shape = Rng.Below(100);
  const size_t Letters = Shape < 5 ? 1 : Shape < (Prefix.size() == 1 ? 40 : 35) ? 2 : 3;
  for (size_t I = 0; I < Letters; ++I)
    S.Call += FLetters[Rng.Below(FLetters.size())];
  if (Suffix && !FSuffixes.empty() && Rng.Chance(8))
    S.Call += FSuffixes[Rng.Below(100) < 50 ? 0 : Rng.Below(FSuffixes.size())];
  const size_t Towns = WordCount(Chosen->Towns);
  const size_t T = Rng.Below(Towns);
  S.TownLatin = WordAt(Chosen->Towns, T);
  S.TownNative = *Chosen->NativeTowns != '\0' ? WordAt(Chosen->NativeTowns, T) : S.TownLatin;
  return S;
}

} // namespace course
