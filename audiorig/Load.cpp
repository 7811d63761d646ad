#include "audiorig/Load.h"

#include <QCoreApplication>

#include <atomic>
#include <cstdint>
#include <thread>

int RunLoad() {
  std::atomic<bool> Stop{false};
  auto Spin = [&Stop] {
    volatile uint64_t X = 0;
    while (!Stop.load(std::memory_order_relaxed))
      X = X + 1;
  };
  std::thread A(Spin), B(Spin);
  A.join();
  B.join();
  return 0;
}

void StartLoad(QProcess& Process) {
  Process.start(QCoreApplication::applicationFilePath(), {LoadChildArg});
  Process.waitForStarted();
}
