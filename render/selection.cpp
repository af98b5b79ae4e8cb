// placeholder
#include "render.h"
void draw_selection_frame(float, int, float, float) {}
void draw_frame_edge(float, float, float) {}
