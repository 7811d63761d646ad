#pragma once

// The stream of the PulseAudio output as its output thread and the interface
// thread share it: the connection, the placed blocks, the clock of what is
// heard. Included by PulseWaveDevice.cpp only.

#include "sound/PulseWaveDevice.h"

#include <pulse/pulseaudio.h>

#include <QMetaObject>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <deque>
#include <functional>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

constexpr uint8_t Silence = 128;
// How far ahead of the server's requests a timed block is placed.
constexpr int PlaceLeadMs = 60;
constexpr size_t HistoryLength = 512;

int64_t MsToSamples(int Ms) {
  return int64_t{Ms} * StreamRate / 1000;
}
int64_t SamplesToUs(long double Samples) {
  return static_cast<int64_t>(std::llround(Samples * 1e6L / StreamRate));
}

// The output thread answers the server within a few milliseconds only if a
// loaded machine lets it run: ask for a real-time slot, or failing that a
// better nice value. Either may be refused; the stream works without.
void RaiseOutputThread() {
#if defined(__linux__)
  sched_param Param{};
  Param.sched_priority = 5;
  if (pthread_setschedparam(pthread_self(), SCHED_FIFO | SCHED_RESET_ON_FORK, &Param) == 0)
    return;
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -10);
#endif
}

} // namespace


// Everything the output thread and the interface thread share; guarded by the
// main loop's lock, which the library holds while it runs a callback.
struct TPulseWaveDevice::TShared {
  TSettings Settings;
  pa_threaded_mainloop* Loop = nullptr;
  pa_context* Context = nullptr;
  pa_stream* Stream = nullptr;
  pa_time_event* Timer = nullptr;

  enum class TLink { None, Connecting, Ready, Failed };
  TLink Link = TLink::None;
  bool Halted = false;
  // Connections attempted since the stream was last ready.
  int Failures = 0;
  bool Corked = true;
  bool Raised = false;

  // Stream positions: samples handed to the server, and the end of the last
  // block placed.
  int64_t Written = 0;
  int64_t LastEnd = 0;
  // When the end of the last block is heard: the stream is idle from then.
  int64_t LastSoundUs = 0;
  int64_t NextRefreshUs = 0;
  int64_t UncorkedUs = 0;
  // Written when the stream was last corked (or connected), and how much of
  // it the server still held then: its target of a stream that played,
  // nothing of a new one.
  int64_t CorkPos = 0;
  int64_t CorkHeld = 0;

  struct TBlock {
    uint64_t Serial = 0;
    bool Placed = false;
    int64_t Start = 0;
    int64_t TargetUs = -1; // heard start asked for; -1: as early as possible
    bool Ahead = false;    // its end may be reported ahead of being heard
    bool Reported = false;
    int64_t WrittenUs = 0;
    std::vector<uint8_t> Samples;
    int64_t Length() const { return static_cast<int64_t>(Samples.size()); }
  };
  std::deque<TBlock> Blocks;
  std::vector<uint8_t> Scratch;
  std::function<void(uint64_t, int64_t)> Deliver;
  // The output stopped working with a block unreported (see Lost, Hung).
  std::function<void()> Fail;
  // The last sign of the server playing: a request for samples or an
  // answer about its timing.
  int64_t ProgressUs = 0;
  TStats Stats;
  std::deque<TPlaced> History;

  // --- the server's clock ---------------------------------------------

  // The server's clock as a straight line: position AnchorPos is heard at
  // AnchorUs, and Rate positions pass per microsecond. Placing and
  // reporting by one line keeps the gaps between blocks exact to the sample;
  // it follows the server's timing slowly (see TakeTiming), and is drawn
  // afresh after every pause of the stream.
  static constexpr long double NominalRate = StreamRate / 1e6L; // samples per µs
  long double Rate = NominalRate;
  bool RunStarted = false;
  int64_t RunStartUs = 0;
  long double RunStartPos = 0;
  bool Anchored = false;
  int FarAnswers = 0;
  long double FarStray = 0;
  int64_t AnchorUs = 0;
  long double AnchorPos = 0;

  static constexpr long double MaxStraySamples = 3 * StreamRate / 1000.0L;

  // The stream position heard at NowUs, by the line.
  bool HeardAt(int64_t NowUs, long double& Pos) const {
    if (!Anchored || Corked || Link != TLink::Ready)
      return false;
    Pos = AnchorPos + static_cast<long double>(NowUs - AnchorUs) * Rate;
    return true;
  }

