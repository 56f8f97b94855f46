#include "dialogs/dialog_rows.h"

CmdRows dialog_rows() { return {}; }
