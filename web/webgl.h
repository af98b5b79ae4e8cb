// web/webgl.h -- what the page's GL (gl.cpp) hands to WebGL, in library.js:
// triangles ready in clip space, the clears, the viewport, the depth test.
// The tests put a recorder of their own in its place.
#pragma once

// Each vertex: x y z w in clip space, then r g b.
constexpr int webgl_floats = 7;

extern "C" {
void webgl_draw(const float *vertices, int count);
void webgl_clear_colour(float r, float g, float b, float a);
void webgl_clear(bool colour, bool depth);
void webgl_viewport(int x, int y, int width, int height);
void webgl_depth_test(bool on);
}

// Sends the triangles gl.cpp still holds to WebGL; glutSwapBuffers calls it
// at the end of each frame, so that nothing is drawn late.
void gl_flush();
