#include <glib/gi18n.h>

#include "shell/gtk/mainwin.h"
