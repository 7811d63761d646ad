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

TCopyScore ScoreCopy(const std::string& SentText, const std::string& Typed) {
  const std::string Sent = SentText.substr(0, std::min(SentText.size(), MaxScoredSent));
  const std::string Copy = CopyCharacters(Typed);
  const size_t N = Sent.size();
  const size_t M = Copy.size();
  const size_t W = M + 1;
  // Cost[i][j]: the cheapest alignment of Sent[i..] with Copy[j..]. At most
  // 251 x 521 cells of 16 bits, as the caps allow.
  std::vector<uint16_t> Cost((N + 1) * W);
  auto At = [&](size_t I, size_t J) -> uint16_t& { return Cost[I * W + J]; };
  for (size_t I = N + 1; I-- > 0;) {
    for (size_t J = M + 1; J-- > 0;) {
      if (I == N) {
        At(I, J) = static_cast<uint16_t>(M - J);
      } else if (J == M) {
        At(I, J) = static_cast<uint16_t>(N - I);
      } else {
        const uint16_t Diag = static_cast<uint16_t>(At(I + 1, J + 1) + (Sent[I] == Copy[J] ? 0 : 1));
        const uint16_t Skip = static_cast<uint16_t>(std::min(At(I + 1, J), At(I, J + 1)) + 1);
        At(I, J) = std::min(Diag, Skip);
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
  size_t I = 0;
  size_t J = 0;
  while (I < N || J < M) {
    if (I < N && J < M) {
      const bool Same = Sent[I] == Copy[J];
      if (At(I, J) == At(I + 1, J + 1) + (Same ? 0 : 1)) {
        Add(Same ? TCopyMark::Correct : TCopyMark::Wrong, Sent[I], Copy[J]);
        ++I;
        ++J;
        continue;
      }
    }
    if (I < N && (J == M || At(I, J) == At(I + 1, J) + 1)) {
      Add(TCopyMark::Missed, Sent[I], '\0');
      ++I;
    } else {
      Add(TCopyMark::Extra, '\0', Copy[J]);
      ++J;
    }
  }
  return S;
}
