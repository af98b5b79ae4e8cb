// placeholder
#include "render.h"
void draw_square_fill(float) {}
void draw_square_outline(float) {}
void draw_cubie(float) {}
void build_cubie_lists() {}
