#include "shell/startup.h"

int main(int argc, char** argv) { return kavro_main(argc, argv); }
