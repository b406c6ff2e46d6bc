// The members that hand back a whole resource, through Invoke as a script host calls them:
// GetHexDump of the largest dump rendered (13,264 bytes), GetHTML of the same bytes (and of
// 1 MB, without a goal), GetDataArray of 1 MB and GetString of a string block. Beside Google
// Benchmark's own times each run reports, per call, the thread's CPU time (user and system,
// from getrusage) and the minor page faults the process took, with the goal in the label.
// Usage: members_bench [--benchmark_filter=...] [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "catalogue_environment.h"
#include "pe_writer/pe_writer.h"
#include "pe_writer/resource_payloads.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"

namespace orvex {
namespace {

constexpr size_t kHexDumpBytes = 13264;
constexpr size_t kLargeBytes = 1 << 20;
constexpr const char* kGoal = "goal: cpu_us < 100, faults = 0";

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  return bytes;
}

// Two modules, each made when a benchmark first needs it: making the 1 MB one frees blocks of
// a megabyte, after which the C library keeps blocks of that size on its heap, and the small
// members are to run in the state a new process starts in, as a script host's would.
struct Module {
  explicit Module(bool large) {
    test::PeWriter writer;
    if (large) {
      writer.Add(10, 2, 0x0409, Pattern(kLargeBytes));
    } else {
      writer.Add(10, 1, 0x0409, Pattern(kHexDumpBytes));
      std::vector<std::u16string> strings(16);
      for (int i = 0; i < 16; ++i) {
        strings[static_cast<size_t>(i)] =
            u"String " + Utf8ToUtf16(std::to_string(i)) + u" of the block";
      }
      writer.Add(6, 1, 0x0409, test::StringBlock(strings));
    }
    catalogue = Environment().Open(writer, large ? "large.dll" : "small.dll");
  }
  static bench::CatalogueEnvironment& Environment() {
    static auto* environment = new bench::CatalogueEnvironment();
    return *environment;
  }
  ComPtr<IDispatch> catalogue;
};

Module& TheModule(bool large) {
  static Module* small = nullptr;
  static Module* big = nullptr;
  Module*& module = large ? big : small;
  if (module == nullptr) module = new Module(large);
  return *module;
}

struct Usage {
  double cpuMicroseconds;
  long minorFaults;
};

Usage Now() {
  rusage thread{};
  rusage process{};
  (void)getrusage(RUSAGE_THREAD, &thread);
  (void)getrusage(RUSAGE_SELF, &process);
  const auto micros = [](const timeval& t) { return t.tv_sec * 1e6 + double(t.tv_usec); };
  return {micros(thread.ru_utime) + micros(thread.ru_stime), process.ru_minflt};
}

// Calls `member` with `args` once per iteration; the result is released before the next call.
void RunMember(benchmark::State& state, bool large, const char* member, std::vector<Variant> args,
               const char* goal = kGoal) {
  Module& module = TheModule(large);
  const DISPID id = GetDispId(module.catalogue.Get(), member);
  // Warm-up: the first calls fill caches and the allocator's free lists.
  for (int i = 0; i < 3; ++i) (void)InvokeById(module.catalogue.Get(), id, DISPATCH_METHOD, args);
  const Usage start = Now();
  for (auto _ : state) {
    Variant result = InvokeById(module.catalogue.Get(), id, DISPATCH_METHOD, args);
    benchmark::DoNotOptimize(result.bstrVal);
  }
  const Usage end = Now();
  const auto perCall = benchmark::Counter::kAvgIterations;
  state.counters["cpu_us"] =
      benchmark::Counter(end.cpuMicroseconds - start.cpuMicroseconds, perCall);
  state.counters["faults"] =
      benchmark::Counter(static_cast<double>(end.minorFaults - start.minorFaults), perCall);
  state.SetLabel(goal);
}

void BM_GetHexDump_13264(benchmark::State& state) {
  RunMember(state, false, "GetHexDump", {Variant(u"10"), Variant(u"#1")});
}
void BM_GetHTML_13264(benchmark::State& state) {
  RunMember(state, false, "GetHTML", {Variant(u"10"), Variant(u"#1")});
}
void BM_GetHTML_1MB(benchmark::State& state) {
  RunMember(state, true, "GetHTML", {Variant(u"10"), Variant(u"#2")}, "no goal: 1 MB in, 2 MB out");
}
void BM_GetDataArray_1MB(benchmark::State& state) {
  RunMember(state, true, "GetDataArray", {Variant(u"10"), Variant(u"#2")});
}
void BM_GetString_block(benchmark::State& state) {
  RunMember(state, false, "GetString", {Variant(u"#1")});
}

// The small members first, before the large module is made.
BENCHMARK(BM_GetHexDump_13264)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetHTML_13264)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetString_block)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetDataArray_1MB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetHTML_1MB)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvex

BENCHMARK_MAIN();
