#include "app/Velm2.h"

#include "app/MainUnit.h"
#include "app/OneCopy.h"
#include "app/TermSignal.h"
#include "base/BareFile.h"
#include "base/CodePage.h"
#include "storage/Kund.h"
#include "storage/Layouts.h"
#include "storage/LengFiles.h"
#include "storage/RecordFile.h"
#include "storage/Texts.h"
#include "training/Practice.h"
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
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QSessionManager>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <cstdio>
#include <initializer_list>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

// A whole number of the command line, or nothing when the value is not one.
std::optional<int32_t> WholeNumber(const QString& Text) {
  bool Ok = false;
  const int Value = Text.trimmed().toInt(&Ok);
  return Ok ? std::optional<int32_t>(Value) : std::nullopt;
}

int RefuseOption(const char* Reason) {
  std::fprintf(stderr, "velm-mtr: %s\n", Reason);
  return 2;
}

// --write-audio and its options: the practice written as an audio file,
// without a window. The learner's folder and the shipped data give the
// course's files, as they do for the window.
int WriteAudioCommand(const QCommandLineParser& Parser, const TBuildPlace& Build) {
  practice::TPracticeCommand Command;
  const auto Value = [&Parser](const char* Name) { return Parser.value(QString::fromLatin1(Name)); };
  const auto Set = [&Parser](const char* Name) { return Parser.isSet(QString::fromLatin1(Name)); };
  const fs::path Current = fs::current_path();
  Command.AudioFile = (Current / FromQt(Value("write-audio"))).string();
  if (Value("write-audio").isEmpty())
    return RefuseOption("--write-audio needs the name of the file to write");
  if (Set("kind")) {
    const std::optional<course::TPracticeKind> Kind = practice::KindOfName(Value("kind").toStdString());
    if (!Kind)
      return RefuseOption("--kind must be groups, words, callsigns, contacts, abbreviations or text");
    Command.Kind = *Kind;
    Command.KindGiven = true;
  }
  if (Set("text") && Set("text-file"))
    return RefuseOption("--text and --text-file cannot be given together");
  if (Set("text") || Set("text-file")) {
    if (Command.KindGiven && Command.Kind != course::TPracticeKind::Text)
      return RefuseOption("--text and --text-file go with --kind text");
    Command.Kind = course::TPracticeKind::Text;
    Command.Text = Value("text").toStdString();
    if (Set("text-file"))
      Command.TextFile = (Current / FromQt(Value("text-file"))).string();
  } else if (Command.Kind == course::TPracticeKind::Text) {
    return RefuseOption("--kind text needs --text or --text-file");
  }
  if (Set("course")) {
    const QString Course = Value("course");
    const std::array<const char*, 4> Names = {"en", "de", "ru", "tr"};
    const auto Found = std::find_if(Names.begin(), Names.end(),
                                    [&Course](const char* Name) { return Course == QLatin1String(Name); });
    if (Found == Names.end())
      return RefuseOption("--course must be en, de, ru or tr");
    Command.SprachNr = static_cast<int32_t>(Found - Names.begin()) + 1;
  }
  if (Set("wpm")) {
    const std::optional<int32_t> Wpm = WholeNumber(Value("wpm"));
    if (!Wpm || *Wpm < practice::MinCharWpm || *Wpm > practice::MaxCharWpm)
      return RefuseOption("--wpm must be a whole number from 5 to 100");
    Command.Timing.CharWpm = *Wpm;
  }
  Command.Timing.EffectiveWpm = Command.Timing.CharWpm;
  if (Set("effective-wpm")) {
    const std::optional<int32_t> Wpm = WholeNumber(Value("effective-wpm"));
    if (!Wpm || *Wpm < practice::MinEffectiveWpm || *Wpm > Command.Timing.CharWpm)
      return RefuseOption("--effective-wpm must be a whole number from 2 up to the character speed (--wpm)");
    Command.Timing.EffectiveWpm = *Wpm;
  }
  if (Set("tone")) {
    const std::optional<int32_t> Hz = WholeNumber(Value("tone"));
    if (!Hz || *Hz < practice::MinToneHz || *Hz > practice::MaxToneHz)
      return RefuseOption("--tone must be a whole number of hertz from 300 to 1300");
    Command.ToneHz = *Hz;
  }
  if (Set("minutes")) {
    bool Ok = false;
    const double Minutes = Value("minutes").toDouble(&Ok);
    if (!Ok || !(Minutes > 0.0) || Minutes > 600.0)
      return RefuseOption("--minutes must be a number above 0 and at most 600");
    Command.Minutes = Minutes;
  }
  if (Set("seed")) {
    bool Ok = false;
    const uint32_t Seed = Value("seed").toUInt(&Ok);
    if (!Ok)
      return RefuseOption("--seed must be a whole number from 0 to 4294967295");
    Command.Seed = Seed;
  }
  // The band conditions, each off unless given.
  practice::TBand& Band = Command.Band;
  const auto InRange = [](const std::optional<int32_t>& V, int32_t Min, int32_t Max) {
    return V && *V >= Min && *V <= Max;
  };
  if (Set("snr")) {
    const std::optional<int32_t> Db = WholeNumber(Value("snr"));
    if (!InRange(Db, practice::MinSnrDb, practice::MaxSnrDb))
      return RefuseOption("--snr must be a whole number of dB from -10 to 30");
    Band.Noise = true;
    Band.SnrDb = *Db;
  }
  if (Set("qsb")) {
    const QStringList Parts = Value("qsb").split(QLatin1Char(':'));
    const std::optional<int32_t> Depth = Parts.size() == 2 ? WholeNumber(Parts[0]) : std::nullopt;
    const std::optional<int32_t> Period = Parts.size() == 2 ? WholeNumber(Parts[1]) : std::nullopt;
    if (!InRange(Depth, 0, practice::MaxQsbDepthDb) ||
        !InRange(Period, practice::MinQsbPeriodSec, practice::MaxQsbPeriodSec))
      return RefuseOption(
          "--qsb must be DEPTH:PERIOD, a depth of 0 to 30 dB and a period of 2 to 30 s");
    Band.QsbDepthDb = *Depth;
    Band.QsbPeriodSec = *Period;
  }
  if (Set("qrm")) {
    const std::optional<int32_t> N = WholeNumber(Value("qrm"));
    if (!InRange(N, 0, practice::MaxQrm))
      return RefuseOption("--qrm must be a whole number of other stations from 0 to 3");
    Band.Qrm = *N;
  }
  if (Set("qrn")) {
    const std::optional<int32_t> N = WholeNumber(Value("qrn"));
    if (!InRange(N, 0, practice::MaxQrnPerMin))
      return RefuseOption(
          "--qrn must be a whole number of static crashes per minute from 0 to 100");
    Band.QrnPerMin = *N;
  }
  if (Set("fist")) {
    const std::optional<int32_t> Pct = WholeNumber(Value("fist"));
    if (!InRange(Pct, 0, practice::MaxFistPct))
      return RefuseOption("--fist must be a whole number of percent from 0 to 20");
    Band.FistPct = *Pct;
  }
  SetShippedDataDir(ShippedDataFolder(ExecutableFolder(), Build));
  // Without its folder the shipped data alone gives the course's files.
  static_cast<void>(EnterLearnerFolder(LearnerFolder()));
  return practice::RunPracticeCommand(Command);
}

