#include "pe_writer/pe_writer.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "platform/text/text.h"

namespace orvex::test {

namespace {

constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kNewHeaderOffset = 0x80;
constexpr uint32_t kHighBit = 0x80000000u;

uint32_t AlignUp(uint32_t value, uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
  if (out.size() < at + 2) out.resize(at + 2);
  std::memcpy(out.data() + at, &value, 2);
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  if (out.size() < at + 4) out.resize(at + 4);
  std::memcpy(out.data() + at, &value, 4);
}
void Put64(std::vector<uint8_t>& out, size_t at, uint64_t value) {
  if (out.size() < at + 8) out.resize(at + 8);
  std::memcpy(out.data() + at, &value, 8);
}

// The order the platform's tools store entries in: names (case-blind), then numbers.
bool Before(const ResId& a, const ResId& b) {
  if (a.named != b.named) return a.named;
  if (!a.named) return a.id < b.id;
  return std::lexicographical_compare(
      a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
      [](char16_t x, char16_t y) { return UpperCase(x) < UpperCase(y); });
}

// Keys that compare equal the way the platform matches them (names regardless of case).
using KeyIndex = std::map<std::pair<int, std::u16string>, size_t>;
std::pair<int, std::u16string> IndexKey(const ResId& key) {
  if (!key.named) return {key.id, {}};
  std::u16string upper;
  for (char16_t unit : key.name) upper.push_back(UpperCase(unit));
  return {-1, upper};
}

struct Node {
  ResId key;
  std::vector<Node> children;
  int resource = -1;
  KeyIndex index;
};

// Finds or appends the child with `key`, keeping insertion order (sorted later).
Node& Child(Node& parent, const ResId& key) {
  auto [it, added] = parent.index.emplace(IndexKey(key), parent.children.size());
  if (added) parent.children.push_back(Node{key, {}, -1, {}});
  return parent.children[it->second];
}

void SortTree(Node& node, bool unsorted) {
  if (unsorted) {
    std::stable_partition(node.children.begin(), node.children.end(),
                          [](const Node& n) { return n.key.named; });
  } else {
    std::stable_sort(node.children.begin(), node.children.end(),
                     [](const Node& a, const Node& b) { return Before(a.key, b.key); });
  }
  node.index.clear();  // positions changed; the index is no longer needed
  for (Node& child : node.children) SortTree(child, unsorted);
}

}  // namespace

std::vector<uint8_t> Bytes(std::string_view text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

PeWriter& PeWriter::Pe32Plus(bool on) {
  pe32Plus_ = on;
  return *this;
}
PeWriter& PeWriter::Machine(uint16_t machine) {
  machine_ = machine;
  return *this;
}
PeWriter& PeWriter::Executable(bool on) {
  executable_ = on;
  return *this;
}
PeWriter& PeWriter::Damage(const Malformation& malformation) {
  malformation_ = malformation;
  return *this;
}

int PeWriter::AddSection(std::string name, std::vector<uint8_t> bytes) {
  sections_.push_back(Section{std::move(name), std::move(bytes)});
  return static_cast<int>(sections_.size()) - 1;
}

PeWriter& PeWriter::Add(ResId type, ResId name, uint16_t language, std::vector<uint8_t> data,
                        int section, std::optional<uint32_t> size, std::optional<uint32_t> rva,
                        uint32_t codePage) {
  resources_.push_back(Resource{std::move(type), std::move(name), language, std::move(data),
                                section, size, rva, codePage});
  return *this;
}

std::vector<uint8_t> PeWriter::Build() const {
  const Malformation& bad = malformation_;

  // The tree: root -> types -> names -> languages (leaves name a resource).
  Node root{ResId(uint16_t{0}), {}, -1, {}};
  for (size_t i = 0; i < resources_.size(); ++i) {
    const Resource& resource = resources_[i];
    Node& leaf = Child(Child(Child(root, resource.type), resource.name), ResId(resource.language));
    leaf.resource = static_cast<int>(i);
  }
  SortTree(root, bad.unsorted);

  // Offsets inside the resource section.
  auto dirSize = [](const Node& node) { return uint32_t(16 + 8 * node.children.size()); };
  uint32_t cursor = dirSize(root);
  std::vector<uint32_t> typeDirs, nameDirs;
  for (const Node& type : root.children) {
    typeDirs.push_back(cursor);
    cursor += dirSize(type);
  }
  for (const Node& type : root.children)
    for (const Node& name : type.children) {
      nameDirs.push_back(cursor);
      cursor += dirSize(name);
    }
  uint32_t dataEntries = cursor;
  cursor += uint32_t(16 * resources_.size());
  uint32_t strings = cursor;

  std::vector<uint8_t> rsrc(cursor);
  std::vector<uint32_t> entryOfResource(resources_.size());
  bool firstString = true;
  auto putString = [&](const std::u16string& text) {
    uint32_t at = uint32_t(rsrc.size());
    Put16(rsrc, at, (bad.namePastEnd && firstString) ? uint16_t{0xFFFF} : uint16_t(text.size()));
    firstString = false;
    for (size_t i = 0; i < text.size(); ++i) Put16(rsrc, at + 2 + 2 * i, text[i]);
    rsrc.resize(AlignUp(uint32_t(rsrc.size()), 2));
    return at | kHighBit;
  };
  auto putDir = [&](uint32_t at, const Node& node, std::optional<uint16_t> named,
                    std::optional<uint16_t> ids) {
    uint16_t namedCount = uint16_t(std::count_if(node.children.begin(), node.children.end(),
                                                 [](const Node& n) { return n.key.named; }));
    Put16(rsrc, at + 12, named.value_or(namedCount));
    Put16(rsrc, at + 14, ids.value_or(uint16_t(node.children.size() - namedCount)));
  };
  auto keyField = [&](const ResId& key) {
    return key.named ? putString(key.name) : uint32_t{key.id};
  };

  putDir(0, root, bad.rootNamedCount, bad.rootIdCount);
  size_t nameIndex = 0;
  uint32_t dataIndex = 0;
  bool firstLanguage = true;
  for (size_t t = 0; t < root.children.size(); ++t) {
    const Node& type = root.children[t];
    uint32_t target = typeDirs[t];
    if (bad.shareNameDirectory) target = typeDirs[0];
    if (bad.overlapNameDirectories && t == 1) target = typeDirs[0] + 8;
    if (bad.typeLoopsToRoot && t == 0) target = 0;
    Put32(rsrc, 16 + 8 * t, keyField(type.key));
    Put32(rsrc, 16 + 8 * t + 4, target | kHighBit);
    putDir(typeDirs[t], type, std::nullopt, std::nullopt);
    for (size_t n = 0; n < type.children.size(); ++n, ++nameIndex) {
      const Node& name = type.children[n];
      uint32_t at = typeDirs[t] + 16 + 8 * uint32_t(n);
      Put32(rsrc, at, keyField(name.key));
      Put32(rsrc, at + 4, nameDirs[nameIndex] | kHighBit);
      putDir(nameDirs[nameIndex], name, std::nullopt, std::nullopt);
      for (size_t l = 0; l < name.children.size(); ++l) {
        const Node& language = name.children[l];
        uint32_t entry = dataEntries + 16 * dataIndex++;
        entryOfResource[size_t(language.resource)] = entry;
        uint32_t langAt = nameDirs[nameIndex] + 16 + 8 * uint32_t(l);
        Put32(rsrc, langAt, language.key.id);
        Put32(rsrc, langAt + 4, (bad.languageLoopsToRoot && firstLanguage) ? kHighBit : entry);
        firstLanguage = false;
      }
    }
  }

  // Data: in the resource section, or appended to an extra section.
  std::vector<Section> extra = sections_;
  struct Place {
    int section;
    uint32_t offset;
  };
  std::vector<Place> places(resources_.size());
  for (size_t i = 0; i < resources_.size(); ++i) {
    const Resource& resource = resources_[i];
    std::vector<uint8_t>& target =
        resource.section < 0 ? rsrc : extra[size_t(resource.section)].bytes;
    target.resize(AlignUp(uint32_t(target.size()), 8));
    places[i] = {resource.section, uint32_t(target.size())};
    target.insert(target.end(), resource.data.begin(), resource.data.end());
  }
  (void)strings;

  // Headers and section table.
  bool withRsrc = !bad.noResourceDirectory;
  uint16_t sectionCount = uint16_t(extra.size() + (withRsrc ? 1 : 0));
  uint16_t optionalSize = pe32Plus_ ? 240 : 224;
  uint32_t sectionTable = kNewHeaderOffset + 4 + 20 + optionalSize;
  uint32_t headersSize = AlignUp(sectionTable + 40u * sectionCount, kFileAlignment);

  struct Layout {
    std::string name;
    const std::vector<uint8_t>* bytes;
    uint32_t rva, raw, rawSize;
  };
  std::vector<Layout> layout;
  uint32_t rva = kSectionAlignment;
  uint32_t raw = headersSize;
  auto place = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    uint32_t rawSize = AlignUp(uint32_t(bytes.size()), kFileAlignment);
    layout.push_back({name, &bytes, rva, raw, rawSize});
    rva += AlignUp(std::max<uint32_t>(uint32_t(bytes.size()), 1), kSectionAlignment);
    raw += rawSize;
  };
  if (withRsrc) place(".rsrc", rsrc);
  for (const Section& section : extra) place(section.name, section.bytes);
  auto sectionRva = [&](int section) {
    return layout[static_cast<size_t>(section) + (withRsrc ? 1 : 0)].rva;
  };

  // Data entries need the final RVAs.
  for (size_t i = 0; i < resources_.size(); ++i) {
    const Resource& resource = resources_[i];
    uint32_t at = entryOfResource[i];
    Put32(rsrc, at, resource.rva.value_or(sectionRva(places[i].section) + places[i].offset));
    Put32(rsrc, at + 4, resource.size.value_or(uint32_t(resource.data.size())));
    Put32(rsrc, at + 8, resource.codePage);
  }

  std::vector<uint8_t> out(raw, 0);
  // IMAGE_DOS_HEADER with a short stub.
  Put16(out, 0, bad.header == HeaderKind::kNoDosMagic ? 0x4D5A : 0x5A4D);  // "MZ"
  Put32(out, 0x3C, kNewHeaderOffset);
  const char stub[] = "This program cannot be run in DOS mode.";
  std::memcpy(out.data() + 0x4E, stub, sizeof stub - 1);

  switch (bad.header) {
    case HeaderKind::kNe:
    case HeaderKind::kLe:
      Put16(out, kNewHeaderOffset, bad.header == HeaderKind::kNe ? 0x454E : 0x454C);
      out.resize(std::max<size_t>(out.size(), 0x400));
      return bad.truncateTo ? std::vector<uint8_t>(
                                  out.begin(), out.begin() + std::min(*bad.truncateTo, out.size()))
                            : out;
    default:
      break;
  }
  Put32(out, kNewHeaderOffset, bad.header == HeaderKind::kNoPeSignature ? 0x4558u : 0x4550u);

  // IMAGE_FILE_HEADER
  uint32_t fileHeader = kNewHeaderOffset + 4;
  Put16(out, fileHeader, machine_.value_or(pe32Plus_ ? 0x8664 : 0x014C));
  Put16(out, fileHeader + 2, sectionCount);
  Put16(out, fileHeader + 16, optionalSize);
  uint16_t characteristics = pe32Plus_ ? 0x0022 : 0x0102;
  if (!executable_) characteristics |= 0x2000;
  Put16(out, fileHeader + 18, characteristics);

  // IMAGE_OPTIONAL_HEADER32 / 64
  uint32_t optional = fileHeader + 20;
  Put16(out, optional, pe32Plus_ ? 0x20B : 0x10B);
  if (pe32Plus_) {
    Put64(out, optional + 24, 0x180000000ull);
  } else {
    Put32(out, optional + 28, 0x10000000u);
  }
  Put32(out, optional + 32, kSectionAlignment);
  Put32(out, optional + 36, kFileAlignment);
  Put16(out, optional + 40, 4);
  Put16(out, optional + 48, 4);
  Put32(out, optional + 56, rva);
  Put32(out, optional + 60, headersSize);
  Put16(out, optional + 68, 2);
  uint32_t countField = pe32Plus_ ? 108 : 92;
  uint32_t directories = pe32Plus_ ? 112 : 96;
  Put32(out, optional + countField, 16);
  if (withRsrc) {
    Put32(out, optional + directories + 16, layout[0].rva);
    Put32(out, optional + directories + 20, uint32_t(rsrc.size()));
  }

  // IMAGE_SECTION_HEADERs and the raw data.
  for (size_t i = 0; i < layout.size(); ++i) {
    const Layout& section = layout[i];
    uint32_t at = sectionTable + 40 * uint32_t(i);
    std::memcpy(out.data() + at, section.name.data(), std::min<size_t>(section.name.size(), 8));
    Put32(out, at + 8, uint32_t(section.bytes->size()));
    Put32(out, at + 12, section.rva);
    Put32(out, at + 16, section.rawSize);
    Put32(out, at + 20, section.rawSize ? section.raw : 0);
    Put32(out, at + 36, 0x40000040u);  // initialised data, readable
    std::copy(section.bytes->begin(), section.bytes->end(), out.begin() + section.raw);
  }

  if (bad.truncateTo && *bad.truncateTo < out.size()) out.resize(*bad.truncateTo);
  return out;
}

namespace {

void PutWord(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void PutDword(std::vector<uint8_t>& out, uint32_t value) {
  PutWord(out, value & 0xFFFF);
  PutWord(out, value >> 16);
}
void PutResId(std::vector<uint8_t>& out, const ResId& id) {
  if (!id.named) {
    PutWord(out, 0xFFFF);
    PutWord(out, id.id);
    return;
  }
  for (char16_t unit : id.name) PutWord(out, unit);
  PutWord(out, 0);
}
void AlignToDword(std::vector<uint8_t>& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

}  // namespace

std::vector<uint8_t> PeWriter::BuildResFile() const {
  constexpr uint16_t kMoveablePureDiscardable = 0x1030;
  std::vector<uint8_t> out;
  auto entry = [&](const ResId& type, const ResId& name, uint16_t language, uint16_t flags,
                   const std::vector<uint8_t>& data) {
    std::vector<uint8_t> header;
    PutResId(header, type);
    PutResId(header, name);
    AlignToDword(header);
    PutDword(header, 0);  // data version
    PutWord(header, flags);
    PutWord(header, language);
    PutDword(header, 0);  // version
    PutDword(header, 0);  // characteristics
    PutDword(out, static_cast<uint32_t>(data.size()));
    PutDword(out, static_cast<uint32_t>(header.size() + 8));
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), data.begin(), data.end());
    AlignToDword(out);
  };
  entry(ResId(uint16_t{0}), ResId(uint16_t{0}), 0, 0, {});
  for (const Resource& r : resources_)
    entry(r.type, r.name, r.language, kMoveablePureDiscardable, r.data);
  return out;
}

}  // namespace orvex::test
