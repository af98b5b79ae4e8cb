// tests/page_test.cpp -- the page's pieces that need no browser: the GL subset, as WebGL
// would receive it, for the calls the program makes, and the two key maps.
#include "console_page.h"
#include "glut_keys.h"
#include "webgl.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

struct Vertex {
    float x, y, z, w, r, g, b;
};
static_assert(sizeof(Vertex) == webgl_floats * sizeof(float));

// What reached WebGL: the vertices, each draw's count, and the other calls in order.
static std::vector<Vertex> drawn;
static std::vector<int> draw_counts;
static std::ostringstream told;

extern "C" {
void webgl_draw(const float *vertices, int count)
{
    draw_counts.push_back(count);
    const size_t old_size = drawn.size();
    drawn.resize(old_size + count);
    std::memcpy(&drawn[old_size], vertices, count * sizeof(Vertex));
}
void webgl_clear_colour(float r, float g, float b, float a)
{
    told << "colour " << r << " " << g << " " << b << " " << a << "\n";
}
void webgl_clear(bool colour, bool depth)
{
    told << "clear " << colour << " " << depth << "\n";
}
void webgl_viewport(int x, int y, int width, int height)
{
    told << "viewport " << x << " " << y << " " << width << " " << height << "\n";
}
void webgl_depth_test(bool on)
{
    told << "depth test " << on << "\n";
}
}

namespace
{
// --- the key maps: one row per key, with what the canvas and the console make of it
struct Key {
    int character; // the key value's character, or 0 for a named key
    const char *key, *code;
    glut_key_kind canvas;
    int value;                // to the keyboard or special callback
    std::vector<int> console; // read_console_key's codes
};
const int u = unknown_key;
const Key keys[] = {
    {'q', "q", "KeyQ", keyboard_key, 'q', {'q'}},
    // Past ASCII the console has no such character; past U+00FF neither has GLUT, and neither
    // may give the low byte: U+0131 must not read as 1.
    {0x80, "\u0080", "KeyA", keyboard_key, 0x80, {u}},
    {0xff, "\u00ff", "KeyY", keyboard_key, 0xff, {u}},
    {0x131, "\u0131", "KeyI", no_glut_key, 0, {u}},
    {0, "Enter", "Enter", keyboard_key, 13, {13}},
    {0, "Tab", "Tab", keyboard_key, 9, {9}},
    {0, "Backspace", "Backspace", keyboard_key, 8, {8}},
    {0, "Escape", "Escape", keyboard_key, 27, {27}},
    {0, "Delete", "Delete", keyboard_key, 127, {0, 83}},
    {0, "Delete", "NumpadDecimal", special_key, 0x6f, {0, 83}},
    {0, "ArrowLeft", "ArrowLeft", special_key, 100, {0, 75}},
    {0, "ArrowUp", "Numpad8", special_key, 101, {0, 72}},
    {0, "ArrowRight", "ArrowRight", special_key, 102, {0, 77}},
    {0, "ArrowDown", "ArrowDown", special_key, 103, {0, 80}},
    {0, "PageUp", "PageUp", special_key, 0x68, {0, 73}},
    {0, "PageDown", "PageDown", special_key, 0x69, {0, 81}},
    {0, "Home", "Home", special_key, 0x6a, {0, 71}},
    {0, "End", "End", special_key, 0x6b, {0, 79}},
    {0, "Insert", "Insert", special_key, 0x6c, {0, 82}},
    {0, "Clear", "Numpad5", special_key, 0x6e, {0, 76}},
    // Modifiers, locks and dead keys: nothing on the console; GLUT reports Shift and Num Lock.
    {0, "Shift", "ShiftLeft", special_key, 0x70, {}},
    {0, "Shift", "ShiftRight", special_key, 0x71, {}},
    {0, "NumLock", "NumLock", special_key, 0x6d, {}},
    {0, "Dead", "Quote", no_glut_key, 0, {}},
    // A key the PC has no code for is an unknown key to the console.
    {0, "ContextMenu", "ContextMenu", no_glut_key, 0, {0, u}},
};

void expect_key(const Key &k)
{
    int value = -1;
    EXPECT_EQ(glut_key_codes(k.character, k.key, k.code, &value), k.canvas) << k.key;
    EXPECT_EQ(value, k.value) << k.key;
    int codes[2] = {-1, -1};
    int count = page_console_codes(k.character, k.key, codes);
    EXPECT_EQ(std::vector<int>(codes, codes + count), k.console) << k.key;
}

TEST(PageKeys, ReachTheCanvasAsFreeglutAndTheConsoleAsThePC)
{
    for (const Key &k : keys) expect_key(k);
}

// GLUT numbers the function keys from 1; the PC's scan codes run 59 to 68, then 133 and 134.
TEST(PageKeys, FunctionKeysGiveTheirNumberAndTheirScanCode)
{
    for (int n = 1; n <= 12; ++n) {
        const std::string name = "F" + std::to_string(n);
        const int scan_code = n <= 10 ? 58 + n : 122 + n;
        expect_key({0, name.c_str(), name.c_str(), special_key, n, {0, scan_code}});
    }
}

// --- the GL subset
// A point in clip space; most lie in the plane z = 0 with w = 1.
struct Clip {
    float x, y, z = 0, w = 1;
};

// A new frame: the viewport given, both matrices the identity, nothing recorded.
void start(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawn.clear();
    draw_counts.clear();
    told.str("");
}

// Where the matrices take a point, with its lit colour: a quad of four copies of it.
Vertex place(float x, float y, float z)
{
    drawn.clear();
    glBegin(GL_QUADS);
    for (int corner = 0; corner < 4; ++corner) glVertex3f(x, y, z);
    glEnd();
    gl_flush();
    return drawn.at(0);
}

void expect_at(const Vertex &got, const Clip &want)
{
    EXPECT_NEAR(got.x, want.x, 1e-4);
    EXPECT_NEAR(got.y, want.y, 1e-4);
    EXPECT_NEAR(got.z, want.z, 1e-4);
    EXPECT_NEAR(got.w, want.w, 1e-4);
}

// Quads and wide lines alike: corners 0 1 2, then 0 2 3.
void expect_quad(const Vertex *got, const Clip (&corners)[4])
{
    const int corner_order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i) expect_at(got[i], corners[corner_order[i]]);
}

