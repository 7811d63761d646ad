#include "sound/WaveOut.h"

#include <QCoreApplication>

#include <cstdio>

// Opens the program's wave output once (the PulseAudio stream, then the Qt
// Multimedia one) and prints the result code and its text; run by the audio
// tests in an environment without an audio server.
namespace {
struct TNoWindow : TWaveWindow {
  void WaveDone() override {}
};
} // namespace

int main(int argc, char** argv) {
  QCoreApplication App(argc, argv);
  TWaveOut Device;
  TNoWindow Window;
  const TMMResult Result = Device.Open(TWaveFormat{}, Window);
  std::printf("%u %s\n", Result, Device.ErrorText(Result).c_str());
  return 0;
}
