#pragma once

#include "base/CodePage.h"

#include <cstdint>
#include <string>

class QObject;
class QString;

// Program text is bytes of an 8-bit code page; a control shows them in the
// character set of its font. Qt has no character set on a font, so each
// control carries one as a property, and captions are converted to and from
// Unicode here and nowhere else.

// Text as a label or message box draws it: a line feed and a carriage
// return next to each other, in either order, are one line break, and so is
// a carriage return alone.
QString LabelLines(QString Text);

// The character set of a control's font (ANSI_CHARSET until set). A control
// without one of its own takes its parent's.
uint8_t CharsetOf(const QObject* Control);
void SetCharset(QObject* Control, uint8_t Charset);

// Caption of a label, button, check box, group box, menu or menu item, as
// bytes in the control's character set. Setting it keeps the bytes, so that
// reading them back gives exactly what was set, whatever the code page lacks.
void SetCaption(QObject* Control, const std::string& Bytes);
std::string CaptionOf(const QObject* Control);
