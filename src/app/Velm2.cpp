#include "app/Velm2.h"

#include "app/AppState.h"
#include "app/MainUnit.h"
#include "windows/Fonts.h"
#include "windows/Gr.h"
#include "windows/Help.h"
#include "windows/MemUnit.h"
#include "windows/about.h"

#include <QApplication>

TVelm2::TVelm2() {
  AForm = std::make_unique<TAForm>();
  Windows.push_back(AForm.get());
  CreateRest(nullptr);
}

TVelm2::TVelm2(TWaveDevice& Device, TMessageReporter& Reporter, TTickTimer& ArbTimer, TTickTimer& Timer1,
               TTickTimer& MemTimer, TShell& Shell) {
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

int TVelm2::Run() {
  AForm->show();
  return QApplication::exec();
}

int Velm2Main(int argc, char** argv) {
  SetInitialValues();
  // Qt reads its own options from the command line; the program none.
  QApplication App(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VELM-MTR 2.1"));
  SetApplicationHelpFile("VELMHelp.html");
  InstallFontSubstitutes();
  TVelm2 Program;
  return Program.Run();
}
