#include "dialog_host.h"

#include "host/placeholder_classes.h"
#include "platform/text/text.h"
#include "platform/user/window.h"

namespace orvex::cli {
namespace {

HWND FindPreview(const HostForm& host, bool* popup) {
  *popup = false;
  if (const HWND child = GetWindow(host.boxWindow, GW_CHILD)) return child;
  struct Search {
    HWND owner;
    HWND found;
  } search{host.formWindow, 0};
  EnumWindows(
      [](HWND w, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (GetWindow(w, GW_OWNER) != s->owner) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  *popup = search.found != 0;
  return search.found;
}

}  // namespace

HostForm::HostForm() {
  form = CreateObject(u"Orvex10Host.Form");
  box = Call(form.Get(), "AddPictureBox");
  // 30, 40, 200 × 100 pixels, in the form's twips.
  Call(box.pdispVal, "Move",
       {Variant(30 * 15.0), Variant(40 * 15.0), Variant(200 * 15.0), Variant(100 * 15.0)});
  formWindow = static_cast<HWND>(GetProperty(form.Get(), "hwnd").ToLong());
  boxWindow = static_cast<HWND>(GetProperty(box.pdispVal, "hwnd").ToLong());
}

HWND ShowInHost(CatalogueClient& client, HostForm& host, const std::u16string& name, bool* popup,
                const ShowOptions& options, ShowOutcome* outcome) {
  // Placeholders stay registered for the later previews of the process, so each preview
  // asks which of its own classes are placeholders.
  const HMODULE module = client.HandleModule();
  const std::string ansiName = UnicodeToAnsi(name);
  const UnregisteredClasses missing = UnregisteredDialogClasses(module, ansiName);
  if (options.placeholders) RegisterPlaceholderClasses(missing);
  if (outcome) {
    *outcome = ShowOutcome{};
    if (options.placeholders)
      outcome->placeholders = PlaceholderClassesOf(module, ansiName);
    else
      outcome->unregistered = missing.Names();
  }
  const Variant made = client.Call("ShowDialog", {Variant(name), Variant::RefTo(host.box)});
  if (!(made.vt == VT_BOOL && made.boolVal)) return 0;
  return FindPreview(host, popup);
}

std::string UnregisteredClassesText(const std::vector<std::string>& classes) {
  if (classes.empty()) return {};
  std::string text = classes.size() == 1 ? "names the unregistered window class "
                                         : "names the unregistered window classes ";
  for (size_t i = 0; i < classes.size(); ++i) {
    if (i != 0) text += ", ";
    text += classes[i];
  }
  return text;
}

}  // namespace orvex::cli
