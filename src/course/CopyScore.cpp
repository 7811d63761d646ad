#include "course/CopyScore.h"

#include <algorithm>
#include <cstdint>

int32_t TCopyScore::Percent() const {
  if (Sent <= 0)
    return Extra > 0 ? 0 : 100;
  const int32_t Good = std::max(Correct - Extra, 0);
  return static_cast<int32_t>(static_cast<int64_t>(Good) * 100 / Sent);
}

std::string CopyCharacters(const std::string& Typed) {
  std::string Copy;
  for (const char C : Typed) {
    if (C == ' ' || C == '\0')
      continue;
    if (Copy.size() >= MaxCopyLength)
      break;
    Copy += C;
  }
  return Copy;
}

namespace {

constexpr char Break = ' ';

// A text as the alignment sees it: its characters, the first MaxChars of
// them, and one break wherever spaces part them (none at either end).
std::string Tokens(const std::string& Text, size_t MaxChars) {
  std::string T;
  size_t Chars = 0;
  bool Parted = false;
  for (const char C : Text) {
    if (C == '\0')
      continue;
    if (C == Break) {
      Parted = !T.empty();
      continue;
    }
    if (Chars >= MaxChars)
      break;
    if (Parted)
      T += Break;
    Parted = false;
    T += C;
    ++Chars;
  }
  return T;
}

} // namespace

TCopyScore ScoreCopy(const std::string& SentText, const std::string& Typed) {
  const std::string Sent = Tokens(SentText, MaxScoredSent);
  const std::string Copy = Tokens(Typed, MaxCopyLength);
  const size_t N = Sent.size();
  const size_t M = Copy.size();
  const size_t W = M + 1;
  constexpr uint16_t Never = 0xFFFF;
  // Cost[i][j]: the cheapest alignment of Sent[i..] with Copy[j..]: a
  // character wrong, missed or extra costs one, and so does a break missed
  // or extra; a break stands only against a break. At most 300 x 1040
  // cells of 16 bits, as the caps allow.
  std::vector<uint16_t> Cost((N + 1) * W);
  auto At = [&](size_t I, size_t J) -> uint16_t& { return Cost[I * W + J]; };
  auto Diag = [&](size_t I, size_t J) -> uint16_t {
    if ((Sent[I] == Break) != (Copy[J] == Break))
      return Never;
    return static_cast<uint16_t>(At(I + 1, J + 1) + (Sent[I] == Copy[J] ? 0 : 1));
  };
  for (size_t I = N + 1; I-- > 0;) {
    for (size_t J = M + 1; J-- > 0;) {
      if (I == N) {
        At(I, J) = static_cast<uint16_t>(M - J);
      } else if (J == M) {
        At(I, J) = static_cast<uint16_t>(N - I);
      } else {
        const uint16_t Skip = static_cast<uint16_t>(std::min(At(I + 1, J), At(I, J + 1)) + 1);
        At(I, J) = std::min(Diag(I, J), Skip);
      }
    }
  }

  TCopyScore S;
  S.Columns.reserve(N + M);
  auto Add = [&S](TCopyMark Mark, char SentC, char TypedC) {
    S.Columns.push_back({Mark, SentC, TypedC});
    switch (Mark) {
    case TCopyMark::Correct:
      ++S.Correct;
      break;
    case TCopyMark::Wrong:
      ++S.Wrong;
      break;
    case TCopyMark::Missed:
      ++S.Missed;
      break;
    case TCopyMark::Extra:
      ++S.Extra;
      return;
    }
    ++S.Sent;
    if (Mark != TCopyMark::Correct && S.CopiedWrong.find(SentC) == std::string::npos)
      S.CopiedWrong += SentC;
  };
  // Where alignments cost the same: a character against a character first;
  // then a break put apart, so that a learner's break out of place leaves
  // the characters where they are; then a character missed, then one extra.
  // Breaks make no columns.
  size_t I = 0;
  size_t J = 0;
  while (I < N || J < M) {
    const uint16_t Here = At(I, J);
    if (I < N && J < M && Diag(I, J) == Here) {
      if (Sent[I] != Break)
        Add(Sent[I] == Copy[J] ? TCopyMark::Correct : TCopyMark::Wrong, Sent[I], Copy[J]);
      ++I;
      ++J;
      continue;
    }
    const bool CanMiss = I < N && At(I + 1, J) + 1 == Here;
    const bool CanExtra = J < M && At(I, J + 1) + 1 == Here;
    if (CanMiss && Sent[I] == Break) {
      ++I;
    } else if (CanExtra && Copy[J] == Break) {
      ++J;
    } else if (CanMiss) {
      Add(TCopyMark::Missed, Sent[I], '\0');
      ++I;
    } else {
      Add(TCopyMark::Extra, '\0', Copy[J]);
      ++J;
    }
  }
  return S;
}

