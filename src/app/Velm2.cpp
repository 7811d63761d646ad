#include "app/Velm2.h"

#include "app/MainUnit.h"
#include "app/TermSignal.h"
#include "windows/Fonts.h"
#include "windows/Gr.h"
#include "windows/Help.h"
#include "windows/MemUnit.h"
#include "windows/about.h"

#include <QApplication>
#include <QSessionManager>

TVelm2::TVelm2() {
  AForm = std::make_unique<TAForm>();
  Windows.push_back(AForm.get());
  CreateRest(nullptr);
}

TVelm2::TVelm2(TWaveDevice& Device, TMessageReporter& Reporter, TTickTimer& ArbTimer,
               TTickTimer& Timer1, TTickTimer& MemTimer, TShell& Shell) {
  AForm = std::make_unique<TAForm>(Device, Reporter, ArbTimer, Timer1, Shell);
  Windows.push_back(AForm.get());
  CreateRest(&MemTimer);
}

void TVelm2::CreateRest(TTickTimer* MemTimer) {
  MemForm = std::make_unique<TMemForm>(AForm.get(), MemTimer);
  Windows.push_back(MemForm.get());
  AboutBox = std::make_unique<TAboutBox>(AForm->Shell, AForm.get());
  Windows.push_back(AboutBox.get());
  GrForm = std::make_unique<TGrForm>(AForm.get());
  Windows.push_back(GrForm.get());
  AForm->SetMemForm(MemForm.get());
  AForm->SetAboutBox(AboutBox.get());
  AForm->SetGrForm(GrForm.get());
  AForm->SetMemTimer(&MemForm->MemTimer);
}

// The secondary windows go before the main window, which is their parent.
TVelm2::~TVelm2() {
  GrForm.reset();
  AboutBox.reset();
  MemForm.reset();
  AForm.reset();
}

// Whatever ends the program saves the learner's progress: closing the main
// window, the end of the desktop session, or a signal to stop. The last two
// ask no question; a changed interval table is then left unsaved.
void TVelm2::ConnectEnd() {
  TAForm* Form = AForm.get();
  auto* App = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (App == nullptr)
    return;
  QObject::connect(App, &QGuiApplication::commitDataRequest, Form,
                   [Form](QSessionManager&) { Form->EndSession(); });
  QObject::connect(App, &QCoreApplication::aboutToQuit, Form, [Form] {
    if (!Form->ClosedDown())
      Form->EndSession();
  });
}

int TVelm2::Run() {
  ConnectEnd();
  AForm->show();
  return QApplication::exec();
}

int Velm2Main(int argc, char** argv) {
  // Qt reads its own options from the command line; the program none.
  QApplication App(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VELM-MTR 2.1"));
  SetApplicationHelpFile("VELMHelp.html");
  InstallFontSubstitutes();
  TVelm2 Program;
  TAForm* Form = Program.AForm.get();
  // The program ends even when a modal box is open at that moment.
  TTermSignal Stop([Form] {
    Form->EndSession();
    QCoreApplication::quit();
  });
  return Program.Run();
}
