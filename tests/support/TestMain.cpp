#include <QCoreApplication>
#include <gtest/gtest.h>

#ifndef VELM_CORE_TESTS
#include <QApplication>
#endif

// Every test program runs in an application object, so that queued calls
// into the interface thread work as in the program. The folders without
// widgets get a core application only: their code must not need more.
int main(int argc, char** argv) {
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
