// Writes the sample module: a resource-only DLL with one or more resources of every kind
// the library reads, so that `orvex list` shows something on a fresh machine.
// Usage: orvex_sample_writer OUT.dll
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "pe_writer/pe_writer.h"
#include "pe_writer/resource_payloads.h"

namespace orvex::test {
namespace {

constexpr uint16_t kEnglish = 0x0409;

std::vector<uint8_t> Text(std::string_view text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

PeWriter SampleModule() {
  PeWriter writer;
  auto add = [&writer](ResId type, ResId name, std::vector<uint8_t> data) {
    writer.Add(std::move(type), std::move(name), kEnglish, std::move(data));
  };

  // Cursors and their group (RT_CURSOR 1, RT_GROUP_CURSOR 12).
  const Payload arrow = CursorImage(32, 0, 0);
  const Payload cross = CursorImage(32, 15, 15);
  add(1, 1, arrow);
  add(1, 2, cross);
  add(12, 1, CursorGroup({{1, arrow}}));
  add(12, u"CROSS", CursorGroup({{2, cross}}));

  add(2, 1, Bitmap(32, 16));  // RT_BITMAP

  // Icons and their group (RT_ICON 3, RT_GROUP_ICON 14).
  const Payload small = IconImage(16);
  const Payload large = IconImage(32);
  add(3, 1, small);
  add(3, 2, large);
  add(14, u"APPICON", IconGroup({{1, small}, {2, large}}));

  // Menus (RT_MENU 4): a classic template and an extended one.
  add(4, u"MAINMENU",
      ClassicMenu({Popup(u"&File",
                         {Command(u"&Open...\tCtrl+O", 100), Separator(), Command(u"E&xit", 101)}),
                   Popup(u"&View", {Command(u"&Status bar", 110, 0x8),  // MFS_CHECKED
                                    Command(u"&Grid", 111, 0x3)}),      // MFS_GRAYED
                   Popup(u"&Help", {Command(u"&About", 120)})}));
  add(4, u"CONTEXT",
      ExtendedMenu({Popup(u"Context",
                          {Command(u"&Copy", 201), Separator(), Command(u"&Delete", 202)}, 200)}));

  // RT_DIALOG 5.
  add(5, 100,
      Dialog(u"About the sample", 180, 70,
             {{0x82, u"Orvex sample module", 0xFFFF, 0x50000000, 10, 10, 160, 10},
              {0x81, u"", 1001, 0x50810080, 10, 26, 160, 12},
              {0x80, u"OK", 1, 0x50010001, 65, 48, 50, 14}}));

  // String tables (RT_STRING 6): block 1 holds ids 0-15, block 2 ids 16-31.
  add(6, 1,
      StringBlock({u"", u"Orvex sample module", u"Every resource kind in one file",
                   u"Tab\tand quote \" inside"}));
  add(6, 2, StringBlock({u"", u"Second block, id 17"}));

  // RT_ACCELERATOR 9: Ctrl+O, Alt+X (virtual keys) and the character "?".
  add(9, 1, Accelerators({{0x01 | 0x08, 'O', 100}, {0x01 | 0x10, 'X', 101}, {0, '?', 120}}));

  // Raw data (RT_RCDATA 10): a named CONFIG, a counting block and a single byte.
  add(10, u"CONFIG", Text("mode=sample\r\nlevel=3\r\n"));
  std::vector<uint8_t> counting(64);
  for (size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<uint8_t>(i * 4);
  add(10, 1, counting);
  add(10, 2, Text("A"));

  // RT_MESSAGETABLE 11: two blocks, one ANSI entry.
  add(11, 1,
      MessageTable({{1, u"The operation completed.\r\n"},
                    {2, u"The file %1 was not found.\r\n"},
                    {3, u"ANSI text.\r\n", false},
                    {0x100, u"A message of the second block.\r\n"}}));

  // RT_VERSION 16 with two translations.
  add(16, 1,
      VersionInfo({1, 0, 0, 0},
                  {{u"040904B0",
                    {{u"CompanyName", u"Orvex10 project"},
                     {u"FileDescription", u"Orvex sample module"},
                     {u"FileVersion", u"1.0.0.0"},
                     {u"InternalName", u"sample"},
                     {u"OriginalFilename", u"sample.dll"},
                     {u"ProductName", u"Orvex10"},
                     {u"ProductVersion", u"1.0"}}},
                   {u"040704E4",
                    {{u"FileDescription", u"Orvex-Beispielmodul"}, {u"ProductName", u"Orvex10"}}}},
                  {{0x0409, 1200}, {0x0407, 1252}}));

  // RT_HTML 23 and the manifest (RT_MANIFEST 24, ISOLATIONAWARE_MANIFEST_RESOURCE_ID 2).
  add(23, u"ABOUT",
      Text("<html>\r\n<head><title>Orvex sample</title></head>\r\n"
           "<body><p>A module with every resource kind.</p></body>\r\n</html>\r\n"));
  add(24, 2,
      Text("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
           "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
           "  <assemblyIdentity type=\"win32\" name=\"Orvex.Sample\" version=\"1.0.0.0\"/>\r\n"
           "</assembly>\r\n"));

  // Named types: an AVI clip and a WAV sound.
  add(u"AVI", u"CLIP", AviClip(8, 4, 4));
  add(u"WAV", 1, WaveSound(400));
  return writer;
}

}  // namespace
}  // namespace orvex::test

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.dll\n", argv[0]);
    return 2;
  }
  const std::filesystem::path out = argv[1];
  std::error_code error;
  if (out.has_parent_path()) std::filesystem::create_directories(out.parent_path(), error);
  const std::vector<uint8_t> image = orvex::test::SampleModule().Build();
  // Written next to the target and renamed, so a reader never sees half a module.
  const std::string partial = out.string() + ".partial";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  bool written =
      file != nullptr && std::fwrite(image.data(), 1, image.size(), file) == image.size();
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (!written || std::rename(partial.c_str(), out.c_str()) != 0) {
    std::fprintf(stderr, "%s: cannot write %s: %s\n", argv[0], out.c_str(), std::strerror(errno));
    std::remove(partial.c_str());
    return 1;
  }
  return 0;
}
