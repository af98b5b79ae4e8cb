// render/cubie.cpp -- the square primitives, the look of one cubie, and the
// display lists that hold every cubie at its home cell.
#include "cube.h"
#include "render.h"

#include <GL/gl.h>

// Corners run (-,-) (-,+) (+,+) (+,-): clockwise seen from +Z. Nothing
// depends on the winding, since culling and two-sided lighting stay off.
void draw_square_fill(float half)
{
    glBegin(GL_QUADS);
    glVertex2f(-half, -half);
    glVertex2f(-half, half);
    glVertex2f(half, half);
    glVertex2f(half, -half);
    glEnd();
}

// The fifth point repeats the first to close the strip.
void draw_square_outline(float half)
{
    glLineWidth(3.0f);
    glBegin(GL_LINE_STRIP);
    glVertex2f(-half, -half);
    glVertex2f(-half, half);
    glVertex2f(half, half);
    glVertex2f(half, -half);
    glVertex2f(-half, -half);
    glEnd();
}

// One face of the cubie: a square in the local XY plane carried to its side.
// The offset is in units of the half-size. No normal is given: the default
// (0, 0, 1) turns with the face and so points outward on every side.
struct cubie_face {
    float offset[3];
    float angle, axis[3];
    float rgb[3];
};

static const cubie_face cubie_faces[6] = {
    {{0, 0, 1}, 0, {0, 0, 0}, {1, 0, 0}},      // +Z red
    {{0, 0, -1}, 180, {0, 1, 0}, {0, 0, 1}},   // -Z blue
    {{1, 0, 0}, 90, {0, 1, 0}, {0, 1, 0}},     // +X green
    {{-1, 0, 0}, -90, {0, 1, 0}, {1, 1, 1}},   // -X white
    {{0, 1, 0}, -90, {1, 0, 0}, {1, 0.5f, 0}}, // +Y orange
    {{0, -1, 0}, 90, {1, 0, 0}, {1, 1, 0}},    // -Y yellow
};

void draw_cubie(float half)
{
    for (const cubie_face &f : cubie_faces) {
        // clang-format off
        glPushMatrix();
            glTranslatef(f.offset[0] * half, f.offset[1] * half, f.offset[2] * half);
            if (f.angle != 0) glRotatef(f.angle, f.axis[0], f.axis[1], f.axis[2]);
            glColor3f(f.rgb[0], f.rgb[1], f.rgb[2]);
            draw_square_fill(half);
            // The edge lies in the plane of the fill, drawn after it, with no
            // depth offset.
            glColor3f(0, 0, 0);
            draw_square_outline(half);
        glPopMatrix();
        // clang-format on
    }
}

// List names are the fixed cubie ids, not names asked of GL; cell_list (set
// by init_cube_state) gives the name for each cell. The home translation is
// inside the list, so the frame's rotations turn a cubie about the cube's centre.
void build_cubie_lists()
{
    const int n = cube.cube_size, s = 1;
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                glNewList(GLuint(cube.cell_list[x][y][z]), GL_COMPILE);
                glPushMatrix();
                glTranslatef(float(2 * x * s - (n - 1) * s), float(2 * y * s - (n - 1) * s),
                             float(2 * z * s - (n - 1) * s));
                draw_cubie(float(s));
                glPopMatrix();
                glEndList();
            }
}
