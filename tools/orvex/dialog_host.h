// Dialogs as a host shows them: ShowDialog into the picture box of a host-kit form (800 ×
// 600, a picture box at 30,40 of 200 × 100 pixels), and the preview found as the host finds
// it. `orvex dialog`, `orvex dialogs` and the web viewer share it. Classes a template names
// that its program registers when it runs are shown as placeholders unless asked not to.
#pragma once

#include <string>
#include <vector>

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

// How a dialog is shown, and what stood in for the classes nobody registered.
struct ShowOptions {
  bool placeholders = true;  // register placeholders for unregistered classes first
};
struct ShowOutcome {
  std::vector<std::string> placeholders;  // the classes this preview drew as placeholders
  std::vector<std::string> unregistered;  // without placeholders: the classes missing
};

// ShowDialog(NAME, picture box); the preview as the host finds it (the picture box's child,
// else the pop-up the form owns, `*popup` telling which), or 0 when ShowDialog made none.
HWND ShowInHost(CatalogueClient& client, HostForm& host, const std::u16string& name, bool* popup,
                const ShowOptions& options = {}, ShowOutcome* outcome = nullptr);

// Why a dialog could not be shown, for a message: the classes it names that nobody
// registered ("names the unregistered window class X"), or empty when that is not why.
std::string UnregisteredClassesText(const std::vector<std::string>& classes);

}  // namespace orvex::cli
