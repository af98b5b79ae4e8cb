// tests/motion_test.cpp -- the turn animation and the view spin, checked against
// exact integer rotation matrices and the face table; display() here records
// every frame that animate_turn draws.
#include "agreement.h"
#include "cube.h"
#include "motion.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <string>

namespace
{

using namespace agreement;

int display_calls;
cube_state frames[turn_frames]; // the record as each frame of the last turn saw it
std::string frame_fault;        // first angle out of the in-turn range, if any

// Angles mid-turn: whole multiples of 5 within -265..175 (so never 180 or -270).
std::string range_fault()
{
    for (int id = 1; id <= cube.cubie_count; ++id)
        for (float a : {cube.cubie_angle_x[id], cube.cubie_angle_y[id], cube.cubie_angle_z[id]})
            if (a < -265 || a > 175 || a != 5 * int(a / 5))
                return "cubie " + std::to_string(id) + " angle " + std::to_string(a);
    return "";
}

// The first cubie not at (x, y, z), if any.
std::string angles_fault(float x, float y, float z)
{
    for (int id = 1; id <= cube.cubie_count; ++id)
        if (cube.cubie_angle_x[id] != x || cube.cubie_angle_y[id] != y ||
            cube.cubie_angle_z[id] != z)
            return "cubie " + std::to_string(id);
    return "";
}

} // namespace

void display()
{
    frames[display_calls % turn_frames] = cube; // the last turn's frames
    ++display_calls;
    if (frame_fault.empty()) frame_fault = range_fault();
}

