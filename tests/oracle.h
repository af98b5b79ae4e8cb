// tests/oracle.h -- a physical cube that shares no code with the model: each
// cubie an integer centre (2 i - (N - 1) per axis) and the directions its
// coloured sides point in, turned by integer quarter rotations. The model,
// motion and picture tests all check the program against it.
#pragma once
#include "cube.h"

#include <array>
#include <string>
#include <vector>

namespace oracle
{

using vec = std::array<int, 3>;
// Outward normal of faces 1..6 (+Z -Y -Z +Y -X +X); at start side f shows colour f.
const vec normal[7] = {{}, {0, 0, 1}, {0, -1, 0}, {0, 0, -1}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};

// v turned right-handedly about axis 0, 1 or 2 by a whole multiple of 90 degrees.
inline vec rotate(vec v, int axis, int degrees)
{
    for (int k = (degrees / 90 % 4 + 4) % 4; k > 0; --k)
        std::swap(v[(axis + 1) % 3], v[(axis + 2) % 3]), v[(axis + 1) % 3] *= -1;
    return v;
}

struct cubie {
    int id;
    vec centre, side[7]; // side[k]: where the side of colour k points

    void turn(int axis, int degrees)
    {
        centre = rotate(centre, axis, degrees);
        for (vec &s : side) s = rotate(s, axis, degrees);
    }
};

struct physical {
    const int n = cube.cube_size;
    std::vector<cubie> cubies;
    int at(int index) const { return 2 * index - n + 1; }
    int index(int at) const { return (at + n - 1) / 2; }

    // Solved: the cubie that starts in cell (x, y, z) is 1 + x + N y + N^2 z.
    physical()
    {
        for (int i = 0; i < n * n * n; ++i) {
            cubies.push_back({i + 1, {at(i % n), at(i / n % n), at(i / n / n)}, {}});
            std::copy(normal, normal + 7, cubies.back().side);
        }
    }

    // Layer `layer` across axis 0 (X) or 1 (Y) turned by +90 (sign 1) or -90 degrees.
    void turn(int axis, int layer, int sign)
    {
        for (cubie &cb : cubies)
            if (cb.centre[axis] == at(layer)) cb.turn(axis, 90 * sign);
    }
    void turn_whole(int axis, int sign)
    {
        for (int layer = 0; layer < n; ++layer) turn(axis, layer, sign);
    }

    // Colour of the sticker in row r, column c of face f: the cell by the
    // face table, then the side of its cubie that points out of face f.
    int sticker(int f, int r, int c) const
    {
        const int p = n - 1, cell[7][3] = {{},        {r, p - c, p}, {r, 0, p - c},    {r, c, 0},
                                           {r, p, c}, {0, p - c, r}, {p, p - c, p - r}};
        for (const cubie &cb : cubies)
            for (int k = 1; k <= 6; ++k)
                if (cb.centre == vec{at(cell[f][0]), at(cell[f][1]), at(cell[f][2])} &&
                    cb.side[k] == normal[f])
                    return k;
        return -1;
    }

    // Every cell and sticker (and, if asked, face_done entry) in which the
    // model differs; "" if none.
    std::string mismatch(bool with_done = false) const
    {
        std::string out;
        for (const cubie &cb : cubies)
            if (cube.cell_cubie[index(cb.centre[0])][index(cb.centre[1])][index(cb.centre[2])] !=
                cb.id)
                out += "cubie " + std::to_string(cb.id) + " not in its cell; ";
        for (int f = 1; f <= 6; ++f) {
            int uniform = sticker(f, 0, 0);
            for (int i = 0; i < n * n; ++i) {
                uniform = sticker(f, i / n, i % n) == uniform ? uniform : 0;
                if (cube.facelet[f][i / n][i % n] != sticker(f, i / n, i % n))
                    out += "face " + std::to_string(f) + " sticker " + std::to_string(i) + "; ";
            }
            if (with_done && cube.face_done[f] != uniform) out += "face_done " + std::to_string(f);
        }
        return out;
    }
};

// What the frame draws at rest: each cubie turned by Rx(X) Ry(Y) Rz(Z) of its angles.
inline physical as_drawn()
{
    physical pc;
    const float *angle[3] = {cube.cubie_angle_x, cube.cubie_angle_y, cube.cubie_angle_z};
    for (cubie &cb : pc.cubies)
        for (int axis : {2, 1, 0}) cb.turn(axis, int(angle[axis][cb.id]));
    return pc;
}

} // namespace oracle
