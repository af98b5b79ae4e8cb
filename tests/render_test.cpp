// tests/render_test.cpp -- pictures in a real window, read back before each swap, against the
// physical cube of oracle.h: the stickers, their black edges, the solved-face column, the yellow
// frame round the chosen layer; and what the keys choose, turn and spin.
#include "input.h"
#include "motion.h"
#include "oracle.h"
#include "render.h"
#include "window.h"

#include <GL/freeglut.h>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>

constexpr int win_w = 450;
constexpr int win_h = 350;
static unsigned char last[win_h][win_w][4]; // the last frame drawn, bottom row first
static int frames;

using point = std::array<double, 3>;

// By colour number.
const float rgb[7][3] = {
    {0, 0, 0},   // black
    {1, 0, 0},   // red
    {1, 1, 0},   // yellow
    {0, 0, 1},   // blue
    {1, 0.5, 0}, // orange
    {1, 1, 1},   // white
    {0, 1, 0},   // green
};
// View angles X, Y, Z that turn face f straight to the eye.
const float facing[7][3] = {
    {0, 0, 0},   // no face
    {0, 0, 0},   // +Z
    {-90, 0, 0}, // -Y
    {0, 180, 0}, // -Z
    {90, 0, 0},  // +Y
    {0, 90, 0},  // -X
    {0, -90, 0}, // +X
};

// Takes GLUT's place: every frame drawn, a turn's 18 too, is counted and read back.
extern "C" void glutSwapBuffers()
{
    static auto real = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    glReadPixels(0, 0, win_w, win_h, GL_RGBA, GL_UNSIGNED_BYTE, last);
    ++frames;
    real();
}

// A frame as a repaint draws it, in the view angles `view` and no spin; the record is kept.
static void draw_still(const float *view)
{
    const cube_state saved = cube;
    std::memset(cube.view_delta, 0, sizeof cube.view_delta);
    std::copy(view, view + 3, cube.view_angle);
    glutPostRedisplay();
    glutMainLoopEvent();
    cube = saved;
}

// p turned right-handed about `axis` by `degrees`.
static point turned(const point &p, int axis, double degrees)
{
    const int i = oracle::turned_axes[axis][0];
    const int j = oracle::turned_axes[axis][1];
    const double r = degrees * M_PI / 180;
    point q = p;
    q[i] = p[i] * std::cos(r) - p[j] * std::sin(r);
    q[j] = p[i] * std::sin(r) + p[j] * std::cos(r);
    return q;
}

// p as the eye sees it in `view`: turned by Rx(X) Ry(Y) Rz(Z), the frame's order.
static point in_view(const point &p, const float *view)
{
    const point about_z = turned(p, 2, view[2]);
    const point about_y = turned(about_z, 1, view[1]);
    return turned(about_y, 0, view[0]);
}

// Whether the last frame shows colour `rgb` lit at `light` (the cosine of the surface to the
// light on the eye's axis; GL's default ambient, 0.2 of 0.2, added) at eye-space point p. The
// camera looks from (0, 0, 4N + 5) in 55 degrees.
static bool shows(const point &p, const float *colour, double light)
{
    const double distance = 4 * cube.cube_size + 5 - p[2];
    const double pixels_a_unit = win_h / 2 / std::tan(27.5 * M_PI / 180) / distance;
    const int x = int(win_w / 2 + p[0] * pixels_a_unit);
    const int y = int(win_h / 2 + p[1] * pixels_a_unit);
    for (int i = 0; i < 3; ++i) {
        const double expected = 255 * std::fmin(1, colour[i] * light + 0.04);
        if (std::fabs(last[y][x][i] - expected) > 14) return false;
    }
    return true;
}

