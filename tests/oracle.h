// tests/oracle.h -- a physical cube sharing no code with the model: integer cubie centres and
// side directions turned by quarter rotations. The model, motion and picture tests use it.
#pragma once
#include "cube.h"

#include <array>
#include <numeric>
#include <string>
#include <vector>

namespace oracle
{

// The model, solved.
inline void start(int n)
{
    cube = cube_state{};
    cube.cube_size = n;
    init_cube_state();
}

using vec = std::array<int, 3>;
// [0]: the centre, in half cubie widths; [k]: the way the side of colour k faces.
using cubie = std::array<vec, 7>;

// A cubie at the centre, its sides facing their faces: [f] is the outward normal of face f.
const cubie normal = {vec{}, {0, 0, 1}, {0, -1, 0}, {0, 0, -1}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};
// The stickers of face f count their rows up toward face row_toward[f], their columns toward
// column_toward[f].
const int row_toward[7] = {0, 6, 6, 6, 6, 1, 3};
const int column_toward[7] = {0, 2, 3, 4, 1, 2, 2};

inline int dot(const vec &a, const vec &b)
{
    return std::inner_product(a.begin(), a.end(), b.begin(), 0);
}

// Right-handed, about axis 0, 1 or 2, by a whole multiple of 90 degrees down to -270.
inline void rotate(cubie &c, int axis, float degrees)
{
    int i = (axis + 1) % 3;
    int j = (axis + 2) % 3;
    for (int turned = 0; turned < (int(degrees) / 90 + 4) % 4; ++turned)
        for (vec &v : c) { // (a, b) to (-b, a)
            std::swap(v[i], v[j]);
            v[i] = -v[i];
        }
}

struct physical {
    const int n = cube.cube_size;
    std::vector<cubie> cubies; // by id - 1

    // Cell index to centre coordinate, and back.
    int at(int index) const { return 2 * index - n + 1; }
    int index(int at) const { return (at + n - 1) / 2; }

    // Solved, or (drawn) as the frame draws the model at rest: each cubie by Rx(X) Ry(Y) Rz(Z).
    physical(bool drawn = false)
    {
        const float *angle[3] = {cube.cubie_angle_x, cube.cubie_angle_y, cube.cubie_angle_z};
        for (int z = 0; z < n; ++z)
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x) {
                    cubie c = normal;
                    c[0] = {at(x), at(y), at(z)};
                    for (int axis = 2; drawn && axis >= 0; --axis)
                        rotate(c, axis, angle[axis][cubies.size() + 1]);
                    cubies.push_back(c);
                }
    }

    // Layer `layer` (-1: all) across axis 0 (X) or 1 (Y) by +90 (sign 1) or -90.
    void turn(int axis, int layer, int sign)
    {
        for (cubie &c : cubies)
            if (layer < 0 || c[0][axis] == at(layer)) rotate(c, axis, 90 * sign);
    }

    // Every cell and sticker where the model differs; with_done, face_done entries too.
    std::string mismatch(bool with_done = false) const
    {
        std::string out;
        bool mixed[7] = {}; // a face showing a colour other than its sticker [0][0]'s
        for (int id = 1; id <= n * n * n; ++id) {
            const cubie &c = cubies[id - 1];
            if (cube.cell_cubie[index(c[0][0])][index(c[0][1])][index(c[0][2])] != id)
                out += " cell of cubie " + std::to_string(id);
            for (int f = 1; f <= 6; ++f)
                for (int k = 1; k <= 6; ++k) {
                    if (c[k] != normal[f] || dot(c[0], normal[f]) != n - 1) continue;
                    const int row = index(dot(c[0], normal[row_toward[f]]));
                    const int column = index(dot(c[0], normal[column_toward[f]]));
                    if (cube.facelet[f][row][column] != k)
                        out += " sticker of face " + std::to_string(f);
                    if (k != cube.facelet[f][0][0]) mixed[f] = true;
                }
        }
        for (int f = 1; with_done && f <= 6; ++f) {
            const int uniform = mixed[f] ? 0 : cube.facelet[f][0][0];
            if (cube.face_done[f] != uniform) out += " face_done " + std::to_string(f);
        }
        return out;
    }
};

} // namespace oracle
