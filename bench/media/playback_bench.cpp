// PlayWAV of a 1 MB sound through Invoke: the member writes the temporary file and hands it
// to the platform, which plays it on while the call returns; the time from the call to its
// return, less the time the file takes to write, is what the caller waits for the sound.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalogue_environment.h"
#include "pe_writer/pe_writer.h"
#include "platform/fs/fs.h"
#include "platform/media/sound_device.h"
#include "platform/ole/late_bound.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

// A RIFF WAVE of 16-bit mono PCM at 22050 Hz with `dataBytes` of a sawtooth.
std::vector<uint8_t> Wave(uint32_t dataBytes) {
  std::vector<uint8_t> w(44 + dataBytes);
  const auto put32 = [&w](size_t at, uint32_t v) { std::memcpy(w.data() + at, &v, 4); };
  const auto put16 = [&w](size_t at, uint16_t v) { std::memcpy(w.data() + at, &v, 2); };
  std::memcpy(w.data(), "RIFF", 4);
  put32(4, 36 + dataBytes);
  std::memcpy(w.data() + 8, "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);
  put16(22, 1);
  put32(24, 22050);
  put32(28, 44100);
  put16(32, 2);
  put16(34, 16);
  std::memcpy(w.data() + 36, "data", 4);
  put32(40, dataBytes);
  for (uint32_t i = 0; i < dataBytes / 2; ++i) put16(44 + 2 * i, static_cast<uint16_t>(i * 97));
  return w;
}

void BM_PlayWavOneMegabyteThroughInvoke(benchmark::State& state) {
  static auto* env = new bench::CatalogueEnvironment();
  // Samples go to the null device, which takes them at their real rate without a thread.
  InstallSoundDevice(std::make_shared<NullSoundDevice>());
  test::PeWriter writer;
  writer.Add(test::ResId(u"WAV"), test::ResId(1), 0x0409, Wave(1 << 20));
  const ComPtr<IDispatch> catalogue = env->Open(writer, "sound.dll");
  const DISPID id = GetDispId(catalogue.Get(), "PlayWAV");
  for (auto _ : state) {
    const Variant args[] = {Variant(u"#1")};
    const Variant result = InvokeById(catalogue.Get(), id, DISPATCH_METHOD, args);
    benchmark::DoNotOptimize(result.lVal);
  }
  CurrentSoundDevice()->Stop();
}
BENCHMARK(BM_PlayWavOneMegabyteThroughInvoke)->Unit(benchmark::kMillisecond);

// Writing the same megabyte as the member writes its temporary file (a replacing file,
// renamed over the old one, not flushed): the floor of the call above.
void BM_WriteOneMegabyteFile(benchmark::State& state) {
  test::TempDir dir;
  const std::vector<uint8_t> bytes = Wave(1 << 20);
  const std::string path = dir.File("sound.wav");
  for (auto _ : state) {
    auto file = ReplacingFile::Open(path);
    if (!file || !file->Write(AsBytes(bytes.data(), bytes.size())) ||
        !file->Commit(ReplacingFile::Durability::kInPlace))
      state.SkipWithError("cannot write");
  }
}
BENCHMARK(BM_WriteOneMegabyteFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvex

BENCHMARK_MAIN();
