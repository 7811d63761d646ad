#include "app/Velm2.h"

// Program entry of the trainer.
int main(int argc, char** argv) { return Velm2Main(argc, argv); }