// The command line, read on a core application before any window exists,
// so that it works without a display: an exit code when the program ends
// here (--help, --version: 0; an unknown option or an argument: the usage
// on standard error, 2), nothing when it goes on. Qt's own options of the
// window's application are accepted and left to it.
std::optional<int> CommandLineExit(int argc, char** argv, const TBuildPlace& Build) {
  int Argc = argc;
  const QCoreApplication Core(Argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("velm-mtr"));
  QCoreApplication::setApplicationVersion(QStringLiteral(VELM_VERSION));
  QCommandLineParser Parser;
  Parser.setApplicationDescription(
      QStringLiteral("VELM-MTR, a trainer for receiving Morse code by ear."));
  Parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption Help = Parser.addHelpOption();
  const QCommandLineOption Version = Parser.addVersionOption();
  const QCommandLineOption WriteAudio(QStringLiteral("write-audio"),
                                      QStringLiteral("Write a copy practice as an audio file (.wav, .flac, .ogg, "
                                                     ".mp3) and print its text."),
                                      QStringLiteral("file"));
  Parser.addOption(WriteAudio);
  for (const auto& [Name, Said, Arg] : std::initializer_list<std::array<const char*, 3>>{
           {"kind",
            "With --write-audio: groups, words, callsigns, contacts, abbreviations or text.",
            "kind"},
           {"text", "With --write-audio: the text to sound.", "string"},
           {"text-file", "With --write-audio: a text file to sound.", "file"},
           {"course", "With --write-audio: the course, en, de, ru or tr (default en).", "course"},
           {"wpm", "With --write-audio: character speed, 5 to 100 words per minute (default 25).",
            "wpm"},
           {"effective-wpm", "With --write-audio: effective speed, 2 up to --wpm (default --wpm).",
            "wpm"},
           {"tone", "With --write-audio: tone pitch, 300 to 1300 Hz (default 600).", "hz"},
           {"minutes", "With --write-audio: about how long (default 1).", "minutes"},
           {"seed",
            "With --write-audio: seed of the text and the band conditions drawn (default 1).", "n"},
           {"snr",
            "With --write-audio: noise at this signal-to-noise ratio, -10 to 30 dB, the tone's "
            "power "
            "against the noise's in 500 Hz around it (default no noise).",
            "db"},
           {"qsb",
            "With --write-audio: fading by up to DEPTH dB (0 to 30) about every PERIOD s (2 to 30) "
            "(default none).",
            "depth:period"},
           {"qrm", "With --write-audio: other stations within 400 Hz, 0 to 3 (default 0).", "n"},
           {"qrn", "With --write-audio: static crashes per minute, 0 to 100 (default 0).",
            "per-minute"},
           {"fist",
            "With --write-audio: a hand key's uneven element and space lengths, 0 to 20 % "
            "(default 0).",
            "percent"}})
    Parser.addOption(QCommandLineOption(QString::fromLatin1(Name), QString::fromLatin1(Said), QString::fromLatin1(Arg)));
  for (const char* Name : {"platform", "platformpluginpath", "platformtheme", "plugin", "display",
                           "geometry", "qwindowgeometry", "qwindowicon", "qwindowtitle", "style",
                           "stylesheet", "session", "name", "title"}) {
    QCommandLineOption Qt(QString::fromLatin1(Name), QString(), QStringLiteral("value"));
    Qt.setFlags(QCommandLineOption::HiddenFromHelp);
    Parser.addOption(Qt);
  }
  for (const char* Name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
    QCommandLineOption Qt(QString::fromLatin1(Name));
    Qt.setFlags(QCommandLineOption::HiddenFromHelp);
    Parser.addOption(Qt);
  }
  const bool Parsed = Parser.parse(QCoreApplication::arguments());
  if (!Parsed || !Parser.positionalArguments().isEmpty()) {
    const QString Error = !Parsed ? Parser.errorText()
                                  : QStringLiteral("Unexpected argument '%1'.")
                                        .arg(Parser.positionalArguments().constFirst());
    std::fprintf(stderr, "velm-mtr: %s\n\n%s", qPrintable(Error), qPrintable(Parser.helpText()));
    return 2;
  }
  // Qt's own options are listed by the parser itself, which then exits 0.
  if (Parser.isSet(QStringLiteral("help-all")))
    Parser.process(QCoreApplication::arguments());
  if (Parser.isSet(Help)) {
    std::fputs(qPrintable(Parser.helpText()), stdout);
    return 0;
  }
  if (Parser.isSet(Version)) {
    std::printf("velm-mtr %s\n", VELM_VERSION);
    return 0;
  }
  if (Parser.isSet(WriteAudio))
    return WriteAudioCommand(Parser, Build);
  for (const char* Name : {"kind", "text", "text-file", "course", "wpm", "effective-wpm", "tone",
                           "minutes", "seed", "snr", "qsb", "qrm", "qrn", "fist"})
    if (Parser.isSet(QString::fromLatin1(Name)))
      return RefuseOption("the practice's options go with --write-audio");
  return std::nullopt;
}

