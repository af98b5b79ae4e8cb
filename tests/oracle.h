// tests/oracle.h -- a physical cube sharing no code with the model: integer cubie centres and
// side normals turned by integer quarter rotations. The model, motion and picture tests use it.
#pragma once
#include "cube.h"

#include <array>
#include <string>
#include <vector>

namespace oracle
{

inline void start(int n) // the model, solved
{
    cube = cube_state{};
    cube.cube_size = n;
    init_cube_state();
}

using vec = std::array<int, 3>;
using cubie = std::array<vec, 7>; // [0]: the centre; [k]: where the side of colour k points
// Outward normal of faces 1..6 (+Z -Y -Z +Y -X +X); at start side f shows colour f.
const vec normal[7] = {{}, {0, 0, 1}, {0, -1, 0}, {0, 0, -1}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};

// Right-handed, about axis 0, 1 or 2, by a whole multiple of 90 degrees.
inline void rotate(cubie &c, int axis, int degrees)
{
    int i = (axis + 1) % 3, j = (axis + 2) % 3;
    for (int k = (degrees / 90 % 4 + 4) % 4; k > 0; --k)
        for (vec &v : c) std::swap(v[i], v[j]), v[i] = -v[i];
}

struct physical {
    const int n = cube.cube_size;
    std::vector<cubie> cubies; // by id - 1
    int at(int index) const { return 2 * index - n + 1; }

    // Solved (the cubie starting in cell x, y, z is 1 + x + N y + N^2 z), or as the frame
    // draws the model at rest: each cubie turned by Rx(X) Ry(Y) Rz(Z).
    explicit physical(bool drawn = false)
    {
        const float *angle[3] = {cube.cubie_angle_x, cube.cubie_angle_y, cube.cubie_angle_z};
        for (int i = 0; i < n * n * n; ++i) {
            cubies.push_back({vec{at(i % n), at(i / n % n), at(i / n / n)}});
            std::copy(normal + 1, normal + 7, cubies.back().begin() + 1);
            for (int axis = 2; drawn && axis >= 0; --axis)
                rotate(cubies.back(), axis, int(angle[axis][i + 1]));
        }
    }

    // Layer `layer` (-1: all) across axis 0 (X) or 1 (Y) by +90 (sign 1) or -90.
    void turn(int axis, int layer, int sign)
    {
        for (cubie &c : cubies)
            if (layer < 0 || c[0][axis] == at(layer)) rotate(c, axis, 90 * sign);
    }

    // Every cell, sticker (and face_done entry) where the model differs. Face table: the
    // cells on face f's side; the row and column of their sticker.
    std::string mismatch(bool with_done = false) const
    {
        std::string out;
        int want[7][3][3] = {}, p = n - 1;
        for (int id = 1; id <= n * n * n; ++id) {
            const cubie &c = cubies[id - 1];
            const int x = (c[0][0] + p) / 2, y = (c[0][1] + p) / 2, z = (c[0][2] + p) / 2;
            const int table[7][3] = {
                {0, 0, 0},      {z == p, x, p - y}, {y == 0, x, p - z},    {z == 0, x, y},
                {y == p, x, z}, {x == 0, z, p - y}, {x == p, p - z, p - y}};
            for (int k = 1; k <= 6; ++k)
                for (int f = 1; f <= 6; ++f)
                    if (c[k] == normal[f] && table[f][0]) want[f][table[f][1]][table[f][2]] = k;
            if (cube.cell_cubie[x][y][z] != id) out += "cubie " + std::to_string(id) + "; ";
        }
        for (int f = 1; f <= 6; ++f) {
            int uniform = want[f][0][0];
            for (int i = 0; i < n * n; ++i) {
                uniform = want[f][i / n][i % n] == uniform ? uniform : 0;
                if (cube.facelet[f][i / n][i % n] != want[f][i / n][i % n])
                    out += "face " + std::to_string(f) + " sticker " + std::to_string(i) + "; ";
            }
            if (with_done && cube.face_done[f] != uniform) out += "face_done " + std::to_string(f);
        }
        return out;
    }
};

} // namespace oracle
