// GetHexDump of a 13,264-byte resource and GetString of a string block through Invoke, as
// a script host calls them, in one program that both builds make: the Linux build runs it
// over the stand-in, the Windows build under Wine over the platform's own DLLs
// (compare.sh runs both and prints the ratio). Google Benchmark is not built for Windows,
// so the loop is its own: the median over 7 runs of the time per call, after a warm-up.
// Usage: orvex_invoke_bench [CALLS]   (one line per member: name, microseconds per call)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "pe_writer/resource_payloads.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/message_box.h"
#include "server/class_catalogue.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

constexpr size_t kHexDumpBytes = 13264;

double MedianMicroseconds(IDispatch* catalogue, DISPID id, const std::vector<Variant>& args,
                          int calls) {
  std::vector<double> runs;
  for (int run = 0; run < 8; ++run) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) (void)InvokeById(catalogue, id, DISPATCH_METHOD, args);
    const std::chrono::duration<double, std::micro> spent =
        std::chrono::steady_clock::now() - start;
    if (run > 0) runs.push_back(spent.count() / calls);  // run 0 warms up
  }
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

int Main(int calls) {
  SetMessageBoxHandler([](const MessageBoxCall&) { return IDOK; });
  RegisterOrvex10Classes();
  test::TempDir dir;
  test::PeWriter writer;
  std::vector<uint8_t> bytes(kHexDumpBytes);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  writer.Add(10, 1, 0x0409, bytes);
  std::vector<std::u16string> strings(16);
  for (int i = 0; i < 16; ++i)
    strings[i] = u"String " + Utf8ToUtf16(std::to_string(i)) + u" of the block";
  writer.Add(6, 1, 0x0409, test::StringBlock(strings));
  const std::string path = dir.Write("bench.dll", writer.Build());

  ComPtr<IDispatch> catalogue = CreateObject(u"Orvex10.clsQ7ResfResourceTypesA");
  PutProperty(catalogue.Get(), "Filename", Variant(Utf8ToUtf16(path)));
  const double hex = MedianMicroseconds(catalogue.Get(), GetDispId(catalogue.Get(), "GetHexDump"),
                                        {Variant(u"10"), Variant(u"#1")}, calls);
  const double text = MedianMicroseconds(catalogue.Get(), GetDispId(catalogue.Get(), "GetString"),
                                         {Variant(u"#1")}, calls);
  std::printf("GetHexDump_13264_bytes %.2f us\nGetString_block %.2f us\n", hex, text);
  return 0;
}

}  // namespace
}  // namespace orvex

int main(int argc, char** argv) {
  const int calls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  return orvex::Main(calls);
}
