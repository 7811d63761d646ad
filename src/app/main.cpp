#include <QApplication>

// Program entry of the trainer.
int main(int argc, char** argv) {
  QApplication App(argc, argv);
  QApplication::setApplicationName("VELM-MTR 2.1");
  return 0;
}
