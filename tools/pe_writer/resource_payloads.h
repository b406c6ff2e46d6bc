// Well-formed payloads for every resource kind, laid out as a resource compiler stores them,
// for fixtures such as the sample module. Payloads are small but complete: images carry
// their masks, groups name their images, templates end where their counts say.
//
//   PeWriter writer;
//   writer.Add(14, 1, 0x0409, IconGroup({{1, IconImage(16)}, {2, IconImage(32)}}));
//   writer.Add(3, 1, 0x0409, IconImage(16));
//   writer.Add(3, 2, 0x0409, IconImage(32));
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvex::test {

using Payload = std::vector<uint8_t>;

// RT_BITMAP: a 4-bit DIB (BITMAPINFOHEADER, 16-colour palette, bottom-up rows) with a
// diagonal pattern.
Payload Bitmap(int width, int height);

// RT_ICON: a square 4-bit image of `size` pixels, stored at double height (colour bits,
// then the 1-bit AND mask).
Payload IconImage(int size);
// RT_CURSOR: the hot spot (two WORDs), then a square monochrome image at double height.
Payload CursorImage(int size, uint16_t hotX, uint16_t hotY);

// One image of a group: its resource number and the image payload (IconImage/CursorImage).
struct GroupImage {
  uint16_t id;
  Payload image;
};
// RT_GROUP_ICON / RT_GROUP_CURSOR: NEWHEADER and one 14-byte directory entry per image,
// with sizes and bit counts read from the images themselves.
Payload IconGroup(const std::vector<GroupImage>& images);
Payload CursorGroup(const std::vector<GroupImage>& images);

// A menu item for both template kinds. `type`/`state` are MFT_/MFS_ flags (extended
// templates store them; classic templates store MF_ flags made from them).
struct MenuItem {
  std::u16string text;
  uint32_t id = 0;
  std::vector<MenuItem> children;  // a popup when not empty
  bool separator = false;
  uint32_t state = 0;
};
inline MenuItem Command(std::u16string text, uint32_t id, uint32_t state = 0) {
  return MenuItem{std::move(text), id, {}, false, state};
}
inline MenuItem Separator() {
  return MenuItem{u"", 0, {}, true, 0};
}
// A popup; extended templates store `id` for it.
inline MenuItem Popup(std::u16string text, std::vector<MenuItem> children, uint32_t id = 0) {
  return MenuItem{std::move(text), id, std::move(children), false, 0};
}
// RT_MENU, classic: MENUHEADER {0, 0} and NORMALMENUITEM / POPUPMENUITEM entries.
Payload ClassicMenu(const std::vector<MenuItem>& items);
// RT_MENU, extended: MENUEX_TEMPLATE_HEADER {1, 4, 0} and MENUEX_TEMPLATE_ITEM entries.
Payload ExtendedMenu(const std::vector<MenuItem>& items);

// A control of a dialog template, with a predefined class (0x80 button, 0x81 edit,
// 0x82 static), or the class named by `className` when that is not empty.
struct DialogControl {
  uint16_t classAtom;
  std::u16string text;
  uint16_t id;
  uint32_t style;
  int16_t x, y, cx, cy;
  std::u16string className = {};
};
// RT_DIALOG: DLGTEMPLATE with DS_SETFONT ("MS Shell Dlg", 8 points) and its controls; the
// dialog's own window class when `dialogClass` is not empty.
Payload Dialog(const std::u16string& caption, int16_t cx, int16_t cy,
               const std::vector<DialogControl>& controls, std::u16string_view dialogClass = {});

// RT_STRING: one block of 16 counted UTF-16 strings (missing ones are empty).
Payload StringBlock(const std::vector<std::u16string>& strings);

// RT_ACCELERATOR: ACCELTABLEENTRY {fFlags, wAnsi, wId, padding}; the last entry is marked.
struct Accelerator {
  uint16_t flags;  // FVIRTKEY 1, FNOINVERT 2, FSHIFT 4, FCONTROL 8, FALT 0x10
  uint16_t key;
  uint16_t id;
};
Payload Accelerators(const std::vector<Accelerator>& entries);

// RT_MESSAGETABLE: MESSAGE_RESOURCE_DATA with one block per run of consecutive ids.
struct Message {
  uint32_t id;
  std::u16string text;
  bool unicode = true;  // otherwise stored as ANSI bytes (text must be ASCII)
};
Payload MessageTable(const std::vector<Message>& messages);

// RT_VERSION: VS_VERSIONINFO with a VS_FIXEDFILEINFO for a DLL, one StringTable per entry
// of `tables` (key such as u"040904B0") and the VarFileInfo translation pairs.
struct VersionTable {
  std::u16string key;
  std::vector<std::pair<std::u16string, std::u16string>> values;
};
Payload VersionInfo(const uint16_t (&fileVersion)[4], const std::vector<VersionTable>& tables,
                    const std::vector<std::pair<uint16_t, uint16_t>>& translations);

// A RIFF AVI clip of uncompressed 8-bit frames (2-colour palette) of width x height, with
// its index: what the animation control plays.
Payload AviClip(int width, int height, int frames);
// A RIFF WAVE sound: 8-bit mono PCM at 8000 Hz, a square wave of `samples` samples.
Payload WaveSound(int samples);

}  // namespace orvex::test
