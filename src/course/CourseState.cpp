#include "course/CourseState.h"

TKurs Kurs;
TFolge Folge;
TTastatur Tastatur;

void ResetCourseState() {
  Kurs = {};
  Folge = {};
  Tastatur = {};
}
