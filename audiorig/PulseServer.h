#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A private PulseAudio daemon with one null sink of the trainer's own format
// (8-bit unsigned mono, 11025 samples per second), so that what the program
// plays reaches the sink's monitor sample for sample. The daemon lives in a
// temporary runtime folder, is found through PULSE_SERVER, and is stopped by
// its process id. Start it before anything touches Qt Multimedia.
class TPulseServer {
public:
  TPulseServer();
  ~TPulseServer();
  TPulseServer(const TPulseServer&) = delete;
  TPulseServer& operator=(const TPulseServer&) = delete;

  // Starts the daemon and points this process at it; false with Error() set
  // when it does not come up.
  bool Start();
  void Stop();
  // Stops the daemon where it is (SIGSTOP) and lets it go on (SIGCONT): a
  // server that hangs.
  void Freeze();
  void Thaw();
  const std::string& Error() const { return FError; }
  QString Socket() const;

  // Records the null sink's monitor until StopRecording, which returns the
  // recording; Recorded is what has arrived so far, while it goes on.
  bool StartRecording();
  std::vector<uint8_t> Recorded() const;
  std::vector<uint8_t> StopRecording();

private:
  QString Run(const QStringList& Args, int TimeoutMs = 5000);
  bool StartKeeper();

  std::unique_ptr<QTemporaryDir> FDir;
  QProcess FDaemon;
  QProcess FRecorder;
  QProcess FKeeper;
  QString FRecording;
  std::string FError;
};

// The one daemon of a test program, started on first use and stopped when
// the program ends; every audio test of the program records from it.
TPulseServer& SharedPulseServer();

// Tones and gaps found in a recording of the trainer's output.
struct TTone {
  int64_t Start = 0; // first sounding sample
  int64_t End = 0;   // one past the last sounding sample
};

// Splits a recording into tones: runs of samples away from silence (128),
// where a silence shorter than MinGap samples (a zero crossing of the tone)
// does not end a tone.
std::vector<TTone> FindTones(const std::vector<uint8_t>& Samples, int64_t MinGap = 40);

// Runs the event loop until Done says yes to the tones of the recording so
// far, given with the recording's length in samples; false when TimeoutMs,
// a bound for failures only, ran out first.
bool SpinUntilTones(const TPulseServer& Server,
                    const std::function<bool(const std::vector<TTone>&, int64_t)>& Done, int TimeoutMs,
                    int64_t MinGap = 40);

// Until the recording holds at least Count tones and, after the last of
// them, QuietMs of silence: the sound asked for has been heard whole, and a
// sound too many would have begun.
bool SpinUntilHeard(const TPulseServer& Server, size_t Count, int QuietMs, int TimeoutMs, int64_t MinGap = 40);
