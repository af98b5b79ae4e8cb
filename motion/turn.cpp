// placeholder
#include "motion.h"
int reorient_angle_x, reorient_angle_y;
void animate_turn() {}
