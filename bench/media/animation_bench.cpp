// One step of an animation: the clock reaches the next frame's time, the control decodes
// that 80 × 50 frame (Wine's shell32.dll clip #150, uncompressed 16 bits), and the window
// is painted into its surface. Target: under 50 µs a step.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <filesystem>

#include "platform/media/animate_control.h"
#include "platform/media/avi_file.h"
#include "platform/media/clip_source.h"
#include "platform/media/stepped_clock.h"
#include "platform/module/module.h"
#include "platform/user/window.h"
#include "platform/user/window_capture.h"

namespace orvex {
namespace {

void BM_AnimationStep(benchmark::State& state) {
  const char* path = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll";
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("no Wine shell32.dll");
    return;
  }
  UseSteppedAnimationClock(true);
  const HMODULE shell32 = LoadLibraryExA(path, 0, 0);
  const HWND parent =
      CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, 0, 0, 0, nullptr);
  const HWND control = CreateWindowExA(0, "SysAnimate32", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                       parent, 0, 0, nullptr);
  if (!SendMessageA(control, ACM_OPENA, shell32, 150) ||
      !SendMessageA(control, ACM_PLAY, static_cast<WPARAM>(-1), static_cast<LPARAM>(0xFFFF0000u))) {
    state.SkipWithError("clip #150 did not open");
    return;
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 80, 50);
  cairo_t* cr = cairo_create(surface);
  // Each step moves the clock by exactly one frame interval, so every step decodes a frame.
  const auto clip = ReadClipResource(shell32, MAKEINTRESOURCEA(150));
  const auto info = clip ? ReadAviInfo(*clip) : Expected<AviInfo>(Error{"no clip"});
  if (!info || !info->microsecondsPerFrame) {
    state.SkipWithError("clip #150 states no rate");
    return;
  }
  const ClockTime interval(info->microsecondsPerFrame);
  for (auto _ : state) {
    StepAnimationClock(interval);
    PaintWindowTree(control, cr);
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface));
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  DestroyWindow(parent);
  FreeLibrary(shell32);
  UseSteppedAnimationClock(false);
}
BENCHMARK(BM_AnimationStep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvex

BENCHMARK_MAIN();
