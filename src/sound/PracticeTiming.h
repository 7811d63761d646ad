#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The copy practice's timing, apart from the course's own: the character
// speed and the effective speed in words per minute of the word PARIS
// (50 dot units, so a dot lasts 1200 / wpm ms), spaced by the Farnsworth
// rule: the time added per word, ta = (60·c − 37.2·s) / (s·c) seconds, goes
// 3/19 to each space between characters and 7/19 to the space between
// words. At equal speeds that is 3 and 7 dots.
//
// The course counts characters per minute; a PARIS word is five characters
// and its space, so characters per minute are five times words per minute.
namespace practice {

constexpr int32_t MinCharWpm = 5;
constexpr int32_t MaxCharWpm = 100;
constexpr int32_t MinEffectiveWpm = 2;
constexpr int32_t MinToneHz = 300;
constexpr int32_t MaxToneHz = 1300;
constexpr int32_t CpmPerWpm = 5;

struct TTiming {
  int32_t CharWpm = 25;
  int32_t EffectiveWpm = 25;

  // Both speeds within their ranges, the effective one not above the
  // character speed.
  bool Valid() const;
  // The nearest valid timing: the character speed first, then the
  // effective speed within 2 .. the character speed.
  TTiming Clamped() const;

  // Durations in seconds.
  double DotSec() const;
  double CharSpaceSec() const;
  double WordSpaceSec() const;

  // Durations as exact multiples of 1 / Denominator() seconds, so that a
  // text's running time is counted without rounding.
  int64_t Denominator() const;
  int64_t DotUnits() const;
  int64_t CharSpaceUnits() const;
  int64_t WordSpaceUnits() const;
};

// The tone: pitch, ramp and wave form, copied from the learner's sound
// settings where they apply.
struct TTone {
  int32_t ToneHz = 600;
  int32_t RampSamples = 22;
  bool Square = false;
};

// One character's code ("." and "-"), or an empty string for the space
// between two words.
using TCodeSequence = std::vector<std::string>;

// Samples of the practice (8-bit unsigned mono at the program's rate, 128
// silence), made block by block so that sounding and writing can start at
// once.
class TSampleSource {
public:
  virtual ~TSampleSource() = default;
  virtual int64_t TotalSamples() const = 0;
  virtual int64_t Position() const = 0;
  bool AtEnd() const { return Position() >= TotalSamples(); }
  // Fills Out with the next samples; returns how many (fewer only at the
  // end).
  virtual size_t Next(std::span<uint8_t> Out) = 0;
  // Back to the start; the same samples follow again.
  virtual void Rewind() = 0;
};

// A hand key's timing: each element and space strays from its length by up
// to Pct percent, drawn from Seed, while the text's running time, and so
// its average speed, stays as it is.
struct TFist {
  int32_t Pct = 0;
  uint32_t Seed = 1;
};

// The practice's signal. Every element and space starts at the sample
// nearest its exact time from the start, so rounding never adds up over a
// long text. The text ends with the space of a word after its last element.
class TRender final : public TSampleSource {
public:
  TRender(const TCodeSequence& Codes, const TTiming& Timing, const TTone& Tone, const TFist& Fist = {});

  int64_t TotalSamples() const override { return FTotal; }
  int64_t Position() const override { return FPos; }
  size_t Next(std::span<uint8_t> Out) override;
  void Rewind() override;
  // The sample at which each character's last element ends, in the order
  // of the characters (word spaces not counted).
  const std::vector<int64_t>& CharEnds() const { return FCharEnds; }

  // An element's first sample and the first silent sample after it.
  struct TElement {
    int64_t Start = 0;
    int64_t End = 0;
  };
  const std::vector<TElement>& Elements() const { return FElements; }
  const TTone& Tone() const { return FTone; }

private:
  std::vector<TElement> FElements;
  std::vector<int64_t> FCharEnds;
  TTone FTone;
  int64_t FTotal = 0;
  int64_t FPos = 0;
  size_t FNext = 0; // first element not yet ended before FPos
};

} // namespace practice
