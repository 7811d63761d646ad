// Exercise 4 of lesson 1 through the program's own wave output, its threaded
// timer and window timer into a private null sink: the recording holds the
// lead-in and then the twenty-five characters of the sequence, in order, each
// pause as long as the gap rule's, counted from the end of the sound heard.
#include "audiorig/EventLoop.h"
#include "audiorig/PulseServer.h"
#include "sound/ThdTimer.h"
#include "sound/WaveOut.h"
#include "sound/WindowTimer.h"
#include "training/SessionFixture.h"

#include <QCoreApplication>

namespace {

// The silence a code's block holds before its first and after its last
// sounding sample, in samples: part of the gap heard around it.
std::pair<int64_t, int64_t> QuietEnds(const std::string& Code) {
  TMorse::RenderCode(Code);
  const std::vector<TTone> T = FindTones(
      std::vector<uint8_t>(sound::Puffer.SoundBuf.begin(), sound::Puffer.SoundBuf.begin() + sound::Puffer.SoundLen));
  if (T.empty())
    return {0, 0};
  return {T.front().Start, static_cast<int64_t>(sound::Puffer.SoundLen) - T.back().End};
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
  // A high speed: the gaps are measured to samples whatever the speed.
  sound::Klang.Speed = 300;
  sound::Klang.Verhalt = 30;
  sound::Klang.Abstand = 30;
  TMorse::BuildElements();
  SetIntervallAt(IntervallSlot(sound::Klang.Speed), 30);
  View.TimeCB->setChecked(false);
  View.MerkCheckBox->setChecked(false);

  TWaveOut Device;
  TMorse Morse(Device, Reporter);
  TSoundTimer Arb(TThreadPriority::Lowest);
  TWindowTimer Timer1(nullptr);
  Timer1.SetEnabled(false);
  THarnessWindow Window(View, Morse);
  
  TSession Session(*CourseView, *Course, Arb, Timer1, Reporter, Window);
  Window.Session = &Session;
  std::vector<std::string> Sequence;
  Window.OnTextWindow = [&] {
    for (const int32_t P : course::Folge.UebFolge)
      Sequence.push_back(CodeOf(course::Kurs.KursFolge[static_cast<size_t>(P) - 1]));
  };

  ASSERT_TRUE(Pulse.StartRecording());
  Session.StartBtnClick();
  SpinUntil([] { return training::Sitzung.Idle; }, 60000);
  ASSERT_TRUE(training::Sitzung.Idle);
  // Until the last character has been heard: 29 sounds in all.
  EXPECT_TRUE(SpinUntilHeard(Pulse, 29, 300, 5000, 2 * sound::Klang.DotLen + 1));
  const std::vector<uint8_t> Rec = Pulse.StopRecording();
  ASSERT_TRUE(Reporter.Messages.empty());
  ASSERT_EQ(Sequence.size(), 25u);

  // Elements and the character they belong to: a silence longer than two
  // dots ends a character.
  const int64_t Dot = sound::Klang.DotLen;
  const std::vector<TTone> T = FindTones(Rec, Dot / 3);
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
  // Each pause counts from the end of the sound heard and the next sound is
  // heard where it is due: the gap is the rule's pause plus the silence the
  // two blocks hold, to a few samples. A block placed late (a tick that came
  // only when due) would lengthen every gap by milliseconds.
  const int64_t Slack = SamplesPerSec * 3 / 1000;
  auto Rule = [&](size_t I) -> int64_t {
    const int64_t LeadIn = 2 * static_cast<int64_t>(sound::Klang.Intervall) * sound::Klang.Abstand / 10;
    if (I < 3)
      return LeadIn;
    if (I == 3) // a tick of 1 ms, then the pause before the first group
      return 1 + static_cast<int64_t>(sound::Klang.Abstand) * sound::Klang.Intervall * 6 / 10;
    return (I - 4) % 5 == 4 ? GroupGapMs() : CharGapMs();
  };
  for (size_t I = 0; I < Gaps.size(); ++I) {
    const int64_t Quiet = QuietEnds(Expected[I]).second + QuietEnds(Expected[I + 1]).first;
    EXPECT_LE(std::abs(Gaps[I] - (Rule(I) * SamplesPerSec / 1000 + Quiet)), Slack)
        << "gap " << I << ": " << Gaps[I] << " samples, rule " << Rule(I) << " ms, " << Quiet << " quiet";
  }
}

} // namespace
