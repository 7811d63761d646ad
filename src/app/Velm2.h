#pragma once

#include <memory>
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
public:
  // The real parts.
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

// Program entry: initial values, the application with its title and help
// file, the four windows, the event loop. No argument is read; data files
// are found by bare name in the working directory.
int Velm2Main(int argc, char** argv);