  // The server's answer: the position it had read, less what its sink still
  // holds, is heard at the moment of the answer (less its way here).
  void TakeTiming() {
    const pa_timing_info* Info = Stream != nullptr ? pa_stream_get_timing_info(Stream) : nullptr;
    // Not "playing" only says that the server's buffer runs low; without a
    // fill to wait for, its read position runs on all the same.
    if (Info == nullptr || Corked)
      return;
    ProgressUs = TSteadyClock::RealNowUs();
    // The server's time of its answer, on the wall clock, put on the steady
    // clock: a late reading of the answer (this thread kept from running)
    // does not move the line.
    timeval Wall{};
    pa_gettimeofday(&Wall);
    const int64_t AgeUs = static_cast<int64_t>(pa_timeval_load(&Wall)) -
                          static_cast<int64_t>(pa_timeval_load(&Info->timestamp));
    const int64_t AtUs = TSteadyClock::RealNowUs() - std::clamp<int64_t>(AgeUs, 0, 1000000);
    const long double Measured = static_cast<long double>(Info->read_index) -
                                 static_cast<long double>(Info->sink_usec) * StreamRate / 1e6L;
    long double Line = AnchorPos + static_cast<long double>(AtUs - AnchorUs) * Rate;
    // The rate of the server's clock, over the whole run of the stream: a
    // sink's clock (a sound card's, the null sink's rounding) differs from
    // this machine's by up to some hundred parts in a million.
    // Measured from where the line stood once settled, over at least two
    // seconds, so that the sink's steps hardly count.
    if (Anchored && !RunStarted && AtUs - UncorkedUs >= 300000) {
      RunStarted = true;
      RunStartUs = AtUs;
      RunStartPos = Line;
    } else if (RunStarted && AtUs - RunStartUs >= 2000000) {
      const long double Slope = (Line - RunStartPos) / static_cast<long double>(AtUs - RunStartUs);
      AnchorUs = AtUs;
      AnchorPos = Line;
      Rate = std::clamp(Slope, NominalRate * 0.9997L, NominalRate * 1.0003L);
      RunStartUs = AtUs;
      RunStartPos = Line;
    }
    // The sink reports in steps of its blocks, and a loaded server answers
    // with some noise: a small stray moves the line by a part of it, at
    // most a sample per answer once settled, so that the line follows the
    // mean; answers far off are believed only when three in a row agree (the
    // sink's latency changed).
    const long double Stray = Measured - Line;
    const bool Settling = AtUs - UncorkedUs < 300000;
    if (Anchored && std::fabs(Stray) <= MaxStraySamples) {
      FarAnswers = 0;
      AnchorPos += Settling ? Stray / 2 : std::clamp(Stray / 8, -1.0L, 1.0L);
      return;
    }
    if (Anchored) {
      FarAnswers = FarAnswers > 0 && std::fabs(Stray - FarStray) < MaxStraySamples / 3 ? FarAnswers + 1 : 1;
      FarStray = Stray;
      if (FarAnswers < 3)
        return;
    }
    FarAnswers = 0;
    const bool First = !Anchored;
    Anchored = true;
    AnchorUs = AtUs;
    AnchorPos = Measured;
    if (First) // the blocks placed before the server's clock was known
      for (auto& P : History)
        if (P.HeardUs < 0)
          P.HeardUs = HeardUsOf(P.Start, AtUs, Measured);
  }

  // Without timing (just connected or uncorked): the server held CorkHeld
  // when the stream was corked, and has played on from there since it was
  // uncorked. Not from what is written: a block is handed over whole, so
  // the written end runs far ahead of what is heard; and a server that was
  // kept waiting plays on past the written end (it starts without a fill).
  long double GuessHeard(int64_t NowUs) const {
    long double Pos = static_cast<long double>(CorkPos - CorkHeld);
    if (!Corked)
      Pos += static_cast<long double>(std::max<int64_t>(NowUs - UncorkedUs, 0)) * Rate;
    return Pos;
  }
  int64_t HeardUsOf(int64_t Pos, int64_t NowUs, long double Heard) const {
    return NowUs + static_cast<int64_t>(std::llround((static_cast<long double>(Pos) - Heard) / Rate));
  }

  int64_t HeardEndUs(const TBlock& B, int64_t NowUs, long double Heard) const {
    if (!B.Placed && B.TargetUs >= 0)
      return B.TargetUs + static_cast<int64_t>(std::llround(static_cast<long double>(B.Length()) / Rate));
    return HeardUsOf(B.Start + B.Length(), NowUs, Heard);
  }

  // --- placing ------------------------------------------------------------

