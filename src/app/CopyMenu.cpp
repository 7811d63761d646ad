// The typed copy of exercise 4 and the statistics window on the main
// window: their menu items, texts and option.
#include "app/MainUnit.h"

#include "course/Course.h"
#include "course/CourseState.h"
#include "storage/StorageState.h"
#include "training/Session.h"
#include "training/SessionState.h"
#include "training/StatForm.h"
#include "training/TypedCopy.h"
#include "windows/Caption.h"
#include "windows/Shell.h"
#include "storage/Texts.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QSignalBlocker>

namespace {

std::string Text(size_t Line, const char* Designed) {
  const std::string& T = storage::Texte.TypedCopyText[Line];
  return T.empty() ? std::string(Designed) : T;
}

} // namespace

void TAForm::ConnectCopy() {
  FCopy = std::make_unique<TTypedCopy>(*FCourseView, Reporter);
  FSession->SetTypedCopy(FCopy.get());
  FSession->SetReaction(&FCopy->Reaction());
  FCopy->Reaction().Watch();
  FCopy->OnSchwaechen = [this](TSchwaechen S) { FCourse->SetSchwaechen(std::move(S)); };
  if (View.MMenu == nullptr)
    return;
  TypedCopyItem = new QAction(View.MMenu);
  TypedCopyItem->setObjectName("TypedCopyItem");
  TypedCopyItem->setCheckable(true);
  StatistikItem = new QAction(View.MMenu);
  StatistikItem->setObjectName("StatistikItem");
  WeakItem = new QAction(View.MMenu);
  WeakItem->setObjectName("WeakItem");
  WeakItem->setCheckable(true);
  // Before the separator above Exit.
  View.MMenu->insertAction(View.N1, TypedCopyItem);
  View.MMenu->insertAction(View.N1, WeakItem);
  View.MMenu->insertAction(View.N1, StatistikItem);
  View.MMenu->setToolTipsVisible(true);
  connect(TypedCopyItem, &QAction::triggered, this, [this](bool On) { TypedCopyItemClick(On); });
  connect(StatistikItem, &QAction::triggered, this, [this] { StatistikItemClick(); });
  connect(WeakItem, &QAction::triggered, this, [this](bool On) { FCopy->SetWeakOn(On); });
  ApplyCopyTexts();
}

void TAForm::ApplyCopyTexts() {
  if (TypedCopyItem == nullptr)
    return;
  const uint8_t Charset = CharsetOf(View.KeyPanel);
  for (QAction* Item : {TypedCopyItem, StatistikItem, WeakItem})
    SetCharset(Item, Charset);
  SetCaption(TypedCopyItem, Text(1, "Type the copy"));
  const QString CopyHint = ToUnicode(Text(2, "Type what you hear in exercise 4; the program scores it"), Charset);
  TypedCopyItem->setToolTip(CopyHint);
  TypedCopyItem->setStatusTip(CopyHint);
  SetCaption(StatistikItem, Text(4, "Statistics"));
  const QString StatHint = ToUnicode(Text(5, "Accuracy, reaction time and confusions of each character; progress per day"), Charset);
  StatistikItem->setToolTip(StatHint);
  StatistikItem->setStatusTip(StatHint);
  SetCaption(WeakItem, StatistikLineText(StatWeakItem));
  const QString WeakHint = ToUnicode(StatistikLineText(StatWeakHint), Charset);
  WeakItem->setToolTip(WeakHint);
  WeakItem->setStatusTip(WeakHint);
  if (FStatForm != nullptr && FStatForm->isVisible())
    FStatForm->Fill(FCopy->Statistik(), course::Tastatur.InputLayoutNr, Charset, training::Sitzung.Idle);
}

void TAForm::StartCopy() {
  FCopy->LoadOption();
  if (TypedCopyItem != nullptr) {
    const QSignalBlocker Blocker(TypedCopyItem);
    TypedCopyItem->setChecked(FCopy->On());
  }
  if (WeakItem != nullptr) {
    const QSignalBlocker Blocker(WeakItem);
    WeakItem->setChecked(FCopy->WeakOn());
  }
}

void TAForm::TypedCopyItemClick(bool Checked) {
  FCopy->SetOn(Checked);
}

void TAForm::StatistikItemClick() {
  if (FStatForm == nullptr) {
    FStatForm = std::make_unique<TStatForm>(this);
    FStatForm->OnMark = [this](const std::string& Weak) {
      FCopy->MarkForNextRun(Weak);
      // The marked characters sound twice in the next exercise-4 run.
      course::SetMarkModus(true);
    };
    FStatForm->OnTarget = [this](int32_t Ms) { FCopy->SetTargetMs(Ms); };
    FStatForm->OnExport = [this] {
      const uint8_t Charset = CharsetOf(View.KeyPanel);
      const QString Name = QFileDialog::getSaveFileName(
          FStatForm.get(), ToUnicode(StatistikLineText(StatExport), Charset),
          QDir::home().filePath(QStringLiteral("velm-statistics.csv")), QStringLiteral("CSV (*.csv)"));
      if (!Name.isEmpty())
        ExportStatCsv(FCopy->Statistik(), Name.toLocal8Bit().toStdString(), Reporter);
    };
  }
  FStatForm->Fill(FCopy->Statistik(), course::Tastatur.InputLayoutNr, CharsetOf(View.KeyPanel), training::Sitzung.Idle);
  Shell.ShowModal(*FStatForm);
}
