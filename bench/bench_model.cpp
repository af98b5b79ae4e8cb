// bench/bench_model.cpp -- cost of the model without drawing: one layer
// permutation, one solved-face check, the steps of a turn.
#include "cube.h"
#include "motion.h"

#include <benchmark/benchmark.h>
#include <cstring>

void display() {} // the frame is measured in bench_frame

static void solved_cube(int n)
{
    std::memset(&cube, 0, sizeof cube);
    cube.cube_size = n;
    init_cube_state();
}

static void BM_ApplyLayerTurn(benchmark::State &state)
{
    int n = int(state.range(0));
    solved_cube(n);
    int i = 0;
    for (auto _ : state) {
        int layer = i % n, axis = (i / n) % 2;
        apply_layer_turn(layer, layer, axis, 5, -5);
        ++i;
    }
}
BENCHMARK(BM_ApplyLayerTurn)->Arg(2)->Arg(3);

static void BM_UpdateFaceStatus(benchmark::State &state)
{
    solved_cube(int(state.range(0)));
    apply_layer_turn(0, 0, 0, 5, 0); // four faces mixed, two solved
    for (auto _ : state) {
        update_face_status();
        benchmark::DoNotOptimize(cube.face_done);
    }
}
BENCHMARK(BM_UpdateFaceStatus)->Arg(2)->Arg(3);

// A key turn without its frames: 18 angle steps, the permutation and the
// solved-face check. Items are animation steps.
static void BM_LayerTurnSteps(benchmark::State &state)
{
    solved_cube(int(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        cube.turn_axis = i % 2;
        cube.turn_step_x = cube.turn_axis == 0 ? turn_step : 0;
        cube.turn_step_y = cube.turn_axis == 1 ? -turn_step : 0;
        animate_turn();
        ++i;
    }
    state.SetItemsProcessed(state.iterations() * turn_frames);
}
BENCHMARK(BM_LayerTurnSteps)->Arg(2)->Arg(3);

BENCHMARK_MAIN();
