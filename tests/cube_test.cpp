// tests/cube_test.cpp -- the cube model against the physical cube of oracle.h.
#include "oracle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

TEST(CubeModel, StartValuesAndTheWorkedTurn)
{
    // N = 3, X- on layer 0: cells (0, y, z) get the ids by [z][y], row 0 of faces 1..4 the next's.
    oracle::start(3);
    apply_layer_turn(0, 0, 0, -5, 0);
    const int ids[3][3] = {{7, 16, 25}, {4, 13, 22}, {1, 10, 19}};
    for (int i = 0; i < 27; ++i)
        EXPECT_EQ(cube.cell_cubie[i / 9][i / 3 % 3][i % 3],
                  i < 9 ? ids[i % 3][i / 3] : 1 + i / 9 + i / 3 % 3 * 3 + i % 3 * 9);
    for (int i = 0; i < 63; ++i)
        EXPECT_EQ(cube.facelet[i / 9][i / 3 % 3][i % 3],
                  i % 9 < 3 && i >= 9 && i < 45 ? i / 9 % 4 + 1 : i / 9);
    // The rest of the whole cube, then Y- of layer 0: faces 2 and 4 uniform in colours 3 and 1.
    apply_layer_turn(1, 0, 0, -5, 0), apply_layer_turn(2, 0, 0, -5, 0),
        apply_layer_turn(0, 0, 1, 0, -5);
    update_face_status();
    const int done[7] = {0, 0, 3, 0, 1, 0, 0};
    EXPECT_EQ(0, std::memcmp(done, cube.face_done, sizeof done));
}

// Layer turns of any step, whole turns, calls that must do nothing (other axis, zero step),
// random ignored arguments: after each, the physical cube. In a record marked in every byte
// only used cells, stickers, face_done[1..6] change, the rest to start values.
TEST(CubeModel, RandomCallsMatchThePhysicalCube)
{
    for (int n : {2, 3}) {
        std::memset(&cube, 0x5a, sizeof cube);
        cube.cube_size = n;
        cube_state want = cube;
        init_cube_state();
        oracle::physical pc;
        ASSERT_EQ(pc.mismatch(true), "") << "N " << n << " at start";
        for (int i = 0; i < 6 * n * n; ++i) { // one sticker anywhere differs
            int f = 1 + i / n / n, &s = cube.facelet[f][i / n % n][i % n];
            s = f % 6 + 1, update_face_status();
            for (int g = 1; g <= 6; ++g) EXPECT_EQ(cube.face_done[g], g == f ? 0 : g) << i;
            s = f, update_face_status();
        }
        std::mt19937 rng(n);
        for (int i = 0; i <= 3000; ++i) {
            int kind = int(rng() % 10), axis = int(rng() % 2), layer = int(rng() % n);
            int sign = rng() % 2 ? 1 : -1, size = std::array<int, 4>{1, 5, 45, 90}[rng() % 4];
            int any = int(rng() % n), step = int(rng() % 181) - 90, bad = int(rng() % 5) + 2;
            for (int l = 0; i > 0 && kind == 0 && l < n; ++l)
                apply_layer_turn(l, l, axis, 90 * sign, 90 * sign);
            for (int a : {0, 1, bad == 4 ? -1 : bad}) // must do nothing
                if (i > 0 && kind == 1)
                    apply_layer_turn(layer, any, a, a ? step : 0, a == 1 ? 0 : step);
            if (i > 0 && kind > 1)
                apply_layer_turn(axis ? any : layer, axis ? layer : any, axis,
                                 axis ? step : sign * size, axis ? sign * size : step);
            if (i > 0 && kind != 1) pc.turn(axis, kind ? layer : -1, sign), update_face_status();
            ASSERT_EQ(pc.mismatch(true), "") << "N " << n << " call " << i << " kind " << kind;
        }
        for (int i = 0; i < 7 * n * n; ++i) {
            int &w = want.facelet[i / n / n][i / n % n][i % n];
            w = i < n * n ? 0 : cube.facelet[i / n / n][i / n % n][i % n];
        }
        for (int i = 0; i < n * n * n; ++i) {
            int x = i % n, y = i / n % n, z = i / n / n;
            want.cell_cubie[x][y][z] = cube.cell_cubie[x][y][z], want.cell_list[x][y][z] = i + 1;
            want.cubie_angle_x[i + 1] = want.cubie_angle_y[i + 1] = want.cubie_angle_z[i + 1] = 0;
        }
        std::copy(cube.face_done + 1, cube.face_done + 7, want.face_done + 1);
        want.cubie_count = n * n * n;
        EXPECT_EQ(0, std::memcmp(&want, &cube, sizeof want)) << "N " << n;
    }
}
