#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

// Turns SIGTERM (and SIGINT, SIGHUP) into a call on the interface thread:
// the handler only writes a byte into a pipe, whose reading end the event
// loop watches. One instance at a time; the previous handlers come back when
// it ends.
class TTermSignal final : public QObject {
public:
  explicit TTermSignal(std::function<void()> OnSignal);
  ~TTermSignal() override;
  TTermSignal(const TTermSignal&) = delete;
  TTermSignal& operator=(const TTermSignal&) = delete;

  // False when the pipe or the handlers could not be set up.
  bool Installed() const { return FInstalled; }

private:
  void Received();

  std::function<void()> FOnSignal;
  std::unique_ptr<QSocketNotifier> FNotifier;
  bool FInstalled = false;
};
