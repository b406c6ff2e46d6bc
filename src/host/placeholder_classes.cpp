// Placeholder window classes for dialog previews: the classes a template names that nobody
// registered, found through the template and registered as labelled sunken boxes.
#include "host/placeholder_classes.h"

#include "platform/gdi/gdi.h"
#include "platform/module/module.h"
#include "platform/module/resource_types.h"
#include "platform/text/text.h"
#include "platform/user/dialog.h"
#include "platform/user/dialog_template.h"
#include "platform/user/window.h"

namespace orvex {
namespace {

bool IsRegistered(const std::string& name) {
  WNDCLASSA found{};
  return GetClassInfoA(0, name.c_str(), &found) != FALSE;
}

void AddOnce(std::vector<std::string>& names, std::string name) {
  for (const std::string& known : names) {
    if (EqualsIgnoringCase(AnsiToUnicode(known), AnsiToUnicode(name))) return;
  }
  names.push_back(std::move(name));
}

// A control: a sunken grey box with its class name in the top-left corner.
LRESULT ORVEX_WNDPROC_CALL ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  } else if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    char name[256] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    const auto font = static_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font ? SelectObject(dc, font) : 0;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    TextOutA(dc, 2, 1, name, length);
    if (previous) SelectObject(dc, previous);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The dialog's own class: a plain window with a dialog's extra bytes and face colour.
LRESULT ORVEX_WNDPROC_CALL DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

using TemplateClasses = UnregisteredClasses;

// Every class the template names (predefined ordinals aside), registered or not.
TemplateClasses ClassesOf(HMODULE module, const std::string& name) {
  TemplateClasses out;
  const auto bytes = FindResourceBytes(module, name.c_str(), MAKEINTRESOURCEA(RT_DIALOG));
  if (!bytes) return out;
  const auto parsed = ParseDialogTemplate(*bytes);
  if (!parsed) return out;
  if (!parsed->windowClass.isOrdinal && !parsed->windowClass.text.empty())
    out.dialogClass = UnicodeToAnsi(parsed->windowClass.text);
  for (const DialogItem& item : parsed->items) {
    if (!item.windowClass.isOrdinal && !item.windowClass.text.empty())
      AddOnce(out.controlClasses, UnicodeToAnsi(item.windowClass.text));
  }
  return out;
}

}  // namespace

std::vector<std::string> UnregisteredClasses::Names() const {
  std::vector<std::string> names;
  if (!dialogClass.empty()) names.push_back(dialogClass);
  names.insert(names.end(), controlClasses.begin(), controlClasses.end());
  return names;
}

UnregisteredClasses UnregisteredDialogClasses(HMODULE module, const std::string& name) {
  UnregisteredClasses out;
  const TemplateClasses named = ClassesOf(module, name);
  if (!named.dialogClass.empty() && !IsRegistered(named.dialogClass))
    out.dialogClass = named.dialogClass;
  for (const std::string& control : named.controlClasses) {
    if (!IsRegistered(control)) out.controlClasses.push_back(control);
  }
  return out;
}

std::vector<std::string> PlaceholderClassesOf(HMODULE module, const std::string& name) {
  std::vector<std::string> out;
  for (const std::string& windowClass : ClassesOf(module, name).Names()) {
    WNDCLASSA found{};
    if (GetClassInfoA(0, windowClass.c_str(), &found) &&
        (found.lpfnWndProc == ControlProc || found.lpfnWndProc == DialogProc))
      out.push_back(windowClass);
  }
  return out;
}

std::vector<std::string> RegisterPlaceholderClasses(const UnregisteredClasses& classes) {
  std::vector<std::string> registered;
  WNDCLASSA placeholder{};
  if (!classes.dialogClass.empty()) {
    placeholder.lpfnWndProc = DialogProc;
    placeholder.cbWndExtra = DLGWINDOWEXTRA;
    placeholder.hbrBackground = COLOR_3DFACE + 1;
    placeholder.lpszClassName = classes.dialogClass.c_str();
    if (RegisterClassA(&placeholder)) registered.push_back(classes.dialogClass);
  }
  for (const std::string& name : classes.controlClasses) {
    placeholder = WNDCLASSA{};
    placeholder.lpfnWndProc = ControlProc;
    placeholder.hbrBackground = COLOR_3DFACE + 1;
    placeholder.lpszClassName = name.c_str();
    if (RegisterClassA(&placeholder)) registered.push_back(name);
  }
  return registered;
}

}  // namespace orvex
