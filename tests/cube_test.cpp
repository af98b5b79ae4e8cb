// tests/cube_test.cpp -- the cube model against the physical cube of oracle.h:
// start values, the worked turn, thousands of random calls, solved faces.
#include "oracle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace
{

void start(int n)
{
    cube = cube_state{};
    cube.cube_size = n;
    init_cube_state();
}

void turn(int axis, int layer, int step)
{
    apply_layer_turn(axis ? 0 : layer, axis ? layer : 0, axis, axis ? 0 : step, axis ? step : 0);
}

TEST(CubeModel, StartValuesAndTheWorkedTurn)
{
    const int listed[][5] = {{3, 0, 0, 0, 1},  {3, 2, 0, 0, 3},  {3, 0, 2, 0, 7}, {3, 1, 1, 1, 14},
                             {3, 0, 0, 2, 19}, {3, 2, 2, 2, 27}, {2, 1, 0, 0, 2}, {2, 0, 1, 0, 3},
                             {2, 0, 0, 1, 5},  {2, 1, 1, 1, 8}}; // N, cell x y z, its cubie
    for (const auto &e : listed) {
        start(e[0]);
        EXPECT_EQ(cube.cell_cubie[e[1]][e[2]][e[3]], e[4]);
        EXPECT_EQ(cube.cubie_count, e[0] * e[0] * e[0]);
    }
    // N = 3, X- on layer 0: the ids of cells (0, y, z) by [z][y]; row 0 of
    // faces 1..4 comes from the next face; nothing else changes.
    start(3);
    const cube_state before = cube;
    turn(0, 0, -5);
    const int ids[3][3] = {{7, 16, 25}, {4, 13, 22}, {1, 10, 19}};
    for (int i = 0; i < 27; ++i)
        EXPECT_EQ(cube.cell_cubie[i / 9][i / 3 % 3][i % 3],
                  i < 9 ? ids[i % 3][i / 3] : before.cell_cubie[i / 9][i / 3 % 3][i % 3]);
    for (int i = 0; i < 63; ++i)
        EXPECT_EQ(cube.facelet[i / 9][i / 3 % 3][i % 3],
                  i % 9 < 3 && i >= 9 && i < 45 ? i / 9 % 4 + 1 : i / 9);
}

// Layer turns with steps of every size, whole-cube turns and calls that must
// do nothing (another axis, a zero step), with random values where arguments
// are ignored; after each, cells, stickers and face_done against the physical
// cube. The record starts with every byte marked: at the end only the used
// cells, stickers and face_done[1..6] hold new values, and face 0, the cubie
// angles, cell_list and cubie_count their start values.
TEST(CubeModel, RandomCallsMatchThePhysicalCube)
{
    for (int n : {2, 3}) {
        std::memset(&cube, 0x5a, sizeof cube);
        cube.cube_size = n;
        cube_state want = cube;
        init_cube_state();
        oracle::physical pc;
        std::mt19937 rng(n);
        for (int i = 0; i <= 3000; ++i) {
            int kind = int(rng() % 10), axis = int(rng() % 2), layer = int(rng() % n);
            int sign = rng() % 2 ? 1 : -1, size = std::array<int, 4>{1, 5, 45, 90}[rng() % 4];
            int any_layer = int(rng() % n), any_step = int(rng() % 181) - 90;
            if (i > 0 && kind == 0) {
                for (int l = 0; l < n; ++l) turn(axis, l, 90 * sign);
                pc.turn_whole(axis, sign);
            }
            if (i > 0 && kind == 1) {
                apply_layer_turn(layer, layer, std::array<int, 4>{-1, 2, 3, 7}[rng() % 4], 1, 1);
                apply_layer_turn(layer, any_layer, 0, 0, any_step);
                apply_layer_turn(any_layer, layer, 1, any_step, 0);
            }
            if (i > 0 && kind > 1) {
                apply_layer_turn(axis ? any_layer : layer, axis ? layer : any_layer, axis,
                                 axis ? any_step : sign * size, axis ? sign * size : any_step);
                pc.turn(axis, layer, sign);
            }
            if (i > 0) update_face_status();
            ASSERT_EQ(pc.mismatch(true), "") << "N " << n << " call " << i << " kind " << kind;
        }
        for (int i = 0; i < 63; ++i)
            if (i / 3 % 3 < n && i % 3 < n)
                want.facelet[i / 9][i / 3 % 3][i % 3] =
                    cube.facelet[i / 9][i / 3 % 3][i % 3] * (i > 8);
        for (int x = 0; x < n; ++x)
            for (int y = 0; y < n; ++y)
                for (int z = 0; z < n; ++z) {
                    want.cell_cubie[x][y][z] = cube.cell_cubie[x][y][z];
                    want.cell_list[x][y][z] = 1 + x + n * y + n * n * z;
                }
        for (int id = 1; id <= n * n * n; ++id)
            want.cubie_angle_x[id] = want.cubie_angle_y[id] = want.cubie_angle_z[id] = 0;
        std::copy(cube.face_done + 1, cube.face_done + 7, want.face_done + 1);
        want.cubie_count = n * n * n;
        EXPECT_EQ(0, std::memcmp(&want, &cube, sizeof want)) << "N " << n;
    }
}

// face_done is the colour of a uniform face, whichever face holds it, else 0:
// X- of the whole cube then Y- of layer 0 leaves faces 2 and 4 uniform in 3
// and 1. One differing sticker anywhere makes the entry 0. Face 0, and for
// N = 2 the stickers with an index of 2, are not read; face_done[0] is not written.
TEST(CubeModel, FaceDone)
{
    start(3);
    for (int l = 0; l < 3; ++l) turn(0, l, -90);
    turn(1, 0, -5);
    update_face_status();
    const int want[7] = {0, 0, 3, 0, 1, 0, 0};
    EXPECT_EQ(0, std::memcmp(want, cube.face_done, sizeof want));
    for (int n : {2, 3})
        for (int i = 0; i < 6 * n * n; ++i) {
            int f = 1 + i / (n * n), r = i / n % n, c = i % n;
            start(n);
            for (int k = 0; k < 63; ++k)
                if (k < 9 || k / 3 % 3 >= n || k % 3 >= n)
                    cube.facelet[k / 9][k / 3 % 3][k % 3] = 9;
            cube.face_done[0] = 42;
            cube.facelet[f][r][c] = f % 6 + 1;
            update_face_status();
            for (int g = 0; g <= 6; ++g)
                EXPECT_EQ(cube.face_done[g], g == 0 ? 42 : g == f ? 0 : g) << n << " " << i;
        }
}

} // namespace