// Moved by (1, 2, 3) under a push, then turned about X by a, then Y by b, then Z, the point
// (1, 2, 3) turns by the right hand. Light 0 shines along -Z in eye space: a face coloured
// (1, 0.5, 0.25) gets ambient 0.2 x 0.2, plus its colour times the z of its normal, cos a cos b,
// clamped at 1.
TEST(PageGL, TurnsMovePointsByTheRightHandAndFacesAreLitAsTheyFaceLightZero)
{
    struct Turn {
        float x, y, z; // degrees about each axis
        Clip to;
        float r, g, b;
    };
    const Turn turns[] = {
        {0, 0, 90, {-1, 3, 6}, 1, 0.54f, 0.29f},                              // facing the light
        {60, 0, 0, {2, 0.40192f, 6.23205f}, 0.54f, 0.29f, 0.165f},            // cos 60 = 0.5
        {0, 120, 0, {3.09808f, 4, 0.63397f}, 0.04f, 0.04f, 0.04f},            // turned away
        {60, 60, 30, {3.53109f, 1.71651f, 5.74103f}, 0.29f, 0.165f, 0.1025f}, // 0.5 x 0.5
    };
    for (const Turn &turn : turns) {
        start(450, 350);
        glPushMatrix();
        glTranslatef(1, 2, 3);
        glRotatef(turn.x, 1, 0, 0);
        glRotatef(turn.y, 0, 1, 0);
        glRotatef(turn.z, 0, 0, 1);
        glColor3f(1, 0.5f, 0.25f);
        const Vertex lit = place(1, 2, 3);
        glPopMatrix();
        expect_at(lit, turn.to);
        EXPECT_NEAR(lit.r, turn.r, 1e-5);
        EXPECT_NEAR(lit.g, turn.g, 1e-5);
        EXPECT_NEAR(lit.b, turn.b, 1e-5);
    }
}

