#include <glib-object.h>
#include <gtk/gtk.h>
