#pragma once

// The toolkit's wait backend: each level is one nested gtk_main, and ending
// the innermost level quits that gtk_main. Install it with wait_set_backend
// after gtk_init.

#include "display/wait.h"

WaitBackend* wait_gtk_backend();
