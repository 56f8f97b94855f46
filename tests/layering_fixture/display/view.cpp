#include "display/view.h"

#include <cairo.h>
#include <gtk/gtk.h>

#include "../shell/cmd_loop.h"
#include "display/gtk/view_gtk.h"
#include "draw.h"
#include "model/elem.h"
#include "platform/spawn.h"
