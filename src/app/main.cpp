#include "app/Velm2.h"

// Program entry of the trainer. The build places are compiled into this file
// alone; they matter only while the binary sits in the build tree.
int main(int argc, char** argv) {
  return Velm2Main(argc, argv, {VELM_BUILD_BIN_DIR, VELM_SOURCE_DATA_DIR});
}
