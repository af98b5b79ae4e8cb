// tests/motion_test.cpp -- turns and view spin against the physical cube of oracle.h.
#include "motion.h"
#include "oracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>

static int frames_drawn;

// Frames are counted only: the picture tests look at them.
void display()
{
    ++frames_drawn;
}

// One frame of spin and the view angles it leaves. At +-45 moving away from 0, the angle goes back
// by 85 and the other two are exchanged; reaching +-45 toward 0, or held there, does nothing more.
// Each angle wraps into -180..175 first, and an exchange can leave 180 for the next frame to wrap.
struct spin_frame {
    float from[3];
    int delta[3];
    float to[3];
};
const spin_frame spin_frames[] = {
    {{-40, -180, -45}, {-5, 0, 0}, {40, -45, 180}}, // then Y held at -45
    {{40, 10, -45}, {5, 0, 0}, {-40, 45, 10}},      // then Y held at 45
    {{45, -40, 175}, {0, -5, 5}, {180, 40, 45}},    // X held at 45, Z wrapped
    {{-45, 40, -180}, {0, 5, -5}, {175, -40, 45}},  // X held at -45, Z wrapped
    {{50, -50, 180}, {-5, 5, 0}, {45, -45, -180}},  // X and Y toward 0, Z left at 180
    {{-50, 50, 0}, {5, -5, 0}, {-45, 45, 0}},
    {{-180, 0, 0}, {-5, 0, 0}, {175, 0, 0}}, // X wrapped
};

// Short random sequences, each step a key turn about X or Y with layers chosen on both axes (its
// step set, the other axis's left as the last turn left it, for animate_turn to ignore) or a
// frame of spin_frames. After each: the model (its solved colours too), and the cubies drawn at
// their angles, on the physical cube, which follows a re-orientation by what reorient_cube reports
// (90 after a whole-cube turn by -90, 270 after +90); a key turn has drawn 18 frames, a frame of
// spin has drawn none.
TEST(Motion, RandomTurnsAndSpinFramesMatchThePhysicalCube)
{
    for (int n : {2, 3}) {
        std::mt19937 rng(n);
        for (int sequence = 0; sequence < 400; ++sequence) {
            SCOPED_TRACE(sequence);
            oracle::start(n);
            oracle::physical pc;
            for (int t = 0; t < 12; ++t) {
                int axis = int(rng() % 2);
                bool up = rng() % 2;
                int sign = up ? 1 : -1;
                bool spin = rng() % 2 == 0;
                const spin_frame &frame = spin_frames[rng() % std::size(spin_frames)];
                cube.layer_x = int(rng() % n);
                cube.layer_y = int(rng() % n);
                int layer = axis == 0 ? cube.layer_x : cube.layer_y;
                float step = turn_step * float(sign);
                frames_drawn = 0;
                cube.turn_axis = axis;
                if (spin) {
                    std::copy(frame.from, frame.from + 3, cube.view_angle);
                    std::copy(frame.delta, frame.delta + 3, cube.view_delta);
                    update_view_angles();
                    reorient_cube();
                    EXPECT_TRUE(std::equal(frame.to, frame.to + 3, cube.view_angle));
                    pc.turn(0, -1, -reorient_angle_x);
                    pc.turn(1, -1, -reorient_angle_y);
                } else {
                    if (axis == 0) cube.turn_step_x = step;
                    if (axis == 1) cube.turn_step_y = step;
                    animate_turn();
                    pc.turn(axis, layer, 90 * sign);
                }
                ASSERT_EQ(oracle::physical().mismatches(), 0);
                ASSERT_EQ(pc.mismatches(), 0);
                ASSERT_EQ(frames_drawn, spin ? 0 : turn_frames);
            }
        }
    }
}
