// bench/bench_frame.cpp -- cost of whole frames in a real window: a bare
// frame (clear and swap), display() for both sizes, a key turn (18 frames and
// the model update) and a whole-cube re-orientation. Prints each frame's cost
// against the bare frame at the end.
#include "window.h"
#include "cube.h"
#include "input.h"
#include "render.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>

static void use_size(int n)
{
    if (cube.cube_size == n) return;
    std::memset(&cube, 0, sizeof cube);
    cube.cube_size = n;
    init_cube_state();
    build_cubie_lists(); // recompiles the same list names for the new size
}

static void BM_BareFrame(benchmark::State &state)
{
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glutSwapBuffers();
    }
    glFinish();
}
BENCHMARK(BM_BareFrame)->Unit(benchmark::kMicrosecond);

static void BM_Frame(benchmark::State &state)
{
    use_size(int(state.range(0)));
    for (auto _ : state) display();
    glFinish();
}
BENCHMARK(BM_Frame)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// One press of w: 18 drawn frames, the permutation and the solved-face check.
static void BM_KeyTurn(benchmark::State &state)
{
    use_size(int(state.range(0)));
    for (auto _ : state) keyboard('w', 0, 0);
    glFinish();
}
BENCHMARK(BM_KeyTurn)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// The frame in which a spin reaches -45 about X: the cubies are drawn, the
// whole cube turns in one undrawn step and the view angles are rewritten.
static void BM_Reorientation(benchmark::State &state)
{
    use_size(int(state.range(0)));
    for (auto _ : state) {
        cube.view_angle[0] = -40;
        cube.view_delta[0] = -5;
        display();
    }
    cube.view_delta[0] = 0;
    glFinish();
}
BENCHMARK(BM_Reorientation)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// Console output as usual, and the mean time of each run kept for the ratios.
class ratio_reporter : public benchmark::ConsoleReporter
{
  public:
    std::map<std::string, double> seconds;
    ratio_reporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            seconds[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
    }
};

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    cube.cube_size = 3;
    open_window(&argc, argv);
    reshape(450, 350);
    for (int i = 0; i < 20; ++i) glutMainLoopEvent(); // let the window map
    std::printf("renderer: %s\n", reinterpret_cast<const char *>(glGetString(GL_RENDERER)));

    ratio_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double bare = reporter.seconds["BM_BareFrame"];
    if (bare <= 0) return 0;
    std::printf("\nagainst a bare frame (clear and swap, %.1f us):\n", bare * 1e6);
    for (const auto &[name, s] : reporter.seconds)
        if (name != "BM_BareFrame") std::printf("  %-22s %8.2f x\n", name.c_str(), s / bare);
    benchmark::Shutdown();
    return 0;
}
