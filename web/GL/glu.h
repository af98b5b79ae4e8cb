// web/GL/glu.h -- the two GLU calls the program makes, for the page's GL
// (gl.cpp), in place of the system's GLU.
#pragma once

#include <GL/gl.h>

#ifdef __cplusplus
extern "C" {
#endif

void gluLookAt(GLdouble eye_x, GLdouble eye_y, GLdouble eye_z, GLdouble centre_x, GLdouble centre_y,
               GLdouble centre_z, GLdouble up_x, GLdouble up_y, GLdouble up_z);
void gluPerspective(GLdouble fov_y, GLdouble aspect, GLdouble near, GLdouble far);

#ifdef __cplusplus
}
#endif
