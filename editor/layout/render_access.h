// The library's renderer, seen beside the circuit records.
//
// The renderer's frame header and the circuit records both declare the
// grid point helpers (pack_point, point_x, point_y); the renderer's copies
// are renamed here so the two headers can meet in one file.
#pragma once

#include "editor/files/circuit.h"

#define pack_point library_pack_point
#define point_x library_point_x
#define point_y library_point_y
#include "editor/library/render.h"
#undef pack_point
#undef point_x
#undef point_y
