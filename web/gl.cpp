// web/gl.cpp -- the fixed-function GL and GLU calls the program makes, for
// the page: matrix stacks, immediate mode with quads and line strips, display
// lists, light 0 with colour material, all computed here as GL 1.x defines
// them, for the calls and arguments the program gives. What reaches WebGL
// (webgl.h) is only triangles in clip space with a colour at each corner, the
// viewport and the clears.
#include "webgl.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <cstring>

constexpr int stack_depth = 4;           // a cubie, its home cell, a face: three pushes deep
constexpr int list_count = 28;           // names 1..27: the cubie ids
constexpr int command_room = 8192;       // the 3-cube's 27 lists record 3294 calls, once
constexpr int batch_vertices = 3 * 2048; // whole triangles kept before they go to WebGL

struct matrix {
    float m[16]; // column-major, as GL keeps it
};

// One call recorded in a display list.
enum command_op {
    op_begin,
    op_vertex,
    op_colour,
    op_line_width,
    op_push,
    op_pop,
    op_translate,
    op_rotate
};
struct command {
    command_op op;
    float a[3];
};

// A vertex made ready: clip-space position and its lit colour, as WebGL takes it.
struct lit_vertex {
    float clip[4];
    float rgb[3];
};
static_assert(sizeof(lit_vertex) == webgl_floats * sizeof(float));

// The whole GL state of the page. Only this file writes it. It starts all
// zero: the program sets what it relies on before it draws (the window the
// viewport, each frame both matrices, each face its colour and line width).
struct gl_state {
    matrix stacks[2][stack_depth]; // [0] modelview, [1] projection
    int depth[2];                  // top of each stack
    int mode;                      // 0 modelview, 1 projection
    float colour[3];               // current colour, the front diffuse material
    float line_width;
    int viewport[2]; // width, height; it starts at the window's corner

    command commands[command_room]; // every list's calls, one after another
    int command_count;
    int list_start[list_count], list_end[list_count]; // each list's commands
    int compiling;                                    // the list being compiled, or 0

    GLenum primitive; // the last glBegin's
    lit_vertex held[4];
    int held_count;
    float normal_z; // the default normal's z in eye space, fixed at glBegin
    matrix mvp;     // projection times modelview, fixed at glBegin

    float batch[batch_vertices * webgl_floats];
    int batch_count;
};
static gl_state gl;
constexpr matrix identity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

static matrix &top()
{
    return gl.stacks[gl.mode][gl.depth[gl.mode]];
}

static matrix product(const matrix &a, const matrix &b)
{
    matrix r = {};
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[c * 4 + k];
            r.m[c * 4 + row] = sum;
        }
    return r;
}

static void multiply(const matrix &by)
{
    top() = product(top(), by);
}

// Where a matrix takes the point (x, y, z, 1).
static void transform(const matrix &a, float x, float y, float z, float out[4])
{
    for (int row = 0; row < 4; ++row)
        out[row] = a.m[row] * x + a.m[4 + row] * y + a.m[8 + row] * z + a.m[12 + row];
}

// Recording: true when the call went into the list being compiled.
static bool record(const command &c)
{
    if (gl.compiling == 0) return false;
    gl.commands[gl.command_count++] = c;
    return true;
}

// --- the batch of triangles on its way to WebGL

void gl_flush()
{
    webgl_draw(gl.batch, gl.batch_count);
    gl.batch_count = 0;
}

static void emit(const lit_vertex &v)
{
    if (gl.batch_count == batch_vertices) gl_flush();
    std::memcpy(gl.batch + gl.batch_count++ * webgl_floats, &v, sizeof v);
}

static void emit_triangle(const lit_vertex &a, const lit_vertex &b, const lit_vertex &c)
{
    emit(a);
    emit(b);
    emit(c);
}

// Where a vertex lies in the window, in pixels, along axis k (0 x, 1 y),
// and the clip-space coordinate that puts it at pixel position p instead.
static float window_at(const lit_vertex &v, int k)
{
    return (v.clip[k] / v.clip[3] + 1) * float(gl.viewport[k]) / 2;
}

static void move_to(lit_vertex &v, int k, float p)
{
    v.clip[k] = (p * 2 / float(gl.viewport[k]) - 1) * v.clip[3];
}

