#include "platform/version/version_block.h"

#include <vector>

#include "platform/text/text.h"

namespace orvex {
namespace {

size_t Align4(size_t offset) {
  return (offset + 3) & ~size_t{3};
}

// Calls `visit` for each child of `parent` until it returns false.
template <class Visit>
void ForEachChild(Bytes block, VersionLayout layout, const VersionNode& parent, Visit visit) {
  size_t offset = parent.childrenOffset;
  while (offset < parent.end) {
    auto child = ReadVersionNode(block, layout, offset, parent.end);
    if (!child) return;  // a child that does not fit ends the list
    if (!visit(*child)) return;
    offset = Align4(child->end);
  }
}

}  // namespace

VersionLayout DetectVersionLayout(Bytes block) {
  auto marker = ByteReader(block).ReadAt<uint16_t>(4);
  return marker && *marker >= 0x20 ? VersionLayout::kAnsi16 : VersionLayout::kUnicode;
}

Expected<VersionNode> ReadVersionNode(Bytes block, VersionLayout layout, size_t offset,
                                      size_t limit) {
  if (limit > block.size()) limit = block.size();
  if (offset >= limit)
    return Error{"node at offset " + std::to_string(offset) + " is past the end"};
  auto bytes = ByteReader(block).SliceAt(0, limit);
  ByteReader reader(*bytes);
  ORVEX_TRY(reader.Seek(offset));
  VersionNode node;
  node.offset = offset;
  // 32-bit: WORD wLength; WORD wValueLength; WORD wType; WCHAR szKey[]; pad; value; pad;
  //         children.
  // 16-bit: WORD wLength; WORD wValueLength; CHAR szKey[]; pad; value; pad; children.
  auto length = reader.Read<uint16_t>();
  if (!length) return length.GetError();
  auto valueLength = reader.Read<uint16_t>();
  if (!valueLength) return valueLength.GetError();
  node.valueLength = *valueLength;
  if (layout == VersionLayout::kUnicode) {
    auto type = reader.Read<uint16_t>();
    if (!type) return type.GetError();
    node.text = *type == 1;
  }
  // The node ends where its length says, but never beyond its parent.
  node.end = *length > limit - offset ? limit : offset + *length;
  if (reader.Position() > node.end)
    return Error{"node at offset " + std::to_string(offset) + " is shorter than its header"};
  ByteReader inner(reader.Data().subspan(0, node.end));
  ORVEX_TRY(inner.Seek(reader.Position()));
  if (layout == VersionLayout::kUnicode) {
    auto key = inner.ReadU16CString();
    if (!key) return key.GetError().In("key at offset " + std::to_string(offset));
    node.key = std::move(*key);
  } else {
    auto key = inner.ReadCString();
    if (!key) return key.GetError().In("key at offset " + std::to_string(offset));
    node.key = AnsiToUnicode(*key);
  }
  inner.AlignTo(4);
  node.valueOffset = inner.Position();
  size_t wanted = node.text ? size_t{node.valueLength} * 2 : node.valueLength;
  node.valueSize = wanted < inner.Remaining() ? wanted : inner.Remaining();
  node.childrenOffset = Align4(node.valueOffset + node.valueSize);
  if (node.childrenOffset > node.end) node.childrenOffset = node.end;
  return node;
}

Expected<VersionNode> ReadVersionRoot(Bytes block) {
  return ReadVersionNode(block, DetectVersionLayout(block), 0, block.size());
}

Expected<VersionValue> FindVersionValue(Bytes block, std::string_view subBlock) {
  const VersionLayout layout = DetectVersionLayout(block);
  auto root = ReadVersionNode(block, layout, 0, block.size());
  if (!root) return root.GetError().In("version root");
  VersionNode current = *root;
  size_t depth = 0;
  bool underStrings = false;
  size_t pos = 0;
  while (pos < subBlock.size()) {
    size_t slash = subBlock.find('\\', pos);
    if (slash == std::string_view::npos) slash = subBlock.size();
    if (slash == pos) {  // empty component
      ++pos;
      continue;
    }
    const std::u16string wanted = AnsiToUnicode(subBlock.substr(pos, slash - pos));
    bool found = false;
    ForEachChild(block, layout, current, [&](const VersionNode& child) {
      if (!EqualsIgnoringCase(child.key, wanted)) return true;
      current = child;
      found = true;
      return false;
    });
    if (!found) return Error{"no value \"" + std::string(subBlock.substr(pos, slash - pos)) + "\""};
    if (depth == 0) underStrings = EqualsIgnoringCase(current.key, u"StringFileInfo");
    ++depth;
    pos = slash;
  }
  VersionValue value;
  value.offset = current.valueOffset;
  value.size = current.valueSize;
  value.layout = layout;
  // The entries of a string table are text even where a tool wrote wType 0.
  value.unicodeText =
      layout == VersionLayout::kUnicode && (current.text || (underStrings && depth == 3));
  if (value.unicodeText) {
    value.size &= ~size_t{1};
    value.length = static_cast<uint32_t>(value.size / 2);
  } else {
    value.length = static_cast<uint32_t>(value.size);
  }
  return value;
}

Expected<void> WalkVersionTree(Bytes block,
                               const std::function<void(const VersionNode&, int depth)>& visit) {
  const VersionLayout layout = DetectVersionLayout(block);
  auto root = ReadVersionNode(block, layout, 0, block.size());
  if (!root) return root.GetError().In("version root");
  struct Frame {
    VersionNode node;
    int depth;
  };
  std::vector<Frame> stack{{*root, 0}};
  while (!stack.empty()) {
    Frame frame = std::move(stack.back());
    stack.pop_back();
    visit(frame.node, frame.depth);
    if (frame.depth >= kMaxVersionDepth) continue;
    std::vector<Frame> children;
    ForEachChild(block, layout, frame.node, [&](const VersionNode& child) {
      children.push_back({child, frame.depth + 1});
      return true;
    });
    for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back(std::move(*it));
  }
  return {};
}

}  // namespace orvex
