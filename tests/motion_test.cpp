// tests/motion_test.cpp -- the turn animation and the view spin against the
// physical cube of oracle.h: random turns, the turn chains, the frames of a
// turn, the re-orientations. display() here records every frame.
#include "motion.h"
#include "oracle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace
{

int display_calls;
cube_state frames[turn_frames]; // the record as each frame of the last turn saw it
std::string fault;              // the first angle out of range in a frame

// Mid-turn: whole multiples of 5 within -265..175. At rest: -180, -90, 0 or
// 90, never a quarter X angle with a quarter Y angle. Entry 0 never turns.
std::string angle_fault(bool rest)
{
    for (int id = 0; id <= cube.cubie_count; ++id) {
        float x = cube.cubie_angle_x[id], y = cube.cubie_angle_y[id], z = cube.cubie_angle_z[id];
        for (float a : {x, y, z})
            if (a < -265 || a > 175 || a != 5 * int(a / 5) || (rest && int(a) % 90) || (!id && a))
                return "cubie " + std::to_string(id) + " at " + std::to_string(a) + "; ";
        if (rest && int(x) % 180 && int(y) % 180) return "cubie " + std::to_string(id) + "; ";
    }
    return "";
}

} // namespace

void display()
{
    frames[display_calls++ % turn_frames] = cube;
    if (fault.empty()) fault = angle_fault(false);
}

