// motion/turn.cpp -- the animation of one quarter turn: every cubie of the turn
// has its three angles changed step by step, and afterwards the cells, the
// stickers and (after a layer turn) the solved faces follow.
#include "cube.h"
#include "motion.h"

// A turn about X only adds to the leading Rx of Rx(X) Ry(Y) Rz(Z).
static void turn_about_x(int id)
{
    cube.cubie_angle_x[id] = cube.turn_step_x + cube.cubie_angle_x[id];
}

// A turn about Y passes Rx(0) unchanged and Rx(-180) reversed; it passes
// Rx(-90) as a Z turn and Rx(90) as a reversed one, which in turn passes
// Ry(-180) reversed (the sign s). The X angle is one of the four values at rest.
static void turn_about_y(int id, float s)
{
    float d = cube.turn_step_y;
    float x = cube.cubie_angle_x[id];
    if (x == 0)
        cube.cubie_angle_y[id] = cube.cubie_angle_y[id] + d;
    else if (x == -180)
        cube.cubie_angle_y[id] = cube.cubie_angle_y[id] - d;
    else if (x == -90)
        cube.cubie_angle_z[id] = s * d + cube.cubie_angle_z[id];
    else if (x == 90)
        cube.cubie_angle_z[id] = cube.cubie_angle_z[id] - s * d;
}

// Exact-value wraps: 180 is -180 and -270 is 90 as rotations, and
// Rx(-180) Ry(-180) Rz(-180) is the identity.
static void wrap_angles(int id)
{
    float *a[3] = {&cube.cubie_angle_x[id], &cube.cubie_angle_y[id], &cube.cubie_angle_z[id]};
    for (float *p : a)
        if (*p == 180) *p = -180;
    for (float *p : a)
        if (*p == -270) *p = 90;
    if (*a[0] == -180 && *a[1] == -180 && *a[2] == -180) *a[0] = *a[1] = *a[2] = 0;
}

static void set_x_and_z(int id, float x)
{
    cube.cubie_angle_x[id] = x;
    cube.cubie_angle_z[id] = 0;
}

static bool is_quarter(float a)
{
    return a == 90 || a == -90;
}

static bool is_half_or_none(float a)
{
    return a == 0 || a == -180;
}

// With the Y angle at 90 the orientation depends only on X + Z, at -90 only on
// X - Z: move it all into Z or X so that the X angle is 0 or -180 again, which
// is what the next Y turn needs. Each rule sees what the rules before it left.
static void exchange_angles(int id)
{
    float &x = cube.cubie_angle_x[id];
    float y = cube.cubie_angle_y[id];
    float &z = cube.cubie_angle_z[id];
    if (y == 90 && is_quarter(x) && is_half_or_none(z)) {
        float old_x = x;
        x = z;
        z = float(int(old_x));
    }
    if (y == 90 && is_quarter(x) && z == x) set_x_and_z(id, -180);
    if (y == 90 && is_quarter(x) && -z == x) set_x_and_z(id, 0);
    if (y == -90 && is_quarter(x) && is_half_or_none(z)) {
        float old_x = x;
        x = z;
        z = float(-int(old_x));
    }
    if (y == -90 && is_quarter(x) && -z == x) set_x_and_z(id, -180);
    if (y == -90 && is_quarter(x) && z == x) set_x_and_z(id, 0);
}

static void step_cubie(int id, int x, int y)
{
    float s = cube.cubie_angle_y[id] == -180 ? -1 : 1; // taken before this step changes it
    if (cube.turn_axis == 0 && (x == cube.layer_x || cube.whole_x == 1)) turn_about_x(id);
    if (cube.turn_axis == 1 && (y == cube.layer_y || cube.whole_y == 1)) turn_about_y(id, s);
    wrap_angles(id);
    exchange_angles(id);
}

static void step_every_cubie()
{
    int n = cube.cube_size;
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) step_cubie(int(cube.cell_cubie[x][y][z]), x, y);
}

// Cells and stickers move after the animation, not during it: the frames
// draw angles only. A whole-cube turn is every layer of its axis in turn.
static void update_model()
{
    int n = cube.cube_size;
    int step_x = int(cube.turn_step_x);
    int step_y = int(cube.turn_step_y);
    if (cube.whole_x == 1)
        for (int i = 0; i < n; ++i)
            apply_layer_turn(i, cube.layer_y, cube.turn_axis, step_x, step_y);
    if (cube.whole_y == 1)
        for (int i = 0; i < n; ++i)
            apply_layer_turn(cube.layer_x, i, cube.turn_axis, step_x, step_y);
    if (cube.whole_x == 0 && cube.whole_y == 0) {
        apply_layer_turn(cube.layer_x, cube.layer_y, cube.turn_axis, step_x, step_y);
        // A whole-cube turn only moves whole faces, so the set of solved
        // colours stays right without this.
        update_face_status();
    }
}

void animate_turn()
{
    // A whole-cube turn is the last step alone, by 90 degrees, undrawn.
    int first = cube.whole_x == 1 || cube.whole_y == 1 ? turn_frames - 1 : 0;
    for (int step = first; step < turn_frames; ++step) {
        step_every_cubie();
        if (cube.whole_x == 0 && cube.whole_y == 0) display();
    }
    update_model();
}
