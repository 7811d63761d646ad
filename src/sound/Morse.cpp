#include "sound/Morse.h"

#include "base/BareFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

namespace {

constexpr long double Pi = 3.1415926535897932385L;

// Nearest integer, ties to even, on extended precision.
int32_t Round(long double X) {
  return static_cast<int32_t>(std::nearbyintl(X));
}

// One element of Length samples into Buf: a sine of Period samples starting at
// phase 0, rising linearly over Ramp samples and falling to silence at sample
// Length.
void Synthesise(std::span<uint8_t> Buf, int32_t Length, int32_t Ramp, int32_t Period, bool Square) {
  std::fill(Buf.begin(), Buf.end(), Silence);
  for (int32_t I = 0; I <= Length; ++I)
    Buf[static_cast<size_t>(I)] = TMorse::ToneSample(I, Length, Ramp, Period, Square);
}

// Copies the first Length samples of an element to SoundBuf at SoundLen, as
// far as SoundBuf reaches.
void Place(const uint8_t* Element, int32_t Length) {
  const int32_t Room = static_cast<int32_t>(SoundBufSize) - sound::Puffer.SoundLen;
  const int32_t Count = std::min(Length, Room);
  if (Count > 0)
    std::memcpy(sound::Puffer.SoundBuf.data() + sound::Puffer.SoundLen, Element, static_cast<size_t>(Count));
}

void Advance(int32_t Samples) {
  sound::Puffer.SoundLen = std::min(sound::Puffer.SoundLen + Samples, static_cast<int32_t>(SoundBufSize));
}

// DotBuf and DashBuf for Timing, whose DotLen and DashLen are derived.
void SynthesiseElements(const sound::TKlang& Timing) {
  const int32_t Ramp = std::max(RampLen(Timing), 1);
  const int32_t Period = std::max(Timing.Ton, 1);
  Synthesise(sound::Puffer.DotBuf, Timing.DotLen, Ramp, Period, Timing.Rechteck);
  Synthesise(sound::Puffer.DashBuf, Timing.DashLen, Ramp, Period, Timing.Rechteck);
  sound::Puffer.Form = sound::FormOf(Timing);
}

uint16_t HeaderWord(size_t Offset) {
  return static_cast<uint16_t>(sound::Ausgabe.FileHeader[Offset] | sound::Ausgabe.FileHeader[Offset + 1] << 8);
}

uint32_t LittleEndian32(const uint8_t* Bytes) {
  return static_cast<uint32_t>(Bytes[0]) | static_cast<uint32_t>(Bytes[1]) << 8 |
         static_cast<uint32_t>(Bytes[2]) << 16 | static_cast<uint32_t>(Bytes[3]) << 24;
}

bool HasTag(const std::array<uint8_t, FileHeaderSize>& Header, size_t Offset, const char* Tag) {
  return std::memcmp(Header.data() + Offset, Tag, 4) == 0;
}

} // namespace

uint8_t TMorse::ToneSample(int32_t I, int32_t Length, int32_t Ramp, long double Period, bool Square) {
  // The products are formed in this order so that every sample comes out as
  // the program has always produced it.
  const long double Sine = std::sin(static_cast<long double>(2 * I) * Pi / Period);
  long double Value;
  if (I >= Length - Ramp)
    Value = Sine * 127 * (Length - I) / Ramp;
  else if (I < Ramp)
    Value = Sine * 127 * I / Ramp;
  else
    Value = Sine * 127;
  const uint8_t Sample = static_cast<uint8_t>(128 + Round(Value));
  if (Square)
    return Sample > 128 ? 248 : 8;
  return Sample;
}

TMorse::TMorse(TWaveDevice& Device, TMessageReporter& Reporter)
    : FDevice(Device), FReporter(Reporter) {}

void TMorse::BuildElements() {
  DeriveElementLengths(sound::Klang);
  SynthesiseElements(sound::Klang);
}

void TMorse::RenderCode(const std::string& Code) {
  RenderCode(Code, sound::Klang);
}

void TMorse::RenderCode(const std::string& Code, const sound::TKlang& Timing) {
  if (sound::Puffer.Form != sound::FormOf(Timing))
    SynthesiseElements(Timing);
  // A code too long for SoundBuf (ten dashes at the slowest speed and
  // longest ratio) is cut at the buffer's end: it plays as far as it fits.
  sound::Puffer.SoundBuf.fill(Silence);
  sound::Puffer.SoundLen = 0;
  const size_t N = Code.size();
  for (size_t K = 1; K <= N; ++K) {
    const char C = Code[K - 1];
    if (C == '-') {
      Place(sound::Puffer.DashBuf.data(), Timing.DashLen);
      Advance(K < N ? Timing.DashLen + Timing.DotLen : Timing.DashLen);
    } else if (C == '.') {
      Place(sound::Puffer.DotBuf.data(), Timing.DotLen);
      Advance(K < N ? 2 * Timing.DotLen : Timing.DotLen);
    }
  }
  Advance(Timing.DotLen);
}

bool TMorse::Open(const TWaveFormat& Format, TWaveWindow& Window) {
  if (sound::Ausgabe.DeviceOpen)
    CloseOut();
  sound::Ausgabe.WaveResult = FDevice.Open(Format, Window);
  return CheckError();
}

