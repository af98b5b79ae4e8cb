// app/window.cpp -- the one window: GLUT start-up, the fixed rendering state,
// the callbacks, and the projection kept matched to the window size.
#include "window.h"
#include "cube.h"
#include "input.h"
#include "render.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

void open_window(int *argc, char **argv)
{
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(450, 350);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(argv[0]);

    // Switched on once and never off; materials come from colour material,
    // which every frame sets, so light 0 and the light model keep GL defaults.
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);

    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(special);

    init_cube_state();
    build_cubie_lists();
}

void reshape(int width, int height)
{
    // A window shrunk to nothing would make the aspect ratio infinite or 0;
    // treat a side below one pixel as one pixel.
    double aspect = double(width < 1 ? 1 : width) / double(height < 1 ? 1 : height);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(55.0, aspect, 1.0, 20.0);
}
