#include "windows/Caption.h"
#include "windows/MainView.h"
#include "storage/Texts.h"
#include "windows/TextsView.h"

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class TextsViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    ClearTexts();
    BuildMainView(View, Form);
  }
  void TearDown() override { ClearTexts(); }

  QMainWindow Form;
  TMainView View;
  QPushButton MemClBtn, MemPlayBtn, MemPausBtn;
  QLabel MemLabel1;
};

TEST_F(TextsViewTest, RussianTextsShowInCyrillicWhereverTheyAreApplied) {
  SetCharset(View.KeyPanel, RUSSIAN_CHARSET);
  storage::Texte.RadiogrText = {"", "\xD1\xE8\xEC\xE2\xEE\xEB\xFB", "\xC1", "\xD6", "\xC7", "\xC2"};
  storage::Texte.LektText = {"", "\xC3\xF0\xF3\xEF\xEF\xFB", "\xD3", "\xC7", "\xCD"};
  storage::Texte.SParamText = {"", "\xD1", "\xC8", "\xD2\xEE\xED", "\xD4"};
  storage::Texte.ButtonsText = {"", "\xD1\xF2\xE0\xF0\xF2", "\xD1", "\xC4"};
  storage::Texte.TextFormText = {"", "\xC7\xE0\xEA\xF0\xFB\xF2\xFC", "\xCF", "\xD1", "\xCF", "\xD1"};
  ApplyTexts(View, {&MemClBtn, &MemPlayBtn, &MemPausBtn, &MemLabel1});
  EXPECT_EQ(View.GroupBox1->title(),
            QString::fromUtf16(u"\u0421\u0438\u043C\u0432\u043E\u043B\u044B"));
  EXPECT_EQ(View.Label14->text(), QString::fromUtf16(u"\u0413\u0440\u0443\u043F\u043F\u044B"));
  EXPECT_EQ(View.Label3->text(), QString::fromUtf16(u"\u0422\u043E\u043D"));
  EXPECT_EQ(View.StartBtn->text(), QString::fromUtf16(u"\u0421\u0442\u0430\u0440\u0442"));
  EXPECT_EQ(MemClBtn.text(), QString::fromUtf16(u"\u0417\u0430\u043A\u0440\u044B\u0442\u044C"));
  EXPECT_EQ(CaptionOf(View.StartBtn), "\xD1\xF2\xE0\xF0\xF2");
  EXPECT_EQ(CaptionOf(View.WeiterBtn), "\xC4");
  for (QObject* Control : std::initializer_list<QObject*>{
           View.GroupBox1, View.BRB, View.InfPanel, View.Label16, View.MerkCheckBox, View.SpPanel,
           View.TonPanel, View.Label9, View.StartBtn, View.WeiterBtn, &MemClBtn, &MemPlayBtn,
           &MemPausBtn, &MemLabel1, View.Label1, View.Label4, View.TimePanel})
    EXPECT_EQ(CharsetOf(Control), RUSSIAN_CHARSET) << Control->objectName().toStdString();
}

TEST_F(TextsViewTest, TheReplayWindowMayBeMissing) {
  storage::Texte.MenuText = {"", "M", "X", "3", "4", "5", "H", "A"};
  ApplyTexts(View, {});
  EXPECT_EQ(CaptionOf(View.MMenu), "M");
  EXPECT_EQ(CaptionOf(View.MExit), "X");
  EXPECT_EQ(CaptionOf(View.Hilfe1), "H");
  EXPECT_EQ(CaptionOf(View.ab), "A");
}

// An interface file without <Hints> or <Courses> (an older one) leaves no
// hints and the built-in names and item captions; with them, hints and names
// show in the layout's character set, and a key's hint reaches every key.
TEST_F(TextsViewTest, HintsAndNamesFollowTheFileAndFallBackWithoutIt) {
  CreateKeys(View);
  ApplyTexts(View, {});
  EXPECT_TRUE(View.StartBtn->toolTip().isEmpty());
  EXPECT_EQ(View.SpeedUD->UpButton()->accessibleName(), "Raise the speed");
  EXPECT_EQ(View.UebAD->DownButton()->accessibleName(), "Previous exercise");
  EXPECT_EQ(View.FrontBar->accessibleName(), "Attack");
  EXPECT_EQ(CaptionOf(View.German), "Deutsch");
  EXPECT_EQ(CaptionOf(View.Keyboard1), "Keyboard");

  SetCharset(View.KeyPanel, RUSSIAN_CHARSET);
  storage::Texte.MenuText = {"", "M", "X", "\xCA\xEB", "\xD0", "\xD1", "H", "A"};
  storage::Texte.CoursesText = {"", "\xC0", "\xCD", "\xD0", "\xD2"};
  storage::Texte.HintsText[HintStartBtn] = "\xD1\xF2\xE0\xF0\xF2";
  storage::Texte.HintsText[HintTasten].assign(1, '\xCA');
  storage::Texte.HintsText[NameTnBar] = "\xD2\xEE\xED";
  storage::Texte.LektText[3].assign(1, '\xC7'); // not a one-byte literal: GCC 12 at -O3 warns falsely (-Wrestrict)
  ApplyTexts(View, {});
  EXPECT_EQ(View.StartBtn->toolTip(), QString::fromUtf16(u"\u0421\u0442\u0430\u0440\u0442"));
  EXPECT_EQ(View.StartBtn->accessibleDescription(), View.StartBtn->toolTip());
  EXPECT_EQ(View.TnBar->accessibleName(), QString::fromUtf16(u"\u0422\u043E\u043D"));
  EXPECT_EQ(View.UebAD->accessibleName(), QString(QChar(0x0417)));
  EXPECT_EQ(View.Keyboard1->title(), QString::fromUtf16(u"\u041A\u043B"));
  EXPECT_EQ(View.German->text(), QString(QChar(0x041D)));
  for (const TMButton* Key : View.Tasten)
    EXPECT_EQ(Key->toolTip(), QString(QChar(0x041A)));
  // A line left empty keeps the built-in name.
  EXPECT_EQ(View.FrontBar->accessibleName(), "Attack");
}

} // namespace
