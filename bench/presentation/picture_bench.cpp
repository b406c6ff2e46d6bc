// A picture from a 32 × 32 group icon through Invoke, with its pixels read back as a host
// reads them (GetIconInfo, GetDIBits), against GetDataArray of the icon's image resource
// through Invoke: the picture road should cost at most three times the raw one.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "catalogue_environment.h"
#include "pe_writer/pe_writer.h"
#include "platform/gdi/gdi.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "support/image_bytes.h"

namespace orvex {
namespace {

// A module with one 32 × 32 group icon, opened through a catalogue.
IDispatch* IconCatalogue() {
  static auto* env = new bench::CatalogueEnvironment();
  static const ComPtr<IDispatch> catalogue = [] {
    test::PeWriter writer;
    const std::vector<uint8_t> image = test::IconImage(32, 0x336699);
    writer.Add(3, 1, 0x0409, image);
    writer.Add(14, 1, 0x0409, test::IconGroup(32, 1, static_cast<uint32_t>(image.size())));
    return env->Open(writer, "icon.dll");
  }();
  return catalogue.Get();
}

void BM_GetDataArrayOfIconImage(benchmark::State& state) {
  IDispatch* catalogue = IconCatalogue();
  const DISPID id = GetDispId(catalogue, "GetDataArray");
  const Variant args[] = {Variant(u"3"), Variant(u"#1")};
  for (auto _ : state) {
    Variant data = InvokeById(catalogue, id, DISPATCH_METHOD, args);
    benchmark::DoNotOptimize(data.parray);
  }
}
BENCHMARK(BM_GetDataArrayOfIconImage);

void BM_GetPictureOfGroupIconWithPixels(benchmark::State& state) {
  IDispatch* catalogue = IconCatalogue();
  const DISPID id = GetDispId(catalogue, "GetPicture");
  std::vector<uint32_t> pixels(32 * 32);
  for (auto _ : state) {
    LONG type = 14;
    const Variant args[] = {Variant::RefTo(type), Variant(u"1")};
    Variant picture = InvokeById(catalogue, id, DISPATCH_METHOD, args);
    const Variant handle = InvokeById(picture.pdispVal, 0 /* Handle */, DISPATCH_PROPERTYGET, {});
    ICONINFO info{};
    GetIconInfo(static_cast<HICON>(handle.lVal), &info);
    BITMAPINFO header{};
    header.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(0, info.hbmColor, 0, 32, pixels.data(), &header, DIB_RGB_COLORS);
    GetDIBits(0, info.hbmMask, 0, 32, pixels.data(), &header, DIB_RGB_COLORS);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_GetPictureOfGroupIconWithPixels);

}  // namespace
}  // namespace orvex

BENCHMARK_MAIN();
