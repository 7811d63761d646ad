#include "sound/QtWaveDevice.h"

#include <QCoreApplication>

#include <cstdio>

// Opens the wave output once and prints the result code and its text; run by
// the audio tests in an environment without an audio server.
namespace {
struct TNoWindow : TWaveWindow {
  void WaveDone() override {}
};
} // namespace

int main(int argc, char** argv) {
  QCoreApplication App(argc, argv);
  TQtWaveDevice Device;
  TNoWindow Window;
  const TMMResult Result = Device.Open(TWaveFormat{}, Window);
  std::printf("%u %s\n", Result, Device.ErrorText(Result).c_str());
  return 0;
}
