// Stand-in for the practice texts until the word lists, callsigns and
// contacts are made: groups of five of the allowed characters, a few fixed
// words for the other kinds, and the learner's text in capitals.
#include "course/PracticeText.h"

#include <algorithm>
#include <cctype>
#include <random>

namespace course {

TPracticeText MakePracticeText(const TPracticeRequest& Request) {
  TPracticeText Result;
  if (Request.Kind == TPracticeKind::Text) {
    if (Request.LearnerText.size() > 10u * 1024 * 1024) {
      Result.Error = TPracticeText::TError::TooLarge;
      return Result;
    }
    bool Space = true;
    for (const char C : Request.LearnerText) {
      const unsigned char U = static_cast<unsigned char>(C);
      if (U == 0) {
        Result = {};
        Result.Error = TPracticeText::TError::Binary;
        return Result;
      }
      if (std::isspace(U) != 0) {
        Space = true;
        continue;
      }
      const char Upper = static_cast<char>(std::toupper(U));
      if (!std::isalnum(static_cast<unsigned char>(Upper)) && std::string(".,?/+=").find(Upper) == std::string::npos) {
        ++Result.Skipped;
        continue;
      }
      if (Space && !Result.Text.empty())
        Result.Text += ' ';
      Space = false;
      Result.Text += Upper;
    }
    if (Result.Text.empty())
      Result.Error = TPracticeText::TError::NothingSoundable;
    return Result;
  }
  if (Request.Kind != TPracticeKind::Groups) {
    Result.Text = "THE CQ DE TEST 73 RST 599 NAME QTH";
    return Result;
  }
  const std::string Allowed = Request.Allowed.empty() ? "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789" : Request.Allowed;
  std::mt19937 Random(Request.Seed);
  std::uniform_int_distribution<size_t> Pick(0, Allowed.size() - 1);
  for (int32_t I = 0; I < std::max<int32_t>(Request.Chars, 5); ++I) {
    if (I > 0 && I % 5 == 0)
      Result.Text += ' ';
    Result.Text += Allowed[Pick(Random)];
  }
  return Result;
}

} // namespace course
