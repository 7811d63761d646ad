#include "course/Course.h"

#include "course/CourseState.h"
#include "course/LessonData.h"

TCourse::TCourse(TCourseDisplay& Display, TMessageReporter& Reporter)
    : FDisplay(Display), FReporter(Reporter) {}

bool TCourse::LoadLessonData(int32_t SprachNr) {
  return ::LoadLessonData(SprachNr, FReporter);
}

void TCourse::RebuildCourse() {
  course::Kurs.KursFolge = course::Kurs.BuchFolge;
  ComputeLesson();
}
