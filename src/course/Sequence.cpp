// The exercise sequences: what exercises 2 to 4 sound, drawn at random under
// a repetition limit, never the same character twice in a row, optionally
// opening with the new characters, doubling marked ones, or restricted to
// the keys picked for Only.

#include "course/Course.h"
#include "course/CourseState.h"
#include "course/LessonPlan.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace {

constexpr int32_t NeuVornRun = 5; // each new character opens the run this often

// How often one of R candidates may be drawn first among N entries: one more
// than an even share, so every character comes about equally often and none
// can be left out by chance.
int32_t GroupLimit(int32_t N, int32_t R) {
  return N / R + 1;
}

uint32_t ClockSeed() {
  const auto Ticks =
      static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
  return static_cast<uint32_t>(Ticks ^ (Ticks >> 32));
}

bool DigitLesson() {
  return course::Kurs.LektNr > course::Kurs.LektBuchEnde && course::Kurs.LektNr <= course::Kurs.LektZiffEnde;
}
bool SignLesson() {
  return course::Kurs.LektNr > course::Kurs.LektZiffEnde && course::Kurs.LektNr <= course::Kurs.LektZeichEnde;
}

// The candidate V (1-based in LektZeichen) is marked by the learner.
bool Marked(int32_t V) {
  if (V < 1 || static_cast<size_t>(V) > course::Kurs.LektZeichen.size())
    return false;
  const int32_t P = LetterPos(course::Kurs.LektZeichen[static_cast<size_t>(V) - 1]);
  return P >= 1 && P <= MaxLetters && course::Folge.Markiert[static_cast<size_t>(P)];
}

} // namespace

