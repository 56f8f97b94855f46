#pragma once

// Clean-up commands on the current layer. Each makes its removal one undo
// step; marks left over from an earlier command are cleared first, so only
// what the command finds is removed.

// p_glminus: removes every guide element (pen PEN_GUIDE) of cur_layer.
void cmd_p_glminus();
// p_tools_remdup: removes lines and arcs of cur_layer that equal an earlier
// one exactly, and reports how many of each it removed.
void cmd_p_tools_remdup();
