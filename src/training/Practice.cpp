#include "training/Practice.h"

#include "course/LessonData.h"
#include "course/LessonPlan.h"
#include "base/TextFile.h"
#include "base/BareFile.h"
#include "storage/AudioFile.h"
#include "base/CodePage.h"
#include "storage/Layouts.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace practice {

namespace {

constexpr uint8_t TurkishDottedCapitalI = 0xDD; // İ in code page 1254
constexpr uint8_t TurkishDotlessSmallI = 0xFD;  // ı

bool Letter8Bit(uint8_t U, uint8_t Charset) {
  // Capitals 0xC0..0xDE and small letters 0xE0..0xFE, but for the
  // multiplication and division signs; code page 1251 uses 0xDF and 0xFF as
  // well.
  if (Charset == RUSSIAN_CHARSET)
    return U >= 0xC0;
  return U >= 0xC0 && U != 0xD7 && U != 0xF7 && U != 0xDF && U != 0xFF;
}

} // namespace

char UpperOf(char C, uint8_t Charset) {
  const auto U = static_cast<uint8_t>(C);
  if (Charset == TURKISH_CHARSET) {
    if (U == 'i')
      return static_cast<char>(TurkishDottedCapitalI);
    if (U == TurkishDotlessSmallI)
      return 'I';
  }
  if (U >= 'a' && U <= 'z')
    return static_cast<char>(U - 32);
  if (Charset == RUSSIAN_CHARSET && U == 0xB8) // ё
    return static_cast<char>(0xA8);
  if (U >= 0xE0 && Letter8Bit(U, Charset))
    return static_cast<char>(U - 32);
  return C;
}

char LowerOf(char C, uint8_t Charset) {
  const auto U = static_cast<uint8_t>(C);
  if (Charset == TURKISH_CHARSET) {
    if (U == 'I')
      return static_cast<char>(TurkishDotlessSmallI);
    if (U == TurkishDottedCapitalI)
      return 'i';
  }
  if (U >= 'A' && U <= 'Z')
    return static_cast<char>(U + 32);
  if (Charset == RUSSIAN_CHARSET && U == 0xA8)
    return static_cast<char>(0xB8);
  if (U >= 0xC0 && U < 0xE0 && Letter8Bit(U, Charset))
    return static_cast<char>(U + 32);
  return C;
}

std::string UpperText(const std::string& Text, uint8_t Charset) {
  std::string Out = Text;
  for (char& C : Out)
    C = UpperOf(C, Charset);
  return Out;
}

TCodeSequence CodesOf(const std::string& Text, const sound::TCodetafel& Table, uint8_t Charset) {
  TCodeSequence Codes;
  auto CodeOfChar = [&](char C) -> std::string {
    for (const char Try : {C, LowerOf(C, Charset)}) {
      const size_t At = Table.Letters.find(Try);
      if (At != std::string::npos && At + 1 < Table.Codes.size())
        return Table.Codes[At + 1];
    }
    return {};
  };
  for (const char C : Text) {
    if (C == ' ') {
      if (!Codes.empty() && !Codes.back().empty())
        Codes.emplace_back();
      continue;
    }
    std::string Code = CodeOfChar(C);
    if (!Code.empty())
      Codes.push_back(std::move(Code));
  }
  while (!Codes.empty() && Codes.back().empty())
    Codes.pop_back();
  return Codes;
}

std::string ReachedCharacters(const std::string& KursFolge, int32_t MaxLektNr, uint8_t Charset) {
  TLessonBounds Bounds;
  if (!LessonBoundsOf(KursFolge, Bounds))
    return {};
  std::string Reached;
  for (int32_t L = 1; L <= MaxLektNr && L <= Bounds.ZeichEnde; ++L) {
    std::string Lekt;
    std::string Neue;
    LessonChars(KursFolge, Bounds, L, Lekt, Neue);
    for (const char C : Lekt + Neue) {
      if (C == '@' || C == '\xA7')
        continue;
      const char Upper = UpperOf(C, Charset);
      if (Reached.find(Upper) == std::string::npos)
        Reached += Upper;
    }
  }
  return Reached;
}

TTone ToneOfKlang() {
  TTone Tone;
  Tone.ToneHz = std::clamp(static_cast<int32_t>(std::lround(static_cast<double>(SamplesPerSec) /
                                                             std::max(sound::Klang.Ton, 1))),
                           MinToneHz, MaxToneHz);
  Tone.RampSamples = RampLen();
  Tone.Square = sound::Klang.Rechteck;
  return Tone;
}

int32_t CharsForMinutes(double Minutes, int32_t EffectiveWpm) {
  return std::max<int32_t>(1, static_cast<int32_t>(std::lround(Minutes * EffectiveWpm * CpmPerWpm)));
}

std::optional<course::TPracticeKind> KindOfName(const std::string& Name) {
  using K = course::TPracticeKind;
  static const std::pair<const char*, K> Names[] = {{"groups", K::Groups},
                                                    {"words", K::Words},
                                                    {"callsigns", K::Callsigns},
                                                    {"contacts", K::Contacts},
                                                    {"abbreviations", K::Abbreviations},
                                                    {"text", K::Text}};
  for (const auto& [Text, Kind] : Names)
    if (Name == Text)
      return Kind;
  return std::nullopt;
}

