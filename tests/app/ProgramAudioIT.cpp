// The whole program with its real sound path: the windows of the program,
// the real wave output on a private PulseAudio null sink, the real threaded
// timer and window timer. Exercise 1 of the first lesson is started as the
// learner starts it, and the recording must hold the first new character's
// code, each play followed by its spoken sound file.
#include "app/MainUnit.h"
#include "app/Velm2.h"
#include "course/CourseState.h"
#include "sound/WaveOut.h"
#include "sound/SoundState.h"
#include "sound/ThdTimer.h"
#include "sound/WindowTimer.h"
#include "storage/StorageState.h"
#include "storage/Texts.h"
#include "training/SessionState.h"
#include "windows/Caption.h"

#include "audiorig/EventLoop.h"
#include "audiorig/PulseServer.h"
#include "support/RecordingReporter.h"
#include "windows/RecordingShell.h"
#include "support/WorkDir.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// The program with its own wave output and timers, set up as the main
// window and the replay window set up theirs.
struct TRealProgram {
  TWaveOut Device;
  TRecordingReporter Reporter;
  TSoundTimer ArbTimer{TThreadPriority::Lowest};
  TWindowTimer Timer1{nullptr};
  TSoundTimer MemTimer{TThreadPriority::Normal};
  TRecordingShell Shell;
  TVelm2 Program{Device, Reporter, ArbTimer, Timer1, MemTimer, Shell};

  // Shows the main window and runs its start-up; false when it did not.
  bool Show() {
    Program.AForm->show();
    Program.AForm->activateWindow();
    return QTest::qWaitForWindowActive(Program.AForm.get()) && Program.AForm->StartedUp();
  }
};
} // namespace

TEST(ProgramAudio, ExerciseOneSoundsTheCodeAndThenItsMnemonic) {
  TPulseServer& Pulse = SharedPulseServer();
  ASSERT_TRUE(Pulse.Error().empty()) << Pulse.Error();
  ResetSoundState();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
  TWorkDir Dir;
  Dir.CopyShippedData();

  {
    TRealProgram Real;
    ASSERT_TRUE(Real.Show());
    TVelm2& Program = Real.Program;
    // A first run: lesson 1, exercise 1, Russian layout, mnemonics on.
    ASSERT_EQ(course::Kurs.LektNr, 1);
    ASSERT_EQ(course::Kurs.UebNr, 1);
    ASSERT_TRUE(Program.AForm->View.MerkCheckBox->isChecked());
    const std::string First = course::Kurs.NeueZeichen.substr(0, 1);
    const std::string Code = sound::Codetafel.Codes[static_cast<size_t>(LetterPos(First[0]))];
    ASSERT_FALSE(Code.empty());

    // The code as rendered at the program's speed, before the run renders
    // its own.
    TMorse::RenderCode(Code);
    const std::vector<TTone> Rendered = FindTones(
        std::vector<uint8_t>(sound::Puffer.SoundBuf.begin(), sound::Puffer.SoundBuf.begin() + sound::Puffer.SoundLen));
    ASSERT_FALSE(Rendered.empty());
    const int64_t Element = Rendered.front().End - Rendered.front().Start;
    // Plays of the code: whole tones of exactly the element's length;
    // between two plays the spoken word, which is neither silence nor that
    // tone.
    const auto PlaysIn = [Element](const std::vector<TTone>& Heard, int64_t Length) {
      std::vector<size_t> Plays;
      for (size_t I = 0; I < Heard.size(); ++I)
        if (Heard[I].End - Heard[I].Start == Element && Heard[I].End < Length)
          Plays.push_back(I);
      return Plays;
    };

    ASSERT_TRUE(Pulse.StartRecording());
    Program.AForm->View.StartBtn->click();
    EXPECT_FALSE(training::Sitzung.Idle);
    // Until the second play has been heard: the code, its word, the code.
    SpinUntilTones(Pulse, [&](const std::vector<TTone>& Heard, int64_t Length) {
      return PlaysIn(Heard, Length).size() >= 2;
    }, 15000);
    Program.AForm->View.StartBtn->click(); // Stop
    EXPECT_TRUE(training::Sitzung.Idle);
    const std::vector<uint8_t> Recording = Pulse.StopRecording();
    const std::vector<TTone> Heard = FindTones(Recording);
    EXPECT_TRUE(Real.Reporter.Messages.empty()) << Real.Reporter.Messages.front();
    const std::vector<size_t> Plays = PlaysIn(Heard, static_cast<int64_t>(Recording.size()));
    ASSERT_GE(Plays.size(), 2u) << Heard.size() << " sounds recorded";
    EXPECT_GT(Plays[1] - Plays[0], Rendered.size()) << "no spoken word after the code";
    Program.AForm->close();
  }
  ResetSoundState();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
}

