// web/glut_keys.h -- a key pressed on the canvas as freeglut on Linux hands
// it to the program (glut_keys.cpp), for the event loop in glut.cpp.
#pragma once

enum glut_key_kind {
    no_glut_key = 0,  // nothing reaches the program
    keyboard_key = 1, // the keyboard callback, with a character code
    special_key = 2,  // the special callback, with a GLUT key code
};

// character is the key's character when the browser's key value is one
// character, else 0; key and code are the browser's key and code values.
// A character up to U+00FF gives its code, one beyond it nothing (never its
// low byte); Enter, Tab, Backspace, Esc and Delete their control codes; the
// cursor, function, navigation and Shift keys their GLUT codes, the keypad's
// too; every other key nothing. Stores the code in *value.
glut_key_kind glut_key_codes(int character, const char *key, const char *code, int *value);
