// The renderers on their own, without the dispatch stack above them.
#include <benchmark/benchmark.h>

#include <vector>

#include "readers/hex_dump.h"
#include "readers/string_table.h"

namespace orvex {
namespace {

std::vector<std::byte> Pseudorandom(size_t size) {
  std::vector<std::byte> out(size);
  uint32_t state = 12345;
  for (auto& b : out) {
    state = state * 1103515245 + 12345;
    b = static_cast<std::byte>(state >> 24);
  }
  return out;
}

StepRunner Runner() {
  return StepRunner("clsQ7ResfResourceTypesA.GetHexDump",
                    [](const RuntimeError&, const std::string&) {});
}

// The largest dump that is rendered: 13,264 bytes, 829 lines.
void BM_GetHexDump(benchmark::State& state) {
  const auto data = Pseudorandom(static_cast<size_t>(state.range(0)));
  StepRunner steps = Runner();
  for (auto _ : state) {
    std::u16string text = GetHexDump(data, steps);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_GetHexDump)->Arg(16)->Arg(4096)->Arg(13264)->Arg(13265);

void BM_GetString(benchmark::State& state) {
  std::vector<std::byte> block;
  for (int i = 0; i < 16; ++i) {
    const char16_t text[] = u"Some string\nwith a line break";
    const size_t length = std::char_traits<char16_t>::length(text);
    block.push_back(static_cast<std::byte>(length));
    block.push_back(std::byte{0});
    for (size_t c = 0; c < length; ++c) {
      block.push_back(static_cast<std::byte>(text[c] & 0xFF));
      block.push_back(static_cast<std::byte>(text[c] >> 8));
    }
  }
  StepRunner steps = Runner();
  for (auto _ : state) {
    std::u16string text = GetString(block, u"#1", steps);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_GetString);

}  // namespace
}  // namespace orvex

BENCHMARK_MAIN();
