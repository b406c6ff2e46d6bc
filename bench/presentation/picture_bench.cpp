// A picture from a 32 × 32 group icon through Invoke, with its pixels read back as a host
// reads them (GetIconInfo, GetDIBits), against GetDataArray of the icon's image resource
// through Invoke: the picture road should cost at most three times the raw one.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "platform/fs/fs_testing.h"
#include "platform/gdi/gdi.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/message_box.h"
#include "server/class_catalogue.h"
#include "support/image_bytes.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

struct Environment {
  Environment() {
    setenv("ORVEX_REGISTRY", dir.File("registry.ini").c_str(), 1);
    SetDriveRootForTesting(dir.File("drive_c"));
    SetMessageBoxHandler([](const MessageBoxCall&) { return IDOK; });
    RegisterOrvex10Classes();
    test::PeWriter writer;
    const std::vector<uint8_t> image = test::IconImage(32, 0x336699);
    writer.Add(3, 1, 0x0409, image);
    writer.Add(14, 1, 0x0409, test::IconGroup(32, 1, static_cast<uint32_t>(image.size())));
    const std::string path = dir.Write("icon.dll", writer.Build());
    catalogue = CreateObject(u"Orvex10.clsQ7ResfResourceTypesA");
    PutProperty(catalogue.Get(), "Filename", Variant(Utf8ToUtf16(path)));
  }
  test::TempDir dir;
  ComPtr<IDispatch> catalogue;
};

Environment& Env() {
  static Environment* env = new Environment();
  return *env;
}

void BM_GetDataArrayOfIconImage(benchmark::State& state) {
  IDispatch* catalogue = Env().catalogue.Get();
  const DISPID id = GetDispId(catalogue, "GetDataArray");
  const Variant args[] = {Variant(u"3"), Variant(u"#1")};
  for (auto _ : state) {
    Variant data = InvokeById(catalogue, id, DISPATCH_METHOD, args);
    benchmark::DoNotOptimize(data.parray);
  }
}
BENCHMARK(BM_GetDataArrayOfIconImage);

void BM_GetPictureOfGroupIconWithPixels(benchmark::State& state) {
  IDispatch* catalogue = Env().catalogue.Get();
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
