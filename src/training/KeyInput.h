#pragma once

#include "storage/Layouts.h"

#include <QEvent>
#include <QObject>

#include <cstdint>
#include <string>

class QKeyEvent;
class TSession;

// Virtual key codes of the numeric keypad.
constexpr uint16_t VK_NUMPAD0 = 0x60;
constexpr uint16_t VK_NUMPAD9 = 0x69;

// One key event as the answer handlers read it.
struct TKeyInput {
  uint16_t VirtualKey = 0; // letters and digits by their upper-case ASCII, keypad 0x60..0x69
  bool AutoRepeat = false; // sent by the system while the key is held
  TTypedKey Typed;         // for the translation to the layout's character
};

// The virtual key code of a Qt key event: letters and digits by ASCII, the
// keypad's digits VK_NUMPAD0..9, anything else by Qt's key code cut to 16 bits.
uint16_t VirtualKeyOf(int QtKey, bool Keypad);

// The key event's data; the scan codes are read as the platform (Qt's
// platform name: "xcb", "wayland", "windows", ...) gives them.
TTypedKey TypedKeyOf(const QKeyEvent& Event, const QString& PlatformName);
TTypedKey TypedKeyOf(const QKeyEvent& Event);

TKeyInput KeyInputOf(const QKeyEvent& Event);

// Forwards the form's key events to the session while its keyboard preview
// is on; auto-repeated events are taken, so a held key counts once.
class TKeyPreviewFilter final : public QObject {
public:
  explicit TKeyPreviewFilter(TSession& Session, QObject* Parent = nullptr)
      : QObject(Parent), FSession(Session) {}

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  TSession& FSession;
  const QKeyEvent* FLast = nullptr;
  quint64 FLastTime = 0;
  QEvent::Type FLastType = QEvent::None;
};
