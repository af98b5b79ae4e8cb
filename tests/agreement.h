// tests/agreement.h -- what the frame draws against what the model holds:
// each cubie's three angles as exact integer rotations, checked against the
// cell grid and the stickers. Shared by the motion and the render tests.
#pragma once
#include "cube.h"

#include <array>
#include <string>

namespace agreement
{

using vec = std::array<int, 3>;
using mat = std::array<vec, 3>;

// Integer rotation by a multiple of 90 degrees, right-handed about axis 0, 1 or 2.
inline mat rotation(int axis, float angle)
{
    int k = ((int(angle) / 90) % 4 + 4) % 4;
    int c = std::array<int, 4>{1, 0, -1, 0}[k], s = std::array<int, 4>{0, 1, 0, -1}[k];
    int i = (axis + 1) % 3, j = (axis + 2) % 3;
    mat m{};
    m[axis][axis] = 1;
    m[i][i] = c, m[i][j] = -s, m[j][i] = s, m[j][j] = c;
    return m;
}

inline mat times(const mat &a, const mat &b)
{
    mat m{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) m[r][c] += a[r][k] * b[k][c];
    return m;
}

inline vec times(const mat &a, const vec &v)
{
    vec w{};
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k) w[r] += a[r][k] * v[k];
    return w;
}

// What the frame draws: Rx(X) Ry(Y) Rz(Z) applied to the cubie at its home.
inline mat orientation(int id)
{
    return times(times(rotation(0, cube.cubie_angle_x[id]), rotation(1, cube.cubie_angle_y[id])),
                 rotation(2, cube.cubie_angle_z[id]));
}

inline const vec face_normal[7] = {{0, 0, 0}, {0, 0, 1},  {0, -1, 0}, {0, 0, -1},
                                   {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};

// The sticker of cell (x, y, z) on face f, by the face table.
inline int sticker(int f, int x, int y, int z)
{
    int p = cube.cube_size - 1;
    int rc[7][2] = {{0, 0}, {x, p - y}, {x, p - z}, {x, y}, {x, z}, {z, p - y}, {p - z, p - y}};
    return cube.facelet[f][rc[f][0]][rc[f][1]];
}

inline int face_of(const vec &normal)
{
    for (int f = 1; f <= 6; ++f)
        if (face_normal[f] == normal) return f;
    return 0;
}

// At rest: entry 0 untouched; every angle -180, -90, 0 or 90; a quarter X
// angle only with a Y angle of 0 or -180 and the other way round; each
// cubie's drawn orientation takes its home centre to the cell that holds it
// and each coloured side to a sticker of that colour.
inline std::string rest_fault()
{
    int n = cube.cube_size, p = n - 1;
    auto rest = [](float a) { return a == -180 || a == -90 || a == 0 || a == 90; };
    auto quarter = [](float a) { return a == 90 || a == -90; };
    if (cube.cubie_angle_x[0] != 0 || cube.cubie_angle_y[0] != 0 || cube.cubie_angle_z[0] != 0)
        return "unused entry 0 turned";
    for (int id = 1; id <= cube.cubie_count; ++id) {
        float x = cube.cubie_angle_x[id], y = cube.cubie_angle_y[id], z = cube.cubie_angle_z[id];
        if (!rest(x) || !rest(y) || !rest(z) || (quarter(x) && quarter(y)))
            return "cubie " + std::to_string(id) + " not at rest";
    }
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                int id = int(cube.cell_cubie[x][y][z]);
                std::string where = "cubie " + std::to_string(id) + " in cell " +
                                    std::to_string(x) + std::to_string(y) + std::to_string(z);
                if (id < 1 || id > cube.cubie_count) return where;
                vec home{2 * ((id - 1) % n) - p, 2 * ((id - 1) / n % n) - p,
                         2 * ((id - 1) / n / n) - p};
                mat m = orientation(id);
                if (times(m, home) != vec{2 * x - p, 2 * y - p, 2 * z - p})
                    return where + " drawn elsewhere";
                for (int f = 1; f <= 6; ++f) {
                    vec nf = face_normal[f];
                    if (home[0] * nf[0] + home[1] * nf[1] + home[2] * nf[2] != p) continue;
                    if (sticker(face_of(times(m, nf)), x, y, z) != f)
                        return where + ": side of colour " + std::to_string(f) +
                               " not on its sticker";
                }
            }
    return "";
}

} // namespace agreement
