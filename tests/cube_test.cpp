// tests/cube_test.cpp -- the cube model against the physical cube of oracle.h.
#include "oracle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

// From a record marked in every byte: the start values, then random calls, each followed on the
// physical cube: a layer turn across X or Y by a step of either sign and any size (the same layer
// and step given for both axes); a zero step, or axis 2, does nothing.
TEST(CubeModel, StartValuesAndRandomCallsMatchThePhysicalCube)
{
    for (int n : {2, 3}) {
        std::memset(&cube, 0x5a, sizeof cube);
        cube.cube_size = n;
        init_cube_state();
        oracle::physical pc;
        std::mt19937 rng(n);
        for (int call = 0; call < 2000; ++call) {
            ASSERT_EQ(pc.mismatches(), 0) << call;
            const int axis = int(rng() % 3);
            const int layer = int(rng() % n);
            const int sign = int(rng() % 3) - 1;
            const int step = sign * int(1 + rng() % 90);
            apply_layer_turn(layer, layer, axis, step, step);
            if (axis < 2) pc.turn(axis, layer, 90 * sign);
        }
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
