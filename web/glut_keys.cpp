// web/glut_keys.cpp -- what a key pressed on the canvas gives the program's
// key callbacks, the same as freeglut gives on Linux. Plain values in and out
// and no I/O, so it builds and is tested natively; glut.cpp delivers them.
#include "glut_keys.h"

#include <GL/freeglut.h>
#include <cstring>

struct glut_named_key {
    const char *key;  // the browser's key value
    const char *code; // its code value, where the key value alone cannot tell
    glut_key_kind kind;
    int value;
};

// The keypad's Delete (without Num Lock) is freeglut's GLUT_KEY_DELETE; the
// other Delete is the character 127. Keypad 5 without Num Lock is Clear.
static const glut_named_key named_keys[] = {
    {"Enter", "", keyboard_key, 13},
    {"Tab", "", keyboard_key, 9},
    {"Backspace", "", keyboard_key, 8},
    {"Escape", "", keyboard_key, 27},
    {"Delete", "NumpadDecimal", special_key, GLUT_KEY_DELETE},
    {"Delete", "", keyboard_key, 127},
    {"ArrowLeft", "", special_key, GLUT_KEY_LEFT},
    {"ArrowUp", "", special_key, GLUT_KEY_UP},
    {"ArrowRight", "", special_key, GLUT_KEY_RIGHT},
    {"ArrowDown", "", special_key, GLUT_KEY_DOWN},
    {"PageUp", "", special_key, GLUT_KEY_PAGE_UP},
    {"PageDown", "", special_key, GLUT_KEY_PAGE_DOWN},
    {"Home", "", special_key, GLUT_KEY_HOME},
    {"End", "", special_key, GLUT_KEY_END},
    {"Insert", "", special_key, GLUT_KEY_INSERT},
    {"NumLock", "", special_key, GLUT_KEY_NUM_LOCK},
    {"Clear", "", special_key, GLUT_KEY_BEGIN},
    {"Shift", "ShiftLeft", special_key, GLUT_KEY_SHIFT_L},
    {"Shift", "ShiftRight", special_key, GLUT_KEY_SHIFT_R},
    {"F1", "", special_key, GLUT_KEY_F1},
    {"F2", "", special_key, GLUT_KEY_F2},
    {"F3", "", special_key, GLUT_KEY_F3},
    {"F4", "", special_key, GLUT_KEY_F4},
    {"F5", "", special_key, GLUT_KEY_F5},
    {"F6", "", special_key, GLUT_KEY_F6},
    {"F7", "", special_key, GLUT_KEY_F7},
    {"F8", "", special_key, GLUT_KEY_F8},
    {"F9", "", special_key, GLUT_KEY_F9},
    {"F10", "", special_key, GLUT_KEY_F10},
    {"F11", "", special_key, GLUT_KEY_F11},
    {"F12", "", special_key, GLUT_KEY_F12},
};

glut_key_kind glut_key_codes(int character, const char *key, const char *code, int *value)
{
    if (character != 0) {
        *value = character <= 0xff ? character : 0;
        return character <= 0xff ? keyboard_key : no_glut_key;
    }
    for (const glut_named_key &k : named_keys) {
        if (strcmp(key, k.key) != 0) continue;
        if (k.code[0] != 0 && strcmp(code, k.code) != 0) continue;
        *value = k.value;
        return k.kind;
    }
    *value = 0;
    return no_glut_key;
}