namespace {

std::string SingleSpaced(const std::string& Text, size_t Max) {
  std::string Out;
  bool Space = false;
  for (const char C : Text) {
    if (C == ' ' || C == '\t' || C == '\n' || C == '\r') {
      Space = !Out.empty();
      continue;
    }
    if (Out.size() + (Space ? 2 : 1) > Max)
      break;
    if (Space)
      Out += ' ';
    Space = false;
    Out += C;
  }
  return Out;
}

} // namespace

TCopyScore ScoreTextCopy(const std::string& SentText, const std::string& TypedText) {
  const std::string Sent = SingleSpaced(SentText, MaxPracticeScored);
  const std::string Typed = SingleSpaced(TypedText, 2 * Sent.size() + 20);
  const size_t N = Sent.size();
  const size_t M = Typed.size();
  // Costs row by row; the way each cell was reached for the walk back: 0
  // diagonal, 1 from above (a character sent, missed), 2 from the left
  // (a character typed, extra).
  std::vector<uint8_t> Way((N + 1) * (M + 1), 0);
  std::vector<int32_t> Prev(M + 1);
  std::vector<int32_t> Row(M + 1);
  for (size_t J = 0; J <= M; ++J) {
    Prev[J] = static_cast<int32_t>(J);
    Way[J] = 2;
  }
  for (size_t I = 1; I <= N; ++I) {
    Row[0] = static_cast<int32_t>(I);
    Way[I * (M + 1)] = 1;
    for (size_t J = 1; J <= M; ++J) {
      // A character typed in place of one sent is taken as wrong rather
      // than as one missed and one extra: the diagonal wins ties.
      const int32_t Diagonal = Prev[J - 1] + (Sent[I - 1] == Typed[J - 1] ? 0 : 1);
      const int32_t Up = Prev[J] + 1;
      const int32_t Left = Row[J - 1] + 1;
      int32_t Best = Diagonal;
      uint8_t From = 0;
      if (Up < Best) {
        Best = Up;
        From = 1;
      }
      if (Left < Best) {
        Best = Left;
        From = 2;
      }
      Row[J] = Best;
      Way[I * (M + 1) + J] = From;
    }
    std::swap(Prev, Row);
  }
  TCopyScore Score;
  size_t I = N;
  size_t J = M;
  while (I > 0 || J > 0) {
    const uint8_t From = Way[I * (M + 1) + J];
    TCopyColumn Column;
    if (I > 0 && J > 0 && From == 0) {
      Column.Sent = Sent[I - 1];
      Column.Typed = Typed[J - 1];
      Column.Mark = Column.Sent == Column.Typed ? TCopyMark::Correct : TCopyMark::Wrong;
      --I;
      --J;
    } else if (I > 0 && (J == 0 || From == 1)) {
      Column.Sent = Sent[I - 1];
      Column.Mark = TCopyMark::Missed;
      --I;
    } else {
      Column.Typed = Typed[J - 1];
      Column.Mark = TCopyMark::Extra;
      --J;
    }
    Score.Columns.push_back(Column);
  }
  std::reverse(Score.Columns.begin(), Score.Columns.end());
  for (const TCopyColumn& C : Score.Columns) {
    switch (C.Mark) {
    case TCopyMark::Correct:
      ++Score.Correct;
      break;
    case TCopyMark::Wrong:
      ++Score.Wrong;
      break;
    case TCopyMark::Missed:
      ++Score.Missed;
      break;
    case TCopyMark::Extra:
      ++Score.Extra;
      break;
    }
    if (C.Mark != TCopyMark::Extra)
      ++Score.Sent;
    if ((C.Mark == TCopyMark::Wrong || C.Mark == TCopyMark::Missed) && C.Sent != ' ' &&
        Score.CopiedWrong.find(C.Sent) == std::string::npos)
      Score.CopiedWrong += C.Sent;
  }
  return Score;
}
