// cube/cube.h -- the cube model: the one state record of the puzzle, what a
// layer turn does to its cells and stickers, and which faces are solved.
// No GL here: everything in this folder runs and is tested without a window.
#pragma once

constexpr int max_size = 3; // arrays are sized for the 3 x 3 x 3 cube
constexpr int max_cubies = max_size * max_size * max_size; // ids 1..27

// Faces: which side of the cube each sticker array covers. At start face f
// shows colour number f everywhere.
enum face_number {
    face_front = 1, // +Z, red
    face_down = 2,  // -Y, yellow
    face_back = 3,  // -Z, blue
    face_up = 4,    // +Y, orange
    face_left = 5,  // -X, white
    face_right = 6, // +X, green
};

// Colour numbers (0 means none); the same numbers colour cubie sides,
// stickers and the solved-face column.
enum colour_number {
    no_colour = 0,
    red = 1,
    yellow = 2,
    blue = 3,
    orange = 4,
    white = 5,
    green = 6
};

// The whole puzzle. Anyone reads; only the folder named on a field writes it.
// A 2 x 2 x 2 cube uses indices 0 and 1 of the same arrays; entries with an
// index of 2 then stay 0.
struct cube_state {
    int cube_size;                  // N: 0 until the menu, then 2 or 3     writes: app
    int layer_x, layer_y;           // chosen layer across X, across Y      writes: input
    int whole_x, whole_y;           // 1 while a whole-cube turn runs       writes: motion
    int view_delta[3];              // view spin per frame, degrees, X Y Z  writes: input
    int turn_axis;                  // 0: next turn about X, 1: about Y     writes: input, motion
    float view_angle[3];            // view rotation, degrees, X Y Z        writes: motion
    float turn_step_x, turn_step_y; // degrees per animation step           writes: input, motion
    // Each cubie's accumulated rotation, degrees, by id; [0] is unused.   writes: cube, motion
    float cubie_angle_x[max_cubies + 1];
    float cubie_angle_y[max_cubies + 1];
    float cubie_angle_z[max_cubies + 1];
    float cell_cubie[3][3][3]; // [x][y][z]: id of the cubie in the cell      writes: cube
    int cell_list[3][3][3];    // [x][y][z]: list compiled for the cell, fixed writes: cube
    int facelet[7][3][3];      // [face][row][column]: colour; face 0 holds 0 writes: cube
    int face_done[7];          // [face 1..6]: its colour if uniform, else 0  writes: cube
    int cubie_count;           // N cubed: 8 or 27                            writes: cube
};
extern cube_state cube; // zero until the menu; nothing is allocated

// Id of the cubie whose home is cell (x, y, z): 1 + x + N y + N^2 z.
int home_cubie(int x, int y, int z);

// Start-up, once the menu has set cube_size: cubie_count, cubie angles 0,
// every face its own colour, the solved-face check, and the solved cell grid
// (cell_cubie and cell_list both hold the home ids). Called by main before
// the display lists are built, and by tests to get a solved cube.
void init_cube_state();

// The logical effect of one quarter turn, called by motion/ after the last
// frame of a turn (once per layer for a whole-cube turn). axis 0 turns X layer
// x_layer by the sign of step_x, axis 1 turns Y layer y_layer by the sign of
// step_y; a zero step or another axis does nothing. Positive is +90 degrees
// by the right-hand rule. Moves the ids in cell_cubie and the stickers in
// facelet; nothing else.
void apply_layer_turn(int x_layer, int y_layer, int axis, int step_x, int step_y);

// Rewrites face_done[1..6] from facelet. Called at start-up and by motion/
// after every single-layer turn.
void update_face_status();
