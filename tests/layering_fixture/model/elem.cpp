#include "model/elem.h"

#include <vector>

#include "display/view.h"
#include "platform/spawn.h"
// #include <gtk/gtk.h>
