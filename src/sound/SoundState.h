#pragma once

#include "sound/WaveDevice.h"

#include <array>
#include <cstdint>
#include <string>

// The engine's state: one parameter set, one code table, one set of sample
// buffers and one wave header for the whole program, grouped by owner.
//
// Text is bytes of the active layout's code page; positions in Letters and
// slots of Codes and IntervallTab count from 1, 0 meaning "not found".

// ---------------------------------------------------------------------------
// Sizes

constexpr int32_t SamplesPerSec = 11025;

constexpr int32_t MaxLetters = 50; // characters in the code table
constexpr int32_t MaxCodeLen = 10; // dots and dashes of one table code

constexpr size_t DotBufSize = 3001;
constexpr size_t DashBufSize = 15001;
constexpr size_t SoundBufSize = 100001;
constexpr size_t FileHeaderSize = 44;
constexpr size_t FileBufSize = 100001;
constexpr size_t ErrTextSize = 129; // 128 characters and the terminating zero
constexpr size_t IntervallTabSize = 60;

// Slots of IntervallTab that belong to a speed: slot k to 25 + 5·k cpm.
constexpr int32_t FirstSpeedSlot = 1; // 30 cpm
constexpr int32_t LastSpeedSlot = 25; // 150 cpm

constexpr uint8_t Silence = 128;

// ---------------------------------------------------------------------------
// Sound parameters: the learner's, set by the sound controls of the main
// window and the speed test through the setters below; the engine reads
// them. The replay window keeps a TKlang of its own and hands it to the
// player with each block.

namespace sound {
struct TKlang {
  int32_t Speed = 60;      // characters per minute, 30..150
  int32_t Verhalt = 30;    // dash length in tenths of a dot, 20..45
  int32_t Abstand = 0;     // stretch of the gaps between characters in tenths, 10..60
  int32_t Ton = 23;        // samples per tone period, 8..38
  int32_t Atacke = 4;      // ramp length in 1/2000 s, 1..13
  bool Rechteck = false;   // square wave instead of sine
  int32_t Intervall = 100; // milliseconds added to every gap between characters

  // Derived from Speed and Verhalt (DeriveElementLengths), in samples. They
  // start at the values of the start-up parameters; the element buffers
  // hold silence until the first block is built.
  int32_t DotLen = 1102;
  int32_t DashLen = 3306;

  // Per-speed compensation in milliseconds: byte offset k-1 is slot k. This
  // is the 60-byte record of the interval file, so it is kept as the raw
  // bytes; use IntervallAt / SetIntervallAt for slot access.
  std::array<uint8_t, IntervallTabSize> IntervallTab{};
  // The table differs from the interval file since a single-speed
  // calibration stored an entry; asked about when the program closes.
  bool IntChanged = false;
};
} // namespace sound

// The attack control (FrontBar, 0..12) sets the ramp from the other end:
// the further right, the steeper. The learner record keeps the control's
// position, so the two are converted here.
constexpr int32_t AtackeOfFront(int32_t Front) {
  return 13 - Front;
}
constexpr int32_t FrontOfAtacke(int32_t Atacke) {
  return 13 - Atacke;
}

// ---------------------------------------------------------------------------
// Code table, filled by the lesson data of the layout in force

namespace sound {
struct TCodetafel {
  // The characters that have a code, in table order, at most MaxLetters.
  std::string Letters;
  // Codes[p] is the code of Letters' character at position p
  // (1..MaxLetters); slot 0 is never used and stays empty.
  std::array<std::string, MaxLetters + 1> Codes;
};
} // namespace sound

// The characters every alphabet gets after its letters, with their codes.
// "@" is the starting signal KA, "\xA7" (section sign in code page 1252) the
// end-of-work signal SK.
inline constexpr char BuiltInDigits[] = "1234567890";
inline constexpr std::array<const char*, 10> BuiltInDigitCodes = {
    ".----", "..---", "...--", "....-", ".....", "-....", "--...", "---..", "----.", "-----"};
inline constexpr char BuiltInSigns[] = ".,?/+=@\xA7";
inline constexpr std::array<const char*, 8> BuiltInSignCodes = {
    ".-.-.-", "--..--", "..--..", "-..-.", ".-.-.", "-...-", "-.-.-", "...-.-"};

// Position (from 1) of the first occurrence of C in Letters; 0 if absent.
int32_t LetterPos(char C);
// The code of C: Codes[LetterPos(C)]. A character that is not in the table
// has no code and gives the empty string, which plays as one dot of silence.
std::string CodeOf(char C);

// ---------------------------------------------------------------------------
// Sample buffers (8-bit unsigned mono, 128 is silence), owned by the engine

