// tests/motion_test.cpp -- turns and view spin against the physical cube of oracle.h.
#include "motion.h"
#include "oracle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>

static int display_calls;

// Angles: -265..175 in 5s, at rest in 90s, X and Y never both +-90; entry 0 left at 0.
static std::string angle_fault(bool rest)
{
    for (int id = 0; id <= cube.cubie_count; ++id) {
        float x = cube.cubie_angle_x[id], y = cube.cubie_angle_y[id], z = cube.cubie_angle_z[id];
        for (float a : {x, y, z})
            if (a < -265 || a > 175 || a != 5 * int(a / 5) || (rest && int(a) % 90) || (!id && a) ||
                (rest && int(x) % 180 && int(y) % 180))
                return "cubie " + std::to_string(id) + " at " + std::to_string(a) + "; ";
    }
    return "";
}

// A layer turn as the keys start it, a whole one (layer -1) as reorient_cube; pc too.
static void turn(oracle::physical &pc, int axis, int layer, int sign)
{
    if (layer >= 0) (axis ? cube.layer_y : cube.layer_x) = layer;
    (axis ? cube.turn_step_x : cube.turn_step_y) *= layer < 0; // kept by a whole turn only
    cube.turn_axis = axis;
    (axis ? cube.turn_step_y : cube.turn_step_x) = sign * (layer < 0 ? whole_step : turn_step);
    (axis ? cube.whole_y : cube.whole_x) = layer < 0;
    animate_turn();
    cube.whole_x = cube.whole_y = 0;
    pc.turn(axis, layer, sign);
}

// After every turn: 18 frames for a layer turn, none for a whole turn; angles in range; each
// cubie as drawn in its cell, on stickers of its colours; the model on the physical cube.
TEST(Motion, RandomTurnsAgreeWithThePhysicalCube)
{
    for (int n : {2, 3}) {
        std::mt19937 rng(n);
        for (int seq = 0; seq < 400; ++seq) {
            oracle::start(n);
            oracle::physical pc;
            for (int t = 0; t < 12; ++t) {
                int layer = int(rng() % (n + 1)) - 1, calls = display_calls;
                turn(pc, int(rng() % 2), layer, rng() % 2 ? 1 : -1);
                ASSERT_EQ(angle_fault(true) + oracle::physical(true).mismatch() +
                              pc.mismatch(layer >= 0),
                          "")
                    << "N " << n << " sequence " << seq << " turn " << t;
                ASSERT_EQ(display_calls - calls, layer < 0 ? 0 : turn_frames);
            }
        }
    }
}

// Middle-layer turns of the 3 x 3 x 3 cube on its core cubie 14: -180 about X, Y and Z is 0.
TEST(Motion, TurnChainsEndAtTheirAngles)
{
    const std::tuple<const char *, float, float, float> cases[] = {{"X+Y+Y+X+Y+", -180, -90, -180},
                                                                   {"X+Y+Y+X+Y+Y+", 0, 0, 0}};
    for (const auto &[turns, x, y, z] : cases) {
        oracle::start(3);
        oracle::physical pc;
        for (int i = 0; turns[i]; i += 2)
            turn(pc, turns[i] == 'Y', 1, turns[i + 1] == '+' ? 1 : -1);
        EXPECT_TRUE(cube.cubie_angle_x[14] == x && cube.cubie_angle_y[14] == y &&
                    cube.cubie_angle_z[14] == z)
            << turns;
    }
}

// One frame per key (`.` a still frame, a number repeats it): "<frame><axis><result> " for
// each re-orientation, then the view angles.
static std::string press(oracle::physical &pc, const char *keys)
{
    std::string events;
    int frame = 1;
    for (const char *k = keys; *k; k += 1 + std::strspn(k + 1, "0123456789"))
        for (int i = std::max(1, std::atoi(k + 1)); i > 0; --i, ++frame) {
            const char *spin = "azsxdc", *at = std::strchr(spin, *k);
            std::memset(cube.view_delta, 0, sizeof cube.view_delta);
            cube.turn_step_x = cube.turn_step_y = 0;
            if (at) cube.view_delta[(at - spin) / 2] = (at - spin) % 2 ? -5 : 5;
            update_view_angles();
            reorient_cube();
            const int result[2] = {reorient_angle_x, reorient_angle_y};
            for (int axis : {0, 1})
                if (result[axis]) {
                    pc.turn(axis, -1, result[axis] == 90 ? -1 : 1);
                    events +=
                        std::to_string(frame) + "xy"[axis] + std::to_string(result[axis]) + " ";
                }
        }
    for (float v : cube.view_angle) events += std::to_string(int(v)) + " ";
    return events;
}

// turn_axis, flags, face_done, the X step (but for a whole turn) left alone. The 180 an
// exchange leaves (-(-180)) is wrapped whatever is added, and spins on.
TEST(Motion, ViewSpinReorientsAtFortyFive)
{
    // clang-format off
    struct { const char *keys; float from[3]; const char *then; } cases[] = {
        {"s3d2z9", {}, "14x90 40 10 -15 "}, {"s", {10, 40, 15}, "1y270 15 -40 -10 "},
        {"c37", {}, "0 0 175 "}, {"z.", {50, 0, 0}, "45 0 0 "}, {"a.", {-50, 0, 0}, "-45 0 0 "},
        {"x.", {0, 50, 0}, "0 45 0 "}, {"s.", {0, -50, 0}, "0 -45 0 "},
        {"d36x9", {}, "45y90 180 40 0 "}, {"d36x9a45", {}, "45y90 90x270 -40 0 40 "},
        {"c36a9s45", {}, "45x270 90y270 0 -40 40 "}};
    // clang-format on
    for (const auto &c : cases)
        for (int axis : {0, 1}) {
            oracle::start(3);
            oracle::physical pc;
            cube.turn_axis = axis;
            std::copy(c.from, c.from + 3, cube.view_angle);
            EXPECT_EQ(press(pc, c.keys), c.then) << c.keys;
            const int step_x = reorient_angle_x == 90 ? -90 : reorient_angle_x ? 90 : 0;
            EXPECT_TRUE(cube.turn_axis == axis && !cube.whole_x && !cube.whole_y &&
                        cube.face_done[1] == 1 && cube.turn_step_x == step_x);
            EXPECT_EQ(angle_fault(true) + oracle::physical(true).mismatch() + pc.mismatch(), "")
                << c.keys;
        }
}

void display()
{
    ++display_calls;
    EXPECT_EQ(angle_fault(false), "") << "in a frame";
}
