// tests/render_test.cpp -- pictures in a real window, read back before each swap.
#include "window.h"
#include "input.h"
#include "motion.h"
#include "oracle.h"
#include "render.h"

#include <GL/freeglut.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

constexpr int win_w = 450, win_h = 350;
static unsigned char last[win_h][win_w][4];
static int frames;
static const float facing[3][2][3] = {{{0, 90}, {0, -90}}, {{-90}, {90}}, {{0, 180}, {}}};

// Takes GLUT's place: every frame drawn, a turn's 18 too, is counted and read back.
extern "C" void glutSwapBuffers()
{
    static auto real = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    glReadPixels(0, 0, win_w, win_h, GL_RGBA, GL_UNSIGNED_BYTE, last);
    ++frames, real();
}

// A frame as a repaint draws it, the spin held, in the view angles `view`.
static void draw_still(const float *view)
{
    const cube_state saved = cube;
    std::memset(cube.view_delta, 0, sizeof cube.view_delta);
    std::copy(view, view + 3, cube.view_angle);
    glutPostRedisplay();
    glutMainLoopEvent();
    cube = saved;
}

// The colour the last frame shows at p after the rotation `view`, seen from (0, 0, 4N + 5) in
// 55 degrees, lit at the cosine of its normal d: 0 none, -2 other, -3 turned away.
static int seen(std::array<double, 3> p, const float *view, std::array<double, 3> d = {0, 0, 1})
{
    static const float rgb[7][3] = {{0, 0, 0},  {1, 0, 0}, {1, 1, 0}, {0, 0, 1},
                                    {1, .5, 0}, {1, 1, 1}, {0, 1, 0}};
    for (int i = 2; view && i >= 0; --i) // Rz, then Ry, then Rx
        for (auto *v : {&p, &d}) {
            const double r = view[i] * M_PI / 180, a = (*v)[(i + 1) % 3], b = (*v)[(i + 2) % 3];
            (*v)[(i + 1) % 3] = a * std::cos(r) - b * std::sin(r);
            (*v)[(i + 2) % 3] = a * std::sin(r) + b * std::cos(r);
        }
    const double f = 1 / std::tan(27.5 * M_PI / 180) / (4 * cube.cube_size + 5 - p[2]);
    const int x = int((1 + f * p[0] * win_h / win_w) * win_w / 2),
              y = int((1 + f * p[1]) * win_h / 2);
    const unsigned char *px = last[std::clamp(y, 0, win_h - 1)][std::clamp(x, 0, win_w - 1)];
    for (int c = 0, near = 0; c <= 6 && d[2] >= 0.35; ++c, near = 0) {
        for (int i = 0; i < 3; ++i)
            near += std::fabs(px[i] - 255 * std::fmin(1, rgb[c][i] * d[2] + 0.04)) < 14;
        if (near == 3) return c;
    }
    return d[2] < 0.35 ? -3 : -2;
}

// A still frame in `view` against the physical cube as drawn (the model must match it):
// stickers in their colours, column squares at y = c - 3 for colours c in face_done only; from
// +Z and -Z, yellow ends of the frame's bands round `layer` across `axis` (on +Z only those).
static void expect_picture(const float *view, int axis, int layer)
{
    const oracle::physical pc(true);
    const int n = cube.cube_size;
    ASSERT_EQ(pc.mismatch(), "");
    draw_still(view);
    for (const oracle::cubie &c : pc.cubies)
        for (int k = 1; k <= 6; ++k) {
            std::array<double, 3> p, d;
            for (int i = 0; i < 3; ++i) p[i] = c[0][i] + c[k][i], d[i] = c[k][i];
            const int got = p[0] * d[0] + p[1] * d[1] + p[2] * d[2] == n ? seen(p, view, d) : k;
            EXPECT_TRUE(got == k || got == -3) << "colour " << k << " shows " << got;
        }
    for (int c = 0; c <= 6; ++c)
        EXPECT_EQ(seen({3.0 * n, c - 3.0, 0}, nullptr),
                  std::count(cube.face_done + 1, cube.face_done + 7, c) && c ? c : 0);
    for (int z : {1, -1}) {
        draw_still(facing[2][z > 0]);
        for (int i = 0; i < 2 * n; ++i) {
            const double a = n + 0.1;
            std::array<double, 3> p{0, 0, z * a};
            p[axis] = (2 * (i / 2) - n + 1) * a / n, p[1 - axis] = (i % 2 ? a : -a);
            const int got = seen(p, facing[2][z > 0], {0, 0, 1.0 * z});
            EXPECT_TRUE(got == (i / 2 == layer ? yellow : 0) || (z < 0 && i / 2 != layer))
                << z << i;
        }
    }
}