// A wide line as desktop GL rasterises an aliased one: width pixels across,
// measured along the window's y for a line that runs more along x than y
// (along x otherwise), the pixels whose centres it covers. Two triangles.
// A line along a row or column of pixels gets edges on pixel boundaries, so
// that it covers the pixels Mesa's 1/256-pixel grid gives it, whatever grid
// the browser rounds to: the cube's edges seen face on lie a few hundredths
// of a pixel off a pixel centre.
static void emit_wide_line(const lit_vertex &a, const lit_vertex &b)
{
    float dx = window_at(b, 0) - window_at(a, 0), dy = window_at(b, 1) - window_at(a, 1);
    const int k = std::fabs(dx) >= std::fabs(dy) ? 1 : 0; // the axis the width is measured on
    const float half = gl.line_width / 2;
    float low[2] = {window_at(a, k) - half, window_at(b, k) - half};
    float high[2] = {window_at(a, k) + half, window_at(b, k) + half};
    if (std::fabs(low[1] - low[0]) < 1.0f / 256) {
        // Mesa covers a centre on the lower edge and not one on the upper.
        low[0] = low[1] = std::ceil(low[0] - 0.5f);    // the first centre on or above the edge
        high[0] = high[1] = std::ceil(high[0] - 0.5f); // past the last centre below it
    }
    lit_vertex corners[4] = {a, a, b, b};
    move_to(corners[0], k, low[0]);
    move_to(corners[1], k, high[0]);
    move_to(corners[2], k, high[1]);
    move_to(corners[3], k, low[1]);
    emit_triangle(corners[0], corners[1], corners[2]);
    emit_triangle(corners[0], corners[2], corners[3]);
}

// --- lighting: light 0 at GL's defaults, a directional light along +Z in eye
// space, white diffuse, no ambient of its own, no specular on the default
// material. Colour material drives the front diffuse material only.

// How squarely the default normal (0, 0, 1) faces light 0, which shines along
// -Z in eye space: the z of that normal in eye space, the third column of the
// inverse transpose of the modelview's upper 3 x 3, not normalised
// (GL_NORMALIZE is off). Elements are m[column * 4 + row].
static float eye_normal_z(const matrix &mv)
{
    const float *m = mv.m;
    float c0 = m[1] * m[6] - m[2] * m[5]; // cofactors of the third column
    float c1 = m[2] * m[4] - m[0] * m[6];
    float c2 = m[0] * m[5] - m[1] * m[4];
    float det = m[8] * c0 + m[9] * c1 + m[10] * c2; // 1 or nearly: turns and moves only
    return c2 / det;
}

// Only the top needs a clamp: the ambient part is above 0, and a face turned
// away gets no diffuse part.
static void light(float out[3])
{
    constexpr float scene_ambient = 0.2f, material_ambient = 0.2f;
    const float facing = gl.normal_z > 0 ? gl.normal_z : 0;
    for (int i = 0; i < 3; ++i)
        out[i] = std::fmin(scene_ambient * material_ambient + facing * gl.colour[i], 1.0f);
}

// --- immediate mode

static void begin(GLenum mode)
{
    gl.primitive = mode;
    gl.held_count = 0;
    gl.normal_z = eye_normal_z(gl.stacks[0][gl.depth[0]]);
    // Positions go through the product of the two, as Mesa's vertex program
    // takes them: the rounding decides which of a face and its coplanar edge
    // passes the depth test.
    gl.mvp = product(gl.stacks[1][gl.depth[1]], gl.stacks[0][gl.depth[0]]);
}

static void vertex(float x, float y, float z)
{
    lit_vertex v;
    transform(gl.mvp, x, y, z, v.clip);
    light(v.rgb);
    if (gl.primitive == GL_QUADS) {
        gl.held[gl.held_count++] = v;
        if (gl.held_count < 4) return;
        emit_triangle(gl.held[0], gl.held[1], gl.held[2]);
        emit_triangle(gl.held[0], gl.held[2], gl.held[3]);
        gl.held_count = 0;
    } else { // GL_LINE_STRIP
        if (gl.held_count == 1) emit_wide_line(gl.held[0], v);
        gl.held[0] = v;
        gl.held_count = 1;
    }
}

static void set_colour(float r, float g, float b)
{
    gl.colour[0] = r;
    gl.colour[1] = g;
    gl.colour[2] = b;
}

static void push()
{
    gl.stacks[gl.mode][gl.depth[gl.mode] + 1] = top();
    ++gl.depth[gl.mode];
}

static void pop()
{
    --gl.depth[gl.mode];
}

static void translate(float x, float y, float z)
{
    matrix t = identity;
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    multiply(t);
}