// The last frame, drawn in `view`, against the physical cube as drawn: each sticker that faces
// the eye shows its colour, lit by how straight it faces the light. The column shows a square
// at (3N, c - 3) for each colour c that face_done holds.
static void expect_stickers(const float *view)
{
    const oracle::physical pc;
    const int n = cube.cube_size;
    for (int id = 1; id <= n * n * n; ++id)
        for (int k = 1; k <= 6; ++k) {
            const oracle::cubie &c = pc.cubies[id];
            if (oracle::dot(c[0], c[k]) != n - 1) continue; // inside the cube
            point centre;
            point side;
            for (int i = 0; i < 3; ++i) centre[i] = c[0][i] + c[k][i];
            for (int i = 0; i < 3; ++i) side[i] = c[k][i];
            const double light = in_view(side, view)[2];
            if (light < 0.35) continue;
            EXPECT_TRUE(shows(in_view(centre, view), rgb[k], light)) << k;
        }
    for (int c = 1; c <= 6; ++c) {
        const bool done = std::count(cube.face_done + 1, cube.face_done + 7, c) > 0;
        const int shown = done ? c : 0;
        EXPECT_TRUE(shows({3.0 * n, c - 3.0, 0}, rgb[shown], 1)) << c;
    }
}

// Frame point p round a layer across `axis`, in the cube's axes as the selection frame is drawn:
// turned onto its axis, then by x_angle about X and y_angle about Y.
static point placed(const point &p, int axis, double x_angle, double y_angle)
{
    const point on_axis = turned(p, 2, 90 * axis);
    const point about_y = turned(on_axis, 1, y_angle);
    return turned(about_y, 0, x_angle);
}

// The last frame's yellow frame round `layer` across `axis`, drawn in `view` and placed: the
// slab's outline enlarged to stand 0.1 off the cube, a rectangle on each side. Where one lies
// outside the cube facing the eye, the middles of two opposite edges show; the other two edges of
// the bands across Y and of the ends lie too near another rectangle's edge seen side on.
static void expect_frame(const float *view, int axis, int layer, double x_angle, double y_angle)
{
    const int n = cube.cube_size;
    const double a = n + 0.1;
    const double s = a / n;
    const double inset = 0.07;
    const double t = (2 * layer - n + 1) * s;
    // From the slab's centre to a rectangle's, and half its side, across X.
    const point rectangles[8][2] = {
        {{0, 0, a}, {s, 0, 0}},  // band across +Z: its sides
        {{0, 0, a}, {0, a, 0}},  // and its ends
        {{0, 0, -a}, {s, 0, 0}}, // band across -Z
        {{0, 0, -a}, {0, a, 0}},
        {{0, a, 0}, {s, 0, 0}},                // band across +Y
        {{0, -a, 0}, {s, 0, 0}},               // band across -Y
        {{-s, 0, 0}, {0, 0, (s - inset) * n}}, // the ends, in the slab's boundary planes
        {{s, 0, 0}, {0, 0, (s - inset) * n}},
    };
    for (const auto &r : rectangles) {
        const double reach = std::fabs(r[0][0] + r[0][1] + r[0][2]);
        point out;
        for (int i = 0; i < 3; ++i) out[i] = r[0][i] / reach;
        if (reach + t * out[0] < n) continue; // inside the cube
        const point frame_out = placed(out, axis, x_angle, y_angle);
        const double light = in_view(frame_out, view)[2];
        if (light < 0.5) continue;
        for (double sign : {1, -1}) {
            point end = {t, 0, 0};
            for (int i = 0; i < 3; ++i) end[i] = end[i] + r[0][i] + sign * r[1][i];
            const point frame_end = placed(end, axis, x_angle, y_angle);
            EXPECT_TRUE(shows(in_view(frame_end, view), rgb[yellow], light));
        }
    }
}

// A still frame in `view` with the frame round `layer` across `axis`.
static void expect_picture(const float *view, int axis, int layer)
{
    draw_still(view);
    expect_stickers(view);
    expect_frame(view, axis, layer, 0, 0);
}

// Straight at the front of the first frame, a black edge parts the bottom right sticker from the
// one above it (away from the yellow frame, round layer 0).
TEST(Render, StickersAreEdgedInBlack)
{
    for (int n : {2, 3}) {
        oracle::start(n);
        build_cubie_lists();
        draw_still(facing[1]);
        bool edged = false;
        for (int step = 0; step <= 100; ++step) {
            const point on_the_way = {n - 1.0, 1 - n + step / 50.0, 1.0 * n};
            if (shows(on_the_way, rgb[0], 1)) edged = true;
        }
        EXPECT_TRUE(edged);
    }
}

