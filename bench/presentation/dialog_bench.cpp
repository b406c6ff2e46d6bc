// Dialog previews. Capturing every dialog of Wine's comdlg32.dll and shell32.dll to PNG
// against encoding the same finished pixels with the same PNG writer (cairo's, default
// settings): drawing should cost at most as much again as the encoding. And ShowDialog of a
// 30-control template through Invoke, the preview destroyed after each call.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue_environment.h"
#include "host/host_kit.h"
#include "pe_writer/pe_writer.h"
#include "platform/module/module.h"
#include "platform/ole/late_bound.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"
#include "platform/user/window_capture.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

constexpr char kCorpus[] = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";

// Every dialog of the two modules, built once (hidden) in a host window.
struct CorpusDialogs {
  std::vector<HWND> dialogs;
  test::TempDir dir;

  CorpusDialogs() {
    const HWND top = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 800, 600, 0, 0, 0, nullptr);
    const HWND box = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 30, 40, 200, 100, top,
                                     0, 0, nullptr);
    std::pair<CorpusDialogs*, HWND> context(this, box);
    for (const char* file : {"comdlg32.dll", "shell32.dll"}) {
      const HMODULE module = LoadLibraryExA((std::string(kCorpus) + "/" + file).c_str(), 0, 0);
      if (!module) continue;
      EnumResourceNamesA(
          module, MAKEINTRESOURCEA(5),
          [](HMODULE m, LPCSTR, LPSTR name, LONG_PTR param) -> BOOL {
            auto* self = reinterpret_cast<std::pair<CorpusDialogs*, HWND>*>(param);
            const HWND dialog = CreateDialogParamA(m, name, self->second, nullptr, 0);
            if (dialog) self->first->dialogs.push_back(dialog);
            return TRUE;
          },
          reinterpret_cast<LONG_PTR>(&context));
    }
  }
};

CorpusDialogs& Corpus() {
  static auto* corpus = new CorpusDialogs;
  return *corpus;
}

void BM_CaptureCorpusDialogsToPng(benchmark::State& state) {
  CorpusDialogs& corpus = Corpus();
  if (corpus.dialogs.empty()) state.SkipWithError("no Wine corpus");
  const std::string path = corpus.dir.File("capture.png");
  for (auto _ : state) {
    for (HWND dialog : corpus.dialogs) CaptureWindowToPng(dialog, path.c_str());
  }
  state.counters["dialogs"] = static_cast<double>(corpus.dialogs.size());
}
BENCHMARK(BM_CaptureCorpusDialogsToPng)->Unit(benchmark::kMillisecond);

void BM_EncodeCorpusDialogPixelsToPng(benchmark::State& state) {
  CorpusDialogs& corpus = Corpus();
  if (corpus.dialogs.empty()) state.SkipWithError("no Wine corpus");
  // The finished pixels of each dialog, drawn before the timing.
  std::vector<cairo_surface_t*> surfaces;
  for (HWND dialog : corpus.dialogs) {
    RECT r;
    GetWindowRect(dialog, &r);
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, r.right - r.left, r.bottom - r.top);
    cairo_t* cr = cairo_create(surface);
    PaintWindowTree(dialog, cr);
    cairo_destroy(cr);
    surfaces.push_back(surface);
  }
  const std::string path = corpus.dir.File("encode.png");
  for (auto _ : state) {
    for (cairo_surface_t* surface : surfaces) cairo_surface_write_to_png(surface, path.c_str());
  }
  for (cairo_surface_t* surface : surfaces) cairo_surface_destroy(surface);
}
BENCHMARK(BM_EncodeCorpusDialogPixelsToPng)->Unit(benchmark::kMillisecond);

// A DLGTEMPLATE (classic layout, MS Shell Dlg 8) with `count` push buttons.
std::vector<uint8_t> ThirtyControlTemplate(int count) {
  std::vector<uint8_t> t;
  const auto word = [&t](uint16_t v) {
    t.push_back(static_cast<uint8_t>(v));
    t.push_back(static_cast<uint8_t>(v >> 8));
  };
  const auto dword = [&](uint32_t v) {
    word(static_cast<uint16_t>(v));
    word(static_cast<uint16_t>(v >> 16));
  };
  const auto text = [&](const char* s) {
    while (*s) word(static_cast<uint16_t>(*s++));
    word(0);
  };
  const auto align = [&t] {
    while (t.size() % 4) t.push_back(0);
  };
  dword(0x40000040 | 0x00C00000);  // WS_CHILD | WS_CAPTION | DS_SETFONT
  dword(0);
  word(static_cast<uint16_t>(count));
  word(0), word(0), word(300), word(200);
  word(0), word(0);  // no menu, the dialog class
  text("Thirty");
  word(8);
  text("MS Shell Dlg");
  for (int i = 0; i < count; ++i) {
    align();
    dword(0x50010000);  // WS_CHILD | WS_VISIBLE | WS_TABSTOP
    dword(0);
    word(static_cast<uint16_t>(5 + (i % 5) * 58)), word(static_cast<uint16_t>(5 + (i / 5) * 30));
    word(50), word(14);
    word(static_cast<uint16_t>(100 + i));
    word(0xFFFF), word(0x0080);  // Button
    text("Button");
    word(0);  // no creation data
  }
  return t;
}

void BM_ShowDialogThirtyControlsThroughInvoke(benchmark::State& state) {
  static auto* env = new bench::CatalogueEnvironment();
  RegisterHostKitClasses();
  test::PeWriter writer;
  writer.Add(5, 1, 0x0409, ThirtyControlTemplate(30));
  const ComPtr<IDispatch> catalogue = env->Open(writer, "thirty.dll");
  // A host control answering hwnd and Move, as the host kit's picture box does.
  ComPtr<IDispatch> form = CreateObject(u"Orvex10Host.Form");
  Variant control = Call(form.Get(), "AddPictureBox");
  const HWND controlWindow = static_cast<HWND>(GetProperty(control.pdispVal, "hwnd").ToLong());
  const DISPID id = GetDispId(catalogue.Get(), "ShowDialog");
  for (auto _ : state) {
    const Variant args[] = {Variant(u"#1"), Variant::RefTo(control)};
    const Variant made = InvokeById(catalogue.Get(), id, DISPATCH_METHOD, args);
    benchmark::DoNotOptimize(made.boolVal);
    DestroyWindow(GetWindow(controlWindow, GW_CHILD));
  }
}
BENCHMARK(BM_ShowDialogThirtyControlsThroughInvoke)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvex

BENCHMARK_MAIN();
