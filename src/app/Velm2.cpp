#include "app/Velm2.h"

#include "app/MainUnit.h"
#include "app/TermSignal.h"
#include "sound/BareFile.h"
#include "sound/WaveOut.h"
#include "sound/ThdTimer.h"
#include "sound/WindowTimer.h"
#include "windows/Fonts.h"
#include "windows/Gr.h"
#include "windows/Help.h"
#include "windows/MemUnit.h"
#include "windows/QtReporter.h"
#include "windows/Shell.h"
#include "windows/about.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QSessionManager>
#include <QStandardPaths>

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A path as Qt shows it; only for display, since Qt decodes bytes that are
// not UTF-8 lossily.
QString Shown(const fs::path& Path) {
#ifdef Q_OS_WIN
  return QString::fromStdWString(Path.wstring());
#else
  return QFile::decodeName(QByteArray::fromStdString(Path.native()));
#endif
}

fs::path FromQt(const QString& Path) {
#ifdef Q_OS_WIN
  return fs::path(Path.toStdWString());
#else
  return fs::path(QFile::encodeName(Path).toStdString());
#endif
}

fs::path ExecutableFolder() {
#ifdef Q_OS_LINUX
  // The link's own bytes, whatever the folder names' encoding.
  std::error_code Error;
  const fs::path Exe = fs::read_symlink("/proc/self/exe", Error);
  if (!Error && Exe.is_absolute())
    return Exe.parent_path();
#endif
  return FromQt(QCoreApplication::applicationDirPath());
}

bool SameFolder(const fs::path& A, const fs::path& B) {
  std::error_code Error;
  return !A.empty() && !B.empty() && fs::equivalent(A, B, Error) && !Error;
}

} // namespace

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
fs::path LearnerFolderFrom(const char* XdgDataHome, const char* Home) {
  if (XdgDataHome != nullptr && XdgDataHome[0] == '/')
    return fs::path(XdgDataHome) / "velm-mtr";
  if (Home != nullptr && Home[0] != '\0')
    return fs::path(Home) / ".local" / "share" / "velm-mtr";
  return {};
}
#endif

fs::path LearnerFolder() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  // From the variables' bytes: Qt would decode a home folder's name lossily.
  fs::path Folder = LearnerFolderFrom(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  if (!Folder.empty())
    return Folder;
#endif
  return FromQt(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) / "velm-mtr";
}

std::optional<QString> EnterLearnerFolder(const fs::path& Folder) {
  std::error_code Error;
  if (Folder.empty())
    Error = std::make_error_code(std::errc::no_such_file_or_directory);
  else
    fs::create_directories(Folder, Error);
  if (!Error)
    fs::current_path(Folder, Error);
  if (!Error)
    return std::nullopt;
  std::error_code Ignored;
  return QStringLiteral("The folder for your progress, \"%1\", cannot be made or entered: %2.\n\n"
                        "The program goes on in the folder it was started from, \"%3\".")
      .arg(Shown(Folder), QString::fromLocal8Bit(Error.message()),
           Shown(fs::current_path(Ignored)));
}

fs::path ShippedDataFolder(const fs::path& ExeDir, const TBuildPlace& Build) {
  if (SameFolder(ExeDir, Build.BinDir))
    return Build.SourceData;
  return (ExeDir / VELM_DATA_FROM_BIN).lexically_normal();
}

struct TVelm2::TParts {
  TWaveOut Device;
  TQtMessageReporter Reporter;
  TQtShell Shell;
  // Its ticks start sounds: they come ahead, so a busy window does not move
  // the sound.
  TSoundTimer ArbTimer{TThreadPriority::Lowest};
  TWindowTimer Timer1{nullptr};
};

TVelm2::TVelm2() : FParts(std::make_unique<TParts>()) {
  TParts& P = *FParts;
  P.Timer1.SetEnabled(false);
  AForm = std::make_unique<TAForm>(P.Device, P.Reporter, P.ArbTimer, P.Timer1, P.Shell);
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

int Velm2Main(int argc, char** argv, const TBuildPlace& Build) {
  // Qt reads its own options from the command line; the program none.
  QApplication App(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VELM-MTR 2.1"));
  QApplication::setDesktopFileName(QStringLiteral("org.velmmtr.VelmMtr"));
  SetShippedDataDir(ShippedDataFolder(ExecutableFolder(), Build));
  // Without its folder the program goes on where it was started, and the
  // files it cannot write there are reported as they are saved.
  if (const std::optional<QString> Failure = EnterLearnerFolder(LearnerFolder()))
    QMessageBox::warning(nullptr, QApplication::applicationName(), *Failure);
  // The English page; each layout has its own (TLayout::HelpFile).
  SetApplicationHelpFile("VELMHelpEng.html");
  InstallFontSubstitutes();
  TVelm2 Program;
  TAForm* Form = Program.AForm.get();
  // The program ends even when a modal box is open at that moment.
  TTermSignal Stop([Form] {
    Form->EndSession();
    QCoreApplication::quit();
  });
  // The display lost: the record is saved and the sound stopped before the
  // process ends.
  const TLostDisplayGuard LostDisplay([Form] {
    if (!Form->ClosedDown())
      Form->CloseSequence(false);
  });
  return Program.Run();
}