// From the first frame, keys (L U R D P: cursor keys, Page Up) followed on the physical cube:
// turns, spins re-orienting about X and Y both ways, keys meaning nothing. A key asks for one
// frame (a turn 18 more); a spin key turns 5 degrees (Z's goes on through special keys).
TEST(Render, PictureAgreesWithThePhysicalCube)
{
    const std::string keys = "wDw RRRLLUUUDDRDLU 1 UU1 Lw D1 R1 LLw Uzzzzzzzzz Rsssssssss dddddddd "
                             "ssssssss Uaaaaaaaaa Rxxxxxxxxx AddPLcA";
    for (int n : {2, 3}) {
        oracle::start(n);
        build_cubie_lists(); // again, over the same names
        oracle::physical pc;
        int layer[2] = {}, axis = 0, delta[3] = {};
        for (size_t i = 0; i <= keys.size(); ++i) {
            SCOPED_TRACE("N " + std::to_string(n) + " key " + std::to_string(i));
            const char k = i ? keys[i - 1] : ' ', *spins = "azsxdc", *spin = std::strchr(spins, k);
            const char *specials = "LURDP", *code = std::strchr(specials, k);
            const int before = frames + 1 + (k == 'w' || k == '1') * turn_frames;
            delta[0] = delta[1] = 0, delta[2] = code ? delta[2] : 0;
            if (spin) delta[(spin - spins) / 2] = (spin - spins) % 2 ? -5 : 5;
            if (k == 'L' || k == 'R') axis = 0, layer[0] = (layer[0] + (k == 'R' ? 1 : n - 1)) % n;
            if (k == 'D' || k == 'U') axis = 1, layer[1] = (layer[1] + (k == 'U' ? 1 : n - 1)) % n;
            float view[3] = {cube.view_angle[0] + delta[0], cube.view_angle[1] + delta[1],
                             cube.view_angle[2] + delta[2]};
            code ? special(GLUT_KEY_LEFT + int(code - specials), 0, 0)
                 : keyboard((unsigned char)k, 0, 0);
            glutMainLoopEvent();
            ASSERT_TRUE(frames == before && cube.layer_x == layer[0] && cube.layer_y == layer[1] &&
                        cube.turn_axis == axis);
            const int rx = reorient_angle_x, ry = reorient_angle_y;
            if (k == 'w' || k == '1') pc.turn(axis, layer[axis], k == 'w' ? 1 : -1);
            if (rx || ry) pc.turn(ry != 0, -1, rx + ry == 90 ? -1 : 1);
            EXPECT_TRUE(rx || ry || std::equal(view, view + 3, cube.view_angle));
            ASSERT_EQ(pc.mismatch(), "");
            expect_picture(cube.view_angle, axis, layer[axis]);
        }
        for (int j = 0; j < 6; ++j) expect_picture(facing[j / 2][j % 2], axis, layer[axis]);
    }
}

// The program's window, moved off (0, 0) where program_test's open, once it shows.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    cube.cube_size = 3;
    open_window(&argc, argv);
    glutPositionWindow(glutGet(GLUT_SCREEN_WIDTH) - win_w, glutGet(GLUT_SCREEN_HEIGHT) - win_h);
    for (int i = 0; i < 20000 && frames == 0; ++i) glutMainLoopEvent(), usleep(1000);
    return frames ? RUN_ALL_TESTS() : (std::puts("the window never showed"), 1);
}
