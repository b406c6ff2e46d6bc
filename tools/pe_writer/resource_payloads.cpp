#include "pe_writer/resource_payloads.h"

#include <cstring>
#include <string_view>

namespace orvex::test {

namespace {

void Put8(Payload& out, uint8_t value) {
  out.push_back(value);
}
void Put16(Payload& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void Put32(Payload& out, uint32_t value) {
  Put16(out, static_cast<uint16_t>(value));
  Put16(out, static_cast<uint16_t>(value >> 16));
}
void Patch32(Payload& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
// A zero-terminated UTF-16 text.
void PutText(Payload& out, std::u16string_view text) {
  for (char16_t unit : text) Put16(out, unit);
  Put16(out, 0);
}
void PutFourCc(Payload& out, const char (&code)[5]) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(code[i]));
}
void Align4(Payload& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}
uint32_t RowBytes(int width, int bitCount) {
  return static_cast<uint32_t>((width * bitCount + 31) / 32 * 4);
}
uint32_t Read32(const Payload& in, size_t at) {
  uint32_t value = 0;
  std::memcpy(&value, in.data() + at, 4);
  return value;
}
uint16_t Read16(const Payload& in, size_t at) {
  uint16_t value = 0;
  std::memcpy(&value, in.data() + at, 2);
  return value;
}

// BITMAPINFOHEADER: biSize, biWidth, biHeight, biPlanes, biBitCount, biCompression,
// biSizeImage, biXPelsPerMeter, biYPelsPerMeter, biClrUsed, biClrImportant.
void PutInfoHeader(Payload& out, int width, int height, int bitCount, uint32_t imageSize,
                   uint32_t colorsUsed) {
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<uint16_t>(bitCount));
  Put32(out, 0);  // BI_RGB
  Put32(out, imageSize);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, colorsUsed);
  Put32(out, 0);
}

