#pragma once

#include <gtk/gtk.h>

#include "dialogs/line_dialog.h"
#include "shell/cmd_loop.h"
