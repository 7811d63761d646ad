#include "storage/Layouts.h"
#include "training/KeyInput.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace {

constexpr uint32_t XQ = 24; // the xkb keycode of the Q key

const TLayout& Russian() {
  return *LayoutOfNr(3);
}
const TLayout& Turkish() {
  return *LayoutOfNr(4);
}

// The key event's native codes are read as the platform gives them.
TEST(TypedKeyOfTest, TheQKeyOfEveryPlatformGivesShortIInTheRussianLayout) {
  // Without a scan code (offscreen), by the key code of a Latin keyboard.
  const QKeyEvent Event(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q");
  EXPECT_EQ(TranslateTyped(Russian(), TypedKeyOf(Event, "offscreen")), '\xE9');
  // Windows gives the set-1 scan code.
  const QKeyEvent WinEvent(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, 0x10, 0x51, 0, "q");
  EXPECT_EQ(TranslateTyped(Russian(), TypedKeyOf(WinEvent, "windows")), '\xE9');
  const QKeyEvent XEvent(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, XQ, 0x71, 0, "q");
  EXPECT_EQ(TranslateTyped(Russian(), TypedKeyOf(XEvent, "xcb")), '\xE9');
  // macOS names the key by its virtual key code.
  const QKeyEvent MacEvent(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, 0, 0x0C, 0, "q");
  EXPECT_EQ(TranslateTyped(Russian(), TypedKeyOf(MacEvent, "cocoa")), '\xE9');
  const QKeyEvent MacI(QEvent::KeyPress, Qt::Key_I, Qt::NoModifier, 0, 0x22, 0, "i");
  EXPECT_EQ(TranslateTyped(Turkish(), TypedKeyOf(MacI, "cocoa")), '\xFD');
}

} // namespace
