#include "course/Contacts.h"

#include <array>
#include <map>
#include <optional>
#include <vector>

namespace course {

namespace {

// A phrase is said in one of its ways, drawn among those that fit; a turn
// is one station's transmission. Words in braces stand for the contact's
// values; ASCII words are sent as international code, the others are words
// of the course's language.
using TPhrase = std::vector<const char*>;
using TTurn = std::vector<TPhrase>;
using TPlan = std::vector<TTurn>;

// A contact between stations of different countries: the international
// abbreviations and Q codes, English words.
const TPlan International = {
    {{"CQ CQ CQ DE {A} {A} {A} K", "CQ CQ DE {A} {A} K", "CQ CQ CQ DE {A} {A} PSE K",
      "CQ DE {A} {A} {A} K"}},
    {{"{A} DE {B} {B} K", "{A} DE {B} {B} AR", "{A} DE {B} K", "{A} DE {B} {B} {B} KN"}},
    {{"{B} DE {A}", "R {B} DE {A}"},
     {"{GR} OM ES TNX FER CALL", "{GR} DR OM TNX FER CALL", "TNX FER CALL",
      "{GR} ES TNX FER UR CALL"},
     {"UR RST {RB} {RB}", "UR RST IS {RB} {RB}", "RST {RB} {RB}", "UR SIG {RB} {RB} BUT QSB"},
     {"NAME {NA} {NA}", "NAME HR IS {NA} {NA}", "OP {NA} {NA}", "MY NAME IS {NA} {NA}"},
     {"QTH {QA} {QA}", "QTH IS {QA} {QA}", "QTH HR {QA} {QA}", "QTH NR {QA} {QA}"},
     {"HW CPY?", "HW?", "SO HW?", "BK"},
     {"{B} DE {A} KN", "{B} DE {A} K", "{B} DE {A} AR KN"}},
    {{"{A} DE {B}", "R R {A} DE {B}", "R {A} DE {B}"},
     {"FB {NA} TNX FER RPT", "TNX {NA} FER FB RPT", "SOLID CPY {NA}", "FB OM {NA} ES TNX",
      "GA {NA} TNX"},
     {"UR RST {RA} {RA}", "UR RST {RA} {RA} QRM", "RST {RA} {RA}", "UR SIGS {RA} {RA}"},
     {"NAME {NB} {NB}", "OP HR {NB} {NB}", "NAME IS {NB} {NB}", "NAME HR {NB} {NB}"},
     {"QTH {QB} {QB}", "QTH NR {QB} {QB}", "QTH IS {QB} {QB}"},
     {"RIG {RIG} PWR {PWR}", "RIG HR {RIG} {PWR}", "PWR {PWR}", "RIG {RIG} ES {PWR}"},
     {"ANT {ANT}", "ANT IS {ANT}", "ANT HR {ANT}"},
     {"WX {WX} TEMP {T}", "WX {WX} {T}", "WX HR {WX}", "WX {WX} ES {T}"},
     {"HW?", "SO HW CPY?", "BTU", "OK?"},
     {"{A} DE {B} KN", "{A} DE {B} BK", "{A} DE {B} K"}},
    {{"{B} DE {A}", "R {B} DE {A}", "R R {B} DE {A}"},
     {"FB {NB} TNX FER NICE QSO", "TNX FER QSO ES HPE CUAGN", "MNI TNX FER FB QSO {NB}",
      "TNX FER INFO {NB}"},
     {"73 ES GL", "VY 73 ES GUD DX", "73 ES CUL", "BEST 73", "73 ES GB"},
     {"{B} DE {A} SK", "{B} DE {A} SK TU", "SK {B} DE {A}"}},
    {{"{A} DE {B} TNX QSO 73 SK", "TU 73 {NA} SK", "{A} DE {B} 73 TU SK EE", "R TU 73 SK",
      "{A} DE {B} CUL 73 SK"}},
};

// Two German stations: German words where German operators use them.
const TPlan German = {
    {{"CQ CQ CQ DE {A} {A} {A} K", "CQ CQ DE {A} {A} K", "CQ CQ CQ DE {A} {A} PSE K"}},
    {{"{A} DE {B} {B} K", "{A} DE {B} {B} AR"}},
    {{"{B} DE {A}", "R {B} DE {A}"},
     {"GUTEN MORGEN DR OM", "GUTEN TAG DR OM", "GUTEN ABEND DR OM", "{GR} DR OM"},
     {"DANKE FÜR DEN ANRUF", "TNX FÜR DEN ANRUF", "VIELEN DANK FÜR DEN ANRUF"},
     {"DEIN RST {RB} {RB}", "UR RST {RB} {RB}", "RST {RB} {RB}"},
     {"NAME HIER {NA} {NA}", "MEIN NAME IST {NA} {NA}", "OP HIER {NA} {NA}"},
     {"QTH {QA} {QA}", "QTH HIER {QA} {QA}", "MEIN QTH IST {QA} {QA}"},
     {"WIE IST DIE VERBINDUNG?", "HW?", "WIE HÖRST DU MICH?"},
     {"{B} DE {A} KN", "{B} DE {A} K"}},
    {{"{A} DE {B}", "R R {A} DE {B}"},
     {"R DR OM {NA}", "HALLO {NA}", "OK {NA}"},
     {"VIELEN DANK FÜR DEN RAPPORT", "TNX FÜR RAPPORT", "DANKE FÜR DEN BERICHT"},
     {"DEIN RST {RA} {RA}", "UR RST {RA} {RA}"},
     {"NAME HIER {NB} {NB}", "MEIN NAME IST {NB} {NB}"},
     {"QTH {QB} {QB}", "QTH HIER {QB} {QB}"},
     {"RIG HIER {RIG} MIT {PWR}", "TRX {RIG} {PWR}", "PWR {PWR}"},
     {"ANT {ANT}", "ANTENNE {ANT}", "ANT HIER {ANT}"},
     {"WX HIER {WX} BEI {T}", "WETTER {WX} {T}", "WX {WX}"},
     {"{A} DE {B} KN", "{A} DE {B} BK"}},
    {{"{B} DE {A}", "R {B} DE {A}"},
     {"VIELEN DANK FÜR DAS QSO {NB}", "DANKE FÜR QSO", "MNI TNX FÜR QSO {NB}"},
     {"VY 73 ES AWDH", "VY 73 UND AWDH", "73 UND GUD DX", "VY 73 BIS ZUM NÄCHSTEN MAL"},
     {"{B} DE {A} SK"}},
    {{"{A} DE {B} DANKE {NA} VY 73 AWDH SK", "TU 73 SK", "{A} DE {B} VY 73 AWDH SK"}},
};

// Two stations of the Russian course's countries: Russian words, the
// Q codes and abbreviations as the code sends them.
const TPlan Russian = {
    {{"CQ CQ CQ DE {A} {A} {A} K", "ВСЕМ ВСЕМ ВСЕМ DE {A} {A} K", "CQ CQ DE {A} {A} K"}},
    {{"{A} DE {B} {B} K", "{A} DE {B} {B} AR"}},
    {{"{B} DE {A}"},
     {"ДОБРОЕ УТРО", "ДОБРЫЙ ДЕНЬ", "ДОБРЫЙ ВЕЧЕР", "ЗДРАВСТВУЙТЕ"},
     {"СПАСИБО ЗА ВЫЗОВ", "БЛАГОДАРЮ ЗА ВЫЗОВ"},
     {"ВАШ RST {RB} {RB}", "RST {RB} {RB}"},
     {"МОЕ ИМЯ {NA} {NA}", "ИМЯ {NA} {NA}", "ОП {NA} {NA}"},
     {"QTH {QA} {QA}", "МОЙ QTH {QA} {QA}"},
     {"КАК ПРИНЯЛИ?", "КАК СЛЫШНО?", "HW?"},
     {"{B} DE {A} KN", "{B} DE {A} K"}},
    {{"{A} DE {B}", "R R {A} DE {B}"},
     {"СПАСИБО {NA} ЗА РАПОРТ", "ПРИНЯЛ ВСЕ {NA}", "ОК {NA} СПАСИБО"},
     {"ВАШ RST {RA} {RA}", "RST {RA} {RA}"},
     {"ИМЯ {NB} {NB}", "МОЕ ИМЯ {NB} {NB}"},
     {"QTH {QB} {QB}", "МОЙ QTH {QB} {QB}"},
     {"ТРАНСИВЕР {RIG} МОЩНОСТЬ {PWR}", "RIG {RIG} {PWR}", "МОЩНОСТЬ {PWR}"},
     {"АНТЕННА {ANT}", "ANT {ANT}"},
     {"ПОГОДА {WX} {T}", "ПОГОДА {WX}", "У НАС {WX} {T}"},
     {"{A} DE {B} KN", "{A} DE {B} BK"}},
    {{"{B} DE {A}"},
     {"СПАСИБО ЗА СВЯЗЬ {NB}", "СПАСИБО ЗА QSO", "БОЛЬШОЕ СПАСИБО ЗА СВЯЗЬ {NB}"},
     {"ВСЕГО ДОБРОГО", "ВСЕГО ХОРОШЕГО", "ДО ВСТРЕЧИ", "73 ДО НОВЫХ ВСТРЕЧ"},
     {"73 {B} DE {A} SK", "{B} DE {A} SK"}},
    {{"{A} DE {B} СПАСИБО 73 SK", "TU 73 SK", "{A} DE {B} ВСЕГО ДОБРОГО 73 SK"}},
};

// Two Turkish stations: Turkish words. The Turkish course has no Q, W or X,
// so a call and the Q codes are said otherwise where it can sound them not.
const TPlan Turkish = {
    {{"CQ CQ CQ DE {A} {A} {A} K", "ÇAĞRI ÇAĞRI DE {A} {A} K"}},
    {{"{A} DE {B} {B} K", "{A} DE {B} {B} AR"}},
    {{"{B} DE {A}"},
     {"GÜNAYDIN", "İYİ GÜNLER", "İYİ AKŞAMLAR", "MERHABA"},
     {"ÇAĞRI İÇİN TEŞEKKÜRLER", "TNX"},
     {"RST {RB} {RB}", "RAPORUNUZ {RB} {RB}"},
     {"ADIM {NA} {NA}", "İSMİM {NA} {NA}", "OP {NA} {NA}"},
     {"QTH {QA} {QA}", "ŞEHİR {QA} {QA}", "YER {QA} {QA}"},
     {"NASIL ALIYORSUNUZ?", "HW?"},
     {"{B} DE {A} KN", "{B} DE {A} K"}},
    {{"{A} DE {B}"},
     {"TEŞEKKÜRLER {NA}", "MERHABA {NA}", "TAMAM {NA}"},
     {"RST {RA} {RA}", "RAPORUNUZ {RA} {RA}"},
     {"ADIM {NB} {NB}", "İSMİM {NB} {NB}"},
     {"QTH {QB} {QB}", "ŞEHİR {QB} {QB}", "YER {QB} {QB}"},
     {"CİHAZ {RIG} GÜÇ {PWR}", "RIG {RIG} {PWR}", "GÜÇ {PWR}"},
     {"ANTEN {ANT}", "ANT {ANT}"},
     {"HAVA {WX} {T}", "HAVA {WX}"},
     {"{A} DE {B} KN", "{A} DE {B} BK"}},
    {{"{B} DE {A}"},
     {"GÖRÜŞME İÇİN TEŞEKKÜRLER {NB}", "QSO İÇİN TEŞEKKÜRLER", "ÇOK TEŞEKKÜRLER {NB}"},
     {"73 İYİ GÜNLER", "73 GÖRÜŞMEK ÜZERE", "73 İYİ ÇALIŞMALAR"},
     {"{B} DE {A} SK"}},
    {{"{A} DE {B} TEŞEKKÜRLER 73 SK", "TU 73 SK", "{A} DE {B} 73 İYİ GÜNLER SK"}},
};

// A value in ASCII and in the German, Russian and Turkish courses' words
// (UTF-8; nullptr: as in ASCII).
struct TWords {
  const char* Latin;
  const char* Deu;
  const char* Rus;
  const char* Tur;
};

constexpr TWords Rigs[] = {
    {"HOMEBREW", "SELBSTBAU", "САМОДЕЛЬНЫЙ", "EV YAPIMI"},
    {"KIT", "BAUSATZ", nullptr, nullptr},
    {"TRX", nullptr, nullptr, nullptr},
    {"SDR", nullptr, nullptr, nullptr},
    {"QRP TRX", nullptr, nullptr, nullptr},
    {"OLD TUBE TRX", "ALTER RÖHREN TRX", "ЛАМПОВЫЙ", "LAMBALI"},
    {"SMALL TRX", "KLEINER TRX", "МАЛЕНЬКИЙ", "KÜÇÜK"},
};

constexpr TWords Antennas[] = {
    {"DIPOLE", "DIPOL", "ДИПОЛЬ", "DİPOL"},
    {"VERTICAL", "VERTIKAL", "ВЕРТИКАЛ", "DİKEY"},
    {"YAGI", "YAGI", "ЯГИ", "YAGİ"},
    {"3EL YAGI", "3EL YAGI", "3EL ЯГИ", "3EL YAGİ"},
    {"LOOP", "LOOP", "РАМКА", "LOOP"},
    {"LONG WIRE", "LANGDRAHT", "ЛУЧ", "UZUN TEL"},
    {"INV V", nullptr, nullptr, nullptr},
    {"GP", nullptr, nullptr, nullptr},
    {"DELTA LOOP", nullptr, "ДЕЛЬТА", nullptr},
    {"WINDOM", nullptr, "ВИНДОМ", nullptr},
};

constexpr TWords Weather[] = {
    {"SUNNY", "SONNIG", "СОЛНЕЧНО", "GÜNEŞLİ"}, {"CLOUDY", "BEWÖLKT", "ОБЛАЧНО", "BULUTLU"},
    {"RAIN", "REGEN", "ДОЖДЬ", "YAĞMURLU"},     {"SNOW", "SCHNEE", "СНЕГ", "KARLI"},
    {"FOG", "NEBEL", "ТУМАН", "SİSLİ"},         {"WINDY", "WINDIG", "ВЕТРЕНО", "RÜZGARLI"},
    {"CLEAR", "KLAR", "ЯСНО", "AÇIK"},          {"OVERCAST", "BEDECKT", "ПАСМУРНО", "KAPALI"},
    {"FINE", "SCHÖN", "ХОРОШАЯ", "GÜZEL"},
};

// Operators' names, ASCII and in their own spelling.
struct TName {
  const char* Latin;
  const char* Native;
};

constexpr TName EnglishNames[] = {
    {"JOHN", nullptr},  {"BOB", nullptr},   {"MIKE", nullptr},   {"DAVE", nullptr},
    {"TOM", nullptr},   {"JIM", nullptr},   {"BILL", nullptr},   {"STEVE", nullptr},
    {"PAUL", nullptr},  {"PETE", nullptr},  {"RON", nullptr},    {"DON", nullptr},
    {"GARY", nullptr},  {"JACK", nullptr},  {"KEN", nullptr},    {"ALAN", nullptr},
    {"ANDY", nullptr},  {"CHRIS", nullptr}, {"TONY", nullptr},   {"RICK", nullptr},
    {"FRANK", nullptr}, {"JOE", nullptr},   {"SAM", nullptr},    {"ED", nullptr},
    {"AL", nullptr},    {"RAY", nullptr},   {"FRED", nullptr},   {"ANN", nullptr},
    {"MARY", nullptr},  {"SUE", nullptr},   {"KATE", nullptr},   {"LIZ", nullptr},
    {"NICK", nullptr},  {"PHIL", nullptr},  {"GEORGE", nullptr},
};
constexpr TName GermanNames[] = {
    {"HANS", nullptr},     {"PETER", nullptr},   {"KLAUS", nullptr},    {"JUERGEN", "JÜRGEN"},
    {"WOLFGANG", nullptr}, {"UWE", nullptr},     {"DIETER", nullptr},   {"FRANK", nullptr},
    {"THOMAS", nullptr},   {"MICHAEL", nullptr}, {"STEFAN", nullptr},   {"ANDREAS", nullptr},
    {"MARTIN", nullptr},   {"BERND", nullptr},   {"GERD", nullptr},     {"HORST", nullptr},
    {"RALF", nullptr},     {"JOERG", "JÖRG"},    {"GUENTER", "GÜNTER"}, {"KARL", nullptr},
    {"HEINZ", nullptr},    {"WERNER", nullptr},  {"SABINE", nullptr},   {"ULRIKE", nullptr},
    {"MONIKA", nullptr},   {"ERWIN", nullptr},   {"HELMUT", nullptr},   {"OTTO", nullptr},
};
constexpr TName RussianNames[] = {
    {"IVAN", "ИВАН"},         {"SERGEY", "СЕРГЕЙ"},    {"ALEKSEY", "АЛЕКСЕЙ"},
    {"VLADIMIR", "ВЛАДИМИР"}, {"NIKOLAY", "НИКОЛАЙ"},  {"YURI", "ЮРИЙ"},
    {"OLEG", "ОЛЕГ"},         {"VIKTOR", "ВИКТОР"},    {"DMITRY", "ДМИТРИЙ"},
    {"ANDREY", "АНДРЕЙ"},     {"MIKHAIL", "МИХАИЛ"},   {"PAVEL", "ПАВЕЛ"},
    {"IGOR", "ИГОРЬ"},        {"BORIS", "БОРИС"},      {"EVGENY", "ЕВГЕНИЙ"},
    {"VALERY", "ВАЛЕРИЙ"},    {"GENNADY", "ГЕННАДИЙ"}, {"TATIANA", "ТАТЬЯНА"},
    {"OLGA", "ОЛЬГА"},        {"ANATOLY", "АНАТОЛИЙ"}, {"SASHA", "САША"},
    {"VOLODYA", "ВОЛОДЯ"},    {"KOLYA", "КОЛЯ"},       {"MISHA", "МИША"},
};
constexpr TName TurkishNames[] = {
    {"MEHMET", nullptr}, {"AHMET", nullptr},     {"MUSTAFA", nullptr},   {"ALI", "ALİ"},
    {"HASAN", nullptr},  {"HUSEYIN", "HÜSEYİN"}, {"IBRAHIM", "İBRAHİM"}, {"MURAT", nullptr},
    {"EMRE", nullptr},   {"KEMAL", nullptr},     {"OSMAN", nullptr},     {"YUSUF", nullptr},
    {"OMER", "ÖMER"},    {"ERDAL", nullptr},     {"SELIM", "SELİM"},     {"CEM", nullptr},
    {"CAN", nullptr},    {"TUNCAY", nullptr},    {"AYSE", "AYŞE"},       {"FATMA", nullptr},
    {"ZEYNEP", nullptr}, {"ELIF", "ELİF"},       {"ORHAN", nullptr},     {"SUKRU", "ŞÜKRÜ"},
};
constexpr TName OtherNames[] = {
    {"MARIO", nullptr}, {"JAN", nullptr},    {"PIERRE", nullptr}, {"JOSE", nullptr},
    {"LUIS", nullptr},  {"PIET", nullptr},   {"LARS", nullptr},   {"OLE", nullptr},
    {"JUAN", nullptr},  {"CARLOS", nullptr}, {"MARCO", nullptr},  {"ANDRE", nullptr},
    {"JOZEF", nullptr}, {"TOMAS", nullptr},  {"MIKKO", nullptr},  {"JENS", nullptr},
    {"PAOLO", nullptr}, {"BRUNO", nullptr},  {"KENJI", nullptr},  {"LEE", nullptr},
};

constexpr const char* Reports[] = {"599", "599", "599", "5NN", "5NN", "589", "579", "57N",
                                   "569", "559", "55N", "549", "479", "449", "339", "4NN"};
constexpr const char* Greetings[] = {"GM", "GA", "GE", "GD"};
constexpr const char* Powers[] = {"5", "10", "20", "50", "100", "100", "100", "200", "400", "500"};

using TValues = std::map<std::string, std::optional<std::string>>;

const char* InLanguage(const TWords& W, TPracticeLanguage Language) {
  const char* Own = Language == TPracticeLanguage::German    ? W.Deu
                    : Language == TPracticeLanguage::Russian ? W.Rus
                    : Language == TPracticeLanguage::Turkish ? W.Tur
                                                             : nullptr;
  return Own != nullptr ? Own : W.Latin;
}

// The words for a temperature or a power in the course's language.
std::string Degrees(int32_t T, TPracticeLanguage Language, bool Native) {
  const std::string N = std::to_string(T);
  if (!Native)
    return N + "C";
  switch (Language) {
  case TPracticeLanguage::German:
    return N + " GRAD";
  case TPracticeLanguage::Russian: {
    const int32_t Last = T % 10;
    const bool Teen = T % 100 >= 11 && T % 100 <= 14;
    return N + (Teen || Last == 0 || Last >= 5 ? " ГРАДУСОВ" : Last == 1 ? " ГРАДУС" : " ГРАДУСА");
  }
  case TPracticeLanguage::Turkish:
    return N + " DERECE";
  default:
    return N + "C";
  }
}

std::string Watts(const char* P, TPracticeLanguage Language, bool Native) {
  if (!Native)
    return std::string(P) + "W";
  switch (Language) {
  case TPracticeLanguage::German:
    return std::string(P) + " WATT";
  case TPracticeLanguage::Russian:
    return std::string(P) + " ВТ";
  case TPracticeLanguage::Turkish:
    return std::string(P) + " VAT";
  default:
    return std::string(P) + "W";
  }
}

template <size_t N> const TName& NameOf(TPracticeRng& Rng, const TName (&Names)[N]) {
  return Rng.Pick(Names);
}

const TName& DrawName(TPracticeRng& Rng, TStationGroup Group) {
  switch (Group) {
  case TStationGroup::English:
    return NameOf(Rng, EnglishNames);
  case TStationGroup::German:
    return NameOf(Rng, GermanNames);
  case TStationGroup::Russian:
    return NameOf(Rng, RussianNames);
  case TStationGroup::Turkish:
    return NameOf(Rng, TurkishNames);
  default:
    return NameOf(Rng, OtherNames);
  }
}

// A value in the words of the plan: its own spelling in a plan of the
// course's language when it fits, else ASCII.
std::optional<std::string> Value(const TPracticeChars& Chars, const char* Latin, const char* Own,
                                 bool Native) {
  if (Native && Own != nullptr)
    if (std::optional<std::string> Made = Chars.Phrase(Own))
      return Made;
  return Chars.Phrase(Latin);
}

std::optional<std::string> Render(const char* Way, const TValues& Values,
                                  const TPracticeChars& Chars) {
  std::string Out;
  std::string_view Rest(Way);
  while (!Rest.empty()) {
    const size_t End = std::min(Rest.find(' '), Rest.size());
    const std::string_view W = Rest.substr(0, End);
    Rest.remove_prefix(std::min(End + 1, Rest.size()));
    std::optional<std::string> Made;
    if (W.size() > 2 && W.front() == '{' && W.back() == '}') {
      const auto It = Values.find(std::string(W.substr(1, W.size() - 2)));
      if (It != Values.end())
        Made = It->second;
    } else {
      Made = Chars.Phrase(W);
    }
    if (!Made)
      return std::nullopt;
    if (!Out.empty())
      Out += ' ';
    Out += *Made;
  }
  if (Out.empty())
    return std::nullopt;
  return Out;
}

} // namespace

std::string MakeContact(TPracticeRng& Rng, const TPracticeChars& Chars, const TCallsigns& Calls) {
  const TPracticeLanguage Language = Chars.Language();
  // Most contacts of a course other than the English one are between two of
  // its own countries' stations, in its own words.
  const bool Domestic = Language != TPracticeLanguage::English && Rng.Chance(60);
  const TStationWhere WhereA = Domestic ? TStationWhere::Home : TStationWhere::Any;
  const TStationWhere WhereB = Domestic ? TStationWhere::Home : TStationWhere::Abroad;
  const std::optional<TStation> A = Calls.Draw(Rng, WhereA, false);
  const std::optional<TStation> B = Calls.Draw(Rng, Rng.Chance(50) ? WhereB : WhereA);
  if (!A || !B)
    return {};
  // Stations of other countries, drawn when the course's own cannot be
  // written, speak as abroad.
  const bool Native = Domestic && A->Home && B->Home;
  const TPlan& Plan = !Native                                  ? International
                      : Language == TPracticeLanguage::German  ? German
                      : Language == TPracticeLanguage::Russian ? Russian
                                                               : Turkish;

  TValues V;
  V["A"] = A->Call;
  V["B"] = B->Call;
  const TName& NameA = DrawName(Rng, A->Group);
  const TName& NameB = DrawName(Rng, B->Group);
  V["NA"] = Value(Chars, NameA.Latin, NameA.Native, Native);
  V["NB"] = Value(Chars, NameB.Latin, NameB.Native, Native);
  V["QA"] = Value(Chars, A->TownLatin.c_str(), A->TownNative.c_str(), Native);
  V["QB"] = Value(Chars, B->TownLatin.c_str(), B->TownNative.c_str(), Native);
  V["RA"] = Chars.Phrase(Rng.Pick(Reports));
  V["RB"] = Chars.Phrase(Rng.Pick(Reports));
  V["GR"] = Chars.Phrase(Rng.Pick(Greetings));
  const TWords& Rig = Rng.Pick(Rigs);
  const TWords& Ant = Rng.Pick(Antennas);
  const TWords& Wx = Rng.Pick(Weather);
  V["RIG"] = Value(Chars, Rig.Latin, InLanguage(Rig, Language), Native);
  V["ANT"] = Value(Chars, Ant.Latin, InLanguage(Ant, Language), Native);
  V["WX"] = Value(Chars, Wx.Latin, InLanguage(Wx, Language), Native);
  V["T"] = Chars.Phrase(Degrees(static_cast<int32_t>(Rng.Below(31)), Language, Native));
  V["PWR"] = Chars.Phrase(Watts(Rng.Pick(Powers), Language, Native));

  std::string Text;
  for (const TTurn& Turn : Plan)
    for (const TPhrase& Phrase : Turn) {
      // The ways in a random order; the first that fits is said.
      std::vector<const char*> Ways(Phrase);
      for (size_t I = Ways.size(); I > 1; --I)
        std::swap(Ways[I - 1], Ways[Rng.Below(I)]);
      for (const char* Way : Ways)
        if (const std::optional<std::string> Said = Render(Way, V, Chars)) {
          if (!Text.empty())
            Text += ' ';
          Text += *Said;
          break;
        }
    }
  return Text;
}

} // namespace course
