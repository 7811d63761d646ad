// The session with its timer and output running ahead, as the program's do:
// a tick reaches its handler TEventTime::AheadUs before it is due, a block is
// heard where its event was due, and the end of a block that only a pause
// follows comes that much before it is heard. What the learner sees of a
// sound must change when the sound is heard, and Stop must silence what was
// placed ahead.
#include "training/SessionFixture.h"

#include "support/ManualClock.h"
#include "support/ManualHeardCalls.h"
#include "training/Reaction.h"

#include <algorithm>

namespace {

class Heard : public TSessionTest {
protected:
  void SetUp() override {
    TSessionTest::SetUp();
    Arb.RunAhead(Clock, TEventTime::AheadUs);
    Device.Clock = &Clock;
    Window->Player.SetHeardCalls(&Calls);
  }
  void TearDown() override {
    Window->Player.SetHeardCalls(nullptr);
    TSessionTest::TearDown();
  }

  // The moment the output reports the end of the queued block.
  int64_t DoneUs() const {
    return Device.DoneAhead ? Device.HeardEndUs() - TEventTime::AheadUs : Device.HeardEndUs();
  }
  // The next event in time: a heard call, the end of the block, a tick of
  // ArbTimer (handed over ahead). Timer1 is fired by the test. False when
  // nothing waits.
  bool Next() {
    const int64_t Call = Calls.NextUs();
    const int64_t Done = Device.Queued != nullptr ? DoneUs() : -1;
    const int64_t Tick = Arb.Enabled() && Arb.HasOnTimer() ? Arb.DueUs() - TEventTime::AheadUs : -1;
    int64_t Soonest = -1;
    for (const int64_t At : {Call, Done, Tick})
      if (At >= 0 && (Soonest < 0 || At < Soonest))
        Soonest = At;
    if (Soonest < 0)
      return false;
    if (Soonest == Call)
      return Calls.RunNext();
    if (Soonest == Done)
      return Device.Complete();
    return Arb.Fire();
  }
  // Runs events until Done says so; false when the events ran out first.
  template <class TDone> bool RunUntil(TDone Until, int Max = 5000) {
    while (Max-- > 0) {
      if (Until())
        return true;
      if (!Next())
        return Until();
    }
    return false;
  }
  int Writes() const {
    return static_cast<int>(std::count(Device.Calls.begin(), Device.Calls.end(), "Write"));
  }

  TManualClock Clock{10000000};
  TManualHeardCalls Calls{Clock};
};

} // namespace

TEST_F(Heard, ExerciseOnesKeyAndMnemonicChangeWhenTheCharacterIsHeard) {
  LoadEnglish();
  StartAt(1, 1, 1, 1);
  course::Kurs.NeueZeichen.resize(2);
  Course->ShowNewChars();
  Session->StartBtnClick();
  ASSERT_TRUE(RunUntil([&] { return Window->Played.size() == 7; }));
  const int64_t PlacedAt = Clock.NowUs();
  EXPECT_EQ(Device.HeardStartUs() - PlacedAt, TEventTime::AheadUs) << "placed ahead";
  EXPECT_FALSE(View.NeuTasten[1]->Down()) << "not before it is heard";
  EXPECT_FALSE(View.NeuTasten[1]->isEnabled());
  ASSERT_TRUE(Calls.RunNext());
  EXPECT_EQ(Clock.NowUs(), Device.HeardStartUs());
  EXPECT_TRUE(View.NeuTasten[1]->Down());
  EXPECT_FALSE(View.NeuTasten[0]->isEnabled());
  EXPECT_EQ(CaptionOf(View.MerkWLabel).substr(0, CaptionOf(View.NeuTasten[1]).size()),
            CaptionOf(View.NeuTasten[1]));
}

TEST_F(Heard, TheCorrectionEndsOneSecondAfterItsLastSoundIsHeard) {
  LoadEnglish();
  StartAt(1, 2, 1, 2);
  View.MerkCheckBox->setChecked(false);
  Session->StartBtnClick();
  ASSERT_TRUE(RunUntil([&] { return Device.Queued == nullptr && !Arb.Enabled() && !Calls.Pending(); }));
  OtherNeuKey(Window->Played.back())->Click();
  int64_t LastEndUs = -1;
  ASSERT_TRUE(RunUntil([&] {
    if (Device.Queued != nullptr)
      LastEndUs = Device.HeardEndUs();
    return training::Sitzung.KorrZaehler == 0;
  }));
  EXPECT_TRUE(View.TimePanel->isVisibleTo(View.Form)) << "the tick came ahead";
  EXPECT_FALSE(View.R1Panel->isEnabled());
  ASSERT_TRUE(Calls.RunNext());
  EXPECT_EQ(Clock.NowUs() - LastEndUs, 1000000);
  EXPECT_FALSE(View.TimePanel->isVisibleTo(View.Form));
  EXPECT_TRUE(View.R1Panel->isEnabled());
}

