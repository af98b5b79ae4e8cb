// tests/render_test.cpp -- the picture in a real window: the first frame, the
// selection frame under the cursor keys, drawn stickers against the model
// after turns and re-orientations, the turn's frames, a key fuzz, reshape.
#include "oracle.h"
#include "app.h"
#include "cube.h"
#include "input.h"
#include "motion.h"
#include "render.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <unistd.h>

namespace
{
constexpr int win_w = 450, win_h = 350;
using image = unsigned char[win_h][win_w][3];
int frames;            // frames swapped so far
bool read_back = true; // off in the fuzz, which only counts
image last, kept;      // the last frame swapped; frame number keep_frame
int keep_frame = -1;
bool kept_new;    // kept since the last test ended
image first;      // the first frame of a test, when its frames are saved
bool first_asked; // the next frame is a test's first
} // namespace

// Takes the library's place for the whole test program, so every frame the
// program draws, the 18 of a turn included, is counted and read back from
// the back buffer just before it is shown.
extern "C" void glutSwapBuffers()
{
    static auto real = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    ++frames;
    if (read_back) {
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, win_w, win_h, GL_RGB, GL_UNSIGNED_BYTE, last);
        if (frames == keep_frame) std::memcpy(kept, last, sizeof last), kept_new = true;
        if (first_asked) std::memcpy(first, last, sizeof last), first_asked = false;
    }
    real();
}

namespace
{

// Lets GLUT draw the frame a callback asked for, as its event loop would.
void pump()
{
    glutMainLoopEvent();
}

// One key as the player presses it, R L U D being the cursor keys.
void send(char k)
{
    const char *arrows = "LURD"; // GLUT_KEY_LEFT .. GLUT_KEY_DOWN are 100 .. 103
    const char *at = std::strchr(arrows, k);
    at ? special(GLUT_KEY_LEFT + int(at - arrows), 0, 0) : keyboard((unsigned char)k, 0, 0);
}
void play(const std::string &keys)
{
    for (char k : keys) send(k), pump();
}

// For one check: the spin held still and, if given, other view angles; both
// are put back afterwards. Its frame is drawn as a repaint would draw it.
struct held_view {
    cube_state saved = cube;
    explicit held_view(const float *angles = nullptr)
    {
        std::memset(cube.view_delta, 0, sizeof cube.view_delta);
        if (angles) std::memcpy(cube.view_angle, angles, sizeof cube.view_angle);
        glutPostRedisplay();
        pump();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "the frames so far left a GL error";
    }
    ~held_view()
    {
        std::memcpy(cube.view_delta, saved.view_delta, sizeof cube.view_delta);
        std::memcpy(cube.view_angle, saved.view_angle, sizeof cube.view_angle);
    }
};

//-----------------------------------------------------------------------------
// [SECTION] Oracle: where a point lands and what colour it shows there
//-----------------------------------------------------------------------------
const float rgb[7][3] = {{0, 0, 0},    {1, 0, 0}, {1, 1, 0}, {0, 0, 1},
                         {1, 0.5f, 0}, {1, 1, 1}, {0, 1, 0}};
constexpr int background = 0, edge_black = -1, other = -2;

// Colour number of a pixel of a surface whose normal makes angle acos(k)
// with the light: the colour times k plus the default ambient 0.2 x 0.2.
int classify(const unsigned char *px, double k = 1)
{
    if (px[0] + px[1] + px[2] == 0) return background; // nothing drawn
    for (int c = 0; c <= 6; ++c) {
        bool near = true;
        for (int i = 0; i < 3; ++i)
            near = near && std::fabs(px[i] - 255 * std::fmin(1.0, rgb[c][i] * k + 0.04)) < 14;
        if (near) return c == 0 ? edge_black : c;
    }
    return other;
}

// The camera and, with spin, the view rotation in the record.
void view_matrix(bool spin, double m[16])
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0, 0, 4 * cube.cube_size + 5, 0, 0, 0, 0, 1, 0);
    if (spin) {
        glRotated(cube.view_angle[0], 1, 0, 0);
        glRotated(cube.view_angle[1], 0, 1, 0);
        glRotated(cube.view_angle[2], 0, 0, 1);
    }
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    glPopMatrix();
}

