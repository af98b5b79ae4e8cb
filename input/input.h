// input/input.h -- the keyboard callbacks: spin keys, turn keys, cursor keys.
#pragma once

// GLUT keyboard callback: a z s x d c set the view spin, w and 1 turn the
// chosen layer (the whole animation runs before it returns). Every key clears
// the spin and the turn steps first and asks for a frame last.
void keyboard(unsigned char key, int x, int y);

// GLUT special-key callback: Left/Right choose the layer across X, Up/Down the
// layer across Y, each wrapping, and with it the axis of the next turn.
void special(int key, int x, int y);