namespace
{

void start(int n)
{
    cube = cube_state{};
    cube.cube_size = n;
    init_cube_state();
    display_calls = 0;
    frame_fault.clear();
}

// What the turn keys do: clear both steps, set the one of the axis to +-5.
void layer_turn(int axis, int layer, float step)
{
    cube.turn_step_x = cube.turn_step_y = 0;
    cube.turn_axis = axis;
    (axis == 0 ? cube.layer_x : cube.layer_y) = layer;
    (axis == 0 ? cube.turn_step_x : cube.turn_step_y) = step;
    animate_turn();
}

// What reorient_cube does: the other step keeps whatever it held.
void whole_turn(int axis, float step)
{
    cube.turn_axis = axis;
    (axis == 0 ? cube.turn_step_x : cube.turn_step_y) = step;
    (axis == 0 ? cube.whole_x : cube.whole_y) = 1;
    animate_turn();
    cube.whole_x = cube.whole_y = 0;
}

// "X+Y-": quarter turns of the middle layers of the 3 x 3 x 3 cube, which
// always hold the core cubie 14.
void middle_turns(const std::string &chain)
{
    for (size_t i = 0; i < chain.size(); i += 2)
        layer_turn(chain[i] == 'Y', 1, chain[i + 1] == '+' ? turn_step : -turn_step);
}

class Motion : public ::testing::Test
{
  protected:
    void SetUp() override { start(3); }
};

TEST_F(Motion, TurnChainsEndAtTheirAngles)
{
    // clang-format off
    struct chain_case { const char *turns; float x, y, z; } cases[] = {
        {"X+", 90, 0, 0}, {"X+X+", -180, 0, 0}, {"X-", -90, 0, 0},
        {"X-X-", -180, 0, 0}, {"X-X-X-", 90, 0, 0}, {"X+Y+", 90, 0, -90},
        {"X+Y-", 90, 0, 90}, {"X-Y+", -90, 0, 90}, {"X-Y-", -90, 0, -90},
        {"X+X+Y+", -180, -90, 0}, {"X+X+Y-", -180, 90, 0}, {"Y+", 0, 90, 0},
        {"Y+X+", 0, 90, 90}, {"Y+X+X+", -180, 90, 0}, {"Y+X+X-", 0, 90, 0},
        {"Y-X+", 0, -90, -90}, {"Y-X+X+", -180, -90, 0}, {"Y-X+X-", 0, -90, 0},
        {"Y+X-", 0, 90, -90}, {"Y-X-", 0, -90, 90}, {"Y+Y+", 0, -180, 0},
        {"X+X+Y+Y+", -180, -180, 0}, {"X+Y+Y+X+Y+", -180, -90, -180}, {"X+Y+Y+X+Y+Y+", 0, 0, 0},
        {"X-Y+Y+", -90, 0, -180}, {"X-Y+Y+Y+", -90, 0, -90}, {"X+X+Y+Y+X+", -90, -180, 0},
        {"X+X+Y+Y+X+Y+", -90, -180, -90}};
    // clang-format on
    for (const chain_case &c : cases) {
        start(3);
        middle_turns(c.turns);
        EXPECT_EQ(cube.cubie_angle_x[14], c.x) << c.turns;
        EXPECT_EQ(cube.cubie_angle_y[14], c.y) << c.turns;
        EXPECT_EQ(cube.cubie_angle_z[14], c.z) << c.turns;
        EXPECT_EQ(frame_fault, "") << c.turns;
        mat turned = rotation(0, 0); // the turns about the fixed axes, latest on the left
        for (size_t i = 0; c.turns[i]; i += 2)
            turned = times(rotation(c.turns[i] == 'Y', c.turns[i + 1] == '+' ? 90 : -90), turned);
        EXPECT_EQ(orientation(14), turned) << c.turns;
    }
    // Rule A acts in the step that brings the X angle to 90.
    start(3);
    middle_turns("Y+X+");
    EXPECT_EQ(frames[16].cubie_angle_x[14], 85);
    EXPECT_EQ(frames[17].cubie_angle_x[14], 0);
    EXPECT_EQ(frames[17].cubie_angle_z[14], 90);
}

TEST_F(Motion, TurnDrawsItsStepsAndThenMovesTheModel)
{
    // clang-format off
    struct turn_case { int n, axis, layer; float step, other; bool whole; } cases[] = {
        {3, 0, 1, 5, 0, false}, {3, 0, 0, -5, 0, false}, {3, 1, 2, 5, 0, false},
        {3, 1, 1, -5, 0, false}, {2, 0, 1, -5, 0, false}, {2, 1, 0, 5, 0, false},
        {3, 0, 1, -90, 90, true}, {3, 0, 2, 90, 0, true}, {3, 1, 0, 90, -90, true},
        {3, 1, 1, -90, 5, true}, {2, 0, 1, -90, -90, true}, {2, 1, 0, 90, 90, true}};
    // clang-format on
    for (const turn_case &c : cases) {
        start(c.n);
        cube.layer_x = cube.layer_y = c.n - 1 - c.layer; // the other axis's choice must not count
        for (int f = 1; f <= 6; ++f) cube.face_done[f] = 9;
        cube_state before = cube;
        (c.axis == 0 ? cube.turn_step_y : cube.turn_step_x) = c.other; // left by an earlier turn
        if (c.whole)
            whole_turn(c.axis, c.step);
        else
            layer_turn(c.axis, c.layer, c.step);
        std::string name = "N " + std::to_string(c.n) + " axis " + std::to_string(c.axis) +
                           " step " + std::to_string(c.step);
        // A layer turn draws every step, and in each only its own layer has turned.
        ASSERT_EQ(display_calls, c.whole ? 0 : turn_frames) << name;
        for (int k = 0; k < display_calls; ++k)
            for (int z = 0; z < c.n; ++z)
                for (int y = 0; y < c.n; ++y)
                    for (int x = 0; x < c.n; ++x) {
                        const cube_state &f = frames[k];
                        int id = int(before.cell_cubie[x][y][z]);
                        float turned = (c.axis == 0 ? x : y) == c.layer ? c.step * (k + 1) : 0;
                        ASSERT_EQ(f.cell_cubie[x][y][z], id) << name << " frame " << k;
                        ASSERT_EQ(f.cubie_angle_x[id], c.axis == 0 ? turned : 0) << name << k;
                        ASSERT_EQ(f.cubie_angle_y[id], c.axis == 1 ? turned : 0) << name << k;
                        ASSERT_EQ(f.cubie_angle_z[id], 0) << name << " frame " << k;
                    }
        if (c.whole) { // every cubie at once, from the solved cube
            float x = c.axis == 0 ? c.step : 0, y = c.axis == 1 ? c.step : 0;
            EXPECT_EQ(angles_fault(x, y, 0), "") << name;
        }
        // Solved faces: rewritten after a layer turn, kept after a whole-cube turn.
        std::array<int, 7> done{}, solved = c.axis == 0 ? std::array<int, 7>{0, 0, 0, 0, 0, 5, 6}
                                                        : std::array<int, 7>{0, 0, 2, 0, 4, 0, 0};
        std::copy(cube.face_done, cube.face_done + 7, done.begin());
        std::array<int, 7> kept{0, 9, 9, 9, 9, 9, 9};
        EXPECT_EQ(done, c.whole ? kept : solved) << name;
        EXPECT_EQ(rest_fault(), "") << name;
        // The model follows through the layer calls, with the steps truncated.
        cube_state after = cube;
        cube = before;
        int sx = int(c.axis == 0 ? c.step : c.whole ? c.other : 0);
        int sy = int(c.axis == 1 ? c.step : c.whole ? c.other : 0);
        int lx = c.axis == 0 ? c.layer : before.layer_x,
            ly = c.axis == 1 ? c.layer : before.layer_y;
        for (int i = 0; i < (c.whole ? c.n : 1); ++i)
            apply_layer_turn(c.whole && c.axis == 0 ? i : lx, c.whole && c.axis == 1 ? i : ly,
                             c.axis, sx, sy);
        EXPECT_EQ(0, memcmp(cube.cell_cubie, after.cell_cubie, sizeof cube.cell_cubie)) << name;
        EXPECT_EQ(0, memcmp(cube.facelet, after.facelet, sizeof cube.facelet)) << name;
    }
}

TEST_F(Motion, RandomTurnsKeepPictureAndModelAgreeing)
{
    for (int n : {2, 3}) {
        std::mt19937 rng(n == 2 ? 20240 : 30303); // fixed: a failure replays
        for (int seq = 0; seq < 1500; ++seq) {
            start(n);
            for (int t = 0; t < 12; ++t) {
                int kind = int(rng() % 6), axis = int(rng() % 2);
                float sign = rng() % 2 ? 1.0f : -1.0f;
                if (kind < 4)
                    layer_turn(axis, int(rng() % unsigned(n)), sign * turn_step);
                else
                    whole_turn(axis, sign * whole_step);
                std::string step = "N " + std::to_string(n) + " sequence " + std::to_string(seq) +
                                   " turn " + std::to_string(t) + ": ";
                ASSERT_EQ(frame_fault, "") << step << "mid-turn";
                ASSERT_EQ(range_fault(), "") << step;
                ASSERT_EQ(rest_fault(), "") << step;
            }
        }
    }
}

// One frame per key, as the keys leave the record (deltas set, turn steps
// cleared): update, draw, re-orient. Returns each re-orientation as
// "<frame><axis><result>", and "<frame>steps" if the frame left a turn step
// other than the one of its whole-cube turn.
std::string press(const std::string &keys)
{
    std::string events;
    for (size_t i = 0; i < keys.size(); ++i) {
        char k = keys[i];
        cube.view_delta[0] = cube.view_delta[1] = cube.view_delta[2] = 0;
        cube.turn_step_x = cube.turn_step_y = 0;
        const char *spin = "azsxdc", *at = std::strchr(spin, k);
        if (at && k) cube.view_delta[(at - spin) / 2] = (at - spin) % 2 ? -5 : 5;
        update_view_angles();
        reorient_cube();
        std::string frame = std::to_string(i + 1);
        if (reorient_angle_x) events += frame + "x" + std::to_string(reorient_angle_x) + " ";
        if (reorient_angle_y) events += frame + "y" + std::to_string(reorient_angle_y) + " ";
        auto left = [](int result) { return result == 90 ? -90.0f : result == 270 ? 90.0f : 0; };
        if (cube.turn_step_x != left(reorient_angle_x) ||
            cube.turn_step_y != left(reorient_angle_y))
            events += frame + "steps ";
    }
    return events;
}

std::string times_n(const char *keys, int n)
{
    std::string s;
    while (n-- > 0) s += keys;
    return s;
}

TEST_F(Motion, ViewSpinReorientsAtFortyFive)
{
    const std::string z9 = times_n("z", 9), d36x9 = times_n("d", 36) + times_n("x", 9),
                      c36a9 = times_n("c", 36) + times_n("a", 9);
    struct spin_case {
        std::string keys;
        float from[3];
        const char *events;
        float view[3];
        float cubie[3]; // every cubie, from the solved cube
    } cases[] = {
        {z9, {0, 0, 0}, "9x90 ", {40, 0, 0}, {-90, 0, 0}},
        {times_n("a", 9), {0, 0, 0}, "9x270 ", {-40, 0, 0}, {90, 0, 0}},
        {times_n("s", 9), {0, 0, 0}, "9y270 ", {0, -40, 0}, {0, 90, 0}},
        {times_n("x", 9), {0, 0, 0}, "9y90 ", {0, 40, 0}, {0, -90, 0}},
        {"sssdd" + z9, {0, 0, 0}, "14x90 ", {40, 10, -15}, {-90, 0, 0}},
        {z9, {0, 15, 10}, "9x90 ", {40, 10, -15}, {-90, 0, 0}},
        {z9, {0, 10, 15}, "9x90 ", {40, 15, -10}, {-90, 0, 0}},
        {"a", {-40, 10, 15}, "", {-35, 10, 15}, {0, 0, 0}},
        {"a", {40, 10, 15}, "1x270 ", {-40, -15, 10}, {90, 0, 0}},
        {"x", {10, -40, 15}, "1y90 ", {-15, 40, 10}, {0, -90, 0}},
        {"s", {10, 40, 15}, "1y270 ", {15, -40, -10}, {0, 90, 0}},
        {z9 + "a", {0, 0, 0}, "9x90 10x270 ", {-40, 0, 0}, {0, 0, 0}},
        {z9 + "aa", {0, 0, 0}, "9x90 10x270 ", {-35, 0, 0}, {0, 0, 0}},
        {times_n("z", 26), {0, 0, 0}, "9x90 26x90 ", {40, 0, 0}, {-180, 0, 0}},
        {times_n("d", 36), {0, 0, 0}, "", {0, 0, -180}, {0, 0, 0}},
        {times_n("c", 36), {0, 0, 0}, "", {0, 0, -180}, {0, 0, 0}},
        {times_n("c", 37), {0, 0, 0}, "", {0, 0, 175}, {0, 0, 0}},
        // Toward 0 through +-45, and a still frame there: nothing fires.
        {"z.", {50, 0, 0}, "", {45, 0, 0}, {0, 0, 0}},
        {"a.", {-50, 0, 0}, "", {-45, 0, 0}, {0, 0, 0}},
        {"x.", {0, 50, 0}, "", {0, 45, 0}, {0, 0, 0}},
        {"s.", {0, -50, 0}, "", {0, -45, 0}, {0, 0, 0}},
        // An exchange negates -180 to 180; the next frame wraps it whatever it adds.
        {d36x9, {0, 0, 0}, "45y90 ", {180, 40, 0}, {0, -90, 0}},
        {d36x9 + "a", {0, 0, 0}, "45y90 ", {-175, 40, 0}, {0, -90, 0}},
        {d36x9 + ".", {0, 0, 0}, "45y90 ", {-180, 40, 0}, {0, -90, 0}},
        {d36x9 + "z", {0, 0, 0}, "45y90 ", {175, 40, 0}, {0, -90, 0}},
        {d36x9 + times_n("a", 45), {0, 0, 0}, "45y90 90x270 ", {-40, 0, 40}, {0, -90, -90}},
        {c36a9, {0, 0, 0}, "45x270 ", {-40, 180, 0}, {90, 0, 0}},
        {c36a9 + "s", {0, 0, 0}, "45x270 ", {-40, -175, 0}, {90, 0, 0}},
        {c36a9 + times_n("s", 45), {0, 0, 0}, "45x270 90y270 ", {0, -40, 40}, {90, 0, -90}}};
    for (const spin_case &c : cases)
        for (int axis : {0, 1}) {
            start(3);
            cube.turn_axis = axis;
            std::copy(c.from, c.from + 3, cube.view_angle);
            std::string name = c.keys.substr(0, 12) + "... (" + std::to_string(c.keys.size()) +
                               " keys) from " + std::to_string(c.from[0]);
            EXPECT_EQ(press(c.keys), c.events) << name;
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(cube.view_angle[i], c.view[i]) << name << " view " << i;
            EXPECT_EQ(angles_fault(c.cubie[0], c.cubie[1], c.cubie[2]), "") << name;
            EXPECT_EQ(cube.turn_axis, axis) << name;
            EXPECT_EQ(cube.whole_x + cube.whole_y, 0) << name;
            EXPECT_EQ(display_calls, 0) << name;
            EXPECT_EQ(rest_fault(), "") << name;
        }
}

} // namespace