void NoDisplay() {
  const char* Display = std::getenv("DISPLAY");
  if (Display != nullptr && Display[0] != '\0')
    std::fprintf(stderr, "velm-mtr: the display \"%s\" cannot be opened, so the window cannot be shown.\n",
                 Display);
  else
    std::fprintf(stderr, "velm-mtr: no display (DISPLAY is not set), so the window cannot be shown.\n");
  std::fflush(stderr);
}

// The platform of the window's application is left to Qt's default, which
// on X11 and Wayland needs a display named in the environment.
bool NoDisplayNamed(int argc, char** argv) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  for (int I = 1; I < argc; ++I)
    if (std::strcmp(argv[I], "-platform") == 0 || std::strcmp(argv[I], "--platform") == 0)
      return false;
  for (const char* Name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* Value = std::getenv(Name); Value != nullptr && Value[0] != '\0')
      return false;
  return true;
#else
  static_cast<void>(argc);
  static_cast<void>(argv);
  return false;
#endif
}

// While the window's application opens its display: Qt ends the process
// with abort() and several lines when it cannot; the learner gets one line
// and the exit code 1 instead. The platform's other messages of that moment
// are held and passed on when the display opened.
QtMessageHandler PreviousHandler = nullptr;
struct THeldMessage {
  QtMsgType Type;
  QByteArray Category;
  QString Text;
};
std::vector<THeldMessage> HeldMessages;

