// VERSIONINFO from the library's version tree walk: the fixed information as its
// statements, string tables as BLOCK and VALUE texts, and variables as VALUE word lists.
#include <memory>
#include <vector>

#include "platform/version/version_block.h"
#include "rc_script/rc_statements.h"
#include "rc_script/rc_text.h"

namespace orvex::rc {

namespace {

constexpr uint32_t kFixedSignature = 0xFEEF04BD;

struct Node {
  VersionNode node;
  Bytes value;
  std::vector<std::unique_ptr<Node>> children;
};

std::u16string Units(Bytes bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(std::to_integer<uint16_t>(bytes[2 * i]) |
                                    std::to_integer<uint16_t>(bytes[2 * i + 1]) << 8);
  return text;
}

// Writes one node as the compiler does: the length patched in when its children are done;
// no padding after the last value or child.
void Begin(Encoder& encoded, std::u16string_view key, uint16_t valueLength, uint16_t type) {
  encoded.Word(0);
  encoded.Word(valueLength);
  encoded.Word(type);
  encoded.Text(key);
  encoded.Align(4);
}

std::string Indent(int depth) {
  return std::string(static_cast<size_t>(depth) * 2, ' ');
}

Expected<std::string> StringBlock(const Node& block, Encoder& encoded) {
  std::string out = Indent(1) + "BLOCK \"StringFileInfo\"\n" + Indent(1) + "BEGIN\n";
  const size_t start = encoded.Size();
  Begin(encoded, u"StringFileInfo", 0, 1);
  for (const auto& table : block.children) {
    encoded.Align(4);
    const size_t tableStart = encoded.Size();
    Begin(encoded, table->node.key, 0, 1);
    out += Indent(2) + "BLOCK " + Quote(table->node.key) + "\n" + Indent(2) + "BEGIN\n";
    for (const auto& entry : table->children) {
      if (!entry->children.empty()) return Error{"a string with children"};
      std::u16string text = Units(entry->value);
      if (const size_t nul = text.find(u'\0'); nul != std::u16string::npos) text.resize(nul);
      encoded.Align(4);
      const size_t entryStart = encoded.Size();
      Begin(encoded, entry->node.key, static_cast<uint16_t>(text.size() + 1), 1);
      encoded.Text(text);
      encoded.PatchWord(entryStart, static_cast<uint16_t>(encoded.Size() - entryStart));
      out += Indent(3) + "VALUE " + Quote(entry->node.key) + ", " + Quote(text) + "\n";
    }
    encoded.PatchWord(tableStart, static_cast<uint16_t>(encoded.Size() - tableStart));
    out += Indent(2) + "END\n";
  }
  encoded.PatchWord(start, static_cast<uint16_t>(encoded.Size() - start));
  return out + Indent(1) + "END\n";
}

Expected<std::string> VarBlock(const Node& block, Encoder& encoded) {
  std::string out = Indent(1) + "BLOCK \"VarFileInfo\"\n" + Indent(1) + "BEGIN\n";
  const size_t start = encoded.Size();
  Begin(encoded, u"VarFileInfo", 0, 1);
  for (const auto& variable : block.children) {
    if (!variable->children.empty()) return Error{"a variable with children"};
    const Bytes value = variable->value;
    encoded.Align(4);
    const size_t varStart = encoded.Size();
    Begin(encoded, variable->node.key, static_cast<uint16_t>(value.size() / 2 * 2), 0);
    out += Indent(2) + "VALUE " + Quote(variable->node.key);
    for (size_t i = 0; i + 1 < value.size(); i += 2) {
      const uint16_t word = static_cast<uint16_t>(std::to_integer<uint16_t>(value[i]) |
                                                  std::to_integer<uint16_t>(value[i + 1]) << 8);
      encoded.Word(word);
      out += ", " + Hex(word);
    }
    encoded.PatchWord(varStart, static_cast<uint16_t>(encoded.Size() - varStart));
    out += "\n";
  }
  encoded.PatchWord(start, static_cast<uint16_t>(encoded.Size() - start));
  return out + Indent(1) + "END\n";
}

}  // namespace

Expected<std::string> VersionStatement(const std::string& name, Bytes data) {
  if (DetectVersionLayout(data) != VersionLayout::kUnicode) return Error{"the 16-bit layout"};
  // The tree as nodes, from the depth-first walk.
  std::unique_ptr<Node> root;
  std::vector<Node*> open;
  auto walked = WalkVersionTree(data, [&](const VersionNode& node, int depth) {
    auto made = std::make_unique<Node>();
    made->node = node;
    made->value = data.subspan(node.valueOffset, node.valueSize);
    open.resize(static_cast<size_t>(depth));
    Node* raw = made.get();
    if (depth == 0) {
      root = std::move(made);
    } else if (!open.empty()) {
      open.back()->children.push_back(std::move(made));
    }
    open.push_back(raw);
  });
  if (!walked) return walked.GetError();
  if (!root) return Error{"no root"};
  if (root->value.size() != 52) return Error{"no fixed information"};
  ByteReader fixed(root->value);
  uint32_t fields[13] = {};
  for (uint32_t& field : fields) {
    if (!fixed.TryRead(field)) return Error{"fixed information cut short"};
  }
  if (fields[0] != kFixedSignature || fields[1] != 0x10000) return Error{"fixed signature"};
  if (fields[11] != 0 || fields[12] != 0) return Error{"a file date"};

  Encoder encoded;
  Begin(encoded, root->node.key, 52, 0);
  for (uint32_t field : fields) encoded.Dword(field);
  auto pair = [](uint32_t high, uint32_t low) {
    return std::to_string(high >> 16) + ", " + std::to_string(high & 0xFFFF) + ", " +
           std::to_string(low >> 16) + ", " + std::to_string(low & 0xFFFF);
  };
  std::string out = name + " VERSIONINFO\n";
  out += "FILEVERSION " + pair(fields[2], fields[3]) + "\n";
  out += "PRODUCTVERSION " + pair(fields[4], fields[5]) + "\n";
  out += "FILEFLAGSMASK " + Hex(fields[6]) + "\nFILEFLAGS " + Hex(fields[7]) + "\nFILEOS " +
         Hex(fields[8]) + "\nFILETYPE " + Hex(fields[9]) + "\nFILESUBTYPE " + Hex(fields[10]) +
         "\nBEGIN\n";
  if (root->node.key != u"VS_VERSION_INFO") return Error{"root key"};
  for (const auto& child : root->children) {
    encoded.Align(4);
    Expected<std::string> block = Error{"a block other than StringFileInfo and VarFileInfo"};
    if (child->node.key == u"StringFileInfo") block = StringBlock(*child, encoded);
    if (child->node.key == u"VarFileInfo") block = VarBlock(*child, encoded);
    if (!block) return block.GetError();
    out += *block;
  }
  encoded.PatchWord(0, static_cast<uint16_t>(encoded.Size()));
  if (!SameBytes(encoded, data.data(), data.size()))
    return Error{"lengths, types or padding the statement cannot carry"};
  return out + "END\n";
}

}  // namespace orvex::rc