// The pixel where model point v lands, or its neighbour (dx, dy).
struct pt {
    double x, y, z;
};
const unsigned char *pixel_at(pt v, bool spin = true, const image &img = last, int dx = 0,
                              int dy = 0)
{
    static const unsigned char outside[3] = {255, 0, 255};
    double model[16], proj[16], wx, wy, wz;
    int vp[4];
    view_matrix(spin, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, vp);
    gluProject(v.x, v.y, v.z, model, proj, vp, &wx, &wy, &wz);
    int px = int(std::floor(wx)) + dx, py = int(std::floor(wy)) + dy;
    return px < 0 || py < 0 || px >= win_w || py >= win_h ? outside : img[py][px];
}

// A black edge within a pixel of the point. The edges come out 2 pixels wide,
// not 3: each lies in the plane of fills with no depth offset, and the
// neighbour's fill drawn later covers part of it.
bool edge_at(pt v)
{
    bool found = false;
    for (int d = 0; d < 9; ++d)
        found = found || classify(pixel_at(v, true, last, d % 3 - 1, d / 3 - 1)) == edge_black;
    return found;
}

// Face f: the cell holding the sticker in row r, column c, one letter per
// axis (R = p - r, C = p - c), and the side the face is on.
const char *face_cell[7] = {"", "rCp", "r0C", "rc0", "rpc", "0Cr", "pCR"};
const int face_axis[7] = {0, 2, 1, 2, 1, 0, 0}, face_sign[7] = {0, 1, -1, -1, 1, -1, 1};
const float face_view[7][3] = {{},         {0, 0, 0},  {-90, 0, 0}, {0, 180, 0},
                               {90, 0, 0}, {0, 90, 0}, {0, -90, 0}}; // turn f to the camera

// Compares every sticker of every face turned toward the camera with
// facelet, in a frame drawn with the spin held (and the view angles, if
// given); returns how many faces.
int expect_visible_faces_match_model(const std::string &when, const float *angles = nullptr)
{
    held_view still(angles);
    double m[16];
    view_matrix(true, m);
    const int n = cube.cube_size, p = n - 1;
    int compared = 0;
    for (int f = 1; f <= 6; ++f) {
        double k = face_sign[f] * m[4 * face_axis[f] + 2]; // the normal's eye z: toward the light
        if (k < 0.35) continue;                            // edge-on or turned away
        ++compared;
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c) {
                const int pick[6] = {r, c, p - r, p - c, 0, p};
                double v[3];
                for (int i = 0; i < 3; ++i)
                    v[i] = 2 * pick[std::strchr("rcRC0p", face_cell[f][i]) - "rcRC0p"] - p;
                v[face_axis[f]] = face_sign[f] * n;
                EXPECT_EQ(classify(pixel_at({v[0], v[1], v[2]}), k), cube.facelet[f][r][c])
                    << when << ": face " << f << " row " << r << " column " << c;
            }
    }
    return compared;
}

// Each face in turn toward the camera against the model, then the column:
// the colours of uniform faces, read from the stickers, each show a square at
// x = 3N, y = colour - 3, and every other colour shows none.
void expect_picture_matches_model(const std::string &when)
{
    for (int f = 1; f <= 6; ++f)
        EXPECT_EQ(expect_visible_faces_match_model(when, face_view[f]), 1)
            << when << ": face " << f;
    const int n = cube.cube_size;
    bool shown[7] = {};
    for (int f = 1; f <= 6; ++f) {
        int same = 0;
        for (int i = 0; i < n * n; ++i)
            same += cube.facelet[f][i / n][i % n] == cube.facelet[f][0][0];
        shown[cube.facelet[f][0][0]] |= same == n * n;
    }
    for (int c = 0; c <= 6; ++c) // 0, below red, stands for a face not uniform
        EXPECT_EQ(classify(pixel_at({3.0 * n, c - 3.0, 0}, false)), shown[c] ? c : background)
            << when << ": square of colour " << c;
}