// The 16 colours of the classic VGA palette as RGBQUAD (blue, green, red, 0).
void PutVgaPalette(Payload& out) {
  static const uint8_t kRgb[16][3] = {
      {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
      {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
      {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  for (const auto& rgb : kRgb) {
    Put8(out, rgb[2]);
    Put8(out, rgb[1]);
    Put8(out, rgb[0]);
    Put8(out, 0);
  }
}

// 4-bit pixels: colour (x + y) % 16, so every image shows stripes.
void PutStripes4(Payload& out, int width, int height) {
  const uint32_t row = RowBytes(width, 4);
  for (int y = 0; y < height; ++y) {
    Payload line(row, 0);
    for (int x = 0; x < width; ++x) {
      const auto colour = static_cast<uint8_t>((x + y) % 16);
      line[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? colour << 4 : colour);
    }
    out.insert(out.end(), line.begin(), line.end());
  }
}

// A 1-bit mask: opaque (0) inside a one-pixel transparent border.
void PutMask(Payload& out, int size) {
  const uint32_t row = RowBytes(size, 1);
  for (int y = 0; y < size; ++y) {
    Payload line(row, 0);
    for (int x = 0; x < size; ++x) {
      if (x == 0 || y == 0 || x == size - 1 || y == size - 1)
        line[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), line.begin(), line.end());
  }
}

// NEWHEADER {idReserved 0, idType, idCount} and the 14-byte entries; `cursor` selects the
// CURSORDIR form (WORD width, WORD height at double height) over ICONRESDIR (BYTE width,
// BYTE height, BYTE colour count, BYTE reserved).
Payload Group(const std::vector<GroupImage>& images, bool cursor) {
  Payload out;
  Put16(out, 0);
  Put16(out, cursor ? 2 : 1);
  Put16(out, static_cast<uint16_t>(images.size()));
  for (const GroupImage& entry : images) {
    const size_t header = cursor ? 4 : 0;  // a cursor image starts with its hot spot
    const uint32_t width = Read32(entry.image, header + 4);
    const uint32_t height = Read32(entry.image, header + 8) / 2;
    const uint16_t planes = Read16(entry.image, header + 12);
    const uint16_t bitCount = Read16(entry.image, header + 14);
    if (cursor) {
      Put16(out, static_cast<uint16_t>(width));
      Put16(out, static_cast<uint16_t>(height * 2));
    } else {
      Put8(out, static_cast<uint8_t>(width >= 256 ? 0 : width));
      Put8(out, static_cast<uint8_t>(height >= 256 ? 0 : height));
      Put8(out, static_cast<uint8_t>(bitCount >= 8 ? 0 : 1u << bitCount));
      Put8(out, 0);
    }
    Put16(out, planes);
    Put16(out, bitCount);
    Put32(out, static_cast<uint32_t>(entry.image.size()));
    Put16(out, entry.id);
  }
  return out;
}

// MF_ flags of a classic template.
constexpr uint16_t kMfGrayed = 0x01;
constexpr uint16_t kMfChecked = 0x08;
constexpr uint16_t kMfPopup = 0x10;
constexpr uint16_t kMfEnd = 0x80;
// MFT_SEPARATOR of an extended template; MFS_ states share the classic bits.
constexpr uint32_t kMftSeparator = 0x800;

void PutClassicItems(Payload& out, const std::vector<MenuItem>& items) {
  for (size_t i = 0; i < items.size(); ++i) {
    const MenuItem& item = items[i];
    uint16_t flags = static_cast<uint16_t>(item.state & (kMfGrayed | 0x02 | kMfChecked));
    if (i + 1 == items.size()) flags |= kMfEnd;
    if (!item.children.empty()) {
      // POPUPMENUITEM: WORD mtOption; WCHAR mtString[]; then the submenu's items.
      Put16(out, flags | kMfPopup);
      PutText(out, item.text);
      PutClassicItems(out, item.children);
    } else {
      // NORMALMENUITEM: WORD mtOption; WORD mtID; WCHAR mtString[] (a separator: 0, 0, "").
      Put16(out, flags);
      Put16(out, static_cast<uint16_t>(item.separator ? 0 : item.id));
      PutText(out, item.separator ? u"" : item.text);
    }
  }
}

void PutExtendedItems(Payload& out, const std::vector<MenuItem>& items) {
  for (size_t i = 0; i < items.size(); ++i) {
    const MenuItem& item = items[i];
    const bool popup = !item.children.empty();
    // MENUEX_TEMPLATE_ITEM: DWORD dwType, dwState, menuId; WORD bResInfo; WCHAR szText[];
    // pad to 4; a popup adds DWORD dwHelpId and its items.
    Put32(out, item.separator ? kMftSeparator : 0);
    Put32(out, item.state);
    Put32(out, item.id);
    Put16(out, static_cast<uint16_t>((popup ? 0x01 : 0) | (i + 1 == items.size() ? 0x80 : 0)));
    PutText(out, item.separator ? u"" : item.text);
    Align4(out);
    if (popup) {
      Put32(out, 0);
      PutExtendedItems(out, item.children);
    }
  }
}

// One node of a version block: WORD wLength; WORD wValueLength; WORD wType; WCHAR szKey[];
// pad to 4; the value; pad to 4; the children.
struct VersionNode {
  std::u16string key;
  Payload value;
  uint16_t valueLength;
  uint16_t type;  // 1 text, 0 binary
  std::vector<VersionNode> children;
};

Payload Encode(const VersionNode& node) {
  Payload out;
  Put16(out, 0);  // wLength, patched below
  Put16(out, node.valueLength);
  Put16(out, node.type);
  PutText(out, node.key);
  Align4(out);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const VersionNode& child : node.children) {
    Align4(out);
    const Payload bytes = Encode(child);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  out[0] = static_cast<uint8_t>(out.size());
  out[1] = static_cast<uint8_t>(out.size() >> 8);
  return out;
}

// A RIFF chunk: four-character code, size, data, padded to an even length.
void PutChunk(Payload& out, const char (&code)[5], const Payload& data) {
  PutFourCc(out, code);
  Put32(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() % 2 != 0) out.push_back(0);
}
// A RIFF list: "LIST" (or "RIFF"), size, list type, chunks.
Payload List(const char (&kind)[5], const char (&type)[5], const Payload& chunks) {
  Payload out;
  PutFourCc(out, kind);
  Put32(out, static_cast<uint32_t>(chunks.size() + 4));
  PutFourCc(out, type);
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}

}  // namespace

Payload Bitmap(int width, int height) {
  Payload out;
  PutInfoHeader(out, width, height, 4, RowBytes(width, 4) * static_cast<uint32_t>(height), 16);
  PutVgaPalette(out);
  PutStripes4(out, width, height);
  return out;
}

Payload IconImage(int size) {
  Payload out;
  const uint32_t bits = (RowBytes(size, 4) + RowBytes(size, 1)) * static_cast<uint32_t>(size);
  PutInfoHeader(out, size, size * 2, 4, bits, 0);
  PutVgaPalette(out);
  PutStripes4(out, size, size);
  PutMask(out, size);
  return out;
}

Payload CursorImage(int size, uint16_t hotX, uint16_t hotY) {
  Payload out;
  Put16(out, hotX);
  Put16(out, hotY);
  const uint32_t bits = RowBytes(size, 1) * 2 * static_cast<uint32_t>(size);
  PutInfoHeader(out, size, size * 2, 1, bits, 2);
  Put32(out, 0x00000000);  // black
  Put32(out, 0x00FFFFFF);  // white
  // XOR bits: a white cross through the hot spot; then the AND mask.
  const uint32_t row = RowBytes(size, 1);
  for (int y = 0; y < size; ++y) {
    Payload line(row, 0);
    for (int x = 0; x < size; ++x) {
      if (x == hotX || size - 1 - y == hotY) line[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), line.begin(), line.end());
  }
  PutMask(out, size);
  return out;
}

Payload IconGroup(const std::vector<GroupImage>& images) {
  return Group(images, false);
}

Payload CursorGroup(const std::vector<GroupImage>& images) {
  return Group(images, true);
}

Payload ClassicMenu(const std::vector<MenuItem>& items) {
  Payload out;
  Put16(out, 0);  // wVersion
  Put16(out, 0);  // cbHeaderSize
  PutClassicItems(out, items);
  return out;
}

Payload ExtendedMenu(const std::vector<MenuItem>& items) {
  Payload out;
  Put16(out, 1);  // wVersion
  Put16(out, 4);  // wOffset: the items start past dwHelpId
  Put32(out, 0);  // dwHelpId
  PutExtendedItems(out, items);
  return out;
}

Payload Dialog(const std::u16string& caption, int16_t cx, int16_t cy,
               const std::vector<DialogControl>& controls, std::u16string_view dialogClass) {
  // WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
  constexpr uint32_t kStyle = 0x80000000u | 0x00C00000u | 0x00080000u | 0x80u | 0x40u;
  Payload out;
  // DLGTEMPLATE: DWORD style; DWORD dwExtendedStyle; WORD cdit; short x, y, cx, cy;
  // then menu (0: none), class (0: the default), title, and the font for DS_SETFONT.
  Put32(out, kStyle);
  Put32(out, 0);
  Put16(out, static_cast<uint16_t>(controls.size()));
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint16_t>(cx));
  Put16(out, static_cast<uint16_t>(cy));
  Put16(out, 0);
  if (dialogClass.empty())
    Put16(out, 0);
  else
    PutText(out, dialogClass);
  PutText(out, caption);
  Put16(out, 8);
  PutText(out, u"MS Shell Dlg");
  for (const DialogControl& control : controls) {
    // DLGITEMTEMPLATE (DWORD-aligned): DWORD style; DWORD dwExtendedStyle; short x, y, cx,
    // cy; WORD id; then class (0xFFFF and an atom), title, WORD creation-data size.
    Align4(out);
    Put32(out, control.style);
    Put32(out, 0);
    Put16(out, static_cast<uint16_t>(control.x));
    Put16(out, static_cast<uint16_t>(control.y));
    Put16(out, static_cast<uint16_t>(control.cx));
    Put16(out, static_cast<uint16_t>(control.cy));
    Put16(out, control.id);
    if (control.className.empty()) {
      Put16(out, 0xFFFF);
      Put16(out, control.classAtom);
    } else {
      PutText(out, control.className);
    }
    PutText(out, control.text);
    Put16(out, 0);
  }
  return out;
}

Payload StringBlock(const std::vector<std::u16string>& strings) {
  Payload out;
  for (size_t i = 0; i < 16; ++i) {
    const std::u16string_view text = i < strings.size() ? strings[i] : std::u16string_view();
    Put16(out, static_cast<uint16_t>(text.size()));
    for (char16_t unit : text) Put16(out, unit);
  }
  return out;
}

Payload Accelerators(const std::vector<Accelerator>& entries) {
  Payload out;
  for (size_t i = 0; i < entries.size(); ++i) {
    Put16(out, static_cast<uint16_t>(entries[i].flags | (i + 1 == entries.size() ? 0x80 : 0)));
    Put16(out, entries[i].key);
    Put16(out, entries[i].id);
    Put16(out, 0);
  }
  return out;
}

Payload MessageTable(const std::vector<Message>& messages) {
  // Runs of consecutive ids, in the order given.
  std::vector<std::pair<size_t, size_t>> runs;  // first message, count
  for (size_t i = 0; i < messages.size(); ++i) {
    if (runs.empty() || messages[i].id != messages[i - 1].id + 1) runs.push_back({i, 0});
    ++runs.back().second;
  }
  // MESSAGE_RESOURCE_DATA: DWORD NumberOfBlocks; MESSAGE_RESOURCE_BLOCK {DWORD LowId,
  // HighId, OffsetToEntries}[]; then each block's MESSAGE_RESOURCE_ENTRY {WORD Length;
  // WORD Flags; text} padded to 4 bytes.
  Payload out;
  Put32(out, static_cast<uint32_t>(runs.size()));
  const size_t blocks = out.size();
  for (const auto& run : runs) {
    Put32(out, messages[run.first].id);
    Put32(out, messages[run.first + run.second - 1].id);
    Put32(out, 0);  // patched below
  }
  for (size_t b = 0; b < runs.size(); ++b) {
    Patch32(out, blocks + 12 * b + 8, static_cast<uint32_t>(out.size()));
    for (size_t i = runs[b].first; i < runs[b].first + runs[b].second; ++i) {
      Payload text;
      for (char16_t unit : messages[i].text) {
        if (messages[i].unicode) {
          Put16(text, unit);
        } else {
          Put8(text, static_cast<uint8_t>(unit));
        }
      }
      const size_t terminator = messages[i].unicode ? 2 : 1;
      text.resize(text.size() + terminator, 0);
      while ((text.size() + 4) % 4 != 0) text.push_back(0);
      Put16(out, static_cast<uint16_t>(text.size() + 4));
      Put16(out, messages[i].unicode ? 1 : 0);
      out.insert(out.end(), text.begin(), text.end());
    }
  }
  return out;
}

Payload VersionInfo(const uint16_t (&fileVersion)[4], const std::vector<VersionTable>& tables,
                    const std::vector<std::pair<uint16_t, uint16_t>>& translations) {
  // VS_FIXEDFILEINFO: signature, structure version, file and product versions (MS, LS),
  // flags mask, flags, OS (VOS_NT_WINDOWS32), type (VFT_DLL), subtype, date (MS, LS).
  Payload fixed;
  const uint32_t versionMs = (uint32_t{fileVersion[0]} << 16) | fileVersion[1];
  const uint32_t versionLs = (uint32_t{fileVersion[2]} << 16) | fileVersion[3];
  for (uint32_t value : {0xFEEF04BDu, 0x00010000u, versionMs, versionLs, versionMs, versionLs,
                         0x3Fu, 0u, 0x00040004u, 2u, 0u, 0u, 0u}) {
    Put32(fixed, value);
  }
  VersionNode root{u"VS_VERSION_INFO", fixed, static_cast<uint16_t>(fixed.size()), 0, {}};
  VersionNode stringInfo{u"StringFileInfo", {}, 0, 1, {}};
  for (const VersionTable& table : tables) {
    VersionNode node{table.key, {}, 0, 1, {}};
    for (const auto& [key, value] : table.values) {
      Payload text;
      PutText(text, value);
      node.children.push_back(
          VersionNode{key, std::move(text), static_cast<uint16_t>(value.size() + 1), 1, {}});
    }
    stringInfo.children.push_back(std::move(node));
  }
  root.children.push_back(std::move(stringInfo));
  if (!translations.empty()) {
    Payload pairs;
    for (auto [language, codePage] : translations) {
      Put16(pairs, language);
      Put16(pairs, codePage);
    }
    const auto length = static_cast<uint16_t>(pairs.size());
    VersionNode var{u"Translation", std::move(pairs), length, 0, {}};
    root.children.push_back(VersionNode{u"VarFileInfo", {}, 0, 1, {std::move(var)}});
  }
  return Encode(root);
}

Payload AviClip(int width, int height, int frames) {
  const uint32_t frameBytes = RowBytes(width, 8) * static_cast<uint32_t>(height);
  // MainAVIHeader: dwMicroSecPerFrame, dwMaxBytesPerSec, dwPaddingGranularity, dwFlags
  // (AVIF_HASINDEX), dwTotalFrames, dwInitialFrames, dwStreams, dwSuggestedBufferSize,
  // dwWidth, dwHeight, dwReserved[4].
  Payload avih;
  for (uint32_t value :
       {100000u, frameBytes * 10, 0u, 0x10u, static_cast<uint32_t>(frames), 0u, 1u, frameBytes,
        static_cast<uint32_t>(width), static_cast<uint32_t>(height), 0u, 0u, 0u, 0u}) {
    Put32(avih, value);
  }
  // AVIStreamHeader: fccType "vids", fccHandler "DIB ", dwFlags, wPriority, wLanguage,
  // dwInitialFrames, dwScale, dwRate (10 frames a second), dwStart, dwLength,
  // dwSuggestedBufferSize, dwQuality, dwSampleSize, rcFrame (four shorts).
  Payload strh;
  PutFourCc(strh, "vids");
  PutFourCc(strh, "DIB ");
  Put32(strh, 0);
  Put16(strh, 0);
  Put16(strh, 0);
  for (uint32_t value :
       {0u, 1u, 10u, 0u, static_cast<uint32_t>(frames), frameBytes, 0xFFFFFFFFu, 0u}) {
    Put32(strh, value);
  }
  Put16(strh, 0);
  Put16(strh, 0);
  Put16(strh, static_cast<uint16_t>(width));
  Put16(strh, static_cast<uint16_t>(height));
  // The stream format: BITMAPINFOHEADER and a two-colour palette.
  Payload strf;
  PutInfoHeader(strf, width, height, 8, frameBytes, 2);
  Put32(strf, 0x00000000);
  Put32(strf, 0x00FFFFFF);

  Payload streamChunks;
  PutChunk(streamChunks, "strh", strh);
  PutChunk(streamChunks, "strf", strf);
  Payload headerChunks;
  PutChunk(headerChunks, "avih", avih);
  const Payload streamList = List("LIST", "strl", streamChunks);
  headerChunks.insert(headerChunks.end(), streamList.begin(), streamList.end());

  // Frames: a bar that moves one column per frame. The index gives each chunk's offset
  // from the "movi" list type and its length.
  Payload movie;
  Payload index;
  for (int f = 0; f < frames; ++f) {
    Payload frame(frameBytes, 0);
    for (int y = 0; y < height; ++y) frame[y * RowBytes(width, 8) + f % width] = 1;
    const uint32_t offset = static_cast<uint32_t>(movie.size() + 4);
    PutChunk(movie, "00db", frame);
    PutFourCc(index, "00db");
    Put32(index, 0x10);  // AVIIF_KEYFRAME
    Put32(index, offset);
    Put32(index, frameBytes);
  }
  Payload body = List("LIST", "hdrl", headerChunks);
  const Payload movieList = List("LIST", "movi", movie);
  body.insert(body.end(), movieList.begin(), movieList.end());
  PutChunk(body, "idx1", index);
  // RIFF "AVI " around it all.
  Payload out;
  PutFourCc(out, "RIFF");
  Put32(out, static_cast<uint32_t>(body.size() + 4));
  PutFourCc(out, "AVI ");
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Payload WaveSound(int samples) {
  // WAVEFORMATEX without cbSize (PCM): wFormatTag 1, nChannels 1, nSamplesPerSec,
  // nAvgBytesPerSec, nBlockAlign 1, wBitsPerSample 8.
  Payload format;
  Put16(format, 1);
  Put16(format, 1);
  Put32(format, 8000);
  Put32(format, 8000);
  Put16(format, 1);
  Put16(format, 8);
  Payload data;
  for (int i = 0; i < samples; ++i) data.push_back((i / 8) % 2 == 0 ? 0xC0 : 0x40);
  Payload chunks;
  PutChunk(chunks, "fmt ", format);
  PutChunk(chunks, "data", data);
  Payload out;
  PutFourCc(out, "RIFF");
  Put32(out, static_cast<uint32_t>(chunks.size() + 4));
  PutFourCc(out, "WAVE");
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}

}  // namespace orvex::test