void WhileOpeningDisplay(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
  if (Type == QtFatalMsg) {
    NoDisplay();
#ifdef Q_OS_UNIX
    ::_exit(1);
#else
    std::_Exit(1);
#endif
  }
  if (Context.category != nullptr && std::strncmp(Context.category, "qt.qpa", 6) == 0) {
    HeldMessages.push_back({Type, QByteArray(Context.category), Text});
    return;
  }
  if (PreviousHandler != nullptr)
    PreviousHandler(Type, Context, Text);
}

void DisplayOpened() {
  qInstallMessageHandler(PreviousHandler);
  for (const THeldMessage& M : HeldMessages) {
    const QMessageLogContext Context(nullptr, 0, nullptr, M.Category.constData());
    if (PreviousHandler != nullptr)
      PreviousHandler(M.Type, Context, M.Text);
  }
  HeldMessages.clear();
}

// A second copy on the learner's folder, whose first copy did not answer:
// says so in the learner's interface language (the record's layout, or the
// system's language when there is no record yet). Reads, never writes.
void TellRunsAlready(uint8_t FirstSprachNr) {
  uint8_t SprachNr = FirstSprachNr;
  std::vector<uint8_t> Record;
  if (ReadRecordBytes(KundFileName, KundSize, Record) == TRecordRead::Read &&
      Record.size() >= static_cast<size_t>(KundSize))
    SprachNr = Record[static_cast<size_t>(KundSize) - 1];
  const TLayout* Layout = LayoutOfNr(SprachNr);
  TTextLinks Links; // nothing shown, nothing closed
  std::string Text;
  if (Layout != nullptr && LoadTexts(Links, SprachNr) == TTextsLoad::Loaded)
    Text = storage::Texte.StartText[1];
  const QString Shown =
      Text.empty() ? QStringLiteral("VELM-MTR is already running for this learner. Use its window, or "
                                    "close it before starting the program again.")
                   : ToUnicode(Text, Layout->Charset);
  QMessageBox::information(nullptr, QApplication::applicationName(), Shown);
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
  if (const std::optional<int> Exit = CommandLineExit(argc, argv, Build))
    return *Exit;
  if (NoDisplayNamed(argc, argv)) {
    NoDisplay();
    return 1;
  }
  PreviousHandler = qInstallMessageHandler(WhileOpeningDisplay);
  // Qt reads its own options from the command line.
  QApplication App(argc, argv);
  DisplayOpened();
  QApplication::setApplicationName(QStringLiteral("VELM-MTR 2.1"));
  QApplication::setDesktopFileName(QStringLiteral("org.velmmtr.VelmMtr"));
  SetShippedDataDir(ShippedDataFolder(ExecutableFolder(), Build));
  // Without its folder the program goes on where it was started, and the
  // files it cannot write there are reported as they are saved.
  if (const std::optional<QString> Failure = EnterLearnerFolder(LearnerFolder()))
    QMessageBox::warning(nullptr, QApplication::applicationName(), *Failure);
  // A first start speaks the learner's language.
  const uint8_t FirstSprachNr = SprachNrOfLocale(QLocale::system().name());
  // One copy per learner's folder: a second one writes nothing. The first
  // listens at once, so that a second started now finds it; the requests
  // are taken once the window exists and the event loop runs.
  TAForm* Form = nullptr;
  // From here on a signal ends the program through the event loop, even
  // when a modal box is open at that moment; before the window exists there
  // is nothing to save.
  TTermSignal Stop([&Form] {
    if (Form != nullptr)
      Form->EndSession();
    QCoreApplication::quit();
  });
  TOneCopy Copy(QDir::currentPath());
  if (!Copy.First()) {
    if (Copy.AskFirstToFront())
      return 0;
    TellRunsAlready(FirstSprachNr);
    return 1;
  }
  Copy.Listen([&Form] {
    if (Form == nullptr)
      return;
    Form->setWindowState(Form->windowState() & ~Qt::WindowMinimized);
    Form->show();
    Form->raise();
    Form->activateWindow();
  });
  // The English page; each layout has its own (TLayout::HelpFile).
  SetApplicationHelpFile("VELMHelpEng.html");
  InstallFontSubstitutes();
  TVelm2 Program;
  Form = Program.AForm.get();
  Form->SetFirstSprachNr(FirstSprachNr);
  // The display lost: what the close saves is saved and the sound stopped
  // before the process ends.
  const TLostDisplayGuard LostDisplay([Form] {
    if (!Form->ClosedDown())
      Form->CloseSequence(false);
  });
  return Program.Run();
}
