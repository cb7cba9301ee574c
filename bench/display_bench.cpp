// The cost of the display: composing 16 open 800x600 screens (headless), and presenting one
// frame in a window (when a display is available, for example under xvfb-run).

#include <benchmark/benchmark.h>

#include <memory>

#include "display/screens.h"
#include "platform/headless/headless_host.h"
#ifdef TARNWICK_HAVE_SDL
#include "platform/sdl/sdl_host.h"
#endif

namespace tw {
namespace {

// A display with screen 0 and 15 more screens of the display's size, all open and stacked.
void OpenSixteenScreens(Screens& s, Host& host) {
    CreateScreens(s, host, [] { return 0u; });
    StartDisplay(s);
    for (int n = 1; n < kScreenCount; ++n) {
        ScreenRecord& r = s.records[n];
        r.surface = std::make_unique<TDispSurface>(*s.screen, 800, 600);
        r.surface->Erase(static_cast<uint8_t>(n));
        r.open = true;
        r.width = 800;
        r.height = 600;
        r.offsetX = n * 3;
        r.offsetY = n * 2;
        BringToFront(s, n);
    }
}

void BM_ComposeSixteenScreens(benchmark::State& state) {
    HeadlessHost::Options options;
    options.debug = nullptr;
    HeadlessHost host(options);
    Screens s;
    OpenSixteenScreens(s, host);
    for (auto _ : state) UpdateDisplay(s, 0, true);
    state.counters["compositions/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ComposeSixteenScreens)->Unit(benchmark::kMicrosecond);

#ifdef TARNWICK_HAVE_SDL
void BM_PresentInWindow(benchmark::State& state) {
    SdlHost::Options options;
    options.scale = 1;
    SdlHost host(options);
    std::string error;
    if (!host.Open(error)) {
        state.SkipWithError(("no display: " + error).c_str());
        return;
    }
    host.ShowDisplayWindow();
    Screens s;
    OpenSixteenScreens(s, host);
    TDispSurface& back = s.screen->BackSurface();
    for (auto _ : state) {
        host.PresentFrame(back.Pixels(), back.Width(), back.Height(), back.Pitch(),
                          s.screen->Entries());
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    StopDisplay(s);
    host.CloseDisplayWindow();
}
BENCHMARK(BM_PresentInWindow)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
