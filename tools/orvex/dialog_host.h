// Dialogs as a host shows them: ShowDialog into the picture box of a host-kit form (800 ×
// 600, a picture box at 30,40 of 200 × 100 pixels), and the preview found as the host finds
// it. `orvex dialog`, `orvex dialogs` and the web viewer share it.
#pragma once

#include <string>

#include "catalogue_client.h"
#include "platform/ole/late_bound.h"
#include "platform/win32_types.h"

namespace orvex::cli {

// A host-kit form with its picture box. The host kit's classes must be registered.
struct HostForm {
  HostForm();

  ComPtr<IDispatch> form;
  Variant box;
  HWND formWindow = 0;
  HWND boxWindow = 0;
};

// ShowDialog(NAME, picture box); the preview as the host finds it (the picture box's child,
// else the pop-up the form owns, `*popup` telling which), or 0 when ShowDialog made none.
HWND ShowInHost(CatalogueClient& client, HostForm& host, const std::u16string& name, bool* popup);

}  // namespace orvex::cli
