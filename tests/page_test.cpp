// tests/page_test.cpp -- the page's pieces that need no browser: the GL subset, as WebGL
// would receive it, and the two key maps.
#include "console_page.h"
#include "glut_keys.h"
#include "webgl.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

struct Vertex {
    float x, y, z, w, r, g, b;
};
static_assert(sizeof(Vertex) == webgl_floats * sizeof(float));
bool operator==(const Vertex &a, const Vertex &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// What reached WebGL: the vertices, each draw's count, and every call in order.
static std::vector<Vertex> drawn;
static std::vector<int> draw_counts;
static std::vector<std::string> calls;

extern "C" {
void webgl_draw(const float *vertices, int count)
{
    draw_counts.push_back(count);
    calls.push_back("draw " + std::to_string(count));
    for (int i = 0; i < count; ++i) {
        Vertex v;
        std::memcpy(&v, vertices + i * webgl_floats, sizeof v);
        drawn.push_back(v);
    }
}
void webgl_clear_colour(float r, float g, float b, float a)
{
    std::ostringstream call;
    call << "colour " << r << " " << g << " " << b << " " << a;
    calls.push_back(call.str());
}
void webgl_clear(bool colour, bool depth)
{
    calls.push_back(std::string("clear") + (colour ? " colour" : "") + (depth ? " depth" : ""));
}
void webgl_viewport(int x, int y, int width, int height)
{
    std::ostringstream call;
    call << "viewport " << x << " " << y << " " << width << " " << height;
    calls.push_back(call.str());
}
void webgl_depth_test(bool on)
{
    calls.push_back(on ? "depth test on" : "depth test off");
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
    {'1', "1", "Digit1", keyboard_key, '1', {'1'}},
    // Past ASCII the console has no such character; past U+00FF neither has GLUT, and neither
    // may give a low byte: U+0131 and U+0132 must not read as 1 and 2.
    {0x80, "\u0080", "KeyA", keyboard_key, 0x80, {u}},
    {0xff, "\u00ff", "KeyY", keyboard_key, 0xff, {u}},
    {0x131, "\u0131", "KeyI", no_glut_key, 0, {u}},
    {0x132, "\u0132", "KeyJ", no_glut_key, 0, {u}},
    {0, "Enter", "Enter", keyboard_key, 13, {13}},
    {0, "Tab", "Tab", keyboard_key, 9, {9}},
    {0, "Backspace", "Backspace", keyboard_key, 8, {8}},
    {0, "Escape", "Escape", keyboard_key, 27, {27}},
    {0, "Delete", "Delete", keyboard_key, 127, {0, 83}},
    {0, "Delete", "NumpadDecimal", special_key, 0x6f, {0, 83}},
    {0, "ArrowLeft", "ArrowLeft", special_key, 100, {0, 75}},
    {0, "ArrowUp", "ArrowUp", special_key, 101, {0, 72}},
    {0, "ArrowRight", "ArrowRight", special_key, 102, {0, 77}},
    {0, "ArrowDown", "ArrowDown", special_key, 103, {0, 80}},
    {0, "ArrowUp", "Numpad8", special_key, 101, {0, 72}},
    {0, "PageUp", "PageUp", special_key, 0x68, {0, 73}},
    {0, "PageDown", "PageDown", special_key, 0x69, {0, 81}},
    {0, "Home", "Home", special_key, 0x6a, {0, 71}},
    {0, "End", "End", special_key, 0x6b, {0, 79}},
    {0, "Insert", "Insert", special_key, 0x6c, {0, 82}},
    {0, "Clear", "Numpad5", special_key, 0x6e, {0, 76}},
    {0, "F1", "F1", special_key, 1, {0, 59}},
    {0, "F2", "F2", special_key, 2, {0, 60}},
    {0, "F3", "F3", special_key, 3, {0, 61}},
    {0, "F4", "F4", special_key, 4, {0, 62}},
    {0, "F5", "F5", special_key, 5, {0, 63}},
    {0, "F6", "F6", special_key, 6, {0, 64}},
    {0, "F7", "F7", special_key, 7, {0, 65}},
    {0, "F8", "F8", special_key, 8, {0, 66}},
    {0, "F9", "F9", special_key, 9, {0, 67}},
    {0, "F10", "F10", special_key, 10, {0, 68}},
    {0, "F11", "F11", special_key, 11, {0, 133}},
    {0, "F12", "F12", special_key, 12, {0, 134}},
    // Modifiers, locks and dead keys: nothing on the console; GLUT reports Shift and Num Lock.
    {0, "Shift", "ShiftLeft", special_key, 0x70, {}},
    {0, "Shift", "ShiftRight", special_key, 0x71, {}},
    {0, "NumLock", "NumLock", special_key, 0x6d, {}},
    {0, "Control", "ControlLeft", no_glut_key, 0, {}},
    {0, "Alt", "AltLeft", no_glut_key, 0, {}},
    {0, "AltGraph", "AltRight", no_glut_key, 0, {}},
    {0, "Meta", "MetaLeft", no_glut_key, 0, {}},
    {0, "CapsLock", "CapsLock", no_glut_key, 0, {}},
    {0, "ScrollLock", "ScrollLock", no_glut_key, 0, {}},
    {0, "Dead", "Quote", no_glut_key, 0, {}},
    {0, "Process", "KeyA", no_glut_key, 0, {}},
    // A key the PC has no code for is an unknown key to the console.
    {0, "ContextMenu", "ContextMenu", no_glut_key, 0, {0, u}},
    {0, "Unidentified", "", no_glut_key, 0, {0, u}},
};

TEST(PageKeys, ReachTheCanvasAsFreeglutAndTheConsoleAsThePC)
{
    for (const Key &k : keys) {
        int value = -1;
        EXPECT_EQ(glut_key_codes(k.character, k.key, k.code, &value), k.canvas) << k.code;
        EXPECT_EQ(value, k.value) << k.code;
        int codes[2] = {-1, -1};
        int count = page_console_codes(k.character, k.key, codes);
        ASSERT_EQ(count, int(k.console.size())) << k.code;
        EXPECT_EQ(std::vector<int>(codes, codes + count), k.console) << k.code;
    }
}

// --- the GL subset
struct Clip {
    float x, y, z, w;
};
struct Pixel {
    float x, y;
};
// Quads and wide lines alike: corners 0 1 2, then 0 2 3.
const int quad_order[6] = {0, 1, 2, 0, 2, 3};

// A new frame: the viewport given, both matrices the identity, nothing recorded.
void start(int left, int bottom, int width, int height)
{
    glViewport(left, bottom, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawn.clear();
    draw_counts.clear();
    calls.clear();
}

// The unit points on the axes, then the origin: a matrix takes them to its columns.
void axes_quad()
{
    glBegin(GL_QUADS);
    glVertex3f(1, 0, 0);
    glVertex3f(0, 1, 0);
    glVertex3f(0, 0, 1);
    glVertex2f(0, 0);
    glEnd();
}

// Where the matrices take a point: a quad of four copies of it.
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

void expect_quad(const std::vector<Vertex> &got, const Clip (&corners)[4])
{
    ASSERT_EQ(got.size(), 6u);
    for (int i = 0; i < 6; ++i) expect_at(got[i], corners[quad_order[i]]);
}

// GL's state before any call: both matrices the identity, white, no light, lines 1 wide.
TEST(PageGL, StartsAsAFreshContext)
{
    Vertex v = place(0.25f, 0.5f, 0.75f);
    expect_at(v, {0.25f, 0.5f, 0.75f, 1});
    EXPECT_EQ(v.r + v.g + v.b, 3);
    calls.clear();
    glViewport(0, 0, 100, 100);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.5f, 0, 0, 1);
    const std::vector<std::string> told = {"viewport 0 0 100 100", "depth test on",
                                           "colour 0.5 0 0 1"};
    EXPECT_EQ(calls, told);
    drawn.clear();
    glBegin(GL_LINE_STRIP);
    glVertex2f(-0.5f, 0.101f); // 55.05 pixels up: covers the centre 55.5 alone
    glVertex2f(0.5f, 0.101f);
    glEnd();
    gl_flush();
    expect_quad(
        drawn,
        {{-0.5f, 0.1f, 0, 1}, {-0.5f, 0.12f, 0, 1}, {0.5f, 0.12f, 0, 1}, {0.5f, 0.1f, 0, 1}});
}

TEST(PageGL, AQuadIsTwoTrianglesFromItsFirstCorner)
{
    start(0, 0, 450, 350);
    glBegin(GL_QUADS);
    glVertex3f(-0.5f, -0.5f, 0.25f);
    glVertex3f(0.5f, -0.5f, 0.5f);
    glVertex3f(0.5f, 0.5f, 0.75f);
    glVertex2f(-0.5f, 0.5f);
    glVertex2f(0, 0); // a fifth corner starts a quad that never ends
    glEnd();
    glVertex2f(0, 0); // outside glBegin and glEnd: nothing
    gl_flush();
    EXPECT_EQ(drawn.at(0).g, 1) << "no lighting yet: the colour as it is, GL's first white";
    expect_quad(drawn, {{-0.5f, -0.5f, 0.25f, 1},
                        {0.5f, -0.5f, 0.5f, 1},
                        {0.5f, 0.5f, 0.75f, 1},
                        {-0.5f, 0.5f, 0, 1}});
}

// The program's camera for N = 3: the eye at (0, 0, 17), 55 degrees, 450 x 350, near 1, far
// 20. f = 1 / tan(27.5 degrees) = 1.92098, and f / aspect = 1.49410. A point (x, y, z) in eye
// space goes to (1.49410 x, 1.92098 y, -21/19 z - 40/19, -z).
TEST(PageGL, ThePerspectiveAndTheCameraPlacePointsAsGLDoes)
{
    start(0, 0, 450, 350);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(55, 450.0 / 350.0, 1, 20);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(0, 0, 17, 0, 0, 0, 0, 1, 0);
    expect_at(place(0, 0, 0), {0, 0, 16.6842f, 17});
    expect_at(place(3, -2, 3), {4.48230f, -3.84196f, 13.3684f, 14});
    // Looking along -X from (5, 0, 0): eye space is (-z, y, x - 5), so (0, 1, 2) is at (-2, 1, -5).
    start(0, 0, 450, 350);
    gluLookAt(5, 0, 0, 0, 0, 0, 0, 1, 0);
    expect_at(place(0, 1, 2), {-2, 1, -5, 1});
    // Any eye, any up: the points in eye space, worked out apart from the code.
    start(0, 0, 450, 350);
    gluLookAt(2, 2, 1, 0, 0, 1, 0, 1, 2);
    expect_at(place(0, 0, 3), {-0.66667f, 1.88562f, -2.82843f, 1});
    expect_at(place(2, 0, 0), {-1, -1.41421f, -1.41421f, 1});
    expect_at(place(1, -1, 4), {-2.33333f, 2.35702f, -2.82843f, 1});
}

// 120 degrees about (1, 1, 1), given at any length, takes X to Y, Y to Z and Z to X.
TEST(PageGL, RotationsTurnAboutAnyAxisByTheRightHand)
{
    start(0, 0, 450, 350);
    glRotatef(120, 2, 2, 2);
    glRotatef(45, 0, 0, 0); // no axis: no turn
    axes_quad();
    gl_flush();
    expect_quad(drawn, {{0, 1, 0, 1}, {0, 0, 1, 1}, {1, 0, 0, 1}, {0, 0, 0, 1}});
}

// Light 0 shines along -Z in eye space: ambient 0.2 x 0.2 everywhere, and the diffuse
// material times the cosine between the face's normal and +Z. The steps run in order: GL's
// state carries over from one to the next.
TEST(PageGL, ColourMaterialFacesLitByLightZero)
{
    struct Step {
        GLenum enable;  // switched on before this step
        float angle;    // the face turned about Y
        float expected; // the red of a face coloured (1, 0.5, 0)
    };
    const Step steps[] = {
        {GL_LIGHTING, 0, 0.04f},         // no light on: ambient only, whatever the colour
        {GL_LIGHT0, 0, 0.84f},           // GL's own diffuse 0.8: the colour is no material yet
        {GL_COLOR_MATERIAL, 0, 1},       // the colour from now on, clamped at 1
        {GL_COLOR_MATERIAL, 60, 0.54f},  // cos 60 = 0.5
        {GL_COLOR_MATERIAL, 120, 0.04f}, // turned away: ambient only
    };
    for (const Step &step : steps) {
        start(0, 0, 450, 350);
        glColor3f(1, 0.5f, 0);
        glEnable(step.enable);
        glRotatef(step.angle, 0, 1, 0);
        EXPECT_NEAR(place(0, 0, 0).r, step.expected, 1e-5) << step.enable << " " << step.angle;
    }
}

// Wide lines in a 100 x 100 viewport at (10, 20): a pixel is 0.02 across in device units.
TEST(PageGL, WideLinesAreAsManyPixelsAcrossAsTheirWidth)
{
    start(10, 20, 100, 100);
    glLineWidth(3);
    // Along a row, 30.01 pixels up the viewport: the pixel centres covered are those from
    // 28.51 up to 31.51, 29.5 to 31.5, so the edges lie at 29 and 32.
    glBegin(GL_LINE_STRIP);
    glVertex2f(-0.5f, -0.3998f);
    glVertex2f(0.5f, -0.3998f);
    glEnd();
    // Steeper than 45 degrees: 1.5 pixels to each side along x.
    glBegin(GL_LINE_STRIP);
    glVertex2f(0, 0);
    glVertex2f(0.1f, 0.5f);
    glEnd();
    gl_flush();
    ASSERT_EQ(drawn.size(), 12u);
    const std::vector<Vertex> row(drawn.begin(), drawn.begin() + 6);
    const std::vector<Vertex> steep(drawn.begin() + 6, drawn.end());
    expect_quad(
        row,
        {{-0.5f, -0.42f, 0, 1}, {-0.5f, -0.36f, 0, 1}, {0.5f, -0.36f, 0, 1}, {0.5f, -0.42f, 0, 1}});
    expect_quad(steep,
                {{-0.03f, 0, 0, 1}, {0.03f, 0, 0, 1}, {0.13f, 0.5f, 0, 1}, {0.07f, 0.5f, 0, 1}});
}

TEST(PageGL, DisplayListsDrawWhatTheyRecordedWhenCalled)
{
    start(0, 0, 450, 350);
    glNewList(5, GL_COMPILE);
    glPushMatrix();
    glTranslatef(1, 2, 3);
    glRotatef(90, 0, 0, 1);
    glColor3f(0, 0.5f, 1);
    axes_quad();
    glPopMatrix();
    glLineWidth(5);
    glEndList();
    glNewList(6, GL_COMPILE);
    glNewList(7, GL_COMPILE); // while one compiles: ignored
    glCallList(5);
    glEndList();
    glEndList(); // none compiles: ignored
    gl_flush();
    EXPECT_TRUE(drawn.empty()) << "compiling draws nothing";
    glCallList(6);
    glVertex2f(0, 0); // after the list's glEnd: nothing
    glCallList(0);    // no such lists
    glCallList(64);
    glTranslatef(1, 2, 3);
    glRotatef(90, 0, 0, 1);
    glColor3f(0, 0.5f, 1);
    axes_quad();
    gl_flush();
    ASSERT_EQ(drawn.size(), 12u);
    EXPECT_TRUE(std::equal(drawn.begin(), drawn.begin() + 6, drawn.begin() + 6));
    expect_at(drawn[0], {1, 3, 3, 1}); // (1, 0, 0) turned to (0, 1, 0), then moved
    EXPECT_EQ(drawn[0].b, 1);
    // The width the list left: a line along a row, 5 pixels across.
    start(0, 0, 100, 100);
    glLineWidth(0); // no width: ignored
    glBegin(GL_LINE_STRIP);
    glVertex2f(-0.5f, 0.001f);
    glVertex2f(0.5f, 0.001f);
    glEnd();
    gl_flush();
    expect_at(drawn.at(0), {-0.5f, -0.04f, 0, 1});
    // A list that calls itself stops 64 calls deep, as GL does.
    start(0, 0, 450, 350);
    glNewList(8, GL_COMPILE);
    axes_quad();
    glCallList(8);
    glEndList();
    glCallList(8);
    gl_flush();
    EXPECT_EQ(drawn.size(), 64u * 6);
}

// A window with no height draws nothing in it, but nothing breaks either.
TEST(PageGL, AViewportChangeFlushesFirstAndAnEmptyOneBreaksNothing)
{
    start(0, 0, 450, 350);
    axes_quad();
    glViewport(3, 4, 100, 0);
    const std::vector<std::string> told = {"draw 6", "viewport 3 4 100 0"};
    EXPECT_EQ(calls, told);
    drawn.clear();
    glBegin(GL_LINE_STRIP);
    glVertex2f(0, 0);
    glVertex2f(0, 0.5f);
    glEnd();
    gl_flush();
    for (const Vertex &v : drawn) EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
}

TEST(PageGL, MatrixStacksIgnorePushesPastTheirDepthAndPopsBelowTheBottom)
{
    start(0, 0, 450, 350);
    glPopMatrix();
    glTranslatef(1, 0, 0);
    for (int i = 0; i < 40; ++i) glPushMatrix();
    glTranslatef(0, 1, 0);
    for (int i = 0; i < 31; ++i) glPopMatrix();
    expect_at(place(0, 0, 0), {1, 0, 0, 1});
}

// A frame of the 3-cube is about 5000 vertices: more than one batch.
TEST(PageGL, TrianglesReachWebGLWholeAndInOrderAndBeforeAClear)
{
    start(0, 0, 450, 350);
    glBegin(GL_QUADS);
    for (int i = 0; i < 3000; ++i) {
        const float x = float(i);
        glVertex2f(x, 0);
        glVertex2f(x, 1);
        glVertex2f(x, 2);
        glVertex2f(x, 3);
    }
    glEnd();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ASSERT_EQ(drawn.size(), 18000u);
    for (int count : draw_counts) EXPECT_EQ(count % 3, 0);
    EXPECT_EQ(drawn[17999].x, 2999);
    EXPECT_EQ(drawn[17999].y, 3);
    EXPECT_EQ(calls.back(), "clear colour depth");
    EXPECT_EQ(calls[calls.size() - 2].rfind("draw", 0), 0u);
}
} // namespace
