// input/keys.cpp -- the two GLUT key callbacks: view spin and layer turns on
// character keys, the choice of layer and turn axis on the cursor keys.
#include "cube.h"
#include "input.h"
#include "motion.h"

#include <GL/freeglut.h>

constexpr int key_step = 5; // one view-spin step, and one turn step of 18

// Starts the animated quarter turn of the chosen layer about the chosen axis;
// it has run all 18 frames when this returns.
static void turn_chosen_layer(int sign)
{
    if (cube.turn_axis == 0)
        cube.turn_step_x = float(sign * key_step);
    else
        cube.turn_step_y = float(sign * key_step);
    animate_turn();
}

void keyboard(unsigned char key, int, int)
{
    // A turn must start with the view still and the other axis' step at 0:
    // animate_turn hands both steps on, and a re-orientation leaves +-90 behind.
    cube.view_delta[0] = cube.view_delta[1] = cube.view_delta[2] = 0;
    cube.turn_step_x = cube.turn_step_y = 0;
    switch (key) {
    case 'a':
        cube.view_delta[0] = key_step;
        break;
    case 'z':
        cube.view_delta[0] = -key_step;
        break;
    case 's':
        cube.view_delta[1] = key_step;
        break;
    case 'x':
        cube.view_delta[1] = -key_step;
        break;
    case 'd':
        cube.view_delta[2] = key_step;
        break;
    case 'c':
        cube.view_delta[2] = -key_step;
        break;
    case 'w':
        turn_chosen_layer(+1);
        break;
    case '1':
        turn_chosen_layer(-1);
        break;
    default:
        break; // shifted letters and every other key: only the clearing
    }
    glutPostRedisplay();
}

// The Z delta survives a cursor key on purpose: after d or c each cursor key
// goes on spinning about Z until the next character key.
void special(int key, int, int)
{
    const int n = cube.cube_size;
    cube.view_delta[0] = cube.view_delta[1] = 0;
    switch (key) {
    case GLUT_KEY_RIGHT:
        cube.layer_x = cube.layer_x + 1 == n ? 0 : cube.layer_x + 1;
        cube.turn_axis = 0;
        break;
    case GLUT_KEY_LEFT:
        cube.layer_x = cube.layer_x - 1 < 0 ? n - 1 : cube.layer_x - 1;
        cube.turn_axis = 0;
        break;
    case GLUT_KEY_UP:
        cube.layer_y = cube.layer_y + 1 == n ? 0 : cube.layer_y + 1;
        cube.turn_axis = 1;
        break;
    case GLUT_KEY_DOWN:
        cube.layer_y = cube.layer_y - 1 < 0 ? n - 1 : cube.layer_y - 1;
        cube.turn_axis = 1;
        break;
    default:
        break;
    }
    glutPostRedisplay();
}
