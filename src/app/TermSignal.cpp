#include "app/TermSignal.h"

#include "sound/WaveOut.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

std::mutex GuardLock;
std::function<void()>* GuardAction = nullptr;

void RunGuardAction();

extern "C" void OnProcessExit() {
  RunGuardAction();
}

} // namespace

TLostDisplayGuard::TLostDisplayGuard(std::function<void()> OnExit) {
  static const bool Registered = std::atexit(OnProcessExit) == 0;
  (void)Registered;
  std::lock_guard Lock(GuardLock);
  if (GuardAction == nullptr)
    GuardAction = new std::function<void()>(std::move(OnExit));
}

TLostDisplayGuard::~TLostDisplayGuard() {
  std::lock_guard Lock(GuardLock);
  delete GuardAction;
  GuardAction = nullptr;
}

namespace {
void RunGuardAction() {
  std::function<void()>* Action = nullptr;
  {
    std::lock_guard Lock(GuardLock);
    Action = GuardAction;
    GuardAction = nullptr;
  }
  if (Action == nullptr)
    return;
  // The windows belong to the interface thread; from any other the record
  // cannot be read off them safely, and only the sound is stopped.
  const QCoreApplication* App = QCoreApplication::instance();
  if (App != nullptr && QThread::currentThread() == App->thread() && *Action)
    (*Action)();
  delete Action;
  HaltWaveOutput();
  std::fflush(nullptr);
#ifdef Q_OS_UNIX
  ::_exit(1);
#else
  std::_Exit(1);
#endif
}
} // namespace

#ifdef Q_OS_UNIX
// POSIX signals; elsewhere the desktop session's end and the main window's
// close are the ways the program ends, and the object installs nothing.
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The pipe the handler writes into: [0] written by the handler, [1] read by
// the interface thread.
std::array<int, 2> Pipe{-1, -1};
constexpr std::array<int, 3> Signals{SIGTERM, SIGINT, SIGHUP};
std::array<struct sigaction, 3> Previous{};

extern "C" void OnSignal(int) {
  const int Saved = errno;
  const char Byte = 1;
  // A full pipe already holds a wake-up; nothing more is needed.
  [[maybe_unused]] const ssize_t Written = ::write(Pipe[0], &Byte, 1);
  errno = Saved;
}

} // namespace

TTermSignal::TTermSignal(std::function<void()> Handler) : FOnSignal(std::move(Handler)) {
  if (Pipe[0] >= 0)
    return; // another instance is installed
  std::array<int, 2> Ends{-1, -1};
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, Ends.data()) != 0)
    return;
  Pipe = Ends;
  FNotifier = std::make_unique<QSocketNotifier>(Pipe[1], QSocketNotifier::Read);
  connect(FNotifier.get(), &QSocketNotifier::activated, this, [this] { Received(); });
  struct sigaction Action {};
  Action.sa_handler = OnSignal;
  sigemptyset(&Action.sa_mask);
  Action.sa_flags = SA_RESTART;
  for (size_t I = 0; I < Signals.size(); ++I)
    sigaction(Signals[I], &Action, &Previous[I]);
  FInstalled = true;
}

TTermSignal::~TTermSignal() {
  if (!FInstalled)
    return;
  for (size_t I = 0; I < Signals.size(); ++I)
    sigaction(Signals[I], &Previous[I], nullptr);
  FNotifier.reset();
  ::close(Pipe[0]);
  ::close(Pipe[1]);
  Pipe = {-1, -1};
}

void TTermSignal::Received() {
  std::array<char, 64> Bytes{};
  while (::read(Pipe[1], Bytes.data(), Bytes.size()) > 0) {
  }
  if (FOnSignal)
    FOnSignal();
}

#else

TTermSignal::TTermSignal(std::function<void()> Handler) : FOnSignal(std::move(Handler)) {}
TTermSignal::~TTermSignal() = default;
void TTermSignal::Received() {}

#endif
