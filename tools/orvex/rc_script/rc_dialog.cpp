// DIALOG and DIALOGEX from the library's dialog template parser. Every control is written
// as a CONTROL statement with its class, styles and rectangle as numbers, so nothing
// depends on the defaults of the shorthand statements; the compiler's own default styles
// (child and visible) are taken back with NOT where a control lacks them.
#include "platform/user/dialog_template.h"
#include "rc_script/rc_statements.h"
#include "rc_script/rc_text.h"

namespace orvex::rc {

namespace {

constexpr DWORD kChild = 0x40000000, kVisible = 0x10000000;

// A class or menu name: the compiler stores such names in upper case.
Expected<std::string> UpperName(const DialogName& name, const char* what) {
  if (name.isOrdinal) return std::to_string(name.ordinal);
  for (char16_t c : name.text) {
    if (c >= u'a' && c <= u'z') return Error{std::string(what) + " name has lower case"};
  }
  return Quote(name.text);
}

std::string ControlStyle(DWORD style) {
  std::string out = Hex(style);
  if ((style & kChild) == 0) out += " | NOT " + Hex(kChild);
  if ((style & kVisible) == 0) out += " | NOT " + Hex(kVisible);
  return out;
}

std::string Rect(short x, short y, short cx, short cy) {
  return std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(cx) + ", " +
         std::to_string(cy);
}

void EncodeName(Encoder& encoded, const DialogName& name) {
  encoded.NameOrOrdinal(name.isOrdinal, name.ordinal, name.text);
}

}  // namespace

Expected<std::string> DialogStatement(const std::string& name, Bytes data) {
  auto parsed = ParseDialogTemplate(data);
  if (!parsed) return parsed.GetError();
  const DialogTemplate& dialog = *parsed;
  if (dialog.title.isOrdinal) return Error{"the caption is an ordinal"};
  if (dialog.items.size() > 0xFFFF) return Error{"too many controls"};

  Encoder encoded;
  std::string out = name + (dialog.extended ? " DIALOGEX " : " DIALOG ") +
                    Rect(dialog.x, dialog.y, dialog.cx, dialog.cy);
  if (dialog.extended) {
    if (dialog.helpId != 0) out += ", " + std::to_string(dialog.helpId);
    encoded.Word(1);
    encoded.Word(0xFFFF);
    encoded.Dword(dialog.helpId);
    encoded.Dword(dialog.exStyle);
    encoded.Dword(dialog.style);
  } else {
    if (dialog.helpId != 0) return Error{"a help identifier in the classic layout"};
    encoded.Dword(dialog.style);
    encoded.Dword(dialog.exStyle);
  }
  out += "\n";
  encoded.Word(static_cast<uint16_t>(dialog.items.size()));
  for (short value : {dialog.x, dialog.y, dialog.cx, dialog.cy})
    encoded.Word(static_cast<uint16_t>(value));
  EncodeName(encoded, dialog.menu);
  EncodeName(encoded, dialog.windowClass);
  EncodeName(encoded, dialog.title);

  if (!dialog.title.text.empty()) out += "CAPTION " + Quote(dialog.title.text) + "\n";
  if (dialog.windowClass.isOrdinal || !dialog.windowClass.text.empty()) {
    auto token = UpperName(dialog.windowClass, "the window class");
    if (!token) return token.GetError();
    out += "CLASS " + *token + "\n";
  }
  if (dialog.menu.isOrdinal || !dialog.menu.text.empty()) {
    if (dialog.menu.isOrdinal) {
      out += "MENU " + std::to_string(dialog.menu.ordinal) + "\n";
    } else {
      auto token = NameToken(Id{true, 0, dialog.menu.text});
      if (!token) return Error{"the menu name cannot be written"};
      out += "MENU " + *token + "\n";
    }
  }
  if (dialog.hasFont) {
    out += "FONT " + std::to_string(dialog.font.pointSize) + ", " + Quote(dialog.font.face);
    encoded.Word(dialog.font.pointSize);
    if (dialog.extended) {
      out += ", " + std::to_string(dialog.font.weight) + ", " + std::to_string(dialog.font.italic) +
             ", " + std::to_string(dialog.font.charset);
      encoded.Word(dialog.font.weight);
      encoded.Word(static_cast<uint16_t>(dialog.font.italic | dialog.font.charset << 8));
    }
    encoded.Text(dialog.font.face);
    out += "\n";
  }
  // After CAPTION and FONT, which add their style bits, so the style is exactly this.
  out += "STYLE " + Hex(dialog.style) + "\n";
  if (dialog.exStyle != 0) out += "EXSTYLE " + Hex(dialog.exStyle) + "\n";
  out += "BEGIN\n";

  for (const DialogItem& item : dialog.items) {
    if (item.creationDataSize != 0) return Error{"a control with creation data"};
    if (!dialog.extended && item.helpId != 0) return Error{"a control help identifier"};
    auto cls = UpperName(item.windowClass, "a control's class");
    if (!cls) return cls.GetError();
    const std::string title =
        item.title.isOrdinal ? std::to_string(item.title.ordinal) : Quote(item.title.text);
    out += "  CONTROL " + title + ", " + std::to_string(item.id) + ", " + *cls + ", " +
           ControlStyle(item.style) + ", " + Rect(item.x, item.y, item.cx, item.cy) + ", " +
           Hex(item.exStyle);
    if (dialog.extended && item.helpId != 0) out += ", " + std::to_string(item.helpId);
    out += "\n";

    encoded.Align(4);
    if (dialog.extended) {
      encoded.Dword(item.helpId);
      encoded.Dword(item.exStyle);
      encoded.Dword(item.style);
    } else {
      encoded.Dword(item.style);
      encoded.Dword(item.exStyle);
    }
    for (short value : {item.x, item.y, item.cx, item.cy})
      encoded.Word(static_cast<uint16_t>(value));
    if (dialog.extended) {
      encoded.Dword(item.id);
    } else {
      encoded.Word(static_cast<uint16_t>(item.id));
    }
    EncodeName(encoded, item.windowClass);
    EncodeName(encoded, item.title);
    encoded.Word(0);
  }
  if (!SameBytes(encoded, data.data(), data.size()))
    return Error{"a field, padding or trailing bytes the statement cannot carry"};
  return out + "END\n";
}

}  // namespace orvex::rc
