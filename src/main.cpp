#include "platform/own_folder.h"
#include "shell/gtk/startup.h"

int main(int argc, char** argv) { return kavro_main(argc, argv, own_folder()); }
