// render/frame.cpp -- one whole frame: camera, solved-face column, the view
// spin, every cubie under its own angles, re-orientation, selection frame.
#include "cube.h"
#include "motion.h"
#include "render.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

// Indicator colours by colour number; [0] is never drawn.
static const float colour_rgb[7][3] = {
    {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0.5f, 0}, {1, 1, 1}, {0, 1, 0},
};

static void begin_frame(int n)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Every glColor3f from here on, the display lists' included, sets the
    // front diffuse material; light 0 keeps its defaults.
    glColorMaterial(GL_FRONT, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    // reshape leaves the projection matrix current.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, 4.0 * n + 5.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

// Drawn under the camera alone, so the column stays put while the cube spins.
// A square's height follows its colour, not its face: red at y = -2 up to
// green at y = 3, side 1, neighbours touching.
static void draw_solved_column(int n)
{
    for (int f = 1; f <= 6; ++f) {
        int c = cube.face_done[f];
        if (c < red || c > green) continue;
        glPushMatrix();
        glTranslatef(float(3 * n), float(c - 3), 0);
        glColor3f(colour_rgb[c][0], colour_rgb[c][1], colour_rgb[c][2]);
        draw_square_fill(0.5f);
        glPopMatrix();
    }
}

// X first, so a and z always tilt the cube about the window's horizontal axis.
static void rotate_view()
{
    glRotatef(cube.view_angle[0], 1, 0, 0);
    glRotatef(cube.view_angle[1], 0, 1, 0);
    glRotatef(cube.view_angle[2], 0, 0, 1);
}

// List id is cubie id; each list places its cubie at its home cell, so these
// rotations carry it about the cube's centre to the cell it is in now.
static void draw_cubies()
{
    for (int id = 1; id <= cube.cubie_count; ++id) {
        // clang-format off
        glPushMatrix();
            glRotatef(cube.cubie_angle_x[id], 1, 0, 0);
            glRotatef(cube.cubie_angle_y[id], 0, 1, 0);
            glRotatef(cube.cubie_angle_z[id], 0, 0, 1);
            glCallList(GLuint(id));
        glPopMatrix();
        // clang-format on
    }
}

void display()
{
    const int n = cube.cube_size;
    begin_frame(n);
    draw_solved_column(n);
    update_view_angles();
    rotate_view();
    draw_cubies();
    // May turn the whole cube; the cubies above were drawn before it, and the
    // picture of the turned cube follows next frame.
    reorient_cube();
    // The selection frame already describes the turned cube: these undo that
    // turn for this one frame (both angles 0 on every other frame).
    glRotatef(float(reorient_angle_x), 1, 0, 0);
    glRotatef(float(reorient_angle_y), 0, 1, 0);
    draw_selection_frame(float(n), cube.turn_axis, float(cube.layer_x), float(cube.layer_y));
    glutSwapBuffers();
}
