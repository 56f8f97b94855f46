#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include "shell/gtk/mainwin.h"
