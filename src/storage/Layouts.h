#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The four keyboard layouts. Each decides the alphabet taught, the on-screen
// keyboard, the interface language and the character set of the texts.
// Text is bytes of the layout's code page.

struct TLayout {
  int32_t Tag = 0;       // of its layout menu item, 600 + SprachNr
  int32_t SprachNr = 0;  // 1 English, 2 German, 3 Russian, 4 Turkish
  const char* LocaleId = "";      // input locale identifier: 1024 + language number, 8 hex digits
  uint8_t Charset = 0;            // font character set of KeyPanel
  int32_t TastLinks = 0;          // left margin of the keyboard rows, pixels
  const char* AlphabetFile = "";  // Morse character file
  // The on-screen keyboard rows (TastReihen): digits, then three letter rows.
  std::array<const char*, 4> Rows{};
  // What the course speaks and shows in its own language: the prefix of its
  // characters' sound files (the Russian course's files have none), its help
  // page, and the language of the toolkit's own dialog texts.
  const char* SoundPrefix = "";
  const char* HelpFile = "";
  const char* Language = "";
};

// 601 English ... 604 Turkish.
const std::array<TLayout, 4>& LayoutTable();

// The file a sound of the course in force is read from: Name (a character's
// sound file as the exercises ask for it, "a.wav") with the prefix of the
// layout InputLayoutNr; Name itself when no layout is in force.
std::string CourseSoundFile(const std::string& Name);
// The layout of a menu item's tag, of a SprachNr, of a locale identifier;
// null for any other value.
const TLayout* LayoutOfTag(int32_t Tag);
const TLayout* LayoutOfNr(int32_t SprachNr);
const TLayout* LayoutOfLocale(const std::string& LocaleId);

// The platform's keyboard layouts: whether one can be loaded. The layout
// switch then makes it the one typed characters are translated to.
class TKeyboardLayouts {
public:
  virtual ~TKeyboardLayouts() = default;
  // Loads the input locale; false when it is not available.
  virtual bool LoadKeyboardLayout(const std::string& LocaleId) = 0;
};

// The layouts the program brings itself: the four are always available, and
// typed characters are translated to the one in force (TypedChar below), so
// no system layout needs to be installed.
class TBuiltInLayouts final : public TKeyboardLayouts {
public:
  bool LoadKeyboardLayout(const std::string& LocaleId) override;
};

// ---------------------------------------------------------------------------
// Typed characters

// How a key event's native codes name the physical key.
enum class TScanCodes {
  None,     // not known (offscreen, other platforms): only the key code is used
  Xkb,      // X11 and Wayland: the scan code is the xkb keycode, evdev code + 8
  Windows,  // the scan code is the PC set-1 scan code
  Mac,      // the native virtual key is the macOS key code, which is positional
};

// What a key event gives: its text, Qt's key code and modifiers, the native
// scan code and virtual key.
struct TTypedKey {
  QString Text;
  int Key = 0;             // Qt::Key
  bool Shift = false;
  bool Keypad = false;     // a key of the numeric keypad
  uint32_t NativeScanCode = 0;
  uint32_t NativeVirtualKey = 0;
  TScanCodes ScanCodes = TScanCodes::None;
};

// The character a typed key stands for in the layout, as a byte of its code
// page, or none for a key that gives no character the code page has.
//
// A character of the layout's rows is taken as it is, so a learner with the
// layout installed types as usual. Any other character, and a row character
// that a Latin keyboard gives at that key, stands for the layout's letter on
// that physical key (positions of US QWERTY: the Q key gives "й" in the
// Russian layout, "[" gives "ü" in the German one, the I key "ı" in the
// Turkish one), in the case that was typed. A key on which the layout has no
// letter gives its own character.
std::optional<char> TranslateTyped(const TLayout& Layout, const TTypedKey& Key);

// TranslateTyped for the layout in force (InputLayoutNr); with none, the
// character in code page 1252.
std::optional<char> TypedChar(const TTypedKey& Key);
