// The version resource's tree (VS_VERSIONINFO) read from a byte span. Two layouts exist:
// the 32-bit one with UTF-16 keys and a wType field, and the older 16-bit one with ANSI
// keys; both nest as key/value nodes whose children follow the value.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/byte_reader.h"
#include "base/expected.h"

namespace orvex {

enum class VersionLayout { kUnicode, kAnsi16 };

// Nesting deeper than this is not walked (the published tree has four levels).
inline constexpr int kMaxVersionDepth = 16;

struct VersionNode {
  size_t offset = 0;         // of the node within the block
  size_t end = 0;            // offset + wLength, clamped to the parent's end
  std::u16string key;        // ANSI keys of the 16-bit layout are converted from the code page
  uint16_t valueLength = 0;  // wValueLength as stored (characters for Unicode text)
  bool text = false;         // wType 1 (always false in the 16-bit layout)
  size_t valueOffset = 0;
  size_t valueSize = 0;  // bytes of value inside the node
  size_t childrenOffset = 0;
};

// The layout a block uses: the 16-bit layout has the key's first character where the
// 32-bit layout keeps its small wType.
VersionLayout DetectVersionLayout(Bytes block);

// The node at `offset`, whose extent is cut at `limit`. Fails when its header or key does
// not fit, or when its length is too small to hold its own header.
Expected<VersionNode> ReadVersionNode(Bytes block, VersionLayout layout, size_t offset,
                                      size_t limit);

// The root node: the block's first node, cut at the block's end.
Expected<VersionNode> ReadVersionRoot(Bytes block);

struct VersionValue {
  size_t offset = 0;         // of the value within the block
  size_t size = 0;           // bytes inside the node
  uint32_t length = 0;       // what the platform reports: characters for text, else bytes
  bool unicodeText = false;  // UTF-16 text that the ANSI query converts
  VersionLayout layout = VersionLayout::kUnicode;
};

// Walks `subBlock` ("\", "\VarFileInfo\Translation", "\StringFileInfo\040904B0\FileVersion")
// from the root, comparing keys without regard to case and skipping empty components.
// Fails when a component is not found.
Expected<VersionValue> FindVersionValue(Bytes block, std::string_view subBlock);

// Visits every node depth-first (depth 0 is the root) up to kMaxVersionDepth; children
// that do not fit end their parent's list.
Expected<void> WalkVersionTree(Bytes block,
                               const std::function<void(const VersionNode&, int depth)>& visit);

}  // namespace orvex
