// placeholder
#include "cube.h"
void update_face_status() {}
