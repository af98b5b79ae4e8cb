// tests/cube_test.cpp -- the cube model checked against a physical cube built
// here from integer positions and rotation matrices: start values, the worked
// turn, the group laws of quarter turns, and the solved-face check.
#include "cube.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using vec3 = std::array<int, 3>;
using grid = std::array<std::array<int, 3>, 3>;

// ---- The physical cube: shares nothing with the model ----------------------

// Outward normals of faces 1..6 and, for each face, the cell whose sticker
// sits at row r, column c.
const vec3 face_normal[7] = {{0, 0, 0}, {0, 0, 1},  {0, -1, 0}, {0, 0, -1},
                             {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};
vec3 face_cell(int f, int r, int c, int p)
{
    const vec3 cell[7] = {{},        {r, p - c, p}, {r, 0, p - c},    {r, c, 0},
                          {r, p, c}, {0, p - c, r}, {p, p - c, p - r}};
    return cell[f];
}

// A cubie of the physical cube: its position in doubled coordinates
// (2 x - (N - 1), integers) and where its six sides point; side s started
// pointing at face s + 1 and so has colour s + 1.
struct physical_cubie {
    int id;
    vec3 pos, normal[6];
};
using physical_cube = std::vector<physical_cubie>;

int doubled(int index)
{
    return 2 * index - cube.cube_size + 1;
}

physical_cube make_physical()
{
    physical_cube pc;
    int n = cube.cube_size, id = 0;
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                pc.push_back({++id, {doubled(x), doubled(y), doubled(z)}, {}});
                for (int s = 0; s < 6; ++s) pc.back().normal[s] = face_normal[s + 1];
            }
    return pc;
}

// A quarter turn by the right-hand rule about +X (axis 0) or +Y (axis 1).
vec3 rotate(vec3 v, int axis, int sign)
{
    if (axis == 0) return sign > 0 ? vec3{v[0], -v[2], v[1]} : vec3{v[0], v[2], -v[1]};
    return sign > 0 ? vec3{v[2], v[1], -v[0]} : vec3{-v[2], v[1], v[0]};
}

void turn_physical(physical_cube &pc, int axis, int layer, int sign)
{
    for (physical_cubie &cb : pc) {
        if (cb.pos[axis] != doubled(layer)) continue;
        cb.pos = rotate(cb.pos, axis, sign);
        for (vec3 &v : cb.normal) v = rotate(v, axis, sign);
    }
}

const physical_cubie &cubie_in(const physical_cube &pc, vec3 cell)
{
    for (const physical_cubie &cb : pc)
        if (cb.pos == vec3{doubled(cell[0]), doubled(cell[1]), doubled(cell[2])}) return cb;
    ADD_FAILURE() << "no cubie in a cell";
    return pc[0];
}

int physical_sticker(const physical_cube &pc, int f, int r, int c)
{
    const physical_cubie &cb = cubie_in(pc, face_cell(f, r, c, cube.cube_size - 1));
    for (int s = 0; s < 6; ++s)
        if (cb.normal[s] == face_normal[f]) return s + 1;
    return -1;
}

// Every disagreement between the model and the physical cube, "" if none;
// face_done is checked too, so call update_face_status first.
std::string compare_with(const physical_cube &pc)
{
    int n = cube.cube_size;
    std::ostringstream out;
    std::vector<int> seen(n * n * n + 1, 0), colours(7, 0);
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y)
            for (int z = 0; z < n; ++z) {
                float id = cube.cell_cubie[x][y][z];
                int want = cubie_in(pc, {x, y, z}).id;
                if (id != float(want))
                    out << "cell " << x << y << z << ": " << id << " not " << want << "; ";
                if (id >= 1 && id <= n * n * n && id == int(id)) ++seen[int(id)];
            }
    for (int id = 1; id <= n * n * n; ++id)
        if (seen[id] != 1) out << "id " << id << " seen " << seen[id] << " times; ";
    for (int f = 1; f <= 6; ++f) {
        int uniform = physical_sticker(pc, f, 0, 0);
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c) {
                int want = physical_sticker(pc, f, r, c), got = cube.facelet[f][r][c];
                if (got != want)
                    out << "face " << f << " r" << r << "c" << c << ": " << got << " not " << want
                        << "; ";
                if (got >= 1 && got <= 6) ++colours[got];
                if (want != uniform) uniform = 0;
            }
        if (cube.face_done[f] != uniform) out << "face_done[" << f << "] not " << uniform << "; ";
    }
    for (int k = 1; k <= 6; ++k)
        if (colours[k] != n * n) out << "colour " << k << " occurs " << colours[k] << " times; ";
    return out.str();
}

// ---- Helpers over the model ------------------------------------------------

void turn(int axis, int layer, int step)
{
    apply_layer_turn(axis == 0 ? layer : 0, axis == 1 ? layer : 0, axis, axis == 0 ? step : 0,
                     axis == 1 ? step : 0);
}

