// render/render.h -- drawing: the square primitives, one display list per
// cubie, the frame, and the yellow frame around the chosen layer.
#pragma once

// A filled square of side 2 half in the local XY plane, in the current colour.
// Used by draw_cubie and by display() for the solved-face column.
void draw_square_fill(float half);

// The outline of the same square, line width 3, in the current colour.
void draw_square_outline(float half);

// One cubie centred on the local origin: six coloured faces edged in black.
// Used only while compiling the display lists.
void draw_cubie(float half);

// Start-up, once the window exists and the cell grid is filled: compiles
// display list cell_list[x][y][z] with the cubie drawn at its home cell.
void build_cubie_lists();

// The GLUT display callback, also called by animate_turn after every step of
// a layer turn: one whole frame, ending in a buffer swap.
void display();

// Called by display() last in the frame: the yellow outline of layer
// index_x across X (axis 0) or index_y across Y (axis 1) of an n-cube.
void draw_selection_frame(float n, int axis, float index_x, float index_y);

// One closed rectangle of the selection frame, half-size hx by hy at depth z.
void draw_frame_edge(float hx, float hy, float z);