// What the element buffers are synthesised from: a block rendered at a
// timing of another form synthesises them anew.
namespace sound {
struct TElementForm {
  int32_t DotLen = -1; // -1: nothing synthesised yet
  int32_t DashLen = -1;
  int32_t Ton = 0;
  int32_t Atacke = 0;
  bool Rechteck = false;
  bool operator==(const TElementForm&) const = default;
};
TElementForm FormOf(const TKlang& Timing);
} // namespace sound

template <size_t N> constexpr std::array<uint8_t, N> SilentBlock() {
  std::array<uint8_t, N> Block{};
  Block.fill(Silence);
  return Block;
}

namespace sound {
struct TPuffer {
  std::array<uint8_t, DotBufSize> DotBuf = SilentBlock<DotBufSize>();
  std::array<uint8_t, DashBufSize> DashBuf = SilentBlock<DashBufSize>();
  std::array<uint8_t, SoundBufSize> SoundBuf = SilentBlock<SoundBufSize>();
  int32_t SoundLen = 0; // bytes of SoundBuf to play, never above SoundBufSize
  TElementForm Form;    // what DotBuf and DashBuf hold
};
} // namespace sound

// ---------------------------------------------------------------------------
// Wave output, owned by the engine and the player

namespace sound {
struct TAusgabe {
  TMMResult WaveResult = MMSYSERR_NOERROR; // of the last wave call; 0 is success
  TWaveHdr WaveHdr;                        // the one header, for codes and sound files
  std::array<char, ErrTextSize> ErrText{}; // zero-terminated
  bool DeviceOpen = false;
  std::array<uint8_t, FileHeaderSize> FileHeader{}; // of the last sound file loaded
  std::array<uint8_t, FileBufSize> FileBuf{};       // its sample data

  bool Playing = false;     // a block started by the main window is playing
  bool MemPlaying = false;  // a block started by the text replay window is playing
  bool WavePending = false; // the sound file WavName follows the block now playing
  std::string WavName;
};
} // namespace sound

// The engine's state: one of each for the whole program, touched only in the
// interface thread.
namespace sound {
extern sound::TKlang Klang;
extern sound::TCodetafel Codetafel;
extern sound::TPuffer Puffer;
extern sound::TAusgabe Ausgabe;
} // namespace sound

// Puts the engine's state back to its start-up value.
void ResetSoundState();

// ---------------------------------------------------------------------------
// Timing rules

// Samples of the rising and of the falling ramp of an element, from Atacke.
int32_t RampLen();
int32_t RampLen(const sound::TKlang& Timing);

// Pause before the next character, counted from the end of the one just
// played: after a character inside a group, and after the fifth of a group;
// at the learner's timing or at another (the replay window's).
int32_t CharGapMs();
int32_t GroupGapMs();
int32_t CharGapMs(const sound::TKlang& Timing);
int32_t GroupGapMs(const sound::TKlang& Timing);

// DotLen and DashLen from Speed and Verhalt, held to what the element
// buffers take.
void DeriveElementLengths(sound::TKlang& Timing);

// The IntervallTab slot of a speed, Trunc(SpeedCpm / 5 - 5); a speed outside
// 30..150 takes the slot of the nearest speed in that range.
int32_t IntervallSlot(int32_t SpeedCpm);
// Slot access to IntervallTab; a slot outside 1..60 reads 0 and is not written.
uint8_t IntervallAt(int32_t Slot);
void SetIntervallAt(int32_t Slot, uint8_t Ms);
// Intervall := the table entry of the current Speed.
void SelectIntervall();

// ---------------------------------------------------------------------------
// Setters: sound::Klang is changed only through these and the engine's own
// operations. Each keeps what derives from its value in step, so no caller
// has a follow-up call to remember: a change of Speed, Verhalt, Ton, Atacke
// or Rechteck recomputes DotLen and DashLen and synthesises the element
// buffers again; a change of Speed also takes the interval table's entry of
// the new speed (SelectIntervall).

namespace sound {
void SetSpeed(int32_t Cpm);
void SetVerhalt(int32_t Tenths);
void SetAbstand(int32_t Tenths); // the gaps only; the elements stay
void SetTon(int32_t SamplesPerPeriod);
void SetAtacke(int32_t HalfMs);
void SetRechteck(bool Square);
// Intervall apart from the table: the speed test while it calibrates.
void SetIntervall(int32_t Ms);
void SetIntervallTab(const std::array<uint8_t, IntervallTabSize>& Table);
void SetIntChanged(bool Changed);
// The code table of the layout in force.
void SetCodetafel(TCodetafel Table);

// Timing as another speed has it: Timing with Speed, DotLen, DashLen and
// Intervall (the table's entry) of Cpm. For a window that sounds at a speed
// of its own without changing the learner's.
TKlang AtSpeed(TKlang Timing, int32_t Cpm);
} // namespace sound
