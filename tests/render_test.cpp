// tests/render_test.cpp -- pictures in a real window, read back before each swap, against the
// physical cube of oracle.h: the stickers, the solved-face column, the yellow
// frame round the chosen layer; and what the keys choose, turn and spin.
#include "input.h"
#include "motion.h"
#include "oracle.h"
#include "render.h"
#include "window.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cmath>
#include <dlfcn.h>
#include <gtest/gtest.h>

constexpr int win_w = 450;
constexpr int win_h = 350;
static unsigned char last[win_h][win_w][4]; // the last frame drawn, bottom row first
static int frames;

using point = oracle::vec;

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

// Takes GLUT's place: every frame drawn, a turn's 18 too, is read back; the first is waited for.
extern "C" void glutSwapBuffers()
{
    static auto real = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    glReadPixels(0, 0, win_w, win_h, GL_RGBA, GL_UNSIGNED_BYTE, last);
    ++frames;
    real();
}

// A frame as a repaint draws it, with no spin; the record is kept.
void draw_still()
{
    cube_state saved = cube;
    std::fill_n(cube.view_delta, 3, 0);
    glutPostRedisplay();
    glutMainLoopEvent();
    cube = saved;
}

// p as the eye sees it: turned by Rx(X) Ry(Y) Rz(Z) of the view angles, the frame's order.
point in_view(point p)
{
    for (int axis = 2; axis >= 0; --axis) p = oracle::turned(p, axis, cube.view_angle[axis]);
    return p;
}

// Whether the last frame shows colour number `colour` lit at `light` (the cosine of the surface
// to the light on the eye's axis; GL's default ambient, 0.2 of 0.2, added) at eye-space point p.
// The camera looks from (0, 0, 4N + 5) in 55 degrees.
bool shows(const point &p, int colour, double light)
{
    double distance = 4 * cube.cube_size + 5 - p[2];
    double pixels_a_unit = win_h / 2 / std::tan(27.5 * M_PI / 180) / distance;
    int x = int(win_w / 2 + p[0] * pixels_a_unit);
    int y = int(win_h / 2 + p[1] * pixels_a_unit);
    for (int i = 0; i < 3; ++i) {
        double expected = 255 * std::fmin(1, rgb[colour][i] * light + 0.04);
        if (std::fabs(last[y][x][i] - expected) > 14) return false;
    }
    return true;
}

// Whether point p, on a surface facing `out`, shows colour number `colour` in the last frame, lit
// by how straight the surface faces the light. A surface facing the eye at less than 0.5 is not
// looked at.
void expect_seen(const point &p, const point &out, int colour)
{
    double light = in_view(out)[2];
    if (light < 0.5) return;
    EXPECT_TRUE(shows(in_view(p), colour, light)) << colour;
}

// A still frame against the physical cube as drawn: each sticker shows its colour, and the column
// a square at (3N, c - 3) in colour c for each c that face_done holds (for an unsolved face, none
// where red's would lie below). The yellow frame round `layer`, drawn across X and turned onto
// `axis` about Z: its bands across +-Y and +-Z outline the slab's box enlarged to stand 0.1 off
// the cube. They show the middles of the box's edges, each edge drawn by the band across its later
// axis. The rectangles at the ends, in the slab's boundary planes, are not looked at.
void expect_picture(int axis, int layer)
{
    draw_still();
    oracle::physical pc;
    int n = cube.cube_size;
    for (int id = 1; id <= n * n * n; ++id)
        for (int k = 1; k <= 6; ++k) {
            const oracle::cubie &c = pc.cubies[id];
            if (oracle::dot(c[0], c[k]) != n - 1) continue; // inside the cube
            point centre = c[0];
            for (int i = 0; i < 3; ++i) centre[i] += c[k][i];
            expect_seen(centre, c[k], k);
        }
    for (int f = 1; f <= 6; ++f) {
        int c = cube.face_done[f];
        EXPECT_TRUE(shows({3.0 * n, c - 3.0, 0}, c, 1)) << f;
    }
    double a = n + 0.1;
    double s = a / n;
    double t = (2 * layer - n + 1) * s;
    point half = {s, a, a};
    double onto_axis = 90.0 * axis;
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j)
            for (double sign_i : {1, -1})
                for (double sign_j : {1, -1}) {
                    point p = {t, 0, 0};
                    p[i] += sign_i * half[i];
                    p[j] += sign_j * half[j];
                    point out = {};
                    out[j] = sign_j;
                    expect_seen(oracle::turned(p, 2, onto_axis), oracle::turned(out, 2, onto_axis),
                                yellow);
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

// A session typed key by key, each followed on the physical cube, then the picture with the
// yellow frame round the layer and axis it chooses, in the view it leaves. Nine z turn the whole
// cube about X at -45 degrees; nine x turn it about Y at -45 and an s turns it back at 45. A
// cursor key leaves the spin about Z, which the frame it asks for goes on with; a key that asked
// for no frame would leave the view behind. Then 34 d bring Z round to -180, and an a turns the
// cube about X at 45, which hands Y the 180 that shows the back of the cube. The view ends where
// only those turns and their exchanges of view angles leave it.
TEST(Render, SessionMatchesThePhysicalCube)
{
    std::string keys =
        "wRwRR1L1UwUU1DDwDUzzzzzzzzzRxxxxxxxxxswDdPPcAL1" + std::string(34, 'd') + "a";
    float end_view[3] = {-40, 180, -40};
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
            if (cursor) special(cursor->code, 0, 0);
            if (!cursor) keyboard(k, 0, 0);
            glutMainLoopEvent();
            pc.turn(axis, layer[axis], 90 * turn);
            pc.turn(0, -1, -reorient_angle_x);
            pc.turn(1, -1, -reorient_angle_y);
            ASSERT_EQ(pc.mismatches(), 0);
            expect_picture(axis, layer[axis]);
        }
        EXPECT_TRUE(std::equal(end_view, end_view + 3, cube.view_angle));
    }
}

// The program's window, moved off (0, 0) where program_test's open. Its first frame comes once
// the X server has mapped it; ctest's time limit ends a run whose window never shows.
int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    cube.cube_size = 3;
    open_window(&argc, argv);
    glutPositionWindow(glutGet(GLUT_SCREEN_WIDTH) - win_w, glutGet(GLUT_SCREEN_HEIGHT) - win_h);
    while (frames == 0) glutMainLoopEvent();
    return RUN_ALL_TESTS();
}