// The frame is the slab scaled by (N + 0.1) / N. Each of the four faces the
// slab touches, seen straight on, shows yellow at the middle of the edges of
// that face's band that stand off the cube (on +Z also no other layer's):
// the ends of the bands on +-Z, the sides of the others, whose ends lie
// under the +-Z bands, lit edge-on and so nearly black.
void expect_frame_on(int axis, int layer, const std::string &when)
{
    const int n = cube.cube_size;
    const double a = n + 0.1, s = a / n;
    for (int f : {1, 3, axis == 0 ? 4 : 5, axis == 0 ? 2 : 6}) {
        held_view still(face_view[f]);
        const int na = face_axis[f], u = 3 - axis - na;
        for (int l = 0; l < n; ++l)
            for (int side : {-1, 1}) {
                double v[3];
                v[axis] = (2 * l - (n - 1) + (na != 2) * side) * s, v[na] = face_sign[f] * a;
                v[u] = (na == 2) * side * a;
                bool is_yellow = classify(pixel_at({v[0], v[1], v[2]})) == yellow;
                EXPECT_TRUE(is_yellow == (l == layer) || (f != 1 && l != layer))
                    << when << ": axis " << axis << " layer " << l << " face " << f << " " << side;
            }
    }
    // An end layer's outer boundary plane stands off the cube's side: seen
    // from there, yellow at the middle of its long edges, inset 0.07 N.
    if (layer != 0 && layer != n - 1) return;
    const int f = layer == 0 ? (axis == 0 ? 5 : 2) : (axis == 0 ? 6 : 4);
    held_view still(face_view[f]);
    for (int side : {-1, 1}) {
        double v[3] = {0, 0, side * (s - 0.07) * n};
        v[axis] = face_sign[f] * a;
        EXPECT_EQ(classify(pixel_at({v[0], v[1], v[2]})), yellow) << when << ": end plane " << side;
    }
}

// The window, opened once as the program opens it.
class Window : public ::testing::Environment
{
  public:
    void SetUp() override
    {
        static char name[] = "render_test";
        static char *argv[] = {name, nullptr};
        static int argc = 1;
        cube.cube_size = 3;
        open_window(&argc, argv);
        reshape(win_w, win_h);
        // Out of the way of the program's window at (0, 0), which other tests
        // open on the same display: GLUT draws nothing in a covered window.
        glutPositionWindow(glutGet(GLUT_SCREEN_WIDTH) - win_w, glutGet(GLUT_SCREEN_HEIGHT) - win_h);
        // GLUT draws nothing until the window is mapped.
        for (int i = 0; i < 5000 && frames == 0; ++i) pump(), usleep(1000);
        ASSERT_GT(frames, 0) << "the window never showed";
    }
};

// The program's start state for size n; the lists are compiled again over
// the same names.
void start(int n)
{
    cube = cube_state{};
    cube.cube_size = n;
    init_cube_state();
    build_cubie_lists();
    held_view first;
}

class Render : public ::testing::TestWithParam<int>
{
  protected:
    void SetUp() override { start(GetParam()); }
};
INSTANTIATE_TEST_SUITE_P(Sizes, Render, ::testing::Values(2, 3));

//-----------------------------------------------------------------------------
// [SECTION] Tests
//-----------------------------------------------------------------------------
TEST_P(Render, FirstFrameShowsRedFaceColumnAndFrameOnLayerZero)
{
    const int n = GetParam(), p = n - 1;
    EXPECT_EQ(expect_visible_faces_match_model("first frame"), 1);
    // Black edges between the stickers and round the face, but where the
    // frame of layer 0 lies over them; nothing just outside.
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j < n; ++j) {
            EXPECT_TRUE(i <= 1 || edge_at({2.0 * i - n, 2.0 * j - p, 1.0 * n}))
                << "column edge " << i << j;
            EXPECT_TRUE(((i == 0 || i == n) && j == 0) ||
                        edge_at({2.0 * j - p, 2.0 * i - n, 1.0 * n}))
                << "row edge " << i << j;
        }
    for (int j = 0; j < n; ++j) {
        EXPECT_EQ(classify(pixel_at({n + 0.3, 2.0 * j - p, 1.0 * n})), background) << j;
        EXPECT_EQ(classify(pixel_at({2.0 * j - p, n + 0.3, 1.0 * n})), background) << j;
    }
    // The frame's lines are 3 pixels wide: across the top of layer 0's band.
    int wide = 0;
    for (int dy = -4; dy <= 4; ++dy)
        wide +=
            classify(pixel_at({-(n + 0.1) * p / n, n + 0.1, n + 0.1}, true, last, 0, dy)) == yellow;
    EXPECT_EQ(wide, 3);
    expect_picture_matches_model("first frame");
    expect_frame_on(0, 0, "first frame");
}

