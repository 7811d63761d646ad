#include "training/KeyInput.h"

#include "training/Session.h"

#include <QGuiApplication>
#include <QKeyEvent>

uint16_t VirtualKeyOf(int QtKey, bool Keypad) {
  if (Keypad && QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9)
    return static_cast<uint16_t>(VK_NUMPAD0 + (QtKey - Qt::Key_0));
  if ((QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z) || (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9))
    return static_cast<uint16_t>(QtKey);
  return static_cast<uint16_t>(QtKey & 0xFFFF);
}

TTypedKey TypedKeyOf(const QKeyEvent& Event, const QString& PlatformName) {
  TTypedKey K;
  K.Text = Event.text();
  K.Key = Event.key();
  K.Shift = Event.modifiers().testFlag(Qt::ShiftModifier);
  K.Keypad = Event.modifiers().testFlag(Qt::KeypadModifier);
  K.NativeScanCode = Event.nativeScanCode();
  K.NativeVirtualKey = Event.nativeVirtualKey();
  if (PlatformName == QLatin1String("xcb") || PlatformName.startsWith(QLatin1String("wayland")))
    K.ScanCodes = TScanCodes::Xkb;
  else if (PlatformName == QLatin1String("windows"))
    K.ScanCodes = TScanCodes::Windows;
  else if (PlatformName == QLatin1String("cocoa"))
    K.ScanCodes = TScanCodes::Mac;
  return K;
}

TTypedKey TypedKeyOf(const QKeyEvent& Event) {
  return TypedKeyOf(Event, QGuiApplication::platformName());
}

TKeyInput KeyInputOf(const QKeyEvent& Event) {
  TKeyInput In;
  In.Typed = TypedKeyOf(Event);
  In.VirtualKey = VirtualKeyOf(Event.key(), (Event.modifiers() & Qt::KeypadModifier) != 0);
  In.AutoRepeat = Event.isAutoRepeat();
  return In;
}

bool TKeyPreviewFilter::eventFilter(QObject* Watched, QEvent* Event) {
  const QEvent::Type Type = Event->type();
  if ((Type == QEvent::KeyPress || Type == QEvent::KeyRelease) && FSession.KeyPreview() &&
      Watched->isWidgetType() && static_cast<QWidget*>(Watched)->window() == FSession.View().Form) {
    // A key event not taken by a widget travels up to its parents: see it once.
    const auto* Key = static_cast<QKeyEvent*>(Event);
    if (Key != FLast || Key->timestamp() != FLastTime || Type != FLastType) {
      FLast = Key;
      FLastTime = Key->timestamp();
      FLastType = Type;
      const TKeyInput In = KeyInputOf(*Key);
      if (Type == QEvent::KeyPress) {
        FSession.FormKeyDown(In);
        if (!Key->text().isEmpty())
          FSession.FormKeyPress(In);
      } else {
        FSession.FormKeyUp(In);
      }
    }
  }
  return QObject::eventFilter(Watched, Event);
}
