#include "course/CourseState.h"

course::TKurs course::Kurs;
course::TFolge course::Folge;
course::TTastatur course::Tastatur;

void ResetCourseState() {
  course::Kurs = {};
  course::Folge = {};
  course::Tastatur = {};
}