void whole_turn(int axis, int step)
{
    for (int layer = 0; layer < cube.cube_size; ++layer) turn(axis, layer, step);
}

void scramble(unsigned seed)
{
    std::mt19937 rng(seed);
    for (int i = 0; i < 40; ++i) {
        int axis = rng() % 2, layer = rng() % cube.cube_size;
        turn(axis, layer, rng() % 2 ? 5 : -5);
    }
}

bool same_record(const cube_state &a)
{
    return std::memcmp(&a, &cube, sizeof a) == 0;
}

grid face_of(int f)
{
    grid g{};
    for (int r = 0; r < cube.cube_size; ++r)
        for (int c = 0; c < cube.cube_size; ++c) g[r][c] = cube.facelet[f][r][c];
    return g;
}

// The face array turned clockwise (row 0 on top, column 0 on the left) `times` times.
grid clockwise(grid g, int times)
{
    int p = cube.cube_size - 1;
    for (; times > 0; --times) {
        grid t{};
        for (int r = 0; r <= p; ++r)
            for (int c = 0; c <= p; ++c) t[r][c] = g[p - c][r];
        g = t;
    }
    return g;
}

class CubeModel : public ::testing::Test
{
  protected:
    void start(int n)
    {
        cube = cube_state{};
        cube.cube_size = n;
        init_cube_state();
    }
    void SetUp() override { start(3); }
};

// ---- Start values ------------------------------------------------------------

TEST_F(CubeModel, StartValuesForBothSizes)
{
    const int listed[][5] = {{3, 0, 0, 0, 1},  {3, 2, 0, 0, 3},  {3, 0, 2, 0, 7}, {3, 1, 1, 1, 14},
                             {3, 0, 0, 2, 19}, {3, 2, 2, 2, 27}, {2, 1, 0, 0, 2}, {2, 0, 1, 0, 3},
                             {2, 0, 0, 1, 5},  {2, 1, 1, 1, 8}};
    for (int n : {2, 3}) {
        start(n);
        EXPECT_EQ(n * n * n, cube.cubie_count);
        const int named[7][2] = {{0, no_colour},     {face_front, red}, {face_down, yellow},
                                 {face_back, blue},  {face_up, orange}, {face_left, white},
                                 {face_right, green}}; // face f: +Z -Y -Z +Y -X +X, shows colour f
        for (int f = 0; f <= 6; ++f)
            EXPECT_TRUE(named[f][0] == f && cube.facelet[f][0][0] == named[f][1]) << f;
        for (const int *e : listed) // N, x, y, z, id
            EXPECT_TRUE(e[0] != n || cube.cell_cubie[e[1]][e[2]][e[3]] == e[4])
                << n << " id " << e[4];
        for (int f = 0; f <= 6; ++f) {
            EXPECT_EQ(f, cube.face_done[f]);
            for (int i = 0; i < 9; ++i)
                EXPECT_EQ(i / 3 < n && i % 3 < n ? f : 0, cube.facelet[f][i / 3][i % 3]) << f << i;
        }
        for (int i = 0; i < 27; ++i) { // unused cells hold 0; cell_list names the home cubies
            int x = i / 9, y = i / 3 % 3, z = i % 3;
            EXPECT_EQ(x < n && y < n && z < n, cube.cell_cubie[x][y][z] != 0) << x << y << z;
            EXPECT_EQ(cube.cell_list[x][y][z], int(cube.cell_cubie[x][y][z])) << x << y << z;
        }
        EXPECT_EQ("", compare_with(make_physical())) << "N=" << n;
    }
}

// ---- Layer turns -------------------------------------------------------------

TEST_F(CubeModel, WorkedExampleXMinusOnLayerZero)
{
    cube_state before = cube;
    turn(0, 0, -5);
    const int ids[3][3] = {{7, 16, 25}, {4, 13, 22}, {1, 10, 19}}; // [z][y]
    for (int i = 0; i < 27; ++i) {
        int x = i / 9, y = i / 3 % 3, z = i % 3;
        float want = x == 0 ? float(ids[z][y]) : before.cell_cubie[x][y][z];
        EXPECT_EQ(want, cube.cell_cubie[x][y][z]) << x << y << z;
    }
    for (int f = 0; f <= 6; ++f)
        for (int i = 0; i < 9; ++i) // row 0 of faces 1..4 comes from the next face
            EXPECT_EQ(i < 3 && f >= 1 && f <= 4 ? f % 4 + 1 : f, cube.facelet[f][i / 3][i % 3])
                << f << i;
}