  void Place(TBlock& B, int64_t Start, int64_t NowUs, long double Heard) {
    B.Placed = true;
    B.Start = Start;
    LastEnd = std::max(LastEnd, Start + B.Length());
    TPlaced P;
    P.Serial = B.Serial;
    P.Start = Start;
    P.Length = B.Length();
    P.HeardUs = Anchored ? HeardUsOf(Start, NowUs, Heard) : -1;
    P.WrittenUs = B.WrittenUs;
    History.push_back(P);
    if (History.size() > HistoryLength)
      History.pop_front();
  }

  // Fixes the position of every block that starts before Upto, as late as
  // possible, so that the latest timing is used.
  void PlaceDue(int64_t NowUs, int64_t Upto) {
    long double Heard = 0;
    if (!HeardAt(NowUs, Heard))
      Heard = GuessHeard(NowUs);
    for (auto& B : Blocks) {
      if (B.Placed)
        continue;
      auto Start = static_cast<int64_t>(
          std::llround(Heard + static_cast<long double>(B.TargetUs - NowUs) * Rate));
      if (Start >= Upto)
        continue;
      // Never where the server has already played (a block due in the past,
      // or one the server ran past while it was kept waiting): whole and
      // late rather than cut.
      const int64_t Earliest = std::max(
          Written, static_cast<int64_t>(std::ceil(Heard)) + MsToSamples(Settings.MinRequestMs));
      if (Start < Earliest) {
        ++Stats.LateBlocks;
        Start = Earliest;
      }
      Place(B, Start, NowUs, Heard);
    }
  }

  // --- feeding ------------------------------------------------------------

  void Render(int64_t From, size_t Count) {
    if (Scratch.size() < Count)
      Scratch.resize(Count);
    std::memset(Scratch.data(), Silence, Count);
    // Blocks are kept in the order written: a later block lies over an
    // earlier one's tail.
    for (const auto& B : Blocks) {
      if (!B.Placed)
        continue;
      const int64_t Lo = std::max(From, B.Start);
      const int64_t Hi = std::min(From + static_cast<int64_t>(Count), B.Start + B.Length());
      if (Lo < Hi)
        std::memcpy(Scratch.data() + (Lo - From), B.Samples.data() + (Lo - B.Start),
                    static_cast<size_t>(Hi - Lo));
    }
  }

  // Hands the stream up to Upto to the server now.
  void WriteAhead(int64_t Upto) {
    if (Upto <= Written || Stream == nullptr || Link != TLink::Ready)
      return;
    const auto Count = static_cast<size_t>(Upto - Written);
    Render(Written, Count);
    if (pa_stream_write(Stream, Scratch.data(), Count, nullptr, 0, PA_SEEK_RELATIVE) < 0)
      return;
    Written = Upto;
    Stats.SamplesWritten = Written;
  }

  // Writes the stream from From to what has been handed over again, with
  // the blocks as they now are; the server takes back what it had.
  void Overwrite(int64_t From) {
    if (From >= Written || Stream == nullptr || Link != TLink::Ready)
      return;
    const auto Count = static_cast<size_t>(Written - From);
    Render(From, Count);
    pa_stream_write(Stream, Scratch.data(), Count, nullptr, -static_cast<int64_t>(Count),
                    PA_SEEK_RELATIVE);
  }

  void Feed(size_t Count) {
    ++Stats.Wakeups;
    if (!Raised) {
      Raised = true;
      RaiseOutputThread();
    }
    if (Stream == nullptr || Link != TLink::Ready || Count == 0)
      return;
    const int64_t NowUs = TSteadyClock::RealNowUs();
    ProgressUs = NowUs;
    // Placed a little before the server needs them, and handed over whole
    // with the silence before them, as Write hands over a block of the
    // learner's: a loaded machine that keeps this thread from the next
    // requests cannot cut a block once it is placed.
    PlaceDue(NowUs, Written + static_cast<int64_t>(Count) + MsToSamples(PlaceLeadMs));
    Render(Written, Count);
    if (pa_stream_write(Stream, Scratch.data(), Count, nullptr, 0, PA_SEEK_RELATIVE) < 0)
      return;
    Written += static_cast<int64_t>(Count);
    Stats.SamplesWritten = Written;
    WriteAhead(LastEnd);
    long double Heard = 0;
    if (HeardAt(NowUs, Heard))
      Stats.LatencyUs = SamplesToUs(static_cast<long double>(Written) - Heard);
    Check(NowUs);
  }

  // --- reporting, idling ----------------------------------------------------

  void Schedule(int64_t AtUs) {
    if (Timer == nullptr || Context == nullptr)
      return;
    pa_context_rttime_restart(Context, Timer,
                              AtUs < 0 ? PA_USEC_INVALID : static_cast<pa_usec_t>(AtUs));
  }

