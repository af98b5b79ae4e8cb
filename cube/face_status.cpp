// cube/face_status.cpp -- the solved-face check: which faces show one colour,
// read from the stickers alone, never from the drawn cubies.
#include "cube.h"

namespace
{

// The colour of face f if all its N x N stickers match row 0, column 0; else 0.
int uniform_colour(int f)
{
    int n = cube.cube_size;
    int reference = cube.facelet[f][0][0];
    int count = 0;
    for (int c = 0; c < n; ++c)
        for (int r = 0; r < n; ++r)
            if (cube.facelet[f][r][c] == reference) ++count;
    return count == n * n ? reference : 0;
}

} // namespace

void update_face_status()
{
    for (int f = face_front; f <= face_right; ++f) cube.face_done[f] = uniform_colour(f);
}
