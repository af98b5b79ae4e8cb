// render/selection.cpp -- the yellow wire frame around the chosen layer: the
// slab's outline scaled about the cube's centre so it stands 0.1 off the faces.
#include "cube.h"
#include "render.h"

#include <GL/gl.h>

constexpr double frame_margin = 0.1; // frame's outer bands off the cube's faces
constexpr float frame_inset = 0.07f; // keeps the inner rectangles off the bands

void draw_frame_edge(float hx, float hy, float z)
{
    glLineWidth(3);
    glBegin(GL_LINE_STRIP);
    glVertex3f(-hx, -hy, z);
    glVertex3f(hx, -hy, z);
    glVertex3f(hx, hy, z);
    glVertex3f(-hx, hy, z);
    glVertex3f(-hx, -hy, z);
    glEnd();
}

// One rectangle under its own turn about axis (ax, ay, az); angle 0 means none.
static void draw_frame_rect(float angle, float ax, float ay, float az, float hx, float hy, float z)
{
    // clang-format off
    glPushMatrix();
        if (angle != 0) glRotatef(angle, ax, ay, az);
        draw_frame_edge(hx, hy, z);
    glPopMatrix();
    // clang-format on
}

// Lighting stays on: each rectangle is lit with the default normal of its own
// plane, and the depth test hides the parts behind the cube.
void draw_selection_frame(float n, int axis, float index_x, float index_y)
{
    const int size = cube.cube_size;
    const float a = float(size + frame_margin); // half-extent of the enlarged cube
    const float s = a / float(size);            // scale; half-width of the scaled slab
    // Axis 1 carries the frame's X onto the cube's Y. Left in place: nothing
    // is drawn after the frame, and the next frame starts from the identity.
    glRotatef(axis == 0 ? 0.0f : 90.0f, 0, 0, 1);
    const float p = axis == 0 ? index_x : index_y;
    const float side = (s - frame_inset) * n, height = a - frame_inset;
    glPushMatrix();
    glColor3f(1, 1, 0);
    // The layer's cell centre, scaled like the rest of the frame.
    glTranslatef(2 * p * s - float(size - 1) * s, 0, 0);
    draw_frame_rect(0, 0, 0, 0, s, a, a);           // band on +Z
    draw_frame_rect(-180, 1, 0, 0, s, a, a);        // band on -Z
    draw_frame_rect(-90, 0, 1, 0, side, height, s); // boundary plane x = -s
    draw_frame_rect(90, 0, 1, 0, side, height, s);  // boundary plane x = +s
    draw_frame_rect(-90, 1, 0, 0, s, height, a);    // band on +Y
    draw_frame_rect(90, 1, 0, 0, s, height, a);     // band on -Y
    glPopMatrix();
}