TSequenceDraw TCourse::GenerateSequence(int32_t N, int32_t R, std::optional<uint32_t> Seed) {
  TSequenceDraw Draw;
  if (N <= 0)
    return Draw;
  const auto Slots = static_cast<size_t>(N);
  if (course::Folge.UebFolge.size() < Slots)
    course::Folge.UebFolge.resize(Slots);
  R = std::min(R, MaxLetters);
  if (R < 1) {
    // Nothing to draw from (no alphabet): no entry names a character.
    std::fill_n(course::Folge.UebFolge.begin(), Slots, 0);
    return Draw;
  }

  int32_t& M = Draw.Limit;
  // Exercises 2 and 3 ask each character exactly as often as their length
  // allows (five and three times), so the limit is that count.
  M = course::Kurs.UebNr == 2 ? 5 : course::Kurs.UebNr == 3 ? 3 : GroupLimit(N, R);
  std::mt19937 Gen(Seed ? *Seed : ClockSeed());
  auto Uniform = [&Gen](int32_t Range) {
    return std::uniform_int_distribution<int32_t>(1, Range)(Gen);
  };
  auto& Counts = Draw.Counts;
  // A first choice below the limit, counted. Should a caller ask for more
  // entries than the limit allows, the limit rises instead of drawing forever.
  auto Pick = [&](int32_t Range) {
    while (std::all_of(Counts.begin() + 1, Counts.begin() + 1 + Range,
                       [&M](int32_t C) { return C >= M; }))
      ++M;
    int32_t V = 0;
    do
      V = Uniform(Range);
    while (Counts[static_cast<size_t>(V)] >= M);
    ++Counts[static_cast<size_t>(V)];
    return V;
  };

  // The first groups after moving on open with each new character five times
  // in a row, so its sound is fixed before it is mixed with the others; these
  // entries are not counted, the rest of the run keeps its even share.
  size_t F = 0;
  if (course::Folge.NeuVorn) {
    const auto K = static_cast<int32_t>(course::Kurs.NeueZeichen.size());
    for (int32_t I = 1; I <= K && F < Slots; ++I) {
      const int32_t V = std::clamp(R - K + I, 1, R);
      for (int32_t Rep = 0; Rep < NeuVornRun && F < Slots; ++Rep)
        course::Folge.UebFolge[F++] = V;
    }
  }

  // Only takes the marked keys whose characters are candidates of this
  // lesson, in key order.
  if (!course::Folge.NeuVorn && course::Kurs.UebNr == 4 && course::Folge.Only) {
    course::Folge.OnlyZeichen.clear();
    const std::string Candidates = course::Kurs.LektZeichen.substr(0, static_cast<size_t>(R));
    for (const char C : course::Tastatur.TastZeichen) {
      if (course::Kurs.KursFolge.find(C) == std::string::npos)
        continue; // its key carries no character
      const int32_t P = LetterPos(C);
      if (P < 1 || P > MaxLetters || !course::Folge.Markiert[static_cast<size_t>(P)])
        continue;
      if (Candidates.find(C) != std::string::npos && course::Folge.OnlyZeichen.find(C) == std::string::npos)
        course::Folge.OnlyZeichen += C;
    }
    if (course::Folge.OnlyZeichen.size() >= 2) {
      Draw.Only = true;
      M = GroupLimit(N, static_cast<int32_t>(course::Folge.OnlyZeichen.size()));
    } else {
      NormalRBClick(nullptr); // clears the selection
    }
  }

  if (Draw.Only) {
    const auto L = static_cast<int32_t>(course::Folge.OnlyZeichen.size());
    for (; F < Slots; ++F) {
      int32_t V = Pick(L);
      course::Folge.UebFolge[F] = V;
      // With two keys picked, repeats are allowed: without them the run
      // would be a plain alternation, heard without listening.
      if (F > 0 && L > 2)
        while (V == course::Folge.UebFolge[F - 1])
          course::Folge.UebFolge[F] = V = Uniform(L);
    }
    for (size_t I = 0; I < Slots; ++I) {
      const char C = course::Folge.OnlyZeichen[static_cast<size_t>(course::Folge.UebFolge[I]) - 1];
      course::Folge.UebFolge[I] = static_cast<int32_t>(course::Kurs.LektZeichen.find(C)) + 1;
    }
  } else if (course::Kurs.UebNr == 4 && !FSchwaechen.empty()) {
    // The learner's weak characters more often, their confusions near them;
    // the marks double as designed.
    DrawWeak(course::Folge.UebFolge, F, Slots, course::Kurs.LektZeichen.substr(0, static_cast<size_t>(R)),
             FSchwaechen, course::Tastatur.InputLayoutNr, Gen, [](int32_t V) {
               return course::Folge.MarkModus && Marked(V);
             });
  } else {
    while (F < Slots) {
      int32_t V = Pick(R);
      course::Folge.UebFolge[F] = V;
      // Never the same character twice in a row, so an answer cannot come
      // from the one before. A single candidate cannot avoid itself; it
      // simply repeats.
      if (F > 0 && R > 1)
        while (V == course::Folge.UebFolge[F - 1])
          course::Folge.UebFolge[F] = V = Uniform(R);
      // A marked character is one the learner confuses: it comes twice in a
      // row, so it is heard again at once.
      if (course::Folge.MarkModus && course::Kurs.UebNr == 4 && Marked(V)) {
        ++F;
        if (F < Slots)
          course::Folge.UebFolge[F] = V;
      }
      ++F;
    }
  }

  // Digit and sign lessons practise a run of KursFolge that does not start
  // at its beginning: the entries were drawn as positions in that run and
  // become positions in the course. Exercise 2 names the large keys instead.
  if (course::Kurs.UebNr == 3 || course::Kurs.UebNr == 4) {
    size_t Start = std::string::npos;
    if (DigitLesson())
      Start = course::Kurs.KursFolge.find('1');
    else if (SignLesson())
      Start = course::Kurs.KursFolge.find('.');
    if (Start != std::string::npos && Start > 0)
      for (size_t I = 0; I < Slots; ++I)
        course::Folge.UebFolge[I] += static_cast<int32_t>(Start);
  }
  return Draw;
}

TSequenceDraw TCourse::DrawExercise(std::optional<uint32_t> Seed) {
  int32_t R = 0;
  switch (course::Kurs.UebNr) {
  case 2:
    R = static_cast<int32_t>(course::Kurs.NeueZeichen.size());
    course::Folge.UebLaenge = 5 * R;
    break;
  case 3:
    R = static_cast<int32_t>(course::Kurs.LektZeichen.size());
    course::Folge.UebLaenge = 3 * R;
    break;
  default:
    // The prosigns KA and SK open and close the groups; they are no group's
    // character.
    course::Folge.GruppenZeichen = GroupCandidates(course::Kurs.LektZeichen);
    R = static_cast<int32_t>(course::Folge.GruppenZeichen.size());
    course::Folge.UebLaenge = 5 * course::Kurs.GruppenZahl;
    break;
  }
  course::Folge.UebFolge.assign(static_cast<size_t>(std::max(course::Folge.UebLaenge, 0)), 0);
  return GenerateSequence(course::Folge.UebLaenge, R, Seed);
}
