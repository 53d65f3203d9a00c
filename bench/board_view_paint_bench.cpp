// wintarvo_bench_ui: how long one paint of the board view takes at a 600 x 600 board (squares of
// 60 pixels) with Show Territory on, drawn into an image. Report the median of the repetitions:
//   wintarvo_bench_ui --benchmark_repetitions=15 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "diag/trace.h"
#include "ui/board_view.h"
#include "ui/desktop_services.h"
#include "ui/move_broadcast.h"

namespace {

using namespace wintarvo;

// n = 0: the starting position; 1..3: the test positions.
void paintBoard(benchmark::State& state) {
    QtDesktopServices desktop;
    InProcessBroadcast broadcast;
    BoardView view(desktop, broadcast);
    if (state.range(0) == 0)
        view.onNewGame();
    else
        view.onTestPosition(static_cast<int>(state.range(0)));
    view.showTerritory = state.range(1) != 0;
    view.onSize(600, 600);
    view.setHover(4, 5);
    QImage image(600, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        view.onPaint(painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(paintBoard)
    ->ArgNames({"position", "territory"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The test positions announce themselves on the trace; a benchmark only wants timings.
    setStandardOutputEnabled(false);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
