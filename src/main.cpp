#include "shell/gtk/startup.h"

int main(int argc, char** argv) { return kavro_main(argc, argv); }