namespace
{

void start(int n)
{
    cube = cube_state{};
    cube.cube_size = n;
    init_cube_state();
    display_calls = 0;
    fault.clear();
}

// A layer turn as the turn keys start it: both steps cleared, then +-5 for
// the axis. A whole-cube turn as reorient_cube starts it: the other step keeps
// what it held. The physical cube makes the same turn.
void turn(oracle::physical &pc, int axis, int layer, int sign, bool whole = false)
{
    if (!whole)
        cube.turn_step_x = cube.turn_step_y = 0, (axis ? cube.layer_y : cube.layer_x) = layer;
    cube.turn_axis = axis;
    (axis ? cube.turn_step_y : cube.turn_step_x) = sign * (whole ? whole_step : turn_step);
    (axis ? cube.whole_y : cube.whole_x) = whole;
    animate_turn();
    cube.whole_x = cube.whole_y = 0;
    whole ? pc.turn_whole(axis, sign) : pc.turn(axis, layer, sign);
}

// After every turn: each frame in range, the angles at rest, every cubie as
// drawn in the cell that holds it with its sides on stickers of their colours,
// the model on the physical cube; face_done rewritten after a layer turn only.
TEST(Motion, RandomTurnsAgreeWithThePhysicalCube)
{
    for (int n : {2, 3}) {
        std::mt19937 rng(n);
        for (int seq = 0; seq < 400; ++seq) {
            start(n);
            oracle::physical pc;
            for (int t = 0; t < 12; ++t) {
                bool whole = rng() % 3 == 0;
                int done[7];
                std::copy(cube.face_done, cube.face_done + 7, done);
                turn(pc, int(rng() % 2), int(rng() % n), rng() % 2 ? 1 : -1, whole);
                ASSERT_EQ(fault + angle_fault(true) + oracle::as_drawn().mismatch() +
                              pc.mismatch(!whole),
                          "")
                    << "N " << n << " sequence " << seq << " turn " << t;
                ASSERT_TRUE(!whole || std::equal(done, done + 7, cube.face_done));
            }
        }
    }
}

// Turns of the middle layers of the 3 x 3 x 3 cube, followed on the core cubie 14.
TEST(Motion, TurnChainsEndAtTheirAngles)
{
    // clang-format off
    struct { const char *turns; float x, y, z; } cases[] = {
        {"X+", 90, 0, 0}, {"X+X+", -180, 0, 0}, {"X-", -90, 0, 0}, {"X-X-", -180, 0, 0},
        {"X-X-X-", 90, 0, 0}, {"X+Y+", 90, 0, -90}, {"X+Y-", 90, 0, 90}, {"X-Y+", -90, 0, 90},
        {"X-Y-", -90, 0, -90}, {"X+X+Y+", -180, -90, 0}, {"X+X+Y-", -180, 90, 0},
        {"Y+", 0, 90, 0}, {"Y+X+", 0, 90, 90}, {"Y+X+X+", -180, 90, 0}, {"Y+X+X-", 0, 90, 0},
        {"Y-X+", 0, -90, -90}, {"Y-X+X+", -180, -90, 0}, {"Y-X+X-", 0, -90, 0},
        {"Y+X-", 0, 90, -90}, {"Y-X-", 0, -90, 90}, {"Y+Y+", 0, -180, 0},
        {"X+Y+Y+X+Y+", -180, -90, -180}, {"X+Y+Y+X+Y+Y+", 0, 0, 0}, {"X-Y+Y+", -90, 0, -180},
        {"X-Y+Y+Y+", -90, 0, -90}, {"X+X+Y+Y+X+Y+", -90, -180, -90}};
    // clang-format on
    for (const auto &c : cases) {
        start(3);
        oracle::physical pc;
        for (int i = 0; c.turns[i]; i += 2)
            turn(pc, c.turns[i] == 'Y', 1, c.turns[i + 1] == '+' ? 1 : -1);
        EXPECT_TRUE(cube.cubie_angle_x[14] == c.x && cube.cubie_angle_y[14] == c.y &&
                    cube.cubie_angle_z[14] == c.z)
            << c.turns;
        EXPECT_EQ(fault + oracle::as_drawn().mismatch() + pc.mismatch(), "") << c.turns;
    }
    start(3); // rule A acts in the step that brings the X angle to 90
    oracle::physical pc;
    turn(pc, 1, 1, 1);
    turn(pc, 0, 1, 1);
    EXPECT_TRUE(frames[16].cubie_angle_x[14] == 85 && frames[17].cubie_angle_x[14] == 0 &&
                frames[17].cubie_angle_z[14] == 90);
}

// A layer turn draws 18 frames, in each its layer a step further and no other
// cubie turned; a whole-cube turn draws none and turns every cubie at once.
TEST(Motion, TurnFrames)
{
    // clang-format off
    struct { int n, axis, layer, sign; bool whole; } cases[] = {
        {3, 0, 1, 1, 0}, {3, 1, 2, -1, 0}, {2, 0, 0, -1, 0}, {2, 1, 1, 1, 0}, {3, 0, 0, -1, 1},
        {2, 1, 0, 1, 1}};
    // clang-format on
    for (const auto &c : cases) {
        start(c.n);
        oracle::physical pc;
        const cube_state before = cube;
        turn(pc, c.axis, c.layer, c.sign, c.whole);
        ASSERT_EQ(display_calls, c.whole ? 0 : turn_frames);
        for (int k = 0; k < turn_frames; ++k)
            for (int i = 0; i < c.n * c.n * c.n; ++i) {
                const cube_state &f = c.whole ? cube : frames[k];
                int x = i % c.n, y = i / c.n % c.n,
                    id = int(before.cell_cubie[x][y][i / c.n / c.n]);
                float a =
                    c.whole ? 90 * c.sign : ((c.axis ? y : x) == c.layer) * 5 * c.sign * (k + 1);
                ASSERT_TRUE(f.cubie_angle_x[id] == (c.axis ? 0 : a) && f.cubie_angle_z[id] == 0 &&
                            f.cubie_angle_y[id] == (c.axis ? a : 0))
                    << c.n << c.axis << c.layer << c.sign << " frame " << k << " cubie " << id;
            }
    }
}

// One frame per key (`.` a still frame; a number repeats the key before it),
// as the keys leave the record: update, draw, re-orient; the physical cube
// makes each whole-cube turn. Returns each re-orientation as
// "<frame><axis><result> ", and "<frame>steps " if a frame left a turn step
// other than that of its whole-cube turn.
std::string press(oracle::physical &pc, const char *keys)
{
    std::string events;
    int frame = 0;
    for (const char *k = keys; *k; k += 1 + std::strspn(k + 1, "0123456789"))
        for (int i = std::max(1, std::atoi(k + 1)); i > 0; --i) {
            const char *spin = "azsxdc", *at = std::strchr(spin, *k);
            std::memset(cube.view_delta, 0, sizeof cube.view_delta);
            cube.turn_step_x = cube.turn_step_y = 0;
            if (at) cube.view_delta[(at - spin) / 2] = (at - spin) % 2 ? -5 : 5;
            update_view_angles();
            reorient_cube();
            ++frame;
            for (int axis : {0, 1}) {
                int result = axis ? reorient_angle_y : reorient_angle_x;
                if (result) pc.turn_whole(axis, result == 90 ? -1 : 1);
                if (result)
                    events += std::to_string(frame) + "xy"[axis] + std::to_string(result) + " ";
                if ((axis ? cube.turn_step_y : cube.turn_step_x) != (result == 90 ? -90
                                                                     : result     ? 90
                                                                                  : 0))
                    events += std::to_string(frame) + "steps ";
            }
        }
    return events;
}

// From the solved cube; turn_axis, the flags and the frames are left alone.
// The wrap of the view angles is a range wrap: an exchange that negates -180
// leaves 180, which the next frame wraps whatever it adds, so the spin can
// re-orient again.
TEST(Motion, ViewSpinReorientsAtFortyFive)
{
    // clang-format off
    struct { const char *keys; float from[3]; const char *events; float view[3]; } cases[] = {
        {"z9", {}, "9x90 ", {40, 0, 0}}, {"a9", {}, "9x270 ", {-40, 0, 0}},
        {"s9", {}, "9y270 ", {0, -40, 0}}, {"x9", {}, "9y90 ", {0, 40, 0}},
        {"s3d2z9", {}, "14x90 ", {40, 10, -15}}, {"a", {-40, 10, 15}, "", {-35, 10, 15}},
        {"a", {40, 10, 15}, "1x270 ", {-40, -15, 10}}, {"x", {10, -40, 15}, "1y90 ", {-15, 40, 10}},
        {"s", {10, 40, 15}, "1y270 ", {15, -40, -10}}, {"z9a2", {}, "9x90 10x270 ", {-35, 0, 0}},
        {"z26", {}, "9x90 26x90 ", {40, 0, 0}}, {"d36", {}, "", {0, 0, -180}},
        {"c37", {}, "", {0, 0, 175}}, {"z.", {50, 0, 0}, "", {45, 0, 0}},
        {"a.", {-50, 0, 0}, "", {-45, 0, 0}}, {"x.", {0, 50, 0}, "", {0, 45, 0}},
        {"s.", {0, -50, 0}, "", {0, -45, 0}}, {"d36x9", {}, "45y90 ", {180, 40, 0}},
        {"d36x9a", {}, "45y90 ", {-175, 40, 0}}, {"d36x9.", {}, "45y90 ", {-180, 40, 0}},
        {"d36x9z", {}, "45y90 ", {175, 40, 0}}, {"d36x9a45", {}, "45y90 90x270 ", {-40, 0, 40}},
        {"c36a9s45", {}, "45x270 90y270 ", {0, -40, 40}}};
    // clang-format on
    for (const auto &c : cases)
        for (int axis : {0, 1}) {
            start(3);
            oracle::physical pc;
            cube.turn_axis = axis;
            std::copy(c.from, c.from + 3, cube.view_angle);
            EXPECT_EQ(press(pc, c.keys), c.events) << c.keys;
            EXPECT_TRUE(std::equal(c.view, c.view + 3, cube.view_angle)) << c.keys;
            EXPECT_TRUE(cube.turn_axis == axis && !cube.whole_x && !cube.whole_y && !display_calls);
            EXPECT_EQ(angle_fault(true) + oracle::as_drawn().mismatch() + pc.mismatch(), "")
                << c.keys;
        }
}

} // namespace
