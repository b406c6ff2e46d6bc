#include "dialog_host.h"

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

HWND ShowInHost(CatalogueClient& client, HostForm& host, const std::u16string& name, bool* popup) {
  const Variant made = client.Call("ShowDialog", {Variant(name), Variant::RefTo(host.box)});
  if (!(made.vt == VT_BOOL && made.boolVal)) return 0;
  return FindPreview(host, popup);
}

}  // namespace orvex::cli