// Left/Right and Up/Down step the layer across X or Y, wrapping both ways,
// choose the axis, and ask for one frame, in which the frame has moved.
TEST_P(Render, CursorKeysMoveFrameAndWrapOnBothAxes)
{
    const int n = GetParam();
    int lx = 0, ly = 0, axis = 0;
    const std::string keys = "RRRLLUUUDDRDLU";
    for (size_t i = 0; i < keys.size(); ++i) {
        char k = keys[i];
        int &l = k == 'R' || k == 'L' ? lx : ly, before = frames;
        l = (l + (k == 'R' || k == 'U' ? 1 : n - 1)) % n, axis = &l == &ly;
        play(keys.substr(i, 1));
        std::string when = "key " + std::to_string(i);
        EXPECT_EQ(frames, before + 1) << when << ": one frame asked for";
        ASSERT_TRUE(cube.layer_x == lx && cube.layer_y == ly && cube.turn_axis == axis) << when;
        expect_frame_on(axis, l, when);
    }
}

// Each spin key turns the view 5 degrees a frame about its axis: a and z
// about X, s and x about Y, d and c about Z, and the picture follows. A
// cursor key stops the X and Y spin but not the Z spin.
TEST_P(Render, SpinKeysTurnTheViewFiveDegreesAFrame)
{
    const std::string keys = "azsxdc";
    for (int i = 0; i < 6; ++i) {
        start(GetParam());
        play(std::string(8, keys[i]) + "R");
        float want[3] = {0, 0, 0};
        want[i / 2] = (i % 2 ? -5.0f : 5.0f) * (i < 4 ? 8 : 9);
        EXPECT_EQ(std::memcmp(cube.view_angle, want, sizeof want), 0) << keys[i];
        EXPECT_GE(expect_visible_faces_match_model(keys.substr(i, 1)), 1) << keys[i];
    }
}

// Every key without a meaning clears what its callback clears, changes
// nothing else, and asks for one frame.
TEST_P(Render, UnmappedKeysOnlyClearTheirDeltas)
{
    const std::string mapped = "azsxdcw1";
    for (int key = 0; key < 512; ++key) {
        bool is_char = key < 256;
        int code = key % 256;
        if (is_char ? mapped.find(char(code)) != std::string::npos : code >= 100 && code <= 103)
            continue;
        cube.view_delta[0] = 5, cube.view_delta[1] = -5, cube.view_delta[2] = 5;
        cube.turn_step_x = 5, cube.turn_step_y = -90;
        cube_state want = cube;
        want.view_delta[0] = want.view_delta[1] = 0;
        if (is_char) want.view_delta[2] = 0, want.turn_step_x = want.turn_step_y = 0;
        int before = frames;
        is_char ? keyboard(code, 7, 9) : special(code, 7, 9);
        ASSERT_EQ(std::memcmp(&cube, &want, sizeof want), 0)
            << (is_char ? "key " : "special ") << code;
        std::memset(cube.view_delta, 0, sizeof cube.view_delta);
        pump();
        ASSERT_EQ(frames, before + 1) << code;
    }
    expect_picture_matches_model("after the unmapped keys");
}

