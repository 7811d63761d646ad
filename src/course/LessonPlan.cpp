#include "course/LessonPlan.h"

#include <algorithm>

namespace {

// The last Count characters of S, or all of it when it is shorter.
std::string Last(const std::string& S, size_t Count) {
  return S.size() <= Count ? S : S.substr(S.size() - Count);
}

// Count characters of S from the 0-based offset At, as many as there are.
std::string Part(const std::string& S, size_t At, size_t Count) {
  return At >= S.size() ? std::string() : S.substr(At, Count);
}

size_t Size(int32_t N) {
  return N > 0 ? static_cast<size_t>(N) : 0;
}

} // namespace

bool LessonBoundsOf(const std::string& Folge, TLessonBounds& Bounds) {
  const size_t One = Folge.find('1');
  if (One == std::string::npos)
    return false;
  const auto N = static_cast<int32_t>(One);
  const int32_t Q = N / 4;
  const int32_t R = N - 4 * Q;
  Bounds.Buchstaben = N;
  Bounds.BuchEnde = R == 0 ? Q : Q + 1;
  Bounds.ZiffEnde = Bounds.BuchEnde + 2;
  Bounds.ZeichEnde = Bounds.ZiffEnde + 3;
  return true;
}

TLessonSet SetOfLesson(const TLessonBounds& Bounds, int32_t L) {
  if (L <= Bounds.BuchEnde)
    return TLessonSet::Buchstaben;
  if (L <= Bounds.ZiffEnde)
    return TLessonSet::Ziffern;
  if (L <= Bounds.ZeichEnde)
    return TLessonSet::Zeichen;
  return TLessonSet::Alle;
}

void LessonChars(const std::string& Folge, const TLessonBounds& Bounds, int32_t L,
                 std::string& Lekt, std::string& Neue) {
  const int32_t T = 4 * Bounds.BuchEnde - Bounds.Buchstaben; // lessons of three letters
  switch (SetOfLesson(Bounds, L)) {
  case TLessonSet::Buchstaben: {
    const int32_t Lesson = std::max<int32_t>(L, 1);
    const int32_t Four = Bounds.BuchEnde - T; // lessons 1..Four add four letters
    const int32_t Count =
        std::min(4 * Lesson - std::max<int32_t>(0, Lesson - Four), Bounds.Buchstaben);
    Lekt = Part(Folge, 0, Size(Count));
    Neue = Last(Lekt, Lesson <= Four ? 4 : 3);
    break;
  }
  case TLessonSet::Ziffern:
    Lekt = Part(Folge, Folge.find('1'), Size(5 * (L - Bounds.BuchEnde)));
    Neue = Last(Lekt, 5);
    break;
  case TLessonSet::Zeichen: {
    const size_t Dot = Folge.find('.');
    if (L < Bounds.ZeichEnde) {
      Lekt = Part(Folge, Dot, Size(3 * (L - Bounds.ZiffEnde)));
      Neue = Last(Lekt, 3);
    } else {
      Lekt = Part(Folge, Dot, 8);
      Neue = Last(Lekt, 2);
    }
    break;
  }
  case TLessonSet::Alle:
    Lekt = Folge;
    Neue = Last(Lekt, 2);
    break;
  }
}

std::string GroupCandidates(const std::string& Lekt) {
  if (Lekt.find('@') == std::string::npos)
    return Lekt;
  return Lekt.substr(0, Lekt.size() >= 2 ? Lekt.size() - 2 : 0);
}
