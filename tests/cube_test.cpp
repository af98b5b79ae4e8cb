// tests/cube_test.cpp -- the cube model against the physical cube of oracle.h.
#include "oracle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

// From a record marked in every byte: the start values, then random calls, each followed on the
// physical cube: a layer turn across X or Y by a step of either sign and any size (the same layer
// and step given for both axes), a zero step or axis 2 doing nothing; then the solved-face check.
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
            int axis = int(rng() % 3);
            int layer = int(rng() % n);
            int sign = int(rng() % 3) - 1;
            int step = sign * int(1 + rng() % 90);
            apply_layer_turn(layer, layer, axis, step, step);
            update_face_status();
            if (axis < 2) pc.turn(axis, layer, 90 * sign);
        }
    }
}
