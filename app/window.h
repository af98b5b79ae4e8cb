// app/window.h -- the window half of start-up (window.cpp): the window, its
// fixed rendering state, the callbacks, and the projection on every resize.
#pragma once

// GLUT reshape callback: viewport and 55-degree perspective for the new size.
void reshape(int width, int height);

// Opens the window, sets the fixed rendering state, registers the callbacks
// and fills the cube record; returns just before the event loop.
void open_window(int *argc, char **argv);