// Both turn keys, both axes, several layers, then spins that re-orient the
// cube about X and Y both ways. After every turn, and after every
// re-orientation, all six faces and the column as drawn agree with the model
// (passing through columns of some squares and of none), and the frame
// marks the chosen layer; after every spin the faces in view agree.
TEST_P(Render, PictureAgreesWithModelAfterTurnsAndReorientations)
{
    int uniform[7] = {}, turned[2] = {};
    const std::string keys = "w RR1 Uw UU1 Lw D1 Rw U1 LLw " + std::string(9, 'z') +
                             std::string(9, 's') + std::string(9, 'a') + std::string(17, 'x') +
                             "Rw" + std::string(9, 'z');
    for (size_t i = 0; i < keys.size(); ++i) {
        std::string when = "key " + std::to_string(i) + " of " + keys;
        if (keys[i] != ' ') play(keys.substr(i, 1));
        bool about_x = reorient_angle_x != 0, about_y = reorient_angle_y != 0;
        EXPECT_GE(expect_visible_faces_match_model(when), 1) << when;
        ASSERT_EQ(agreement::rest_fault(), "") << when;
        if (keys[i] != ' ' && !about_x && !about_y) continue;
        if (about_x || about_y) ++turned[about_y];
        expect_picture_matches_model(when);
        expect_frame_on(cube.turn_axis, cube.turn_axis == 0 ? cube.layer_x : cube.layer_y, when);
        int solved = 0;
        for (int f = 1; f <= 6; ++f) solved += cube.face_done[f] != 0;
        ++uniform[solved];
    }
    EXPECT_TRUE(uniform[0] > 0 && uniform[2] > 0 && turned[0] >= 2 && turned[1] >= 2);
}

// Events of every character and special code, the keys that mean something
// more often, and now and then a turn or a held spin key. GLUT draws a
// posted frame only when its loop comes round, so several keys may come
// between two frames: here one event in twelve is followed by a frame.
// After every event each cubie is drawn in the cell the grid has it in, its
// coloured sides on stickers of their colour; at the end every face as drawn
// matches the stickers.
TEST_P(Render, KeyFuzzKeepsDrawnCubiesWhereTheModelHasThem)
{
    std::mt19937 rng(GetParam() * 1000 + 7); // fixed: a failure replays
    const std::string spins = "azsxdcLURD";
    int reoriented = 0, turns = 0;
    read_back = false;
    for (int i = 0; i < 20000 && !HasFatalFailure(); ++i) {
        unsigned roll = rng() % 1000, code = rng() % 256;
        if (roll < 350)
            keyboard((unsigned char)code, 0, 0);
        else if (roll < 700)
            special(int(code), 0, 0);
        else if (roll < 996)
            send(spins[code % spins.size()]);
        else if (roll < 998)
            play(code % 2 ? "w" : "1"), ++turns;
        else
            for (unsigned k = 0; k < 9 + code % 9; ++k) // a held key, a frame for each
                play(spins.substr(code % 4, 1)), reoriented += reorient_angle_x || reorient_angle_y;
        if (roll < 996 && rng() % 12 == 0) pump();
        ASSERT_EQ(agreement::rest_fault(), "") << "event " << i;
    }
    read_back = true;
    EXPECT_TRUE(turns > 20 && reoriented > 10) << turns << " turns, " << reoriented;
    std::memset(cube.view_angle, 0, sizeof cube.view_angle);
    expect_picture_matches_model("after the fuzz");
}

} // namespace

// A key turn draws 18 frames; in the ninth the layer stands at 45 degrees
// and covers a point past the cube's outline with the side that has come
// into view (lit at cos 45). Layer 0 about X, then the top layer about Y.
TEST(RenderTurn, EighteenFramesWithTheLayerHalfWayAtTheNinth)
{
    struct {
        const char *keys;
        pt probe;
        int colour;
    } cases[] = {{"", {-2, 4, 0.1}, orange}, {"D", {4, 2, 0.1}, red}};
    for (auto &t : cases) {
        start(3);
        play(t.keys);
        EXPECT_EQ(classify(pixel_at(t.probe)), background);
        int first = frames;
        keep_frame = first + 9;
        keyboard('w', 0, 0);
        EXPECT_EQ(frames, first + 18) << t.keys;
        EXPECT_EQ(classify(pixel_at(t.probe, true, kept), std::sqrt(0.5)), t.colour) << t.keys;
        EXPECT_EQ(classify(pixel_at(t.probe)), background) << t.keys;
        pump();
        EXPECT_EQ(frames, first + 19) << "one more frame after the turn";
    }
    keep_frame = -1;
}

