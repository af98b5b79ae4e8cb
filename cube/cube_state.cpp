// cube/cube_state.cpp -- the one state record and its start values.
#include "cube.h"

#include <cmath>

cube_state cube;

int home_cubie(int x, int y, int z)
{
    int n = cube.cube_size;
    return 1 + x + n * y + n * n * z;
}

void init_cube_state()
{
    int n = cube.cube_size;
    cube.cubie_count = int(std::pow(double(n), 3.0));
    for (int id = 1; id <= cube.cubie_count; ++id) {
        cube.cubie_angle_x[id] = 0;
        cube.cubie_angle_y[id] = 0;
        cube.cubie_angle_z[id] = 0;
    }
    // Face 0 is written too and so holds 0.
    for (int f = 0; f <= 6; ++f)
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c) cube.facelet[f][r][c] = f;
    update_face_status();
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                cube.cell_cubie[x][y][z] = float(home_cubie(x, y, z));
                cube.cell_list[x][y][z] = home_cubie(x, y, z);
            }
}
