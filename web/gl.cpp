// web/gl.cpp -- the fixed-function GL and GLU calls the program makes, for
// the page: matrix stacks, immediate mode with quads and line strips, display
// lists, light 0 with colour material, all computed here as GL 1.x defines
// them. What reaches WebGL (webgl.h) is only triangles in clip space with a
// colour at each corner, the viewport and the clears.
#include "webgl.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

constexpr int stack_depth = 32;          // GL's least modelview depth; projection uses it too
constexpr int list_count = 64;           // names 1..63; the program uses 1..27
constexpr int command_room = 8192;       // recorded calls, all lists together
constexpr int batch_vertices = 3 * 2048; // whole triangles kept before they go to WebGL

struct matrix {
    float m[16]; // column-major, as GL keeps it
};

// One call recorded in a display list.
enum command_op {
    op_begin,
    op_end,
    op_vertex,
    op_colour,
    op_line_width,
    op_push,
    op_pop,
    op_translate,
    op_rotate,
    op_call
};
struct command {
    command_op op;
    float a[4];
};

// A vertex made ready: clip-space position and its lit colour.
struct lit_vertex {
    float clip[4];
    float rgb[3];
};

// The whole GL state of the page. Only this file writes it.
struct gl_state {
    matrix stacks[2][stack_depth]; // [0] modelview, [1] projection
    int depth[2];                  // top of each stack
    int mode;                      // 0 modelview, 1 projection
    float colour[3];               // current colour
    float diffuse[3];              // front diffuse material
    float line_width;
    int viewport[4];
    bool lighting, light0, colour_material;

    command commands[command_room]; // every list's calls, one after another
    int command_count;
    int list_start[list_count], list_end[list_count]; // each list's commands
    int compiling;                                    // the list being compiled, or 0

    GLenum primitive; // between glBegin and glEnd, else 0
    lit_vertex held[4];
    int held_count;
    float normal_z; // the default normal's z in eye space, fixed at glBegin
    matrix mvp;     // projection times modelview, fixed at glBegin

    float batch[batch_vertices * webgl_floats];
    int batch_count;
    int calls_deep; // lists that call lists: GL stops at 64 levels
};
constexpr matrix identity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

// GL's state when a context is made; the window sets the viewport.
// clang-format off
static gl_state gl = {
    {{identity}, {identity}},      // both stacks: the identity at the bottom
    {0, 0}, 0,                     // depths, mode: modelview
    {1, 1, 1}, {0.8f, 0.8f, 0.8f}, // colour white, diffuse grey
    1, {0, 0, 1, 1},               // line width, viewport
    false, false, false,           // lighting, light 0, colour material
    {}, 0, {}, {}, 0,              // no lists
    0, {}, 0, 1, identity,         // no primitive
    {}, 0, 0,                      // an empty batch
};
// clang-format on

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

static void transform(const matrix &a, const float in[4], float out[4])
{
    for (int row = 0; row < 4; ++row)
        out[row] =
            a.m[row] * in[0] + a.m[4 + row] * in[1] + a.m[8 + row] * in[2] + a.m[12 + row] * in[3];
}

// Recording: true when the call went into the list being compiled.
static bool record(command_op op, float a0 = 0, float a1 = 0, float a2 = 0, float a3 = 0)
{
    if (gl.compiling == 0) return false;
    if (gl.command_count < command_room)
        gl.commands[gl.command_count++] = command{op, {a0, a1, a2, a3}};
    return true;
}

// --- the batch of triangles on its way to WebGL

void gl_flush()
{
    if (gl.batch_count > 0) webgl_draw(gl.batch, gl.batch_count);
    gl.batch_count = 0;
}

static void emit(const lit_vertex &v)
{
    if (gl.batch_count == batch_vertices) gl_flush();
    float *out = gl.batch + gl.batch_count++ * webgl_floats;
    for (int i = 0; i < 4; ++i) out[i] = v.clip[i];
    for (int i = 0; i < 3; ++i) out[4 + i] = v.rgb[i];
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
    return float(gl.viewport[k]) + (v.clip[k] / v.clip[3] + 1) * float(gl.viewport[2 + k]) / 2;
}

