#pragma once

#include <cstdint>
#include <string>

// How a course order is cut into lessons. With n letters the letters take
// ceil(n / 4) lessons, the last (4·lessons − n) of them adding three letters
// and the others four; two digit lessons, three sign lessons and the final
// lesson of all characters follow.

struct TLessonBounds {
  int32_t Buchstaben = 0; // letters before the digits
  int32_t BuchEnde = 0;   // last letter lesson (0 when there are no letters)
  int32_t ZiffEnde = 0;   // last digit lesson
  int32_t ZeichEnde = 0;  // last sign lesson; the final lesson follows it
};

// False when the order holds no "1": no alphabet has been loaded.
bool LessonBoundsOf(const std::string& Folge, TLessonBounds& Bounds);

enum class TLessonSet { Buchstaben, Ziffern, Zeichen, Alle };

// The set lesson L belongs to. Lesson ZeichEnde is a sign lesson; every later
// one counts as the final lesson, an earlier one than 1 as a letter lesson.
TLessonSet SetOfLesson(const TLessonBounds& Bounds, int32_t L);

// The characters practised in lesson L and those it introduces.
void LessonChars(const std::string& Folge, const TLessonBounds& Bounds, int32_t L,
                 std::string& Lekt, std::string& Neue);

// The candidates of exercise 4: the lesson's characters without the prosigns
// KA and SK, which are always its last two when it has them.
std::string GroupCandidates(const std::string& Lekt);
