// tests/page_test.cpp -- the page's pieces that need no browser: the GL subset, as WebGL
// would receive it, for the calls the program makes, and the two key maps.
#include "console_page.h"
#include "glut_keys.h"
#include "webgl.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gmock/gmock.h>

#include <string>
#include <vector>

// A vertex as WebGL takes it: webgl_floats floats, clip space then colour.
struct Vertex {
    float clip[4], rgb[3];
};

// What reached WebGL: the vertices, each draw whole triangles. The other calls pass straight
// through.
static std::vector<Vertex> drawn;

extern "C" {
void webgl_draw(const float *vertices, int count)
{
    EXPECT_EQ(count % 3, 0);
    auto first = reinterpret_cast<const Vertex *>(vertices);
    drawn.insert(drawn.end(), first, first + count);
}
void webgl_clear_colour(float, float, float, float) {}
void webgl_clear(bool, bool) {}
void webgl_viewport(int, int, int, int) {}
void webgl_depth_test(bool) {}
}

namespace
{
using namespace testing;

// --- the key maps: one row per key, with what the canvas and the console make of it
struct Key {
    const char *key; // the browser's key value
    glut_key_kind canvas;
    int value;                // to the keyboard or special callback
    std::vector<int> console; // read_console_key's codes
    int character = 0;        // the key value's character, or 0 for a named key
    const char *code = "";    // the browser's code value, where it matters
};
const Key keys[] = {
    // Past ASCII the console has no such character; past U+00FF neither has GLUT, and neither
    // may give the low byte: U+0131 must not read as 1.
    {"\u0080", keyboard_key, 0x80, {unknown_key}, 0x80},
    {"\u00ff", keyboard_key, 0xff, {unknown_key}, 0xff},
    {"\u0131", no_glut_key, 0, {unknown_key}, 0x131},
    {"Enter", keyboard_key, 13, {13}},
    {"Tab", keyboard_key, 9, {9}},
    {"Backspace", keyboard_key, 8, {8}},
    {"Escape", keyboard_key, 27, {27}},
    {"Delete", keyboard_key, 127, {0, 83}},
    {"Delete", special_key, 0x6f, {0, 83}, 0, "NumpadDecimal"},
    {"ArrowLeft", special_key, 100, {0, 75}},
    {"ArrowUp", special_key, 101, {0, 72}},
    {"ArrowRight", special_key, 102, {0, 77}},
    {"ArrowDown", special_key, 103, {0, 80}},
    {"PageUp", special_key, 0x68, {0, 73}},
    {"PageDown", special_key, 0x69, {0, 81}},
    {"Home", special_key, 0x6a, {0, 71}},
    {"End", special_key, 0x6b, {0, 79}},
    {"Insert", special_key, 0x6c, {0, 82}},
    {"Clear", special_key, 0x6e, {0, 76}, 0, "Numpad5"},
    // A dead key gives nothing to either, as modifiers and locks give the console nothing.
    {"Dead", no_glut_key, 0, {}},
    // A key the PC has no code for is an unknown key to the console.
    {"ContextMenu", no_glut_key, 0, {0, unknown_key}},
};

void expect_key(const Key &k)
{
    SCOPED_TRACE(k.key);
    int value = -1;
    EXPECT_EQ(glut_key_codes(k.character, k.key, k.code, &value), k.canvas);
    EXPECT_EQ(value, k.value);
    int codes[2] = {-1, -1};
    int count = page_console_codes(k.character, k.key, codes);
    EXPECT_EQ(std::vector<int>(codes, codes + count), k.console);
}

TEST(PageKeys, ReachTheCanvasAsFreeglutAndTheConsoleAsThePC)
{
    for (const Key &k : keys) expect_key(k);
    // GLUT numbers the function keys from 1; these are the PC's scan codes of F1 .. F12.
    int n = 0;
    for (int scan_code : {59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 133, 134}) {
        ++n;
        std::string name = "F" + std::to_string(n);
        expect_key({name.c_str(), special_key, n, {0, scan_code}});
    }
}

// --- the GL subset
// A point in clip space; most lie in the plane z = 0 with w = 1.
struct Clip {
    float x, y, z = 0, w = 1;
};

// A new frame: a 100 x 100 viewport, both matrices the identity, nothing drawn yet.
void start()
{
    glViewport(0, 0, 100, 100);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawn.clear();
}

void expect_at(const Vertex &got, const Clip &want)
{
    EXPECT_THAT(got.clip, Pointwise(FloatNear(1e-4), {want.x, want.y, want.z, want.w}));
}

// A wide line's segment, drawn as a quad: corners 0 1 2, then 0 2 3.
void expect_quad(const Vertex *got, const Clip (&corners)[4])
{
    const int corner_order[] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i) expect_at(got[i], corners[corner_order[i]]);
}

