// tests/motion_test.cpp -- turns and view spin against the physical cube of oracle.h.
#include "motion.h"
#include "oracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

static int frames_drawn;

// Frames are counted only: the picture tests look at them.
void display()
{
    ++frames_drawn;
}

static bool at_rest(float angle)
{
    return angle == -180 || angle == -90 || angle == 0 || angle == 90;
}

// At rest every angle is -180, -90, 0 or 90, and no cubie has all three at -180 (that is 0 0 0).
static bool angles_at_rest()
{
    for (int id = 1; id <= cube.cubie_count; ++id) {
        const float x = cube.cubie_angle_x[id];
        const float y = cube.cubie_angle_y[id];
        const float z = cube.cubie_angle_z[id];
        if (!at_rest(x) || !at_rest(y) || !at_rest(z)) return false;
        if (x == -180 && y == -180 && z == -180) return false;
    }
    return true;
}

// Short random sequences of turns about X or Y, with layers chosen on both axes: a key turn
// (its step set, the other axis's left as the last turn left it, for animate_turn to ignore),
// or a frame of spin from 40 to 45 degrees away from 0, which turns the whole cube. After each:
// the model, and the cubies drawn at their angles, on the physical cube; a key turn has drawn
// 18 frames (and updated face_done), a whole turn none.
TEST(Motion, RandomTurnsMatchThePhysicalCube)
{
    for (int n : {2, 3}) {
        std::mt19937 rng(n);
        for (int sequence = 0; sequence < 400; ++sequence) {
            SCOPED_TRACE(sequence);
            oracle::start(n);
            oracle::physical pc;
            for (int t = 0; t < 12; ++t) {
                const int axis = int(rng() % 2);
                const bool up = rng() % 2;
                const int sign = up ? 1 : -1;
                const bool whole = rng() % (n + 1) == 0;
                cube.layer_x = int(rng() % n);
                cube.layer_y = int(rng() % n);
                const int layer = axis == 0 ? cube.layer_x : cube.layer_y;
                const float step = turn_step * float(sign);
                frames_drawn = 0;
                if (whole) {
                    cube.view_angle[axis] = 40.0f * float(sign);
                    cube.view_delta[axis] = 5 * sign;
                    update_view_angles();
                    reorient_cube();
                    cube.view_delta[axis] = 0;
                    pc.turn(axis, -1, sign);
                } else {
                    cube.turn_axis = axis;
                    if (axis == 0) cube.turn_step_x = step;
                    if (axis == 1) cube.turn_step_y = step;
                    animate_turn();
                    pc.turn(axis, layer, sign);
                }
                ASSERT_TRUE(angles_at_rest());
                ASSERT_EQ(oracle::physical().mismatches(), 0);
                ASSERT_EQ(pc.mismatches(!whole), 0);
                ASSERT_EQ(frames_drawn, whole ? 0 : turn_frames);
            }
        }
    }
}

// One frame of spin: the view angles it leaves and what reorient_cube did. At +-45 moving away
// from 0, the angle goes back by 85 and the other two are exchanged (which can leave 180, for the
// next frame to wrap); reaching or held at +-45 does nothing more. The turn axis stays. An angle
// spun along wraps into -180..175 first.
TEST(Motion, ViewSpinReorientsAtFortyFiveAwayFromZero)
{
    const struct {
        float from[3];
        int delta[3];
        float to[3];
        int reoriented_x, reoriented_y;
    } cases[] = {
        {{-40, -180, 15}, {-5, 0, 0}, {40, 15, 180}, 90, 0},
        {{40, 10, 175}, {5, 0, 5}, {-40, 180, 10}, 270, 0},
        {{-180, -40, 10}, {-5, -5, 0}, {-10, 40, 175}, 0, 90},
        {{10, 40, -175}, {0, 5, -5}, {-180, -40, -10}, 0, 270},
        {{50, -50, 0}, {-5, 5, 0}, {45, -45, 0}, 0, 0},
        {{-50, 50, 0}, {5, -5, 0}, {-45, 45, 0}, 0, 0},
        {{45, -45, 0}, {0, 0, 0}, {45, -45, 0}, 0, 0},
        {{-45, 45, 0}, {0, 0, 0}, {-45, 45, 0}, 0, 0},
    };
    for (const auto &c : cases) {
        oracle::start(3);
        std::memcpy(cube.view_angle, c.from, sizeof c.from);
        std::memcpy(cube.view_delta, c.delta, sizeof c.delta);
        update_view_angles();
        reorient_cube();
        EXPECT_TRUE(std::equal(c.to, c.to + 3, cube.view_angle));
        EXPECT_EQ(reorient_angle_x, c.reoriented_x);
        EXPECT_EQ(reorient_angle_y, c.reoriented_y);
        EXPECT_EQ(cube.turn_axis, 0);
    }
}