// Every layer, axis and sign: four turns and a turn and back restore the whole
// record, only the sign of the step counts, the arguments of the other axis
// and other axes or zero steps do nothing. Layer 0 and layer p turn their end
// face (X: 5, 6; Y: 2, 4) by the quarters listed, other layers turn none, and
// for N = 3 a layer's centre cell keeps its cubie.
TEST_F(CubeModel, QuarterTurnLaws)
{
    const int ends[2][2] = {{5, 6}, {2, 4}}, quarters[2][2] = {{1, 3}, {3, 1}}; // [sign>0][last]
    for (int n : {2, 3})
        for (int axis : {0, 1})
            for (int layer = 0; layer < n; ++layer)
                for (int sign : {-1, 1}) {
                    SCOPED_TRACE(testing::Message() << "N=" << n << " axis " << axis << " layer "
                                                    << layer << " sign " << sign);
                    start(n);
                    scramble(n * 100 + layer);
                    const cube_state before = cube;
                    turn(axis, layer, 5 * sign);
                    const cube_state once = cube;
                    EXPECT_FALSE(same_record(before));
                    int q_first = layer == 0 ? quarters[sign > 0][0] : 0;
                    int q_last = layer == n - 1 ? quarters[sign > 0][1] : 0;
                    grid first = face_of(ends[axis][0]), last = face_of(ends[axis][1]);
                    cube = before;
                    EXPECT_EQ(clockwise(face_of(ends[axis][0]), q_first), first);
                    EXPECT_EQ(clockwise(face_of(ends[axis][1]), q_last), last);
                    auto centre = [&](const cube_state &s) {
                        return axis == 0 ? s.cell_cubie[layer][1][1] : s.cell_cubie[1][layer][1];
                    };
                    if (n == 3) {
                        EXPECT_EQ(centre(before), centre(once));
                        EXPECT_EQ(14, once.cell_cubie[1][1][1]);
                    }
                    for (int k = 0; k < 4; ++k) turn(axis, layer, 5 * sign);
                    EXPECT_TRUE(same_record(before)) << "four turns";
                    turn(axis, layer, 90 * sign);
                    EXPECT_TRUE(same_record(once)) << "90 against 5";
                    turn(axis, layer, -sign);
                    EXPECT_TRUE(same_record(before)) << "turn and back";
                    for (int other = 0; other < n; ++other)
                        for (int ignored : {-90, -5, 0, 5, 90}) {
                            int x = axis == 0 ? layer : other, y = axis == 1 ? layer : other;
                            for (int bad_axis : {-1, 2, 3, 100})
                                apply_layer_turn(x, y, bad_axis, sign, sign);
                            apply_layer_turn(x, y, axis, axis == 0 ? 0 : ignored,
                                             axis == 1 ? 0 : ignored);
                            EXPECT_TRUE(same_record(before)) << "no-op " << other << " " << ignored;
                            apply_layer_turn(x, y, axis, axis == 0 ? 90 * sign : ignored,
                                             axis == 1 ? 90 * sign : ignored);
                            EXPECT_TRUE(same_record(once)) << "ignored " << other << " " << ignored;
                            cube = before;
                        }
                }
}

TEST_F(CubeModel, WholeCubeTurnsMoveWholeFaces)
{
    for (int n : {2, 3}) {
        start(n);
        scramble(n + 20);
        grid old[7];
        for (int f = 1; f <= 6; ++f) old[f] = face_of(f);
        whole_turn(0, -90);
        const grid x_minus[7] = {
            {}, old[2], old[3], old[4], old[1], clockwise(old[5], 1), clockwise(old[6], 3)};
        for (int f = 1; f <= 6; ++f)
            EXPECT_EQ(x_minus[f], face_of(f)) << "X- N=" << n << " face " << f;
        for (int f = 1; f <= 6; ++f) old[f] = face_of(f);
        whole_turn(1, -90);
        const grid y_minus[7] = {{},
                                 old[6],
                                 clockwise(old[2], 1),
                                 clockwise(old[5], 2),
                                 clockwise(old[4], 3),
                                 old[1],
                                 clockwise(old[3], 2)};
        for (int f = 1; f <= 6; ++f)
            EXPECT_EQ(y_minus[f], face_of(f)) << "Y- N=" << n << " face " << f;
    }
}