// A list, as the program's cubies are drawn: moved by (1, 2, 3) under a push, then turned about
// X, then Y, then Z, the point (1, 2, 3) turns by the right hand. Light 0 shines along -Z in eye
// space: a face coloured (1, 0.5, 0.25) gets ambient 0.2 x 0.2, plus its colour times the z of
// its normal, cos x cos y. Each list is called with what the last one left: had it not popped,
// the next would be moved.
TEST(PageGL, TurnsInAListMovePointsByTheRightHandAndLightFacesAsTheyFaceLightZero)
{
    struct Turn {
        float x, y, z; // degrees about each axis
        Clip to;
        float rgb[3]; // lit
    };
    const Turn turns[] = {
        {0, 120, 0, {3.09808f, 4, 0.63397f}, {0.04f, 0.04f, 0.04f}},            // turned away
        {60, 60, 30, {3.53109f, 1.71651f, 5.74103f}, {0.29f, 0.165f, 0.1025f}}, // 0.5 x 0.5
    };
    start();
    for (const Turn &turn : turns) {
        glNewList(1, GL_COMPILE);
        glPushMatrix();
        glTranslatef(1, 2, 3);
        glRotatef(turn.x, 1, 0, 0);
        glRotatef(turn.y, 0, 1, 0);
        glRotatef(turn.z, 0, 0, 1);
        glColor3f(1, 0.5f, 0.25f);
        glBegin(GL_QUADS);
        for (int corner = 0; corner < 4; ++corner) glVertex3f(1, 2, 3);
        glEnd();
        glPopMatrix();
        glEndList();
        glCallList(1);
        gl_flush();
        expect_at(drawn.back(), turn.to);
        EXPECT_THAT(drawn.back().rgb, Pointwise(FloatNear(1e-5), turn.rgb));
    }
    // Compiling a list drew nothing.
    EXPECT_EQ(drawn.size(), 12u);
}

// Wide lines in a 100 x 100 viewport, where a pixel is 0.02 across in device units, keep their
// width in pixels whatever their w.
TEST(PageGL, WideLinesAreAsManyPixelsAcrossAsTheirWidth)
{
    start();
    // Along the row from 59.999 to 60.001 pixels up, 5 wide, in a list with its width as the
    // program's edges are: it covers the centres from 57.499 up to 62.499 at its start, 57.5 to
    // 61.5, so its edges lie at 57 and 62 all along.
    glNewList(1, GL_COMPILE);
    glLineWidth(5);
    glBegin(GL_LINE_STRIP);
    glVertex2f(0, 0.577293f);
    glVertex2f(2, 0.577408f);
    glEnd();
    glEndList();
    // Steeper than 45 degrees: 1.5 pixels to each side along x; at 45, along y.
    glLineWidth(3);
    glBegin(GL_LINE_STRIP);
    glVertex2f(0, 0);
    glVertex2f(0.1f, 0.5f);
    glVertex2f(0.6f, 1);
    glEnd();
    // 60 degrees across, aspect 2, near 2, far 10: f = 1 / tan 30 = 1.73205, and a point
    // (x, y, z) in eye space goes to (f x / 2, f y, -1.5 z - 5, -z). The eye at (0, 0, 5) puts
    // the world's z 5 back.
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60, 2, 2, 10);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(0, 0, 5, 0, 0, 0, 0, 1, 0);
    glCallList(1);
    gl_flush();
    ASSERT_EQ(drawn.size(), 18u);
    expect_quad(&drawn[0], {{-0.03f, 0}, {0.03f, 0}, {0.13f, 0.5f}, {0.07f, 0.5f}});
    // The 45-degree segment goes on from the steep one's end; its first corner lies below it.
    expect_at(drawn[6], {0.1f, 0.47f});
    expect_quad(&drawn[12], {{0, 0.7f, 2.5f, 5},
                             {0, 1.2f, 2.5f, 5},
                             {1.73205f, 1.2f, 2.5f, 5},
                             {1.73205f, 0.7f, 2.5f, 5}});
}

} // namespace
