#include "course/PracticeText.h"

#include "course/Callsigns.h"
#include "course/Contacts.h"
#include "course/LessonData.h"
#include "course/PracticeChars.h"
#include "base/TextFile.h"
#include "course/WordList.h"

#include <QList>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <vector>

namespace course {

namespace {

using TError = TPracticeText::TError;

// Far more than an hour at the fastest speed; a larger request is cut here.
constexpr int32_t MaxChars = 1'000'000;

TPracticeText Failed(TError Error) {
  TPracticeText Out;
  Out.Error = Error;
  return Out;
}

std::string WordListOf(TPracticeLanguage Language) {
  switch (Language) {
  case TPracticeLanguage::German:
    return "DeuWords.txt";
  case TPracticeLanguage::Russian:
    return "RusWords.txt";
  case TPracticeLanguage::Turkish:
    return "TurWords.txt";
  default:
    return "EngWords.txt";
  }
}

// Adds items until about Chars characters (spaces not counted) are made.
// Next gives an item, or nothing when none can be made.
template <typename TNext> TPracticeText Fill(int32_t Chars, TNext Next) {
  TPracticeText Out;
  size_t Made = 0;
  const auto Wanted = static_cast<size_t>(std::clamp(Chars, 1, MaxChars));
  while (Made < Wanted) {
    const std::optional<std::string> Item = Next();
    if (!Item || Item->empty())
      break;
    if (!Out.Text.empty())
      Out.Text += ' ';
    Out.Text += *Item;
    Made += static_cast<size_t>(
        std::count_if(Item->begin(), Item->end(), [](char C) { return C != ' '; }));
  }
  if (Out.Text.empty())
    Out.Error = TError::NothingSoundable;
  return Out;
}

// Draws from Items, never the same item twice running when there is a choice.
TPracticeText FromItems(const std::vector<std::string>& Items, int32_t Chars, TPracticeRng& Rng) {
  size_t Last = Items.size();
  return Fill(Chars, [&]() -> std::optional<std::string> {
    if (Items.empty())
      return std::nullopt;
    size_t I = Rng.Below(Items.size());
    if (I == Last && Items.size() > 1)
      I = (I + 1 + Rng.Below(Items.size() - 1)) % Items.size();
    Last = I;
    return Items[I];
  });
}

bool IsSpace(char32_t U) {
  return U == ' ' || U == '\t' || U == '\n' || U == '\r' || U == '\f' || U == '\v' || U == 0xA0 ||
         U == 0x2028 || U == 0x2029;
}

// The learner's text as words of the course. Each character that the course
// cannot sound counts once; a letter it sounds in another form is written so
// (German ß as SS, Russian Ё as Е, Ъ as Ь, which share their codes). The
// course's "@" and section sign stand for its signals KA and SK, which an
// at sign or a section sign of a plain text is not.
TPracticeText LearnerText(const std::string& Bytes, const TPracticeChars& Chars) {
  if (Bytes.size() > PracticeFileMaxBytes)
    return Failed(TError::TooLarge);
  const std::span<const uint8_t> Raw(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size());
  if (LooksBinary(Raw))
    return Failed(TError::Binary);
  const std::string_view Data(Bytes.data(), std::min(Bytes.find(CtrlZ), Bytes.size()));

  std::vector<char32_t> Units;
  const bool NonAscii =
      std::any_of(Data.begin(), Data.end(), [](char C) { return static_cast<uint8_t>(C) >= 0x80; });
  bool Utf8 = false;
  if (NonAscii) {
    QStringDecoder Decoder(QStringDecoder::Utf8);
    const QString Decoded =
        Decoder.decode(QByteArrayView(Data.data(), static_cast<qsizetype>(Data.size())));
    if (!Decoder.hasError()) {
      Utf8 = true;
      const QList<uint> Ucs4 = Decoded.toUcs4();
      Units.assign(Ucs4.begin(), Ucs4.end());
      if (!Units.empty() && Units.front() == 0xFEFF)
        Units.erase(Units.begin());
    }
  }

  TPracticeText Out;
  bool Gap = false;
  const auto Add = [&](const std::string& Capitals) {
    if (!std::all_of(Capitals.begin(), Capitals.end(),
                     [&](char C) { return Chars.IsAllowed(C); })) {
      ++Out.Skipped;
      return;
    }
    if (Gap && !Out.Text.empty())
      Out.Text += ' ';
    Gap = false;
    Out.Text += Capitals;
  };
  const auto Byte = [&](char B) {
    const char Capital = Chars.Upper(B);
    const auto U = static_cast<uint8_t>(Capital);
    if (Capital == '@' || U == 0xA7)
      ++Out.Skipped;
    else if (Chars.Language() == TPracticeLanguage::German && U == 0xDF &&
             !Chars.IsAllowed(Capital))
      Add("SS");
    else if (Chars.Language() == TPracticeLanguage::Russian && U == 0xA8 &&
             !Chars.IsAllowed(Capital))
      Add("\xC5");
    else if (Chars.Language() == TPracticeLanguage::Russian && U == 0xDA &&
             !Chars.IsAllowed(Capital))
      Add("\xDC");
    else
      Add(std::string(1, Capital));
  };
  if (Utf8) {
    for (const char32_t U : Units) {
      if (IsSpace(U)) {
        Gap = true;
        continue;
      }
      const std::optional<char> B = U < 0x20 ? std::nullopt : Chars.FromCodePoint(U);
      if (B)
        Byte(*B);
      else
        ++Out.Skipped;
    }
  } else {
    for (const char C : Data) {
      if (IsSpace(static_cast<uint8_t>(C))) {
        Gap = true;
        continue;
      }
      if (static_cast<uint8_t>(C) < 0x20)
        ++Out.Skipped;
      else
        Byte(C);
    }
  }
  if (Out.Text.empty())
    Out.Error = TError::NothingSoundable;
  return Out;
}

} // namespace

TPracticeText MakePracticeText(const TPracticeRequest& Request) {
  const std::optional<std::vector<uint8_t>> Alphabet = ReadTextBytes(Request.AlphabetFile);
  if (!Alphabet)
    return Failed(TError::NoList);
  const TPracticeChars Chars(PracticeLanguageOf(Request.AlphabetFile), ParseCodeTable(*Alphabet),
                             Request.Allowed);
  TPracticeRng Rng(Request.Seed);

  switch (Request.Kind) {
  case TPracticeKind::Groups: {
    const std::string& Set = Chars.AllowedChars();
    return Fill(Request.Chars, [&]() -> std::optional<std::string> {
      if (Set.empty())
        return std::nullopt;
      std::string Group;
      for (int I = 0; I < 5; ++I)
        Group += Set[Rng.Below(Set.size())];
      return Group;
    });
  }
  case TPracticeKind::Words:
  case TPracticeKind::Abbreviations: {
    const bool Words = Request.Kind == TPracticeKind::Words;
    const TWordList List = ReadWordList(Words ? WordListOf(Chars.Language()) : "Abbreviations.txt");
    if (List.Error != TError::None)
      return Failed(List.Error);
    // The depth counts the list's words from the most common, whether the
    // learner has reached their characters or not.
    const auto Depth =
        Words ? static_cast<size_t>(std::max(Request.WordDepth, 1)) : List.Words.size();
    std::vector<std::string> Items;
    for (size_t I = 0; I < List.Words.size() && I < Depth; ++I) {
      // The words are the course's own; the abbreviations are sent as the
      // international code sends them.
      std::optional<std::string> Made =
          Words ? Chars.Native(List.Words[I]) : Chars.Phrase(List.Words[I]);
      if (Made && std::find(Items.begin(), Items.end(), *Made) == Items.end())
        Items.push_back(std::move(*Made));
    }
    return FromItems(Items, Request.Chars, Rng);
  }
  case TPracticeKind::Callsigns: {
    const TCallsigns Calls(Chars);
    return Fill(Request.Chars, [&]() -> std::optional<std::string> {
      const std::optional<TStation> S = Calls.Draw(Rng, TStationWhere::Any);
      return S ? std::optional<std::string>(S->Call) : std::nullopt;
    });
  }
  case TPracticeKind::Contacts: {
    const TCallsigns Calls(Chars);
    return Fill(Request.Chars,
                [&]() -> std::optional<std::string> { return MakeContact(Rng, Chars, Calls); });
  }
  case TPracticeKind::Text:
    return LearnerText(Request.LearnerText, Chars);
  }
  return Failed(TError::NothingSoundable);
}

} // namespace course
