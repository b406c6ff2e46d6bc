// The catalogue through its automation interface, as a client drives it: the hex dump of
// the largest resource it renders, and the enumeration of a module with many resources.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "catalogue_environment.h"
#include "pe_writer/pe_writer.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "server/frame/thread_module_state.h"

namespace orvex {
namespace {

bench::CatalogueEnvironment& Env() {
  static auto* env = new bench::CatalogueEnvironment();
  return *env;
}

void BM_GetHexDump13264(benchmark::State& state) {
  test::PeWriter writer;
  std::vector<uint8_t> bytes(13264);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  writer.Add(10, 1, 0x0409, bytes);
  ComPtr<IDispatch> catalogue = Env().Open(writer, "dump.dll");
  const DISPID id = GetDispId(catalogue.Get(), "GetHexDump");
  const Variant args[] = {Variant(u"10"), Variant(u"#1")};
  for (auto _ : state) {
    Variant text = InvokeById(catalogue.Get(), id, DISPATCH_METHOD, args);
    benchmark::DoNotOptimize(text.bstrVal);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 13264);
}
BENCHMARK(BM_GetHexDump13264)->Unit(benchmark::kMicrosecond);

// The bytes alone: the lookup, the copy into a byte array, the call's own cost.
void BM_GetDataArray13264(benchmark::State& state) {
  test::PeWriter writer;
  writer.Add(10, 1, 0x0409, std::vector<uint8_t>(13264, 0x41));
  ComPtr<IDispatch> catalogue = Env().Open(writer, "data.dll");
  const DISPID id = GetDispId(catalogue.Get(), "GetDataArray");
  const Variant args[] = {Variant(u"10"), Variant(u"#1")};
  for (auto _ : state) {
    Variant data = InvokeById(catalogue.Get(), id, DISPATCH_METHOD, args);
    benchmark::DoNotOptimize(data.parray);
  }
}
BENCHMARK(BM_GetDataArray13264)->Unit(benchmark::kMicrosecond);

// Enumerates a module of `range(0)` resources over 8 types (half of them named), then
// reads every record and item as a client listing the module would.
void BM_EnumerateAndWalk(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  test::PeWriter writer;
  for (int i = 0; i < count; ++i) {
    const uint16_t type = static_cast<uint16_t>(i % 8 + 1);
    if (i % 2 == 0)
      writer.Add(type, static_cast<uint16_t>(i + 1), 0x0409, std::vector<uint8_t>(16, 1));
    else
      writer.Add(type, u"NAME" + Utf8ToUtf16(std::to_string(i)), 0x0409,
                 std::vector<uint8_t>(16, 2));
  }
  ComPtr<IDispatch> catalogue = Env().Open(writer, "many.dll");
  int64_t items = 0;
  for (auto _ : state) {
    Call(catalogue.Get(), "Clear");
    Call(catalogue.Get(), "EnumResourceTypesStart");
    const int32_t types = GetProperty(catalogue.Get(), "Count").ToLong();
    for (int32_t t = 1; t <= types; ++t) {
      ComPtr<IDispatch> record = GetProperty(catalogue.Get(), "Item", {Variant(t)}).ToDispatch();
      ComPtr<IDispatch> list = GetProperty(record.Get(), "ResourceItems").ToDispatch();
      const int32_t n = GetProperty(list.Get(), "Count").ToLong();
      for (int32_t k = 1; k <= n; ++k) {
        ComPtr<IDispatch> item = GetProperty(list.Get(), "Item", {Variant(k)}).ToDispatch();
        benchmark::DoNotOptimize(GetProperty(item.Get(), "Size").ToLong());
        ++items;
      }
    }
  }
  state.SetItemsProcessed(items);
}
BENCHMARK(BM_EnumerateAndWalk)->Arg(100)->Arg(2000)->Unit(benchmark::kMicrosecond);

// The enumeration alone (records and items made, sizes looked up), without the client's walk.
void BM_EnumerateOnly(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  test::PeWriter writer;
  for (int i = 0; i < count; ++i)
    writer.Add(static_cast<uint16_t>(i % 8 + 1), static_cast<uint16_t>(i + 1), 0x0409,
               std::vector<uint8_t>(16, 1));
  ComPtr<IDispatch> catalogue = Env().Open(writer, "only.dll");
  for (auto _ : state) {
    Call(catalogue.Get(), "Clear");
    Call(catalogue.Get(), "EnumResourceTypesStart");
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
}
BENCHMARK(BM_EnumerateOnly)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvex

BENCHMARK_MAIN();