  // Reports the ends that are due, corks an idle stream, and sets the timer
  // for the next thing to do; with nothing to do it sets none.
  void Check(int64_t NowUs) {
    long double Heard = 0;
    if (!HeardAt(NowUs, Heard))
      Heard = GuessHeard(NowUs);
    int64_t Next = -1;
    auto Soonest = [&Next](int64_t At) { Next = Next < 0 ? At : std::min(Next, At); };
    for (auto& B : Blocks) {
      if (B.Reported)
        continue;
      const int64_t EndUs = HeardEndUs(B, NowUs, Heard);
      // Ahead by a little less than the clock takes as "now", so that the
      // handler still sees the end's moment.
      const int64_t ReportUs = B.Ahead ? EndUs - TEventTime::AheadUs + 2000 : EndUs;
      if (NowUs + 200 >= ReportUs) {
        B.Reported = true;
        for (auto It = History.rbegin(); It != History.rend(); ++It)
          if (It->Serial == B.Serial) {
            It->DoneUs = EndUs;
            break;
          }
        if (Deliver)
          Deliver(B.Serial, EndUs);
      } else {
        Soonest(ReportUs);
      }
      LastSoundUs = std::max(LastSoundUs, EndUs);
    }
    // A block is let go once it has been reported and handed over whole.
    while (!Blocks.empty() && Blocks.front().Reported && Blocks.front().Placed &&
           Blocks.front().Start + Blocks.front().Length() <= Written)
      Blocks.pop_front();
    if (!Corked && Stream != nullptr && Link == TLink::Ready) {
      const bool Busy = !Blocks.empty();
      // The stream plays, and the server has given no sign of it for
      // HangMs: it hangs (stopped, or starved of the processor for that
      // long). Nothing it holds will be heard in time.
      const int64_t HungFromUs = ProgressUs + int64_t{Settings.HangMs} * 1000;
      if (NowUs >= HungFromUs) {
        Hung();
        return;
      }
      Soonest(HungFromUs);
      const int64_t IdleFromUs = LastSoundUs + int64_t{Settings.IdleMs} * 1000;
      if (!Busy && NowUs >= IdleFromUs) {
        Corked = true;
        CorkPos = Written;
        CorkHeld = MsToSamples(Settings.TargetMs);
        Anchored = false;
        ++Stats.Corks;
        pa_operation* Op = pa_stream_cork(Stream, 1, nullptr, nullptr);
        if (Op != nullptr)
          pa_operation_unref(Op);
      } else {
        if (!Busy)
          Soonest(IdleFromUs);
        if (NowUs >= NextRefreshUs) {
          // Often at first: the sink may take a moment to settle after the
          // stream starts playing.
          const bool Settling = NowUs - UncorkedUs < 250000;
          NextRefreshUs = NowUs + (Settling ? 20000 : int64_t{Settings.TimingRefreshMs} * 1000);
          RefreshTiming();
        }
        Soonest(NextRefreshUs);
      }
    }
    Schedule(Next);
  }

  void Uncork(int64_t NowUs) {
    if (!Corked || Stream == nullptr)
      return;
    Corked = false;
    Anchored = false;
    RunStarted = false;
    UncorkedUs = NowUs;
    ProgressUs = NowUs;
    NextRefreshUs = NowUs + 20000;
    pa_operation* Op = pa_stream_cork(Stream, 0, nullptr, nullptr);
    if (Op != nullptr)
      pa_operation_unref(Op);
    RefreshTiming();
  }

  // Asks the server for its timing; the answer makes it usable.
  void RefreshTiming() {
    pa_operation* Op = pa_stream_update_timing_info(Stream, OnTiming, this);
    if (Op != nullptr)
      pa_operation_unref(Op);
  }

  static void OnTiming(pa_stream*, int Success, void* User) {
    auto& S = *static_cast<TShared*>(User);
    if (Success == 0)
      return;
    S.TakeTiming();
    // A timed block written before the server's clock was known is placed
    // and handed over whole as soon as it is, as one written later would
    // be: left for the requests near its time, it would be cut by a
    // loaded machine that keeps this thread from them.
    if (!S.Anchored || std::all_of(S.Blocks.begin(), S.Blocks.end(), [](const TBlock& B) { return B.Placed; }))
      return;
    const int64_t NowUs = TSteadyClock::RealNowUs();
    S.PlaceDue(NowUs, INT64_MAX);
    S.WriteAhead(S.LastEnd);
    S.Check(NowUs);
  }

  // --- connection -----------------------------------------------------------

