#pragma once

// 1 when some marked element is a solid (a wall, a 3D line or a mesh), else 0.
int solid_any_marked();
