// placeholder
#include "input.h"
void keyboard(unsigned char, int, int) {}
void special(int, int, int) {}
