// Version blocks: walk the tree, then copy the block as GetFileVersionInfoA does and query
// the usual paths and every string key the walk found through VerQueryValueA.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/text/text.h"
#include "platform/version/version.h"
#include "platform/version/version_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orvex::Bytes bytes = orvex::AsBytes(data, size);
  std::vector<std::string> paths = {"\\", "", "\\VarFileInfo\\Translation",
                                    "\\StringFileInfo\\040904B0\\FileVersion", "\\\\x\\\\"};
  // Paths of the nodes at depths 1-3, as a reader of string tables would ask for them.
  std::vector<std::string> stack;
  (void)orvex::WalkVersionTree(bytes, [&](const orvex::VersionNode& node, int depth) {
    if (depth == 0 || depth > 3) return;
    stack.resize(static_cast<size_t>(depth - 1));
    stack.push_back(orvex::UnicodeToAnsi(node.key));
    std::string path;
    for (const std::string& part : stack) path += "\\" + part;
    if (paths.size() < 64) paths.push_back(path);
  });

  orvex::DWORD needed = orvex::VersionBufferSize(bytes);
  if (needed == 0) return 0;
  // The full buffer, and one cut short, which must stay safe to query.
  for (orvex::DWORD bufferSize : {needed, needed / 2 + 5}) {
    std::vector<unsigned char> buffer(bufferSize);
    if (!orvex::CopyVersionResource(bytes, bufferSize, buffer.data())) continue;
    for (const std::string& path : paths) {
      void* value = nullptr;
      orvex::UINT length = 0;
      if (!orvex::VerQueryValueA(buffer.data(), path.c_str(), &value, &length)) {
        if (value != nullptr) __builtin_trap();  // a failed query leaves the pointer alone
        continue;
      }
      auto* begin = static_cast<unsigned char*>(value);
      if (begin < buffer.data() || begin + length > buffer.data() + buffer.size()) __builtin_trap();
    }
  }
  return 0;
}