// The program turns about (1, 0, 0), (0, 1, 0) or (0, 0, 1) only: the turn
// moves the other two axes, i towards j, in their plane and leaves the axis
// itself exactly where it was.
static void rotate(float angle, float x, float y)
{
    const int axis = x != 0 ? 0 : y != 0 ? 1 : 2;
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    const float radians = float(angle * M_PI / 180.0); // as Mesa rounds it
    const float c = std::cos(radians), s = std::sin(radians);
    matrix r = identity;
    r.m[i * 4 + i] = c; // column i: where axis i goes
    r.m[i * 4 + j] = s;
    r.m[j * 4 + i] = -s;
    r.m[j * 4 + j] = c;
    multiply(r);
}

static void run(const command &c)
{
    switch (c.op) {
    case op_begin:
        begin(GLenum(c.a[0]));
        break;
    case op_vertex:
        vertex(c.a[0], c.a[1], c.a[2]);
        break;
    case op_colour:
        set_colour(c.a[0], c.a[1], c.a[2]);
        break;
    case op_line_width:
        gl.line_width = c.a[0];
        break;
    case op_push:
        push();
        break;
    case op_pop:
        pop();
        break;
    case op_translate:
        translate(c.a[0], c.a[1], c.a[2]);
        break;
    case op_rotate:
        rotate(c.a[0], c.a[1], c.a[2]);
        break;
    }
}

// --- the GL calls

extern "C" {

void glBegin(GLenum mode)
{
    if (!record({op_begin, {float(mode)}})) begin(mode);
}

// glBegin starts each primitive afresh: there is nothing to finish.
void glEnd() {}

void glVertex2f(GLfloat x, GLfloat y)
{
    if (!record({op_vertex, {x, y, 0}})) vertex(x, y, 0);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!record({op_vertex, {x, y, z}})) vertex(x, y, z);
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b)
{
    if (!record({op_colour, {r, g, b}})) set_colour(r, g, b);
}

void glLineWidth(GLfloat width)
{
    if (!record({op_line_width, {width}})) gl.line_width = width;
}

void glPushMatrix()
{
    if (!record({op_push, {}})) push();
}

void glPopMatrix()
{
    if (!record({op_pop, {}})) pop();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    if (!record({op_translate, {x, y, z}})) translate(x, y, z);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat)
{
    if (!record({op_rotate, {angle, x, y}})) rotate(angle, x, y);
}

// The program calls lists only outside them: lists hold no calls of lists.
void glCallList(GLuint name)
{
    for (int i = gl.list_start[name]; i < gl.list_end[name]; ++i) run(gl.commands[i]);
}

void glMatrixMode(GLenum mode)
{
    gl.mode = mode == GL_PROJECTION ? 1 : 0;
}

void glLoadIdentity()
{
    top() = identity;
}

// Compile mode only: the calls above are recorded, not run. Each list is
// compiled once, at start-up, and none while another compiles.
void glNewList(GLuint name, GLenum)
{
    gl.compiling = int(name);
    gl.list_start[name] = gl.command_count;
}

void glEndList()
{
    gl.list_end[gl.compiling] = gl.command_count;
    gl.compiling = 0;
}

// Lighting, light 0 and colour material are on before the first frame and
// stay on: here they always are.
void glEnable(GLenum cap)
{
    if (cap == GL_DEPTH_TEST) webgl_depth_test(true);
}

// The program keeps the one mode colour material has: front, diffuse.
void glColorMaterial(GLenum, GLenum) {}

// Gouraud shading is all there is; every primitive of the program has one
// colour at all its corners anyway.
void glShadeModel(GLenum) {}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a)
{
    webgl_clear_colour(r, g, b, a);
}

// The program clears both buffers, first thing in a frame: the last frame's
// triangles went at its glutSwapBuffers.
void glClear(GLbitfield)
{
    webgl_clear(true, true);
}

// The program's viewport is the whole canvas, which never changes size, set
// before anything is drawn.
void glViewport(GLint, GLint, GLsizei width, GLsizei height)
{
    gl.viewport[0] = width;
    gl.viewport[1] = height;
    webgl_viewport(0, 0, width, height);
}

void gluPerspective(GLdouble fov_y, GLdouble aspect, GLdouble near, GLdouble far)
{
    double f = 1 / std::tan(fov_y * M_PI / 360);
    matrix p = {{float(f / aspect), 0, 0, 0, 0, float(f), 0, 0, 0, 0,
                 float((far + near) / (near - far)), -1, 0, 0, float(2 * far * near / (near - far)),
                 0}};
    multiply(p);
}

// The program's camera stands on +Z and looks at the origin with +Y up: its
// axes are the world's, so the view only moves the world back by the eye's z.
void gluLookAt(GLdouble, GLdouble, GLdouble eye_z, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
               GLdouble)
{
    translate(0, 0, float(-eye_z));
}

} // extern "C"
