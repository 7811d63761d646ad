// Exercise 4 of lesson 1 through the real threaded timer, window timer and
// wave output into a private null sink: the recording holds the lead-in and
// then the twenty-five characters of the sequence, in order, with at least
// the gaps of the gap rule between them.
#include "audiorig/PulseServer.h"
#include "sound/QtWaveDevice.h"
#include "sound/ThdTimer.h"
#include "sound/WindowTimer.h"
#include "training/SessionFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace {

struct TRun {
  int64_t Start = 0;
  int64_t End = 0;
};

// Runs of sounding samples; silences shorter than MinGap (zero crossings of
// the tone) do not end a run.
std::vector<TRun> Tones(const std::vector<uint8_t>& S, int64_t MinGap) {
  std::vector<TRun> Out;
  int64_t Quiet = MinGap;
  for (int64_t I = 0; I < static_cast<int64_t>(S.size()); ++I) {
    const bool Loud = std::abs(static_cast<int>(S[static_cast<size_t>(I)]) - 128) > 8;
    if (Loud) {
      if (Quiet >= MinGap || Out.empty())
        Out.push_back({I, I + 1});
      else
        Out.back().End = I + 1;
      Quiet = 0;
    } else {
      ++Quiet;
    }
  }
  return Out;
}

class SessionAudio : public TCourseViewTest {};

TEST_F(SessionAudio, ExerciseFourOfLessonOneSoundsLeadInAndSequenceWithTheGaps) {
  TPulseServer& Pulse = SharedPulseServer();
  ASSERT_TRUE(Pulse.Error().empty()) << Pulse.Error();
  ResetSessionState();
  storage::Texte.ButtonsText = {"", "Start", "Stop", "Repeat"};
  SetCaption(View.StartBtn, storage::Texte.ButtonsText[1]);
  LoadEnglish();
  StartAt(1, 4, 1, 4);
  course::Kurs.GruppenZahl = MinGruppen;
  sound::Klang.Speed = 150;
  sound::Klang.Verhalt = 30;
  sound::Klang.Abstand = 30;
  TMorse::BuildElements();
  SetIntervallAt(IntervallSlot(sound::Klang.Speed), 30);
  View.TimeCB->setChecked(false);
  View.MerkCheckBox->setChecked(false);

  TQtWaveDevice Device;
  TMorse Morse(Device, Reporter);
  TThreadedTimer Arb(nullptr);
  TWindowTimer Timer1(nullptr);
  Arb.SetEnabled(false);
  Timer1.SetEnabled(false);
  THarnessWindow Window(View, Morse);
  Window.RealWait = true;
  TSession Session(*CourseView, *Course, Arb, Timer1, Reporter, Window);
  Window.Session = &Session;
  std::vector<std::string> Sequence;
  Window.OnTextWindow = [&] {
    for (const int32_t P : course::Folge.UebFolge)
      Sequence.push_back(CodeOf(course::Kurs.KursFolge[static_cast<size_t>(P) - 1]));
  };

  ASSERT_TRUE(Pulse.StartRecording());
  Session.StartBtnClick();
  QDeadlineTimer Deadline(60000);
  while (!training::Sitzung.Idle && !Deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  ASSERT_TRUE(training::Sitzung.Idle);
  QDeadlineTimer Tail(1000);
  while (!Tail.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  const std::vector<uint8_t> Rec = Pulse.StopRecording();
  ASSERT_TRUE(Reporter.Messages.empty());
  ASSERT_EQ(Sequence.size(), 25u);

  // Elements and the character they belong to: a silence longer than two
  // dots ends a character.
  const int64_t Dot = sound::Klang.DotLen;
  const std::vector<TRun> T = Tones(Rec, Dot / 3);
  ASSERT_FALSE(T.empty());
  std::vector<std::string> Heard(1);
  std::vector<int64_t> Gaps;
  for (size_t I = 0; I < T.size(); ++I) {
    if (I > 0 && T[I].Start - T[I - 1].End > 2 * Dot) {
      Gaps.push_back(T[I].Start - T[I - 1].End);
      Heard.emplace_back();
    }
    Heard.back() += (T[I].End - T[I].Start) > 2 * Dot ? '-' : '.';
  }
  std::vector<std::string> Expected = {"...-", "...-", "...-", "-...-"};
  Expected.insert(Expected.end(), Sequence.begin(), Sequence.end());
  EXPECT_EQ(Heard, Expected);
  ASSERT_EQ(Gaps.size(), 28u);
  // The pauses count from the end of each sound, so the device's delay only
  // lengthens them; none is shorter than the rule's.
  const int64_t Slack = Dot / 2;
  for (size_t I = 4; I < Gaps.size(); ++I) {
    const int32_t Ms = (I - 4) % 5 == 4 ? GroupGapMs() : CharGapMs();
    EXPECT_GE(Gaps[I] + Slack, static_cast<int64_t>(Ms) * SamplesPerSec / 1000) << I;
  }
  for (size_t I = 0; I < 3; ++I)
    EXPECT_GE(Gaps[I] + Slack,
              static_cast<int64_t>(2 * sound::Klang.Intervall * sound::Klang.Abstand / 10) * SamplesPerSec / 1000)
        << I;
}

} // namespace
