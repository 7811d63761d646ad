#pragma once

#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

class QWidget;
class TAForm;
class TAboutBox;
class TGrForm;
class TMemForm;
class TMessageReporter;
class TShell;
class TTickTimer;
class TWaveDevice;

// The program's four windows, made in this order: the main window first, so
// that it is the application's main window, then the replay window, the
// about box and the congratulation window. All live until the program ends.
class TVelm2 {
  // The real wave output, message boxes, desktop and timers, when none are
  // handed in; first, so that they outlive the windows.
  struct TParts;
  std::unique_ptr<TParts> FParts;

public:
  // The real parts: ArbTimer a threaded timer with its worker at the lowest
  // priority, Timer1 a window timer, both disabled.
  TVelm2();
  // Given parts, for tests.
  TVelm2(TWaveDevice& Device, TMessageReporter& Reporter, TTickTimer& ArbTimer, TTickTimer& Timer1,
         TTickTimer& MemTimer, TShell& Shell);
  ~TVelm2();
  TVelm2(const TVelm2&) = delete;
  TVelm2& operator=(const TVelm2&) = delete;

  std::unique_ptr<TAForm> AForm;
  std::unique_ptr<TMemForm> MemForm;
  std::unique_ptr<TAboutBox> AboutBox;
  std::unique_ptr<TGrForm> GrForm;
  // The windows in the order they were made.
  std::vector<QWidget*> Windows;

  // Shows the main window and runs the event loop until it closes.
  int Run();

  // The end of the desktop session and the application's quit run the
  // close sequence without its question. Run does this itself.
  void ConnectEnd();

private:
  void CreateRest(TTickTimer* MemTimer);
};

// The learner's own folder, which holds what the program writes (CWK.dat,
// Int.mtr) and any data file that replaces a shipped one:
// $XDG_DATA_HOME/velm-mtr, by default ~/.local/share/velm-mtr; elsewhere the
// platform's per-user application data folder.
std::filesystem::path LearnerFolder();
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// The same from the two variables' values (null when unset). A relative
// XDG_DATA_HOME counts as unset. Empty when neither gives a folder.
std::filesystem::path LearnerFolderFrom(const char* XdgDataHome, const char* Home);
#endif

// Creates Folder with its parents and makes it the working directory.
// Nothing when that worked; otherwise the working directory is left as it
// was and the text says which folder could not be made and why.
std::optional<QString> EnterLearnerFolder(const std::filesystem::path& Folder);

// Where the program was built: the folder its binary is made in and the
// source tree's data folder. Both empty for none.
struct TBuildPlace {
  std::filesystem::path BinDir;
  std::filesystem::path SourceData;
};

// The shipped data folder for a program whose binary lies in ExeDir: the
// source tree's data/ while it sits where it was built, otherwise the data
// folder of its installation, found relative to ExeDir.
std::filesystem::path ShippedDataFolder(const std::filesystem::path& ExeDir,
                                        const TBuildPlace& Build);

// Program entry: the command line (--help, --version, Qt's own options),
// initial values, the learner's folder as the working directory, one copy
// per folder, the shipped data folder, the application with its title and
// help file, the four windows, the event loop. Without a display it says so
// in one line and returns 1.
int Velm2Main(int argc, char** argv, const TBuildPlace& Build = {});