bool TMorse::OpenOut(TWaveWindow& Window) {
  TWaveFormat Format;
  Format.FormatTag = WAVE_FORMAT_PCM;
  Format.Channels = 1;
  Format.SamplesPerSec = SamplesPerSec;
  Format.AvgBytesPerSec = SamplesPerSec;
  Format.BlockAlign = 1;
  Format.BitsPerSample = 8;
  Format.ExtraSize = 0;
  return Open(Format, Window);
}

bool TMorse::OpenFileOut(TWaveWindow& Window) {
  TWaveFormat Format;
  Format.FormatTag = HeaderWord(20);
  Format.Channels = HeaderWord(22);
  Format.SamplesPerSec = LittleEndian32(sound::Ausgabe.FileHeader.data() + 24);
  Format.AvgBytesPerSec = LittleEndian32(sound::Ausgabe.FileHeader.data() + 28);
  Format.BlockAlign = HeaderWord(32);
  Format.BitsPerSample = HeaderWord(34);
  Format.ExtraSize = 0;
  return Open(Format, Window);
}

bool TMorse::Prepare(uint8_t* Data, uint32_t Length) {
  // A header the device still holds (queued, so it cannot be unprepared) is
  // not overwritten; the unprepare has shown its error.
  if (HeaderHas(WHDR_PREPARED) && !UnprepareOut())
    return false;
  sound::Ausgabe.WaveHdr = TWaveHdr{};
  sound::Ausgabe.WaveHdr.Data = Data;
  sound::Ausgabe.WaveHdr.BufferLength = Length;
  sound::Ausgabe.WaveHdr.Flags = WHDR_DONE;
  sound::Ausgabe.WaveHdr.Loops = 0;
  sound::Ausgabe.WaveResult = FDevice.Prepare(sound::Ausgabe.WaveHdr);
  return CheckError();
}

bool TMorse::PrepareOut() {
  return Prepare(sound::Puffer.SoundBuf.data(), static_cast<uint32_t>(sound::Puffer.SoundLen));
}

bool TMorse::PrepareFileOut() {
  return Prepare(sound::Ausgabe.FileBuf.data(), FileDataSize());
}

bool TMorse::UnprepareOut() {
  if (!HeaderHas(WHDR_PREPARED))
    return false;
  sound::Ausgabe.WaveResult = FDevice.Unprepare(sound::Ausgabe.WaveHdr);
  return CheckError();
}

bool TMorse::WriteOut() {
  sound::Ausgabe.WaveResult = FDevice.Write(sound::Ausgabe.WaveHdr);
  return CheckError();
}

bool TMorse::ResetOut() {
  if (!HeaderHas(WHDR_PREPARED) || HeaderHas(WHDR_DONE))
    return true;
  sound::Ausgabe.WaveResult = FDevice.Reset();
  return CheckError();
}

bool TMorse::CloseOut() {
  // With no header prepared nothing can be queued. An open device in that
  // state (its prepare failed) is closed here too, so that the next open
  // does not open it a second time.
  if (HeaderHas(WHDR_PREPARED)) {
    if (!ResetOut())
      return sound::Ausgabe.DeviceOpen;
    if (!UnprepareOut())
      return sound::Ausgabe.DeviceOpen;
  }
  bool Open = sound::Ausgabe.DeviceOpen;
  if (Open) {
    sound::Ausgabe.WaveResult = FDevice.Close();
    if (CheckError())
      Open = false;
  }
  return Open;
}

bool TMorse::CheckError() {
  if (sound::Ausgabe.WaveResult == MMSYSERR_NOERROR)
    return true;
  const std::string Text = FDevice.ErrorText(sound::Ausgabe.WaveResult);
  const size_t Count = std::min(Text.size(), ErrTextSize - 1);
  sound::Ausgabe.ErrText.fill('\0');
  std::memcpy(sound::Ausgabe.ErrText.data(), Text.data(), Count);
  if (sound::Ausgabe.WaveResult == MMSYSERR_NODRIVER && FNoOutput)
    FNoOutput();
  else
    FReporter.ShowMessage(std::string(sound::Ausgabe.ErrText.data()));
  return false;
}

bool TMorse::HeaderHas(uint32_t Flags) {
  return (sound::Ausgabe.WaveHdr.Flags & Flags) == Flags;
}

uint32_t TMorse::FileDataSize() {
  return std::min(LittleEndian32(sound::Ausgabe.FileHeader.data() + 40),
                  static_cast<uint32_t>(FileBufSize));
}

bool TMorse::LoadWave(const std::string& Name) {
  // More than the header and the largest data chunk is never needed.
  const std::optional<std::vector<uint8_t>> Bytes =
      ReadBareFile(Name, FileHeaderSize + FileBufSize);
  return Bytes && ParseWave(*Bytes);
}

bool TMorse::ParseWave(std::span<const uint8_t> Bytes) {
  if (Bytes.size() < FileHeaderSize)
    return false;
  std::array<uint8_t, FileHeaderSize> Header{};
  std::copy_n(Bytes.begin(), FileHeaderSize, Header.begin());
  if (!HasTag(Header, 0, "RIFF") || !HasTag(Header, 8, "WAVE") || !HasTag(Header, 12, "fmt ") ||
      !HasTag(Header, 36, "data"))
    return false;
  const uint32_t DataSize = LittleEndian32(Header.data() + 40);
  if (DataSize > FileBufSize || DataSize > Bytes.size() - FileHeaderSize)
    return false;
  std::copy_n(Bytes.begin() + FileHeaderSize, DataSize, sound::Ausgabe.FileBuf.begin());
  sound::Ausgabe.FileHeader = Header;
  return true;
}
