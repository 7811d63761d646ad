#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <vector>

class QTimer;

// Calls that change the display when a sound is heard. The output places a
// block ahead of the moment it is heard, and the handler that places it runs
// earlier still; what the learner sees of that sound waits here for the
// moment it starts (or ends) being heard, and runs in the interface thread.
class THeardCalls {
public:
  virtual ~THeardCalls() = default;
  // Runs Fn once the clock reaches AtUs (steady clock); at the next turn of
  // the event loop when it has. Calls due together run in the order given.
  virtual void At(int64_t AtUs, std::function<void()> Fn) = 0;
  // Drops every call not yet run.
  virtual void Cancel() = 0;
  virtual bool Pending() const = 0;
  // The clock the calls run on.
  virtual int64_t NowUs() const = 0;
};

// The program's: one precise single-shot timer armed for the soonest call.
class TTimerHeardCalls final : public QObject, public THeardCalls {
public:
  TTimerHeardCalls();
  ~TTimerHeardCalls() override;
  TTimerHeardCalls(const TTimerHeardCalls&) = delete;
  TTimerHeardCalls& operator=(const TTimerHeardCalls&) = delete;

  void At(int64_t AtUs, std::function<void()> Fn) override;
  void Cancel() override;
  bool Pending() const override { return !FCalls.empty(); }
  int64_t NowUs() const override;

private:
  struct TCall {
    int64_t AtUs;
    uint64_t Order;
    std::function<void()> Fn;
  };
  void Arm();
  void RunDue();

  std::vector<TCall> FCalls;
  uint64_t FOrder = 0;
  uint64_t FGeneration = 0;
  QTimer* FTimer;
};