// Thousands of random calls, whole-cube turns and calls that must do nothing
// mixed in, each checked cell by cell and sticker by sticker. The record
// starts with every byte marked, so a write outside the used cells and
// stickers (face 0, index 2 when N = 2, any other field) shows at the end.
TEST_F(CubeModel, RandomTurnsMatchAPhysicalCube)
{
    for (int n : {2, 3})
        for (unsigned seed : {11u, 12u}) {
            std::memset(&cube, 0x5a, sizeof cube);
            cube.cube_size = n;
            const cube_state raw = cube;
            init_cube_state();
            for (int id = 0; id <= n * n * n; ++id) // id 0 has no cubie and keeps the mark
                for (const float *a : {cube.cubie_angle_x, cube.cubie_angle_y, cube.cubie_angle_z})
                    EXPECT_TRUE(id ? a[id] == 0 : !std::memcmp(a, raw.cubie_angle_x, 4)) << id;
            for (int i = 0; i < n * n; ++i) EXPECT_EQ(0, cube.facelet[0][i / n][i % n]);
            for (int i = 0; i < 63; ++i) // unused stickers and cells get telling marks
                if (i < 9 || i / 3 % 3 >= n || i % 3 >= n)
                    cube.facelet[i / 9][i / 3 % 3][i % 3] = 100 + i;
            for (int i = 0; i < 27; ++i)
                if (i / 9 >= n || i / 3 % 3 >= n || i % 3 >= n)
                    cube.cell_cubie[i / 9][i / 3 % 3][i % 3] = 100 + i;
            const cube_state marked = cube;
            physical_cube pc = make_physical();
            std::mt19937 rng(seed);
            for (int i = 0; i < 2000; ++i) {
                int axis = rng() % 2, layer = rng() % n, sign = rng() % 2 ? 1 : -1;
                int size = std::array<int, 4>{1, 5, 45, 90}[rng() % 4], kind = rng() % 10;
                int other_layer = rng() % n, other_step = int(rng() % 181) - 90;
                if (kind == 0) { // whole-cube turn
                    for (int l = 0; l < n; ++l) {
                        turn(axis, l, 90 * sign);
                        turn_physical(pc, axis, l, sign);
                    }
                } else if (kind == 1) { // must do nothing
                    apply_layer_turn(layer, layer, std::array<int, 4>{-1, 2, 3, 7}[rng() % 4], sign,
                                     sign);
                    apply_layer_turn(layer, other_layer, 0, 0, sign);
                    apply_layer_turn(other_layer, layer, 1, sign, 0);
                } else {
                    if (axis == 0) apply_layer_turn(layer, other_layer, 0, sign * size, other_step);
                    if (axis == 1) apply_layer_turn(other_layer, layer, 1, other_step, sign * size);
                    turn_physical(pc, axis, layer, sign);
                }
                update_face_status();
                ASSERT_EQ("", compare_with(pc))
                    << "N=" << n << " seed " << seed << " step " << i << " kind " << kind
                    << " axis " << axis << " layer " << layer << " step " << sign * size;
            }
            cube_state now = cube, was = marked;
            for (cube_state *s : {&now, &was}) {
                for (int i = 0; i < n * n * n; ++i) s->cell_cubie[i / n / n][i / n % n][i % n] = 0;
                for (int i = 0; i < 6 * n * n; ++i) s->facelet[1 + i / n / n][i / n % n][i % n] = 0;
                for (int f = 1; f <= 6; ++f) s->face_done[f] = 0;
            }
            EXPECT_EQ(0, std::memcmp(&now, &was, sizeof now)) << "N=" << n << ": stray write";
        }
}

// ---- Solved-face check -------------------------------------------------------

TEST_F(CubeModel, FaceStatusAfterTurns)
{
    const std::array<int, 7> after_x0 = {0, 0, 0, 0, 0, 5, 6}, after_whole = {0, 0, 3, 0, 1, 0, 0};
    for (int sign : {-1, 1}) {
        start(3);
        turn(0, 0, sign);
        update_face_status();
        EXPECT_EQ(0, std::memcmp(after_x0.data(), cube.face_done, sizeof cube.face_done)) << sign;
    }
    start(3);
    whole_turn(0, -90);
    turn(1, 0, -5);
    update_face_status();
    EXPECT_EQ(0, std::memcmp(after_whole.data(), cube.face_done, sizeof cube.face_done));
}

TEST_F(CubeModel, FaceStatusNeedsEveryStickerToMatch)
{
    for (int n : {2, 3})
        for (int f = 1; f <= 6; ++f)
            for (int r = 0; r < n; ++r)
                for (int c = 0; c < n; ++c) {
                    start(n);
                    for (int g = 0; n == 2 && g <= 6; ++g)
                        for (int k = 0; k < 3; ++k)
                            cube.facelet[g][2][k] = cube.facelet[g][k][2] = 9;
                    cube.face_done[0] = 42;
                    cube.facelet[f][r][c] = f % 6 + 1;
                    update_face_status();
                    EXPECT_EQ(42, cube.face_done[0]);
                    for (int g = 1; g <= 6; ++g)
                        EXPECT_EQ(g == f ? 0 : g, cube.face_done[g]) << n << f << r << c << g;
                    for (int rr = 0; rr < n; ++rr)
                        for (int cc = 0; cc < n; ++cc) cube.facelet[f][rr][cc] = f % 6 + 1;
                    update_face_status();
                    EXPECT_EQ(f % 6 + 1, cube.face_done[f]) << n << f;
                }
}

} // namespace
