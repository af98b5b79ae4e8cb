// cube/layer_turn.cpp -- the logical quarter turn of one layer: which cell each
// cubie id moves to, which stickers the four side faces pass on, and the turn
// of the end face when the layer is the first or the last.
#include "cube.h"

#include <cstring>

namespace
{

// How each of the four cases moves things. Cells and end faces turn by the
// same 4-cycles over a square; `cells_forward` picks the cycle order (see
// square_cycle). `sides` lists the faces that trade a row or column of
// stickers: each receives from the next, the last from the first.
struct turn_case {
    bool cells_forward;
    int sides[4];
    int end_first, end_last;          // end face at layer 0 and at layer p
    bool first_forward, last_forward; // their cycle orders
};

// Indexed by 2 * axis + (step > 0): X-, X+, Y-, Y+.
constexpr turn_case turn_cases[4] = {
    {true, {face_front, face_down, face_back, face_up}, face_left, face_right, true, false},
    {false, {face_front, face_up, face_back, face_down}, face_left, face_right, false, true},
    {false, {face_front, face_right, face_back, face_left}, face_down, face_up, true, false},
    {true, {face_front, face_left, face_back, face_right}, face_down, face_up, false, true},
};

// Cycle q of an N x N square as four (i, j) positions, each receiving the
// content of the next one and the last the first's. Forward order is a
// clockwise turn of a face drawn with row 0 on top and column 0 on the left.
void square_cycle(int q, bool forward, int at[4][2])
{
    int p = cube.cube_size - 1;
    const int clockwise[4][2] = {{0, q}, {p - q, 0}, {p, p - q}, {q, p}};
    const int counter[4][2] = {{0, q}, {q, p}, {p, p - q}, {p - q, 0}};
    std::memcpy(at, forward ? clockwise : counter, sizeof clockwise);
}

// The square of cells in a layer: (a, i, j) across X, (i, b, j) across Y.
float &layer_cell(int axis, int layer, const int at[2])
{
    if (axis == 0) return cube.cell_cubie[layer][at[0]][at[1]];
    return cube.cell_cubie[at[0]][layer][at[1]];
}

// Step 1. Ids are whole numbers stored as floats; the saved one goes through
// an int as everywhere else an id is used as an index.
void turn_cells(int axis, int layer, bool forward)
{
    for (int q = 0; q < cube.cube_size - 1; ++q) {
        int at[4][2];
        square_cycle(q, forward, at);
        int saved = int(layer_cell(axis, layer, at[0]));
        for (int k = 0; k < 3; ++k)
            layer_cell(axis, layer, at[k]) = layer_cell(axis, layer, at[k + 1]);
        layer_cell(axis, layer, at[3]) = float(saved);
    }
}

// Sticker k of the row or column that a layer shows on a side face: row a of
// faces 1..4 for X; for Y column p - b of faces 1, 5, 6 and column b of face
// 3, which runs the other way, so its rows count from the bottom.
int &side_sticker(int axis, int layer, int face, int k)
{
    int p = cube.cube_size - 1;
    if (axis == 0) return cube.facelet[face][layer][k];
    if (face == face_back) return cube.facelet[face][p - k][layer];
    return cube.facelet[face][k][p - layer];
}

// Step 2: one saved row or column (face 1's) and three copies.
void carry_sides(int axis, int layer, const int sides[4])
{
    int n = cube.cube_size;
    int saved[max_size];
    for (int k = 0; k < n; ++k) saved[k] = side_sticker(axis, layer, sides[0], k);
    for (int s = 0; s < 3; ++s)
        for (int k = 0; k < n; ++k)
            side_sticker(axis, layer, sides[s], k) = side_sticker(axis, layer, sides[s + 1], k);
    for (int k = 0; k < n; ++k) side_sticker(axis, layer, sides[3], k) = saved[k];
}

// Step 3: the border of the end face in 4-cycles; a 3 x 3 centre stays.
void turn_face(int face, bool forward)
{
    for (int q = 0; q < cube.cube_size - 1; ++q) {
        int at[4][2];
        square_cycle(q, forward, at);
        int saved = cube.facelet[face][at[0][0]][at[0][1]];
        for (int k = 0; k < 3; ++k)
            cube.facelet[face][at[k][0]][at[k][1]] = cube.facelet[face][at[k + 1][0]][at[k + 1][1]];
        cube.facelet[face][at[3][0]][at[3][1]] = saved;
    }
}

} // namespace

void apply_layer_turn(int x_layer, int y_layer, int axis, int step_x, int step_y)
{
    if (axis != 0 && axis != 1) return;
    int step = axis == 0 ? step_x : step_y;
    if (step == 0) return;
    int layer = axis == 0 ? x_layer : y_layer;
    const turn_case &how = turn_cases[2 * axis + (step > 0 ? 1 : 0)];
    turn_cells(axis, layer, how.cells_forward);
    carry_sides(axis, layer, how.sides);
    if (layer == 0) turn_face(how.end_first, how.first_forward);
    if (layer == cube.cube_size - 1) turn_face(how.end_last, how.last_forward);
}
