// placeholder
#include "motion.h"
void update_view_angles() {}
void reorient_cube() {}