static void move_to(lit_vertex &v, int k, float p)
{
    v.clip[k] = ((p - float(gl.viewport[k])) * 2 / float(gl.viewport[2 + k]) - 1) * v.clip[3];
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

static float clamp(float v)
{
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

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
    float det = m[8] * c0 + m[9] * c1 + m[10] * c2;
    return det == 0 ? 0 : c2 / det; // a flattened modelview: no light on it
}

static void light(float out[3])
{
    if (!gl.lighting) {
        for (int i = 0; i < 3; ++i) out[i] = gl.colour[i];
        return;
    }
    constexpr float scene_ambient = 0.2f, material_ambient = 0.2f;
    float facing = gl.normal_z > 0 ? gl.normal_z : 0;
    for (int i = 0; i < 3; ++i) {
        float c = scene_ambient * material_ambient;
        if (gl.light0) c += facing * gl.diffuse[i];
        out[i] = clamp(c);
    }
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
    if (gl.primitive == 0) return;
    const float object[4] = {x, y, z, 1};
    lit_vertex v = {};
    transform(gl.mvp, object, v.clip);
    light(v.rgb);
    if (gl.primitive == GL_QUADS) {
        gl.held[gl.held_count++] = v;
        if (gl.held_count < 4) return;
        emit_triangle(gl.held[0], gl.held[1], gl.held[2]);
        emit_triangle(gl.held[0], gl.held[2], gl.held[3]);
        gl.held_count = 0;
    } else if (gl.primitive == GL_LINE_STRIP) {
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
    if (!gl.colour_material) return;
    for (int i = 0; i < 3; ++i) gl.diffuse[i] = gl.colour[i];
}

static void push()
{
    if (gl.depth[gl.mode] + 1 == stack_depth) return; // overflow: GL ignores the call
    gl.stacks[gl.mode][gl.depth[gl.mode] + 1] = top();
    ++gl.depth[gl.mode];
}

static void pop()
{
    if (gl.depth[gl.mode] > 0) --gl.depth[gl.mode];
}

static void translate(float x, float y, float z)
{
    matrix t = identity;
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    multiply(t);
}

static void rotate(float angle, float x, float y, float z)
{
    float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return;
    x /= length;
    y /= length;
    z /= length;
    const float radians = float(angle * M_PI / 180.0); // as Mesa rounds it
    const float c = std::cos(radians), s = std::sin(radians), k = 1 - c;
    matrix r = {{x * x * k + c, y * x * k + z * s, x * z * k - y * s, 0, x * y * k - z * s,
                 y * y * k + c, y * z * k + x * s, 0, x * z * k + y * s, y * z * k - x * s,
                 z * z * k + c, 0, 0, 0, 0, 1}};
    multiply(r);
}

static void call_list(int name);

static void run(const command &c)
{
    switch (c.op) {
    case op_begin:
        begin(GLenum(c.a[0]));
        break;
    case op_end:
        gl.primitive = 0;
        break;
    case op_vertex:
        vertex(c.a[0], c.a[1], c.a[2]);
        break;
    case op_colour:
        set_colour(c.a[0], c.a[1], c.a[2]);
        break;
    case op_line_width:
        if (c.a[0] > 0) gl.line_width = c.a[0]; // as glLineWidth: no width is ignored
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
        rotate(c.a[0], c.a[1], c.a[2], c.a[3]);
        break;
    case op_call:
        call_list(int(c.a[0]));
        break;
    }
}

static void call_list(int name)
{
    if (name <= 0 || name >= list_count || gl.calls_deep == 64) return;
    ++gl.calls_deep;
    for (int i = gl.list_start[name]; i < gl.list_end[name]; ++i) run(gl.commands[i]);
    --gl.calls_deep;
}

// --- the GL calls

extern "C" {

void glBegin(GLenum mode)
{
    if (!record(op_begin, float(mode))) begin(mode);
}

void glEnd()
{
    if (!record(op_end)) gl.primitive = 0;
}

void glVertex2f(GLfloat x, GLfloat y)
{
    if (!record(op_vertex, x, y, 0)) vertex(x, y, 0);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!record(op_vertex, x, y, z)) vertex(x, y, z);
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b)
{
    if (!record(op_colour, r, g, b)) set_colour(r, g, b);
}

void glLineWidth(GLfloat width)
{
    if (!record(op_line_width, width) && width > 0) gl.line_width = width;
}

void glPushMatrix()
{
    if (!record(op_push)) push();
}

void glPopMatrix()
{
    if (!record(op_pop)) pop();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    if (!record(op_translate, x, y, z)) translate(x, y, z);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    if (!record(op_rotate, angle, x, y, z)) rotate(angle, x, y, z);
}

void glCallList(GLuint name)
{
    if (!record(op_call, float(name))) call_list(int(name));
}

void glMatrixMode(GLenum mode)
{
    gl.mode = mode == GL_PROJECTION ? 1 : 0;
}

void glLoadIdentity()
{
    top() = identity;
}

// Compile mode only: the calls above are recorded, not run. A list compiled
// again replaces the old one, whose commands stay unused.
void glNewList(GLuint name, GLenum)
{
    if (name == 0 || name >= list_count || gl.compiling != 0) return;
    gl.compiling = int(name);
    gl.list_start[name] = gl.command_count;
}

void glEndList()
{
    if (gl.compiling == 0) return;
    gl.list_end[gl.compiling] = gl.command_count;
    gl.compiling = 0;
}

void glEnable(GLenum cap)
{
    if (cap == GL_LIGHTING) gl.lighting = true;
    if (cap == GL_LIGHT0) gl.light0 = true;
    if (cap == GL_DEPTH_TEST) webgl_depth_test(true);
    if (cap != GL_COLOR_MATERIAL) return;
    gl.colour_material = true;
    set_colour(gl.colour[0], gl.colour[1], gl.colour[2]); // takes the current colour at once
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

void glClear(GLbitfield mask)
{
    gl_flush();
    webgl_clear((mask & GL_COLOR_BUFFER_BIT) != 0, (mask & GL_DEPTH_BUFFER_BIT) != 0);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    gl_flush();
    gl.viewport[0] = x;
    gl.viewport[1] = y;
    gl.viewport[2] = width > 0 ? width : 1;
    gl.viewport[3] = height > 0 ? height : 1;
    webgl_viewport(x, y, width, height);
}

void gluPerspective(GLdouble fov_y, GLdouble aspect, GLdouble near, GLdouble far)
{
    double f = 1 / std::tan(fov_y * M_PI / 360);
    matrix p = {{float(f / aspect), 0, 0, 0, 0, float(f), 0, 0, 0, 0,
                 float((far + near) / (near - far)), -1, 0, 0, float(2 * far * near / (near - far)),
                 0}};
    multiply(p);
}

void gluLookAt(GLdouble eye_x, GLdouble eye_y, GLdouble eye_z, GLdouble centre_x, GLdouble centre_y,
               GLdouble centre_z, GLdouble up_x, GLdouble up_y, GLdouble up_z)
{
    double f[3] = {centre_x - eye_x, centre_y - eye_y, centre_z - eye_z};
    double length = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (double &v : f) v /= length;
    // s = f x up, normalised; u = s x f.
    double s[3] = {f[1] * up_z - f[2] * up_y, f[2] * up_x - f[0] * up_z, f[0] * up_y - f[1] * up_x};
    length = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    for (double &v : s) v /= length;
    double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    matrix m = {{float(s[0]), float(u[0]), float(-f[0]), 0, float(s[1]), float(u[1]), float(-f[1]),
                 0, float(s[2]), float(u[2]), float(-f[2]), 0, 0, 0, 0, 1}};
    multiply(m);
    translate(float(-eye_x), float(-eye_y), float(-eye_z));
}

} // extern "C"