// The audio server goes away during a run: the run ends as Stop ends it,
// with one message in the interface language, and once the server is back
// the next Start sounds, without a new start of the program.
TEST(ProgramAudio, AServerThatGoesAwayEndsTheRunOnceAndTheNextStartSounds) {
  const QByteArray SharedServer = qgetenv("PULSE_SERVER");
  const QByteArray SharedRuntime = qgetenv("PULSE_RUNTIME_PATH");
  ResetSoundState();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
  TWorkDir Dir;
  Dir.CopyShippedData();
  {
    TPulseServer Own;
    ASSERT_TRUE(Own.Start()) << Own.Error();
    TRealProgram Real;
    ASSERT_TRUE(Real.Show());
    TVelm2& Program = Real.Program;
    TRecordingReporter& Reporter = Real.Reporter;
    QPushButton* Start = Program.AForm->View.StartBtn;

    // Gone while the run sounds.
    ASSERT_TRUE(Own.StartRecording());
    Start->click();
    EXPECT_TRUE(SpinUntilHeard(Own, 1, 0, 5000));
    ASSERT_TRUE(Reporter.Messages.empty());
    Own.Stop();
    SpinUntil([] { return training::Sitzung.Idle; }, 5000);
    SpinFor(500);
    EXPECT_TRUE(training::Sitzung.Idle);
    ASSERT_EQ(Reporter.Messages.size(), 1u);
    EXPECT_EQ(Reporter.Messages.front(), SoundLostText());
    EXPECT_EQ(Reporter.Messages.front(), storage::Texte.SoundText[1]) << "the interface file's text";
    EXPECT_EQ(CaptionOf(Start), storage::Texte.ButtonsText[1]);
    EXPECT_TRUE(Start->isEnabled());
    EXPECT_FALSE(Program.AForm->View.WeiterBtn->isEnabled());

    ASSERT_TRUE(Own.Start()) << Own.Error();
    ASSERT_TRUE(Own.StartRecording());
    Start->click();
    EXPECT_TRUE(SpinUntilHeard(Own, 1, 0, 5000)) << "the next Start sounds";
    Start->click(); // Stop
    Own.StopRecording();
    EXPECT_EQ(Reporter.Messages.size(), 1u);

    // A server that hangs ends the run the same way, and the interface
    // thread goes on meanwhile.
    ASSERT_TRUE(Own.StartRecording());
    Start->click();
    EXPECT_TRUE(SpinUntilHeard(Own, 1, 0, 5000));
    Own.StopRecording();
    Own.Freeze();
    const QDeadlineTimer Hung(6000);
    SpinUntil([] { return training::Sitzung.Idle; }, 6000);
    EXPECT_FALSE(Hung.hasExpired());
    SpinFor(500);
    EXPECT_TRUE(training::Sitzung.Idle);
    EXPECT_EQ(Reporter.Messages.size(), 2u);
    Own.Thaw();
    SpinFor(500);
    ASSERT_TRUE(Own.StartRecording());
    Start->click();
    EXPECT_TRUE(SpinUntilHeard(Own, 1, 0, 5000)) << "sounds again once it answers";
    Start->click(); // Stop
    Own.StopRecording();
    EXPECT_EQ(Reporter.Messages.size(), 2u);
    Program.AForm->close();
  }
  qputenv("PULSE_SERVER", SharedServer);
  qputenv("PULSE_RUNTIME_PATH", SharedRuntime);
  ResetSoundState();
  ResetCourseState();
  ResetStorageState();
  ResetSessionState();
}