// In the frame that re-orients, the cubies are drawn before the whole cube
// turns but the selection frame already describes the turned cube; its extra
// rotation, the inverse of the turn, keeps it round the cubies as drawn.
// Layer 2 across the other axis, so that a missing rotation shows.
TEST(RenderReorient, SelectionFrameStaysOnTheDrawnCubiesInTheTurningFrame)
{
    struct {
        const char *keys;
        float drawn_view[3]; // the view angles of that frame
        int axis;            // of the whole-cube turn, undone by `undo` degrees
        float undo;
    } cases[] = {{"UUzzzzzzzzz", {-45, 0, 0}, 0, 90},
                 {"UUaaaaaaaaa", {45, 0, 0}, 0, -90},
                 {"RRsssssssss", {0, 45, 0}, 1, -90},
                 {"RRxxxxxxxxx", {0, -45, 0}, 1, 90}};
    for (auto &t : cases) {
        start(3);
        play(t.keys);
        ASSERT_NE(t.axis == 0 ? reorient_angle_x : reorient_angle_y, 0) << t.keys;
        std::memcpy(cube.view_angle, t.drawn_view, sizeof t.drawn_view);
        agreement::mat e = agreement::rotation(t.axis, t.undo);
        double m[16], a = 3.1, along = 2 * a / 3; // layer 2's centre
        view_matrix(true, m);
        for (int side : {-1, 1}) {
            double p[3] = {side * a, along, a}, q[3] = {}, k = 0;
            if (cube.turn_axis == 0) p[0] = along, p[1] = side * a;
            for (int i = 0; i < 9; ++i) q[i / 3] += e[i / 3][i % 3] * p[i % 3];
            for (int i = 0; i < 3; ++i) k += m[4 * i + 2] * e[i][2]; // the band's normal, eye z
            EXPECT_EQ(classify(pixel_at({q[0], q[1], q[2]}), k), yellow) << t.keys << side;
        }
    }
}

// The 55-degree perspective from 1 to 20 for the window's aspect (a side
// below one pixel counts as one) and a viewport over the whole window.
TEST(Reshape, ProjectionAndViewportFollowTheWindow)
{
    const double f = 1 / std::tan(27.5 * std::acos(-1.0) / 180);
    const int sizes[][2] = {{450, 350}, {900, 350}, {400, 400}, {450, 0}, {0, 300}};
    for (auto &wh : sizes) {
        reshape(wh[0], wh[1]);
        double m[16], aspect = double(std::max(wh[0], 1)) / std::max(wh[1], 1);
        const double want[16] = {f / aspect, 0, 0,          0,  0, f, 0,          0,
                                 0,          0, -21.0 / 19, -1, 0, 0, -40.0 / 19, 0};
        int vp[4], mode;
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        glGetIntegerv(GL_VIEWPORT, vp);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(m[i], want[i], 1e-6 * std::max(1.0, std::fabs(want[i])))
                << wh[0] << "x" << wh[1] << " [" << i << "]";
        EXPECT_TRUE(vp[0] == 0 && vp[1] == 0 && vp[2] == wh[0] && vp[3] == wh[1])
            << wh[0] << "x" << wh[1];
        EXPECT_EQ(mode, GL_PROJECTION);
    }
    reshape(win_w, win_h);
}

// With RENDER_SHOTS=DIR, each test's first and last frames (and the frame it
// kept, if any) are saved there as PPM files for a person to look at.
void save_ppm(const image &img, const std::string &name)
{
    std::FILE *f = std::fopen((std::getenv("RENDER_SHOTS") + ("/" + name + ".ppm")).c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6 %d %d 255\n", win_w, win_h);
    for (int y = win_h - 1; y >= 0; --y) std::fwrite(img[y], 3, win_w, f); // top row first
    std::fclose(f);
}

class save_last_frame : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override { first_asked = true; }
    void OnTestEnd(const ::testing::TestInfo &test) override
    {
        std::string name = std::string(test.test_suite_name()) + "." + test.name();
        std::replace(name.begin(), name.end(), '/', '_');
        save_ppm(first, name + ".first");
        save_ppm(last, name);
        if (kept_new) save_ppm(kept, name + ".kept");
        kept_new = false;
    }
};

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new Window);
    if (std::getenv("RENDER_SHOTS"))
        ::testing::UnitTest::GetInstance()->listeners().Append(new save_last_frame);
    return RUN_ALL_TESTS();
}
