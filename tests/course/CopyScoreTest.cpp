#include "course/CopyScore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

// The marks as letters: c correct, w wrong, m missed, x extra.
std::string Marks(const TCopyScore& S) {
  std::string Out;
  for (const TCopyColumn& C : S.Columns)
    Out += "cwmx"[static_cast<int>(C.Mark)];
  return Out;
}

TEST(CopyScore, OneMissedOneExtraOneWrongCostOnePositionEach) {
  // "abcde fghij": c missed, x typed after g, i typed as k.
  const TCopyScore S = ScoreCopy("abcdefghij", "abde fgxhkj");
  EXPECT_EQ(Marks(S), "ccmccccxcwc");
  EXPECT_EQ(S.Sent, 10);
  EXPECT_EQ(S.Correct, 8);
  EXPECT_EQ(S.Wrong, 1);
  EXPECT_EQ(S.Missed, 1);
  EXPECT_EQ(S.Extra, 1);
  EXPECT_EQ(S.CopiedWrong, "ci");
  EXPECT_EQ(S.Percent(), 70); // (8 correct - 1 extra) of 10
  EXPECT_TRUE(S.Errors());
  EXPECT_EQ(S.Columns[7].Typed, 'x');
  EXPECT_EQ(S.Columns[7].Sent, '\0');
  EXPECT_EQ(S.Columns[2].Typed, '\0');
  EXPECT_EQ(S.Columns[9].Sent, 'i');
  EXPECT_EQ(S.Columns[9].Typed, 'k');
}

TEST(CopyScore, GroupBreaksKeepAMissedAndAnExtraCharacterInTheirOwnGroups) {
  // "o" missed at the end of the first group, "e" extra at the start of
  // the second: two errors of 25, and no "e" shown against the "o".
  const std::string Sent = "kmeto eoktm tokem mtoek etkmo";
  const TCopyScore S = ScoreCopy(Sent, "kmet eeoktm tokem mtoek etkmo");
  const std::string M = Marks(S);
  EXPECT_EQ(M.substr(0, 5), "ccccm");
  EXPECT_EQ(M.find('x'), M.rfind('x'));
  EXPECT_LT(M.find('x'), 5u + 6u); // in the second group
  EXPECT_EQ(M.find('w'), std::string::npos);
  EXPECT_EQ(S.Sent, 25);
  EXPECT_EQ(S.Percent(), 92);
  EXPECT_EQ(S.CopiedWrong, "o");
  // Typed without breaks the two read as one character typed wrong.
  EXPECT_EQ(ScoreCopy(Sent, "kmeteeoktmtokemmtoeketkmo").Wrong, 1);
  // A break typed one place early costs nothing: every character is right.
  const TCopyScore Early = ScoreCopy("abcde fghij", "abcd efghij");
  EXPECT_EQ(Marks(Early), "cccccccccc");
  EXPECT_FALSE(Early.Errors());
}

TEST(CopyScore, AMissedCharacterEarlyDoesNotShiftTheRestOfTheLine) {
  const std::string Sent = "qwertasdfgzxcvbqwertasdfg";
  const TCopyScore S = ScoreCopy(Sent, Sent.substr(1));
  EXPECT_EQ(S.Missed, 1);
  EXPECT_EQ(S.Correct, 24);
  EXPECT_EQ(S.Wrong, 0);
  EXPECT_EQ(S.Percent(), 96);
}

TEST(CopyScore, PerfectEmptyAndNothingTyped) {
  const TCopyScore Perfect = ScoreCopy("abcab", "ab cab");
  EXPECT_EQ(Marks(Perfect), "ccccc");
  EXPECT_EQ(Perfect.Percent(), 100);
  EXPECT_FALSE(Perfect.Errors());
  EXPECT_TRUE(Perfect.CopiedWrong.empty());

  const TCopyScore Nothing = ScoreCopy("abcab", "");
  EXPECT_EQ(Marks(Nothing), "mmmmm");
  EXPECT_EQ(Nothing.Percent(), 0);
  // Each character once, in the order it first went wrong.
  EXPECT_EQ(Nothing.CopiedWrong, "abc");

  EXPECT_EQ(ScoreCopy("", "").Percent(), 100);
  EXPECT_EQ(ScoreCopy("", "ab").Percent(), 0);
  EXPECT_EQ(Marks(ScoreCopy("", "ab")), "xx");
}

