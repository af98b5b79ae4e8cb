// motion/view.cpp -- the view spin of every frame, and the whole-cube turn
// that brings a spin about X or Y back from +-45 degrees.
#include "cube.h"
#include "motion.h"

int reorient_angle_x, reorient_angle_y;

// An exchange in reorient_cube can leave 180 (the negation of -180), which
// exact-value wraps would let grow past 185 and never meet +-45 again; a
// range wrap catches it. Inside -180..175 both agree.
static void wrap_view_angle(float &a)
{
    if (a >= 180)
        a -= 360;
    else if (a < -180)
        a += 360;
}

void update_view_angles()
{
    for (int i = 0; i < 3; ++i) cube.view_angle[i] = float(cube.view_delta[i]) + cube.view_angle[i];
    for (int i = 0; i < 3; ++i) wrap_view_angle(cube.view_angle[i]);
}

static float truncated(float a)
{
    return float(int(a));
}

static void whole_turn_x(float step)
{
    cube.turn_axis = 0;
    cube.turn_step_x = step;
    cube.whole_x = 1;
    animate_turn();
    cube.whole_x = 0;
}

static void whole_turn_y(float step)
{
    cube.turn_axis = 1;
    cube.turn_step_y = step;
    cube.whole_y = 1;
    animate_turn();
    cube.whole_y = 0;
}

// Each check turns the cube the way the spin was going, takes the view angle
// back by 85 (not 90: it lands one step inside the trigger) and exchanges the
// other two angles, both from their values before the exchange, so that the
// picture stays close to the triggering frame.
static void check_spin_down_x()
{
    float *v = cube.view_angle;
    if (v[0] != -45 || cube.view_delta[0] >= 0) return;
    float y = v[1], z = v[2];
    whole_turn_x(-whole_step);
    v[0] = 85 + v[0];
    v[1] = truncated(z);
    v[2] = -y;
    reorient_angle_x = 90;
}

static void check_spin_up_x()
{
    float *v = cube.view_angle;
    if (v[0] != 45 || cube.view_delta[0] <= 0) return;
    float y = v[1], z = v[2];
    whole_turn_x(whole_step);
    v[0] = v[0] - 85;
    v[1] = -z;
    v[2] = truncated(y);
    reorient_angle_x = 270;
}

static void check_spin_down_y()
{
    float *v = cube.view_angle;
    if (v[1] != -45 || cube.view_delta[1] >= 0) return;
    float x = v[0], z = v[2];
    whole_turn_y(-whole_step);
    v[1] = 85 + v[1];
    v[0] = -z;
    v[2] = truncated(x);
    reorient_angle_y = 90;
}

static void check_spin_up_y()
{
    float *v = cube.view_angle;
    if (v[1] != 45 || cube.view_delta[1] <= 0) return;
    float x = v[0], z = v[2];
    whole_turn_y(whole_step);
    v[1] = v[1] - 85;
    v[2] = -x;
    v[0] = truncated(z);
    reorient_angle_y = 270;
}

void reorient_cube()
{
    int axis = cube.turn_axis; // the layer keys keep their axis across the turn
    reorient_angle_x = 0;
    reorient_angle_y = 0;
    check_spin_down_x();
    check_spin_up_x();
    check_spin_down_y();
    check_spin_up_y();
    cube.turn_axis = axis;
}