// The cursor keys and Page Up, by the letters the session types for them, and the layer each
// steps: across X (axis 0) or Y, up or down; Page Up steps none.
struct cursor_key {
    char key;
    int code;
    int axis;
    int step;
};
const cursor_key cursor_keys[] = {
    {'R', GLUT_KEY_RIGHT, 0, 1}, {'L', GLUT_KEY_LEFT, 0, -1},   {'U', GLUT_KEY_UP, 1, 1},
    {'D', GLUT_KEY_DOWN, 1, -1}, {'P', GLUT_KEY_PAGE_UP, 0, 0},
};

// A session typed key by key, each followed on the physical cube: the frames it asks for, the
// layer and axis it chooses; then the picture in the view it leaves and from each side. Nine z
// turn the whole cube about X at -45 degrees; nine x turn it about Y at -45 and an s turns it
// back at 45. That frame turns the yellow frame back onto the cubies, which are still drawn as
// they were. A cursor key leaves the spin about Z, which the frame it asks for goes on with. The
// view ends where only those turns and their exchanges of view angles leave it.
TEST(Render, SessionMatchesThePhysicalCube)
{
    const std::string keys = "wRwRR1L1UwUU1DDwDUzzzzzzzzzRxxxxxxxxxswDdPPcAL1";
    const float end_view[3] = {40, -40, 10};
    for (int n : {2, 3}) {
        SCOPED_TRACE(n);
        oracle::start(n);
        build_cubie_lists();
        oracle::physical pc;
        int layer[2] = {0, 0};
        int axis = 0;
        for (char k : keys) {
            SCOPED_TRACE(k);
            const cursor_key *cursor = nullptr;
            for (const cursor_key &c : cursor_keys)
                if (c.key == k) cursor = &c;
            if (cursor && cursor->step != 0) {
                axis = cursor->axis;
                layer[axis] = (layer[axis] + cursor->step + n) % n;
            }
            int turn = 0;
            if (k == 'w') turn = 1;
            if (k == '1') turn = -1;
            float view[3];
            std::copy(cube.view_angle, cube.view_angle + 3, view);
            const int frames_before = frames;
            if (cursor) special(cursor->code, 0, 0);
            if (!cursor) keyboard(k, 0, 0);
            glutMainLoopEvent();
            EXPECT_EQ(frames - frames_before, turn == 0 ? 1 : 1 + turn_frames);
            EXPECT_EQ(cube.layer_x, layer[0]);
            EXPECT_EQ(cube.layer_y, layer[1]);
            EXPECT_EQ(cube.turn_axis, axis);
            // The view of the frame the key asked for, before it re-oriented.
            for (int i = 0; i < 3; ++i) view[i] = view[i] + cube.view_delta[i];
            const int whole_x = reorient_angle_x;
            const int whole_y = reorient_angle_y;
            expect_frame(view, axis, layer[axis], whole_x, whole_y);
            if (turn != 0) pc.turn(axis, layer[axis], turn);
            if (whole_x != 0) pc.turn(0, -1, whole_x == 90 ? -1 : 1);
            if (whole_y != 0) pc.turn(1, -1, whole_y == 90 ? -1 : 1);
            ASSERT_EQ(pc.mismatches(), 0);
            expect_picture(cube.view_angle, axis, layer[axis]);
            for (int f = 1; f <= 6; ++f) expect_picture(facing[f], axis, layer[axis]);
        }
        EXPECT_TRUE(std::equal(end_view, end_view + 3, cube.view_angle));
    }
}

// The program's window, moved off (0, 0) where program_test's open. Its first frame comes once
// the X server has mapped it; ctest's time limit ends a run whose window never shows.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    cube.cube_size = 3;
    open_window(&argc, argv);
    glutPositionWindow(glutGet(GLUT_SCREEN_WIDTH) - win_w, glutGet(GLUT_SCREEN_HEIGHT) - win_h);
    while (frames == 0) glutMainLoopEvent();
    return RUN_ALL_TESTS();
}
