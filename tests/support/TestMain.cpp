#include "support/WorkDir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#ifndef VELM_CORE_TESTS
#include <QApplication>
#endif

#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The temporary folders of one run of a test program lie in a folder of
// their own, removed when the run ends: also those of death tests' child
// processes (which end without tidying up, some as another user) and those a
// test leaves read-only or with names that are not UTF-8.
class TRunTempFolder {
public:
  TRunTempFolder() {
#ifdef Q_OS_UNIX
    if (std::getenv("VELM_TEST_RUN_TMP") != nullptr)
      return; // a child of this run: its parent removes the folder
    const char* Base = std::getenv("TMPDIR");
    std::string Template = std::string(Base != nullptr && *Base != '\0' ? Base : "/tmp") + "/velm-tests-XXXXXX";
    if (mkdtemp(Template.data()) == nullptr)
      return;
    // Children that have become an unprivileged user must reach their
    // folders inside.
    chmod(Template.c_str(), 0711);
    FPath = Template;
    setenv("TMPDIR", Template.c_str(), 1);
    setenv("VELM_TEST_RUN_TMP", Template.c_str(), 1);
#endif
  }
  ~TRunTempFolder() {
    if (!FPath.empty())
      TWorkDir::RemoveAll(FPath);
  }
  TRunTempFolder(const TRunTempFolder&) = delete;
  TRunTempFolder& operator=(const TRunTempFolder&) = delete;

private:
  std::filesystem::path FPath;
};

} // namespace

// Every test program runs in an application object, so that queued calls
// into the interface thread work as in the program. The folders without
// widgets get a core application only: their code must not need more.
int main(int argc, char** argv) {
  TRunTempFolder Temp;
#ifdef VELM_CORE_TESTS
  QCoreApplication App(argc, argv);
#else
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                   : qgetenv("QT_QPA_PLATFORM"));
  QApplication App(argc, argv);
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
