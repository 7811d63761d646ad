#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
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

  // Records the null sink's monitor into memory until StopRecording.
  bool StartRecording();
  std::vector<uint8_t> StopRecording();

private:
  QString Run(const QStringList& Args, int TimeoutMs = 5000);
  void StartKeeper();

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
