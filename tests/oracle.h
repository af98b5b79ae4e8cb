// tests/oracle.h -- a physical cube sharing no code with the model: cubie centres and side
// directions, in half cubie widths, turned as rigid bodies. The model, motion and picture tests
// use it.
#pragma once
#include "cube.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace oracle
{

// The model, solved.
inline void start(int n)
{
    cube = cube_state{};
    cube.cube_size = n;
    init_cube_state();
}

using vec = std::array<double, 3>;
// [0]: the centre; [k]: the way the side of colour k faces.
using cubie = std::array<vec, 7>;

// A cubie at the centre, its sides facing their faces: [f] is the outward normal of face f.
const cubie normal = {vec{}, {0, 0, 1}, {0, -1, 0}, {0, 0, -1}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};
// The stickers of face f count their rows up toward face row_toward[f], their columns toward
// column_toward[f].
const int row_toward[7] = {0, 6, 6, 6, 6, 1, 3};
const int column_toward[7] = {0, 2, 3, 4, 1, 2, 2};
// A right-handed turn about axis [a] takes the direction of axis [a][0] toward that of [a][1].
const int turned_axes[3][2] = {{1, 2}, {2, 0}, {0, 1}};

inline double dot(const vec &a, const vec &b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// p turned right-handed about axis 0, 1 or 2.
inline vec turned(const vec &p, int axis, double degrees)
{
    int i = turned_axes[axis][0];
    int j = turned_axes[axis][1];
    double r = degrees * std::acos(-1.0) / 180;
    vec q = p;
    q[i] = p[i] * std::cos(r) - p[j] * std::sin(r);
    q[j] = p[i] * std::sin(r) + p[j] * std::cos(r);
    return q;
}

// Coordinates within a millionth of a whole number are taken for it: a whole multiple of 90
// degrees leaves them whole, any other angle does not.
inline void rotate(cubie &c, int axis, double degrees)
{
    for (vec &v : c) {
        v = turned(v, axis, degrees);
        for (double &x : v) x = std::round(x * 1e6) / 1e6;
    }
}

struct physical {
    int n = cube.cube_size;
    cubie cubies[max_cubies + 1]; // by id; [0] unused

    // Cell index to centre coordinate, and back.
    double at(int index) const { return 2 * index - n + 1; }
    int index(double at) const { return int(at + n - 1) / 2; }

    // The cube as the frame draws the model at rest: each cubie from its home cell by
    // Rx(X) Ry(Y) Rz(Z) of its angles. Right after the start, the solved cube.
    physical()
    {
        int id = 1;
        for (int z = 0; z < n; ++z)
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x) {
                    cubie &c = cubies[id];
                    c = normal;
                    c[0] = {at(x), at(y), at(z)};
                    rotate(c, 2, cube.cubie_angle_z[id]);
                    rotate(c, 1, cube.cubie_angle_y[id]);
                    rotate(c, 0, cube.cubie_angle_x[id]);
                    ++id;
                }
    }

    // Layer `layer` (-1: all) across axis 0 (X) or 1 (Y), by a whole multiple of 90 degrees.
    void turn(int axis, int layer, double degrees)
    {
        for (int id = 1; id <= n * n * n; ++id)
            if (layer < 0 || cubies[id][0][axis] == at(layer)) rotate(cubies[id], axis, degrees);
    }

    // Cells and stickers where the model differs, and colours solved on one and not the other: a
    // colour is solved when a face shows it alone, and face_done lists each solved colour once. A
    // cubie turned by an angle other than a whole multiple of 90 degrees counts too.
    int mismatches() const
    {
        int wrong = 0;
        int shown[7][7] = {}; // [colour][face]: stickers
        for (int id = 1; id <= n * n * n; ++id) {
            const cubie &c = cubies[id];
            for (const vec &v : c)
                for (double x : v)
                    if (x != std::round(x)) ++wrong;
            if (cube.cell_cubie[index(c[0][0])][index(c[0][1])][index(c[0][2])] != id) ++wrong;
            for (int f = 1; f <= 6; ++f)
                for (int k = 1; k <= 6; ++k) {
                    if (c[k] != normal[f] || dot(c[0], normal[f]) != n - 1) continue;
                    ++shown[k][f];
                    int row = index(dot(c[0], normal[row_toward[f]]));
                    int column = index(dot(c[0], normal[column_toward[f]]));
                    if (cube.facelet[f][row][column] != k) ++wrong;
                }
        }
        for (int k = 1; k <= 6; ++k) {
            auto faces_alone = std::count(shown[k], shown[k] + 7, n * n);
            auto faces_listed = std::count(cube.face_done + 1, cube.face_done + 7, k);
            if (faces_alone != faces_listed) ++wrong;
        }
        return wrong;
    }
};

} // namespace oracle