// 60 degrees across, aspect 2, near 2, far 10: f = 1 / tan 30 = 1.73205, and a point
// (x, y, z) in eye space goes to (f x / 2, f y, -1.5 z - 5, -z). The eye at (0, 0, 5) puts
// the world's z 5 back. A wide line keeps its width in pixels whatever its w.
TEST(PageGL, ThePerspectiveAndTheCameraPlacePointsAsGLDoes)
{
    start(100, 100);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60, 2, 2, 10);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(0, 0, 5, 0, 0, 0, 0, 1, 0);
    glLineWidth(3);
    glBegin(GL_LINE_STRIP);
    // y = 1.001 / f: along the row 60.01 pixels up, 3 wide: it covers the centres from 58.51
    // up to 61.51, 59.5 to 61.5, so its edges lie at 59 and 62.
    glVertex2f(0, 0.577928f);
    glVertex2f(2, 0.577928f);
    glEnd();
    gl_flush();
    ASSERT_EQ(drawn.size(), 6u);
    expect_quad(drawn.data(), {{0, 0.9f, 2.5f, 5},
                               {0, 1.2f, 2.5f, 5},
                               {1.73205f, 1.2f, 2.5f, 5},
                               {1.73205f, 0.9f, 2.5f, 5}});
}

// Wide lines in a 100 x 100 viewport: a pixel is 0.02 across in device units.
TEST(PageGL, WideLinesAreAsManyPixelsAcrossAsTheirWidth)
{
    start(100, 100);
    glLineWidth(3);
    // Steeper than 45 degrees: 1.5 pixels to each side along x; at 45, along y.
    glBegin(GL_LINE_STRIP);
    glVertex2f(0, 0);
    glVertex2f(0.1f, 0.5f);
    glVertex2f(0.6f, 1);
    glEnd();
    gl_flush();
    ASSERT_EQ(drawn.size(), 12u);
    expect_quad(&drawn[0], {{-0.03f, 0}, {0.03f, 0}, {0.13f, 0.5f}, {0.07f, 0.5f}});
    expect_quad(&drawn[6], {{0.1f, 0.47f}, {0.1f, 0.53f}, {0.6f, 1.03f}, {0.6f, 0.97f}});
}

// Every call a list records, each with arguments of its own.
void draw_face()
{
    glPushMatrix();
    glTranslatef(1, 2, 3);
    glRotatef(-60, 0, 1, 0);
    glLineWidth(5);
    glColor3f(0.25f, 0.5f, 1);
    glBegin(GL_QUADS);
    glVertex2f(1, 0);
    glVertex3f(0, 1, 2);
    glVertex3f(2, 3, 4);
    glVertex2f(0, -1);
    glEnd();
    glBegin(GL_LINE_STRIP);
    glVertex2f(1, 0);
    glVertex3f(0, 1, 2);
    glEnd();
    glPopMatrix();
}

// A list between two others draws what its calls draw, and its pop leaves what follows
// untouched; the others move everything if they run.
TEST(PageGL, DisplayListsDrawWhatTheirCallsDraw)
{
    start(100, 100);
    glNewList(1, GL_COMPILE);
    glTranslatef(5, 0, 0);
    glEndList();
    glNewList(2, GL_COMPILE);
    draw_face();
    glEndList();
    glNewList(3, GL_COMPILE);
    glTranslatef(5, 0, 0);
    glEndList();
    glLineWidth(1);
    glCallList(2);
    gl_flush();
    const std::vector<Vertex> from_list = drawn;
    expect_at(place(1, 0, 0), {1, 0});
    start(100, 100);
    draw_face();
    gl_flush();
    ASSERT_EQ(from_list.size(), drawn.size());
    EXPECT_EQ(std::memcmp(from_list.data(), drawn.data(), sizeof(Vertex) * drawn.size()), 0);
    expect_at(place(1, 0, 0), {1, 0});
}

TEST(PageGL, TheViewportClearsAndDepthTestGoToWebGL)
{
    told.str("");
    glViewport(0, 0, 450, 350);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glClearColor(0.5f, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EXPECT_EQ(told.str(), "viewport 0 0 450 350\ndepth test 1\ncolour 0.5 0 0 1\nclear 1 1\n");
}

// A frame of the 3-cube is about 5000 vertices; more than a batch holds goes in several draws.
TEST(PageGL, TrianglesReachWebGLWholeAndInOrder)
{
    start(450, 350);
    glBegin(GL_QUADS);
    for (int i = 0; i < 12000; ++i) glVertex2f(float(i), 0);
    glEnd();
    gl_flush();
    ASSERT_EQ(drawn.size(), 18000u);
    for (int count : draw_counts) EXPECT_EQ(count % 3, 0);
    expect_quad(drawn.data(), {{0, 0}, {1, 0}, {2, 0}, {3, 0}});
    EXPECT_EQ(drawn.back().x, 11999);
}
} // namespace
