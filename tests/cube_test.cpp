// tests/cube_test.cpp -- the cube model against the physical cube of oracle.h.
#include "oracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

// Bytes of the record still holding the mark 0x5a; no id, colour or 0 has such a byte.
static long marked_bytes()
{
    const char *bytes = reinterpret_cast<const char *>(&cube);
    return std::count(bytes, bytes + sizeof cube, 0x5a);
}

// From a record marked in every byte: the start values, then random calls, each followed on the
// physical cube: layer turns of either axis and sense, by steps of any size, the other axis's
// layer and (opposite) step to be ignored; and calls that must do nothing (a zero step, axis 2).
// Throughout, only the fields in use are written: cube_size and cubie_count, three angles and
// two cells a cubie, the stickers of faces 0..6, face_done[1..6].
TEST(CubeModel, StartValuesAndRandomCallsMatchThePhysicalCube)
{
    for (int n : {2, 3}) {
        std::memset(&cube, 0x5a, sizeof cube);
        cube.cube_size = n;
        init_cube_state();
        // The fields in use, 4 bytes each, as listed above.
        const long unused_bytes = sizeof cube - sizeof(int) * (2 + 5 * n * n * n + 7 * n * n + 6);
        ASSERT_EQ(marked_bytes(), unused_bytes);
        oracle::physical pc;
        std::mt19937 rng(n);
        for (int call = 0; call < 2000; ++call) {
            ASSERT_EQ(pc.mismatches(), 0) << call;
            const int axis = int(rng() % 2);
            const int layer = int(rng() % n);
            const int ignored_layer = int(rng() % n);
            const bool up = rng() % 2;
            const int sign = up ? 1 : -1;
            const int step = sign * int(1 + rng() % 90);
            apply_layer_turn(layer, layer, 0, 0, step);
            apply_layer_turn(layer, layer, 1, step, 0);
            apply_layer_turn(layer, layer, 2, step, step);
            if (axis == 0) apply_layer_turn(layer, ignored_layer, 0, step, -step);
            if (axis == 1) apply_layer_turn(ignored_layer, layer, 1, -step, step);
            pc.turn(axis, layer, 90 * sign);
        }
        EXPECT_EQ(marked_bytes(), unused_bytes);
    }
}

// One sticker of another colour, wherever it lies, leaves its face unsolved and no other. It shows
// the colour of the face before, which a check reading past that face's last row would count as its
// own.
TEST(CubeModel, OneStrayStickerUnsolvesItsFaceAlone)
{
    for (int n : {2, 3})
        for (int f = 1; f <= 6; ++f)
            for (int r = 0; r < n; ++r)
                for (int c = 0; c < n; ++c) {
                    oracle::start(n);
                    cube.facelet[f][r][c] = f - 1;
                    update_face_status();
                    for (int other = 1; other <= 6; ++other)
                        EXPECT_EQ(cube.face_done[other], other == f ? 0 : other);
                }
}
