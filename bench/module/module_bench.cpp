// Open a module, enumerate its types and names, and find and size every resource, as the
// catalogue's enumeration does; for generated modules of 1,000 to 100,000 resources.
//
//   bench_module                                   run the benchmarks
//   bench_module --make-module=PATH COUNT BYTES    write a module of COUNT resources of
//                                                  BYTES each (e.g. for peak-memory runs)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "pe_writer/pe_writer.h"
#include "platform/module/module.h"
#include "support/temp_dir.h"

namespace {

using namespace orvex;  // NOLINT: the platform's names read best bare here

// Ten types (two named), names half numbered, half named, one language each.
std::vector<uint8_t> MakeModule(size_t count, size_t bytes) {
  test::PeWriter writer;
  writer.Pe32Plus();
  std::vector<uint8_t> data(bytes, 0x5A);
  for (size_t i = 0; i < count; ++i) {
    size_t type = i % 10;
    test::ResId typeId = type < 2 ? test::ResId(type == 0 ? u"BENCHDATA" : u"LAYOUT")
                                  : test::ResId(uint16_t(type + 1));
    size_t serial = i / 10;
    test::ResId name = serial % 2 == 0 ? test::ResId(uint16_t(serial / 2 + 1)) : test::ResId([&] {
      std::string text = "ITEM" + std::to_string(serial);
      return std::u16string(text.begin(), text.end());
    }());
    writer.Add(typeId, name, 0x0409, data);
  }
  return writer.Build();
}

const std::string& ModulePath(size_t count) {
  static test::TempDir dir;
  static std::map<size_t, std::string> paths;
  auto it = paths.find(count);
  if (it == paths.end())
    it = paths.emplace(count, dir.Write(std::to_string(count) + ".dll", MakeModule(count, 16)))
             .first;
  return it->second;
}

struct Walk {
  size_t found = 0;
  uint64_t bytes = 0;
};

BOOL OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param) {
  auto* walk = reinterpret_cast<Walk*>(param);
  HRSRC resource = FindResourceA(module, name, type);
  walk->bytes += SizeofResource(module, resource);
  walk->found += resource != 0;
  return TRUE;
}

BOOL OnType(HMODULE module, LPSTR type, LONG_PTR param) {
  EnumResourceNamesA(module, type, OnName, param);
  return TRUE;
}

void BM_OpenEnumerateFindSize(benchmark::State& state) {
  size_t count = static_cast<size_t>(state.range(0));
  const std::string& path = ModulePath(count);
  for (auto _ : state) {
    HMODULE module = LoadLibraryExA(path.c_str(), 0, 0);
    Walk walk;
    EnumResourceTypesA(module, OnType, reinterpret_cast<LONG_PTR>(&walk));
    FreeLibrary(module);
    if (walk.found != count) state.SkipWithError("not every resource was found");
    benchmark::DoNotOptimize(walk.bytes);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}
BENCHMARK(BM_OpenEnumerateFindSize)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strncmp(argv[1], "--make-module=", 14) == 0) {
    auto image = MakeModule(std::strtoul(argv[2], nullptr, 10), std::strtoul(argv[3], nullptr, 10));
    std::ofstream out(argv[1] + 14, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    return out ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
