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
#include "support/temp_dir.h"

namespace orvex {
namespace {

void Put(std::vector<uint8_t>& out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A 32 × 32 icon image at 32 bits per pixel with alpha, and its AND mask.
std::vector<uint8_t> IconImage() {
  std::vector<uint8_t> image;
  for (uint32_t v : {40u, 32u, 64u}) Put(image, v, 4);
  Put(image, 1, 2);
  Put(image, 32, 2);
  for (int i = 0; i < 6; ++i) Put(image, 0, 4);
  for (uint32_t i = 0; i < 32 * 32; ++i) Put(image, 0xFF000000u | (i * 2654435761u >> 8), 4);
  image.resize(image.size() + 32 * 4, 0);  // mask rows of 4 bytes
  return image;
}

std::vector<uint8_t> GroupDirectory(uint32_t imageSize) {
  std::vector<uint8_t> group;
  for (uint32_t v : {0u, 1u, 1u}) Put(group, v, 2);
  group.push_back(32);
  group.push_back(32);
  group.push_back(0);
  group.push_back(0);
  Put(group, 1, 2);
  Put(group, 32, 2);
  Put(group, imageSize, 4);
  Put(group, 1, 2);
  return group;
}

struct Environment {
  Environment() {
    setenv("ORVEX_REGISTRY", dir.File("registry.ini").c_str(), 1);
    SetDriveRootForTesting(dir.File("drive_c"));
    SetMessageBoxHandler([](const MessageBoxCall&) { return IDOK; });
    RegisterOrvex10Classes();
    test::PeWriter writer;
    const std::vector<uint8_t> image = IconImage();
    writer.Add(3, 1, 0x0409, image);
    writer.Add(14, 1, 0x0409, GroupDirectory(static_cast<uint32_t>(image.size())));
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