TEST(CopyScore, ExtraCharactersNeverTakeTheScoreBelowZero) {
  const TCopyScore S = ScoreCopy("ab", "aaaaaaab");
  EXPECT_EQ(S.Correct, 2);
  EXPECT_EQ(S.Extra, 6);
  EXPECT_EQ(S.Percent(), 0);
}

TEST(CopyScore, CodePageBytesAboveAsciiAreCharactersLikeAnyOther) {
  // Cyrillic in code page 1251: "\xE9" typed for "\xF6".
  const TCopyScore S = ScoreCopy("\xE9\xF6\xF3", "\xE9\xE9\xF3");
  EXPECT_EQ(Marks(S), "cwc");
  EXPECT_EQ(S.CopiedWrong, "\xF6");
}

TEST(CopyScore, ACopyFarLongerThanTheTextStaysBoundedAndQuick) {
  const std::string Sent(400, 'e'); // beyond what exercise 4 sends
  const std::string Typed(100000, 't');
  const auto Start = std::chrono::steady_clock::now();
  const TCopyScore S = ScoreCopy(Sent, Typed);
  const auto Took = std::chrono::steady_clock::now() - Start;
  EXPECT_EQ(S.Sent, static_cast<int32_t>(MaxScoredSent));
  EXPECT_EQ(S.Wrong + S.Extra, static_cast<int32_t>(MaxCopyLength));
  EXPECT_EQ(S.Columns.size(), MaxCopyLength);
  EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(Took).count(), 2);
  EXPECT_EQ(CopyCharacters(std::string(MaxCopyLength + 5, 'a')).size(), MaxCopyLength);
}

} // namespace

namespace {

TEST(TextCopyScore, CountsTheSpaceBetweenWordsAsACharacterSent) {
  // Words run together: the space is missed, and only it.
  const TCopyScore Joined = ScoreTextCopy("CQ DE", "CQDE");
  EXPECT_EQ(Marks(Joined), "ccmcc");
  EXPECT_EQ(Joined.Sent, 5);
  EXPECT_EQ(Joined.Missed, 1);
  EXPECT_EQ(Joined.CopiedWrong, ""); // a space is no key of the statistics
  EXPECT_EQ(Joined.Percent(), 80);
  // A word split: one extra space. Runs of spaces typed, and spaces at the
  // ends, count as one and as none.
  const TCopyScore Split = ScoreTextCopy("NAME OP", "  NA  ME   OP ");
  EXPECT_EQ(Marks(Split), "ccxccccc");
  EXPECT_EQ(Split.Extra, 1);
  EXPECT_EQ(Split.Percent(), 85);
  // A wrong character stays in its word; a missed word costs its letters
  // and one space.
  const TCopyScore Words = ScoreTextCopy("RST 599 TNX", "RST 589");
  EXPECT_EQ(Marks(Words), "cccccwcmmmm");
  EXPECT_EQ(Words.CopiedWrong, "9TNX");
  EXPECT_FALSE(ScoreTextCopy("73", "73").Errors());
}

TEST(TextCopyScore, ALongTextAndAMuchLongerCopyStayWithinTheirCaps) {
  std::string Sent;
  while (Sent.size() < 2 * MaxPracticeScored)
    Sent += "PARIS ";
  const std::string Typed(4 * Sent.size(), 'E');
  const auto Begin = std::chrono::steady_clock::now();
  const TCopyScore S = ScoreTextCopy(Sent, Typed);
  // The text is cut before a space that would pass the cap.
  EXPECT_LE(S.Sent, static_cast<int32_t>(MaxPracticeScored));
  EXPECT_GE(S.Sent, static_cast<int32_t>(MaxPracticeScored) - 1);
  EXPECT_EQ(S.Extra, S.Sent + 20) << "the copy is taken up to twice the text and 20 more";
  EXPECT_LT(std::chrono::steady_clock::now() - Begin, std::chrono::seconds(20));
}

} // namespace
