// The copy practice through the PulseAudio output on a private null sink:
// the whole text reaches the stream in one-second blocks, and after Stop
// nothing more is placed.
#include "base/BareFile.h"
#include "base/Clock.h"
#if VELM_HAVE_PULSE
#include "audiorig/EventLoop.h"
#include "audiorig/PulseServer.h"
#include "course/CourseState.h"
#include "course/LessonData.h"
#include "sound/Morse.h"
#include "sound/Player.h"
#include "sound/PulseWaveDevice.h"
#include "base/CodePage.h"
#include "support/RecordingReporter.h"
#include "training/PracticeForm.h"

#include <QComboBox>
#include <QSpinBox>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

class TQuietHost final : public TPlayerHost {
public:
  void SetKeyboardEnabled(bool) override {}
  bool MnemonicsOn() const override { return false; }
};

// The end of the first block on a stream that has just started comes when
// it is due, not at once: otherwise the second block would be written at
// once and a later one land over it, leaving the stream a second short.
TEST(PracticeAudio, BlocksFollowEachOtherWithoutAGapAndStopEndsTheSound) {
  TPulseServer& Pulse = SharedPulseServer();
  ASSERT_TRUE(Pulse.Error().empty()) << Pulse.Error();
  ResetSoundState();
  SetShippedDataDir(VELM_SOURCE_DIR "/data");
  course::Kurs.AlphabetFile = "Eng.txt";
  std::ifstream In(std::string(VELM_SOURCE_DIR) + "/data/Eng.txt", std::ios::binary);
  sound::Codetafel = ParseCodeTable(std::vector<uint8_t>(std::istreambuf_iterator<char>(In), {}));

  TPulseWaveDevice Device;
  TRecordingReporter Reporter;
  TMorse Morse(Device, Reporter);
  TQuietHost Host;
  TPlayer Player(Morse, Host);
  TPracticeForm Form(Player, Reporter);
  Form.Prepare(ANSI_CHARSET);
  Form.CharWpmSE->setValue(60);
  Form.EffWpmSE->setValue(40);
  Form.LengthUnitCB->setCurrentIndex(1);
  Form.LengthSE->setValue(15);
  Form.StartBtnClick();
  ASSERT_TRUE(Form.Running());
  SpinUntil([&] { return !Form.Running(); }, 30000);
  ASSERT_FALSE(Form.Running());
  EXPECT_TRUE(Reporter.Messages.empty());

  // The whole text was placed on the stream, block after block, and the
  // server never ran dry in between.
  const std::vector<TPulseWaveDevice::TPlaced> Placed = Device.Placed();
  ASSERT_GE(Placed.size(), 3u);
  EXPECT_EQ(Placed.back().Start + Placed.back().Length - Placed.front().Start,
            static_cast<int64_t>(Placed.size() - 1) * 11025 + Placed.back().Length);
  EXPECT_EQ(Device.Stats().Underflows, 0);

  // A long text stopped after a second: nothing more is placed, and the
  // stream's blocks end by the Stop.
  Form.LengthUnitCB->setCurrentIndex(0);
  Form.LengthSE->setValue(5);
  Form.StartBtnClick();
  SpinFor(1500);
  const size_t Before = Device.Placed().size();
  Form.StopBtnClick();
  EXPECT_FALSE(Form.Running());
  SpinFor(1500);
  EXPECT_EQ(Device.Placed().size(), Before);
  Device.Halt();
  SetShippedDataDir({});
}

} // namespace
#endif