  void DropStream() {
    if (Timer != nullptr) {
      pa_threaded_mainloop_get_api(Loop)->time_free(Timer);
      Timer = nullptr;
    }
    if (Stream != nullptr) {
      pa_stream_set_state_callback(Stream, nullptr, nullptr);
      pa_stream_set_write_callback(Stream, nullptr, nullptr);
      pa_stream_set_underflow_callback(Stream, nullptr, nullptr);
      pa_stream_disconnect(Stream);
      pa_stream_unref(Stream);
      Stream = nullptr;
    }
  }

  void DropContext() {
    DropStream();
    if (Context != nullptr) {
      pa_context_set_state_callback(Context, nullptr, nullptr);
      pa_context_disconnect(Context);
      pa_context_unref(Context);
      Context = nullptr;
    }
  }

  // The server went away: what was queued is dropped and the window told
  // that the output failed, so that nothing waits for it; the next Open
  // connects again.
  void Lost() {
    Link = TLink::Failed;
    const bool Unreported =
        std::any_of(Blocks.begin(), Blocks.end(), [](const TBlock& B) { return !B.Reported; });
    Blocks.clear();
    Corked = true;
    Anchored = false;
    if (Unreported && Fail)
      Fail();
    pa_threaded_mainloop_signal(Loop, 0);
  }

  // The server does not answer: given up as lost, its connection dropped
  // (closing a socket does not wait for the other end).
  void Hung() {
    ++Stats.Hangs;
    Lost();
    DropContext();
  }

  static void OnContextState(pa_context* C, void* User) {
    auto& S = *static_cast<TShared*>(User);
    // Raised at the first call of the output thread, not at the first
    // request for samples: the start of a stream on a loaded machine needs
    // it most.
    if (!S.Raised) {
      S.Raised = true;
      RaiseOutputThread();
    }
    switch (pa_context_get_state(C)) {
    case PA_CONTEXT_READY:
      S.MakeStream();
      break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
      S.Lost();
      break;
    default:
      break;
    }
  }

  static void OnStreamState(pa_stream* St, void* User) {
    auto& S = *static_cast<TShared*>(User);
    switch (pa_stream_get_state(St)) {
    case PA_STREAM_READY:
      S.Link = TLink::Ready;
      ++S.Stats.Connects;
      pa_threaded_mainloop_signal(S.Loop, 0);
      break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
      S.Lost();
      break;
    default:
      break;
    }
  }

  static void OnWrite(pa_stream*, size_t Count, void* User) {
    static_cast<TShared*>(User)->Feed(Count);
  }

  static void OnUnderflow(pa_stream*, void* User) {
    ++static_cast<TShared*>(User)->Stats.Underflows;
  }

  static void OnTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* User) {
    auto& S = *static_cast<TShared*>(User);
    ++S.Stats.Wakeups;
    S.Check(TSteadyClock::RealNowUs());
  }

  void MakeStream() {
    pa_sample_spec Spec{};
    Spec.format = PA_SAMPLE_U8;
    Spec.rate = StreamRate;
    Spec.channels = 1;
    Stream = pa_stream_new(Context, "Morse", &Spec, nullptr);
    if (Stream == nullptr) {
      Lost();
      return;
    }
    pa_stream_set_state_callback(Stream, OnStreamState, this);
    pa_stream_set_write_callback(Stream, OnWrite, this);
    pa_stream_set_underflow_callback(Stream, OnUnderflow, this);
    pa_buffer_attr Attr{};
    Attr.maxlength = static_cast<uint32_t>(-1);
    Attr.tlength = static_cast<uint32_t>(MsToSamples(Settings.TargetMs));
    // Playing starts, and goes on after a shortage, without waiting for a
    // fill: the positions keep their times.
    Attr.prebuf = 0;
    Attr.minreq = static_cast<uint32_t>(MsToSamples(Settings.MinRequestMs));
    Attr.fragsize = static_cast<uint32_t>(-1);
    Written = 0;
    LastEnd = 0;
    Corked = true;
    CorkPos = 0;
    CorkHeld = 0;
    const auto Flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
    if (pa_stream_connect_playback(Stream, nullptr, &Attr, Flags, nullptr, nullptr) < 0) {
      Lost();
      return;
    }
    Timer = pa_context_rttime_new(Context, PA_USEC_INVALID, OnTimer, this);
  }

  // Interface thread, lock held.
  void Connect() {
    DropContext();
    Link = TLink::Connecting;
    Context = pa_context_new(pa_threaded_mainloop_get_api(Loop), "VELM-MTR");
    if (Context == nullptr) {
      Link = TLink::Failed;
      return;
    }
    pa_context_set_state_callback(Context, OnContextState, this);
    if (pa_context_connect(Context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
      Link = TLink::Failed;
  }
};
