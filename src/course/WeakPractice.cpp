#include "course/WeakPractice.h"

#include <algorithm>
#include <numeric>

double WeakWeight(double ErrorRate, int32_t ReactionMs, int32_t TargetMs, double ConfusionRate) {
  double Slow = 0.0;
  if (ReactionMs >= 0 && TargetMs > 0)
    Slow = std::clamp(static_cast<double>(ReactionMs - TargetMs) / TargetMs, 0.0, 1.0);
  return 1.0 + 4.0 * std::clamp(ErrorRate, 0.0, 1.0) + 2.0 * Slow + 2.0 * std::clamp(ConfusionRate, 0.0, 1.0);
}

void DrawWeak(std::vector<int32_t>& Folge, size_t F, size_t N, const std::string& Candidates,
              const TSchwaechen& Schwaechen, int32_t Kurs, std::mt19937& Gen,
              const std::function<bool(int32_t)>& Marked) {
  const auto R = static_cast<int32_t>(Candidates.size());
  if (R < 1 || F >= N)
    return;
  N = std::min(N, Folge.size());
  auto Of = [&](int32_t V) -> const TSchwaeche* {
    const auto It = Schwaechen.find({Kurs, Candidates[static_cast<size_t>(V) - 1]});
    return It != Schwaechen.end() ? &It->second : nullptr;
  };
  std::vector<double> Gewicht(static_cast<size_t>(R) + 1, 0.0);
  for (int32_t V = 1; V <= R; ++V) {
    const TSchwaeche* S = Of(V);
    Gewicht[static_cast<size_t>(V)] = S != nullptr ? std::max(S->Gewicht, 0.01) : 1.0;
  }

  // The bag: every candidate once, then the rest by weight.
  std::vector<int32_t> Bag(static_cast<size_t>(R) + 1, 0);
  const size_t Room = N - F;
  size_t InBag = 0;
  if (Room >= static_cast<size_t>(R)) {
    std::fill(Bag.begin() + 1, Bag.end(), 1);
    InBag = static_cast<size_t>(R);
  }
  std::discrete_distribution<int32_t> ByWeight(Gewicht.begin(), Gewicht.end());
  for (; InBag < Room; ++InBag)
    ++Bag[static_cast<size_t>(ByWeight(Gen))];

  auto TakeFromBag = [&](int32_t Prev) {
    // Half the time a character Prev is taken for, when one is still to come.
    if (Prev >= 1 && std::bernoulli_distribution(0.5)(Gen))
      if (const TSchwaeche* S = Of(Prev))
        for (const char P : S->Partner) {
          const size_t At = Candidates.find(P);
          if (At != std::string::npos && static_cast<int32_t>(At) + 1 != Prev && Bag[At + 1] > 0)
            return static_cast<int32_t>(At) + 1;
        }
    std::vector<double> W(Bag.size(), 0.0);
    for (int32_t V = 1; V <= R; ++V)
      if (V != Prev || R == 1)
        W[static_cast<size_t>(V)] = Bag[static_cast<size_t>(V)];
    if (std::accumulate(W.begin(), W.end(), 0.0) <= 0.0)
      return Prev; // only Prev is left: it repeats, mended below
    return std::discrete_distribution<int32_t>(W.begin(), W.end())(Gen);
  };
  // A pair takes the place of a character drawn more than once, else of
  // the most frequent one.
  auto MakeRoom = [&] {
    const auto Most = std::max_element(Bag.begin() + 1, Bag.end());
    if (*Most > 0)
      --*Most;
  };

  size_t I = F;
  while (I < N && std::accumulate(Bag.begin() + 1, Bag.end(), 0) > 0) {
    const int32_t Prev = I > 0 ? Folge[I - 1] : 0;
    const int32_t V = TakeFromBag(Prev);
    --Bag[static_cast<size_t>(V)];
    Folge[I++] = V;
    if (Marked && Marked(V) && I < N) {
      MakeRoom();
      Folge[I++] = V;
    }
  }
  // A repeat left at the end moves to a place between two others.
  for (size_t K = std::max<size_t>(F, 1); K < N && R > 1; ++K) {
    if (Folge[K] != Folge[K - 1] || (Marked && Marked(Folge[K])))
      continue;
    for (size_t J = F; J < N; ++J) {
      const int32_t A = Folge[J];
      const bool FitsThere = (J == 0 || Folge[J - 1] != Folge[K]) && (J + 1 >= N || Folge[J + 1] != Folge[K]);
      const bool FitsHere = Folge[K - 1] != A && (K + 1 >= N || Folge[K + 1] != A);
      if (J != K && FitsThere && FitsHere && !(Marked && Marked(A))) {
        std::swap(Folge[J], Folge[K]);
        break;
      }
    }
  }
}
