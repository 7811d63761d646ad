// Stat.dat, the per-character statistics.
#include "FuzzCheck.h"
#include "storage/StatFile.h"

#include <cstdint>
#include <algorithm>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::span<const uint8_t> In(Data, Size);
  TStatistik S = TStatistik::Parse(In);
  // A file is never cut: what is written starts with every byte read.
  FuzzCheck(S.Bytes().size() >= Size, "bytes lost");
  if (Size > 0)
    FuzzCheck(std::equal(In.begin(), In.end(), S.Bytes().begin()) || S.Writable(),
              "a foreign file changed");
  for (int32_t K = 1; K <= 4; ++K)
    for (int C = 0; C < 256; ++C) {
      const TZeichenStat Z = S.Of(K, static_cast<char>(C));
      FuzzCheck(Z.Wrong <= Z.Sent && Z.Runs <= static_cast<int32_t>(StatRuns), "figures out of range");
      // No reaction shown that no learner could have.
      FuzzCheck(Z.ReactionMs <= StatMaxReactionMs && Z.SpreadMs <= StatMaxReactionMs,
                "impossible reaction shown");
      for (const TVerwechslung& V : S.Verwechslungen(K, static_cast<char>(C)))
        FuzzCheck(V.Count > 0 && V.Als != static_cast<char>(C), "confusion out of range");
    }
  for (int32_t K = 1; K <= 4; ++K)
    for (const TStatLauf& L : S.Laeufe(K))
      FuzzCheck(L.Wrong <= L.Sent && L.ReactionMs <= StatMaxReactionMs, "run out of range");
  for (int32_t K = 1; K <= 4; ++K)
    for (const TPracticeLauf& P : S.PracticeLaeufe(K))
      FuzzCheck(P.Wrong <= P.Sent && P.ReactionMs <= StatMaxReactionMs && (P.Noise || P.SnrDb == 0),
                "practice run out of range");
  FuzzCheck(S.TargetMs() >= 100 && S.TargetMs() <= 10000, "target out of range");
  // A run added reads back from the new bytes.
  const size_t Before = S.Records();
  const TStatRun Run[] = {{'e', 3, 1, 420, 60}};
  const int32_t Had = S.Of(1, 'e').Sent;
  const size_t HadRuns = S.Laeufe(1).size();
  const size_t HadPractice = S.PracticeLaeufe(2).size();
  const TPracticeLauf Practice{9000, 40, 5, 380, 25, 18, true, -4, 10, 8, 1, 20, 10, 0};
  S.AddRun(1, Run);
  S.AddVerwechslung(1, 'e', 'i');
  S.AddLauf(1, {9000, 4, 2, 3, 1, 420});
  S.AddPracticeLauf(2, Practice);
  if (S.Writable()) {
    // Never more than the reader takes; a full file leaves a new character out.
    FuzzCheck(S.Bytes().size() <= StatMaxFileSize, "grown beyond its reader");
    const TStatistik Again = TStatistik::Parse(S.Bytes());
    FuzzCheck(Again.Records() >= Before, "records lost");
    FuzzCheck(Again.Of(1, 'e').Runs >= 1 || S.Refused() > 0, "run not kept");
    FuzzCheck(Again.Of(1, 'e').Sent <= Had + 3, "run counted twice");
    const std::vector<TStatLauf> L = Again.Laeufe(1);
    FuzzCheck(L.size() >= std::min(HadRuns + 1, StatHistoryMax) || S.Refused() > 0, "history lost");
    FuzzCheck(L.size() <= StatHistoryMax, "history unbounded");
    const std::vector<TPracticeLauf> P = Again.PracticeLaeufe(2);
    FuzzCheck(P.size() >= std::min(HadPractice + 1, StatPracticeMax) || S.Refused() > 0,
              "practice runs lost");
    FuzzCheck(P.size() <= StatPracticeMax, "practice runs unbounded");
    FuzzCheck(P.empty() || P.back() == Practice || S.Refused() > 0,
              "practice run not kept as added");
  } else {
    FuzzCheck(S.Bytes().size() == Size || Size == 0, "a file not to be written changed");
  }
  return 0;
}
