// cube/layer_turn.cpp -- placeholder
#include "cube.h"
void apply_layer_turn(int, int, int, int, int) {}