TEST_F(Heard, TheTextWindowOpensWhenTheEndSignalOrTheLastPauseIsHeardToEnd) {
  LoadEnglish();
  for (const bool Signal : {true, false}) {
    StartAt(1, 4, 1, 4);
    course::Kurs.MaxLektNr = static_cast<uint8_t>(course::Kurs.LektZeichEnde + (Signal ? 1 : 0));
    course::Kurs.GruppenZahl = 1;
    Window->TextWindows = 0;
    int64_t ShownUs = -1;
    Window->OnTextWindow = [&] { ShownUs = Clock.NowUs(); };
    int64_t DueUs = -1;
    Session->StartBtnClick();
    ASSERT_TRUE(RunUntil([&] {
      if (Device.Queued != nullptr)
        DueUs = Device.HeardEndUs();
      else if (Arb.Enabled())
        DueUs = Arb.DueUs();
      return Window->TextWindows == 1;
    })) << Signal;
    EXPECT_EQ(Window->Played.back() == "...-.-", Signal);
    EXPECT_EQ(ShownUs, DueUs) << Signal;
    EXPECT_TRUE(training::Sitzung.Idle);
  }
}

TEST_F(Heard, StopTakesBackWhatWasPlacedAheadWhateverTheSequenceOfClicks) {
  LoadEnglish();
  for (const uint8_t Ueb : {uint8_t{1}, uint8_t{4}}) {
    StartAt(1, Ueb, 1, Ueb);
    course::Kurs.NeueZeichen.resize(2);
    course::Kurs.GruppenZahl = 5;
    for (int Events = 0; Events <= 12; ++Events) {
      Session->StartBtnClick();
      for (int I = 0; I < Events; ++I)
        Next();
      Session->StartBtnClick();
      const int64_t StopUs = Clock.NowUs();
      const int Before = Writes();
      // Nothing is heard after the click, not even the rest of a block
      // being heard, and nothing stays queued for a run started next.
      EXPECT_EQ(Device.Queued, nullptr) << int(Ueb) << " " << Events;
      if (Before > 0) {
        EXPECT_LE(Device.HeardEndUs(), StopUs) << int(Ueb) << " " << Events;
      }
      while (Next()) {
      }
      EXPECT_EQ(Writes(), Before) << int(Ueb) << " " << Events;
      EXPECT_FALSE(Arb.Enabled());
      EXPECT_FALSE(sound::Ausgabe.Playing);
      EXPECT_TRUE(training::Sitzung.Idle);
    }
  }
}

TEST_F(Heard, AnAnswerBeforeTheRepeatIsHeardAnswersTheItemHeard) {
  LoadEnglish();
  StartAt(2, 3, 2, 3);
  Session->StartBtnClick();
  ASSERT_TRUE(RunUntil([&] { return Timer1.Enabled() && !Calls.Pending(); }));
  Timer1.Fire();
  Session->RepBtnClick();
  ASSERT_TRUE(Next()); // the repeat, placed ahead
  ASSERT_NE(Device.Queued, nullptr);
  EXPECT_TRUE(View.KeyPanel->isEnabled()) << "the keys answer until it is heard";
  TMButton* Right = KeyOfCode(training::Sitzung.SollCode);
  ASSERT_NE(Right, nullptr);
  Right->Click();
  EXPECT_EQ(training::Sitzung.UebPos, 1);
  EXPECT_EQ(training::Sitzung.Fehler, 0);
  EXPECT_EQ(Device.Queued, nullptr) << "the repeat is not heard after the answer";
  const int Before = Writes();
  ASSERT_TRUE(RunUntil([&] { return Writes() == Before + 1; }));
  ASSERT_TRUE(Next()); // heard: the keyboard goes off
  EXPECT_FALSE(View.KeyPanel->isEnabled());
}

// A run started while the last sound of a stopped one is still heard: that
// sound ends at the Stop, and the new run's first character is sounded and
// answered, not lost to the old sound's end.
TEST_F(Heard, ARunStartedRightAfterAStopSoundsItsFirstCharacter) {
  LoadEnglish();
  StartAt(2, 2, 2, 2);
  Session->StartBtnClick();
  ASSERT_TRUE(RunUntil([&] { return Window->Player.Sounding(); }));
  Session->StartBtnClick(); // Stop, with the first character being heard
  Session->StartBtnClick(); // and Start again at once
  const size_t Before = Window->Played.size();
  ASSERT_TRUE(RunUntil([&] { return Window->Played.size() > Before && Window->Player.Sounding(); }));
  ASSERT_TRUE(RunUntil([&] { return !Window->Player.Sounding() && View.KeyPanel->isEnabled(); }));
  EXPECT_EQ(Device.WaveDoneCount, 1) << "only the new run's character ends";
  TMButton* Right = NeuKeyOfCode(Window->Played.back());
  ASSERT_NE(Right, nullptr);
  Right->Click();
  EXPECT_EQ(training::Sitzung.UebPos, 1);
  EXPECT_EQ(training::Sitzung.Fehler, 0);
}