std::vector<TCodeSequence> OtherStationTexts(const std::string& AlphabetFile,
                                             const sound::TCodetafel& Table, uint8_t Charset,
                                             uint32_t Seed) {
  // Two callsign lists and two contacts: enough that the stations seldom
  // repeat themselves within a practice.
  constexpr std::array<std::pair<course::TPracticeKind, int32_t>, 4> Made = {
      {{course::TPracticeKind::Callsigns, 40},
       {course::TPracticeKind::Contacts, 120},
       {course::TPracticeKind::Callsigns, 40},
       {course::TPracticeKind::Contacts, 120}}};
  std::vector<TCodeSequence> Texts;
  uint32_t Next = Seed;
  for (const auto& [Kind, Chars] : Made) {
    course::TPracticeRequest Request;
    Request.Kind = Kind;
    Request.AlphabetFile = AlphabetFile;
    Request.Chars = Chars;
    Request.Seed = ++Next * 2654435761u;
    const course::TPracticeText Text = course::MakePracticeText(Request);
    TCodeSequence Codes = CodesOf(UpperText(Text.Text, Charset), Table, Charset);
    if (!Codes.empty())
      Texts.push_back(std::move(Codes));
  }
  return Texts;
}

namespace {

int Refuse(const std::string& Reason) {
  std::fprintf(stderr, "velm-mtr: %s\n", Reason.c_str());
  return 2;
}

const char* ErrorReason(course::TPracticeText::TError Error) {
  using E = course::TPracticeText::TError;
  switch (Error) {
  case E::NoList:
    return "the list for this kind of text is missing";
  case E::EmptyList:
    return "the list or text is empty";
  case E::TooLarge:
    return "the text file is larger than 10 MB";
  case E::Binary:
    return "the text file is not a text file";
  case E::NothingSoundable:
    return "the text holds no character the course can sound";
  case E::None:
    break;
  }
  return "";
}

constexpr size_t MaxTextFileBytes = 10u * 1024 * 1024;

} // namespace

int RunPracticeCommand(const TPracticeCommand& Command) {
  if (!Command.Timing.Valid())
    return Refuse("the speeds must be 5 to 100 wpm for the characters and 2 wpm up to that for the effective speed");
  if (Command.ToneHz < MinToneHz || Command.ToneHz > MaxToneHz)
    return Refuse("the tone must be " + std::to_string(MinToneHz) + " to " + std::to_string(MaxToneHz) + " Hz");
  if (!(Command.Minutes > 0.0) || Command.Minutes > 600.0)
    return Refuse("the length must be more than 0 and at most 600 minutes");
  if (!Command.Band.Valid())
    return Refuse("the band conditions are out of range (see --help)");
  const storage::TAudioFormat Format = storage::AudioFormatOf(Command.AudioFile);
  if (Format == storage::TAudioFormat::None)
    return Refuse("the audio file's name must end in .wav, .flac, .ogg or .mp3");
  if (!storage::AudioFormatAvailable(Format))
    return Refuse(std::string("this system's libsndfile cannot write ") + storage::AudioFormatName(Format));
  const TLayout* Layout = LayoutOfNr(Command.SprachNr);
  if (Layout == nullptr)
    return Refuse("the course must be en, de, ru or tr");

  course::TPracticeRequest Request;
  Request.Kind = Command.Kind;
  Request.AlphabetFile = Layout->AlphabetFile;
  Request.Chars = CharsForMinutes(Command.Minutes, Command.Timing.EffectiveWpm);
  Request.Seed = Command.Seed;
  if (Command.Kind == course::TPracticeKind::Text) {
    if (!Command.TextFile.empty()) {
      std::ifstream In(Command.TextFile, std::ios::binary);
      if (!In)
        return Refuse("the text file \"" + Command.TextFile + "\" cannot be read");
      Request.LearnerText.resize(MaxTextFileBytes + 1);
      In.read(Request.LearnerText.data(), static_cast<std::streamsize>(Request.LearnerText.size()));
      Request.LearnerText.resize(static_cast<size_t>(In.gcount()));
    } else {
      Request.LearnerText = Command.Text;
    }
  }

  const std::optional<std::vector<uint8_t>> Alphabet = ReadTextBytes(Layout->AlphabetFile);
  if (!Alphabet) {
    std::fprintf(stderr, "velm-mtr: the alphabet file \"%s\" is not found\n", Layout->AlphabetFile);
    return 1;
  }
  const sound::TCodetafel Table = ParseCodeTable(*Alphabet);
  const course::TPracticeText Text = course::MakePracticeText(Request);
  if (Text.Error != course::TPracticeText::TError::None)
    return Refuse(ErrorReason(Text.Error));
  const TCodeSequence Codes = CodesOf(Text.Text, Table, Layout->Charset);
  if (Codes.empty())
    return Refuse(ErrorReason(course::TPracticeText::TError::NothingSoundable));

  TTone Tone;
  Tone.ToneHz = Command.ToneHz;
  Tone.RampSamples = RampLen();
  TBand Band = Command.Band;
  Band.Seed = Command.Seed;
  TBandMix Mix(Codes, Command.Timing, Tone, Band,
               Band.Qrm > 0
                   ? OtherStationTexts(Layout->AlphabetFile, Table, Layout->Charset, Command.Seed)
                   : std::vector<TCodeSequence>{});
  const std::string Utf8 = ToUnicode(Text.Text, Layout->Charset).toStdString();
  const storage::TAudioWrite Written = storage::WriteAudioFile(Command.AudioFile, Mix, Utf8);
  if (Written.Result != storage::TAudioResult::Written) {
    std::fprintf(stderr, "velm-mtr: %s\n", Written.Reason.c_str());
    return 1;
  }
  std::printf("%s\n", Utf8.c_str());
  return 0;
}

} // namespace practice
