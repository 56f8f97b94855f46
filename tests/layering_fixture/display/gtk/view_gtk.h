#pragma once

#include <gtk/gtk.h>

#include "display/view.h"
