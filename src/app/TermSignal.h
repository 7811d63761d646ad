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

private:
  void Received();

  std::function<void()> FOnSignal;
  std::unique_ptr<QSocketNotifier> FNotifier;
  bool FInstalled = false; // false when the pipe or the handlers could not be set up
};

// An end that does not come back to the event loop: when the display
// connection is lost (the desktop session ends, the X server dies), Qt ends
// the process with exit() from inside its event handling, while the windows
// and the sound output still stand. While a guard lives, such an exit runs
// OnExit (the close sequence without its question) in the interface thread,
// stops every sound output and ends the process at once, before the
// program-wide objects are torn down under a running output thread. One
// guard at a time; an exit after it has ended is left alone.
class TLostDisplayGuard final {
public:
  explicit TLostDisplayGuard(std::function<void()> OnExit);
  ~TLostDisplayGuard();
  TLostDisplayGuard(const TLostDisplayGuard&) = delete;
  TLostDisplayGuard& operator=(const TLostDisplayGuard&) = delete;
};
