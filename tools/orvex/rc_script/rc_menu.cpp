// MENU and MENUEX from the stored form of the library's menu parser. The classic layout
// writes its flags as option words; the extended one writes type, state and help
// identifiers as numbers.
#include <vector>

#include "platform/user/menu_template.h"
#include "rc_script/rc_statements.h"
#include "rc_script/rc_text.h"

namespace orvex::rc {

namespace {

struct Option {
  uint16_t bit;
  const char* word;
};
constexpr Option kOptions[] = {{0x0008, "CHECKED"},   {0x0001, "GRAYED"},
                               {0x0002, "INACTIVE"},  {0x0020, "MENUBARBREAK"},
                               {0x0040, "MENUBREAK"}, {0x4000, "HELP"}};
constexpr uint16_t kPopup = 0x10, kEnd = 0x80;

std::string Indent(int depth) {
  return std::string(static_cast<size_t>(depth + 1) * 2, ' ');
}

// Whether item i is the last of its level.
bool IsLast(const std::vector<MenuStoredItem>& items, size_t i) {
  for (size_t k = i + 1; k < items.size(); ++k) {
    if (items[k].depth < items[i].depth) return true;
    if (items[k].depth == items[i].depth) return false;
  }
  return true;
}

// Closes the levels deeper than `depth` that are still open.
void Close(std::string& out, int& open, int depth) {
  for (; open > depth; --open) out += Indent(open - 1) + "END\n";
}

std::string Classic(const std::vector<MenuStoredItem>& items, Encoder& encoded) {
  std::string out;
  int open = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const MenuStoredItem& item = items[i];
    Close(out, open, item.depth);
    const bool popup = (item.flags & kPopup) != 0;
    uint16_t written = 0;
    std::string options;
    for (const Option& option : kOptions) {
      if (item.flags & option.bit) {
        written |= option.bit;
        options += std::string(", ") + option.word;
      }
    }
    const uint16_t last = IsLast(items, i) ? kEnd : 0;
    if (popup) {
      out += Indent(item.depth) + "POPUP " + Quote(item.text) + options + "\n" +
             Indent(item.depth) + "BEGIN\n";
      ++open;
      encoded.Word(written | kPopup | last);
      encoded.Text(item.text);
    } else if (written == 0 && item.id == 0 && item.text.empty()) {
      out += Indent(item.depth) + "MENUITEM SEPARATOR\n";
      encoded.Word(last);
      encoded.Word(0);
      encoded.Text(u"");
    } else {
      out += Indent(item.depth) + "MENUITEM " + Quote(item.text) + ", " + std::to_string(item.id) +
             options + "\n";
      encoded.Word(written | last);
      encoded.Word(static_cast<uint16_t>(item.id));
      encoded.Text(item.text);
    }
  }
  Close(out, open, 0);
  return out;
}

std::string Extended(const std::vector<MenuStoredItem>& items, Encoder& encoded) {
  std::string out;
  int open = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const MenuStoredItem& item = items[i];
    Close(out, open, item.depth);
    const bool popup = (item.resInfo & 0x01) != 0;
    const uint16_t last = IsLast(items, i) ? kEnd : 0;
    // The compiler pads an item's text to four bytes only when something follows.
    encoded.Align(4);
    encoded.Dword(item.flags);
    encoded.Dword(item.state);
    encoded.Dword(item.id);
    encoded.Word(static_cast<uint16_t>((popup ? 0x01 : 0) | last));
    encoded.Text(item.text);
    const std::string numbers =
        ", " + std::to_string(item.id) + ", " + Hex(item.flags) + ", " + Hex(item.state);
    if (popup) {
      encoded.Align(4);
      encoded.Dword(item.helpId);
      out += Indent(item.depth) + "POPUP " + Quote(item.text) + numbers + ", " +
             std::to_string(item.helpId) + "\n" + Indent(item.depth) + "BEGIN\n";
      ++open;
    } else {
      out += Indent(item.depth) + "MENUITEM " + Quote(item.text) + numbers + "\n";
    }
  }
  Close(out, open, 0);
  return out;
}

}  // namespace

Expected<std::string> MenuStatement(const std::string& name, Bytes data) {
  MenuStoredForm stored;
  auto parsed = ParseMenuTemplate(data, &stored);
  if (!parsed) return parsed.GetError();
  Encoder encoded;
  std::string body;
  if (stored.version == 0) {
    encoded.Word(0);
    encoded.Word(0);
    body = Classic(stored.items, encoded);
  } else {
    encoded.Word(1);
    encoded.Word(4);
    encoded.Dword(0);
    body = Extended(stored.items, encoded);
  }
  if (!SameBytes(encoded, data.data(), data.size()))
    return Error{"a header, flag or padding the statement cannot carry"};
  return name + (stored.version == 0 ? " MENU\n" : " MENUEX\n") + "BEGIN\n" + body + "END\n";
}

}  // namespace orvex::rc