// A reaction counts from the heard end of the character asked to the press
// that answered it; a press while it still sounds is early and counts 0. The
// run's median joins the result, and wrong answers keep what they were
// taken for.
TEST_F(Heard, ExerciseTwosReactionsCountFromTheHeardEndToThePressThatAnswered) {
  LoadEnglish();
  StartAt(1, 2, 1, 2);
  View.MerkCheckBox->setChecked(false);
  TReaction Reaction(Clock);
  Session->SetReaction(&Reaction);
  Reaction.RunStarted();
  Session->StartBtnClick();
  // As many answers as the run asks (five per new character).
  const std::vector<int64_t> DelaysMs = {420, -30, 250, 800, 610, 300, 90, 1200, 500, 700};
  const size_t Answers = 5 * course::Kurs.NeueZeichen.size();
  int64_t HeardEndUs = -1;
  for (size_t I = 0; I < Answers; ++I) {
    ASSERT_TRUE(RunUntil([&] {
      if (Device.Queued != nullptr)
        HeardEndUs = Device.HeardEndUs();
      return Device.Queued == nullptr && !Arb.Enabled() && !Calls.Pending();
    }));
    ASSERT_EQ(Clock.NowUs(), HeardEndUs) << "the answer is awaited from the heard end";
    const int64_t DelayMs = DelaysMs[I % DelaysMs.size()];
    Clock.AdvanceMs(std::max<int64_t>(DelayMs, 0) + 5);
    Reaction.Pressed(HeardEndUs + DelayMs * 1000);
    // The second answer is wrong: the other key, whose correction follows.
    TMButton* Key = I == 1 ? OtherNeuKey(Window->Played.back()) : NeuKeyOfCode(Window->Played.back());
    ASSERT_NE(Key, nullptr);
    Key->Click();
    if (I == 1) {
      ASSERT_TRUE(RunUntil([&] { return training::Sitzung.KorrZaehler == 0 && !Calls.Pending(); }));
    }
  }
  ASSERT_TRUE(training::Sitzung.Idle);
  ASSERT_EQ(Reaction.Answers().size(), Answers);
  ASSERT_EQ(Answers % DelaysMs.size(), 0u);
  EXPECT_EQ(Reaction.Answers()[0].Ms, 420);
  EXPECT_TRUE(Reaction.Answers()[1].Early);
  EXPECT_EQ(Reaction.Answers()[1].Ms, 0);
  EXPECT_NE(Reaction.Answers()[1].Als, Reaction.Answers()[1].Zeichen);
  EXPECT_EQ(Reaction.Answers()[7].Ms, 1200);
  EXPECT_EQ(Reaction.MedianMs(), (420 + 500) / 2);
  // Beside the design's result (here the error message): the median and
  // the early answer.
  const std::string Early = std::to_string(Answers / DelaysMs.size());
  EXPECT_EQ(CaptionOf(View.StatusLabel), "Median reaction: 460 ms. " + Early + " answered while still sounding.");
}

TEST(InputClock, AnEventsOwnTimeIsPutOnTheProgramsClock) {
  TInputClock C;
  // The X server's time is CLOCK_MONOTONIC in ms, wrapping at 2^32: the
  // press lies in the middle of its ms, never after its arrival.
  const int64_t ArrivalUs = (int64_t{1} << 32) * 1000 + 5000 * 1000 + 700;
  EXPECT_EQ(C.PressUs(5000 - 180, ArrivalUs), ArrivalUs - 700 - 180000 + 500);
  EXPECT_EQ(C.PressUs(5000, ArrivalUs), ArrivalUs - 200);
  EXPECT_EQ(C.PressUs(0, ArrivalUs), ArrivalUs) << "no time: its arrival";
  // Just after the wrap of the server's ms, a press from before it.
  const int64_t AfterWrapUs = (int64_t{2} << 32) * 1000 + 20 * 1000;
  EXPECT_EQ(C.PressUs(0xFFFFFFFFu - 9, AfterWrapUs), AfterWrapUs - 30000 + 500);
  // A window system of its own epoch (ms since it started): the epoch is
  // learnt from the event that arrived soonest.
  TInputClock Own;
  const int64_t EpochUs = 900000000000;
  EXPECT_EQ(Own.PressUs(100, EpochUs + 100000 + 40000), EpochUs + 100000 + 40000) << "first: as arrived";
  EXPECT_EQ(Own.PressUs(200, EpochUs + 200000 + 300), EpochUs + 200000 + 300);
  EXPECT_EQ(Own.PressUs(900, EpochUs + 900000 + 250000), EpochUs + 900000 + 300) << "held up 250 ms";
}
