// clsQ7ResfResourceTypesA, the catalogue: the client's handle on one module file. The
// class is declared here once; its members are implemented by subsystem (module members
// in catalogue/, readers in readers/, pictures/display/files in presentation/, playback
// in media/). To implement a member: declare it below with the C++ signature that
// platform/ole/dispatch.h describes, define it in the subsystem's folder, and bind its row
// in server/class_catalogue.cpp.
#pragma once

#include <string>
#include <string_view>

#include "platform/ole/dispatch.h"
#include "platform/win32_types.h"

namespace orvex {

class clsQ7ResfResourceTypesA : public Dispatchable {
 public:
  // Start-up: CreateResourceTmpFolder, then the object takes ThreadCatalogue.
  explicit clsQ7ResfResourceTypesA(const ClassInfo& info);
  // Tear-down: empties ThreadCatalogue, whatever it holds. The module stays loaded.
  ~clsQ7ResfResourceTypesA() override;

  // --- Module (catalogue/cls_q7_resf_resource_types_a.cpp) ---
  std::u16string Filename();
  // Releases the thread's module, stores the name, sets FilePartFileName to the proper-case
  // base name (error 9 for a name ending in its separator) and loads the file; a file that
  // can't be loaded shows "Invalid Library" and leaves both handles 0.
  void LetFilename(std::u16string_view name);
  std::u16string FilePartFileName();
  void LetFilePartFileName(std::u16string_view value);
  int32_t HandleModule();
  // Stores the value in this object only; ThreadModuleHandle is not touched.
  void LetHandleModule(int32_t value);

 private:
  // Frees the thread's module (result ignored) and sets ThreadModuleHandle to 0.
  void UnloadModule();

  ComPtr<IDispatch> PlayAVIObject_;  // a clsQ7ResfPlayAviA once read
  int32_t HandleModule_ = 0;
  std::u16string Filename_;
  std::u16string FilePartFileName_;
};

// The catalogue in the calling thread's ThreadCatalogue, or null.
clsQ7ResfResourceTypesA* ThreadCatalogue();
// The catalogue in ThreadCatalogue; when the slot is empty, first creates a new catalogue
// (whose start-up stores it there). Throws RuntimeError 429 when the class can't be
// created (its factory is not registered in this process).
ComPtr<clsQ7ResfResourceTypesA> ThreadCatalogueOrNew();
// Stores `catalogue` (or nothing) in ThreadCatalogue. The previous occupant is released
// first, so its tear-down (which empties the slot) cannot remove the new one.
void StoreThreadCatalogue(clsQ7ResfResourceTypesA* catalogue);
// Empties ThreadCatalogue (no-op during the thread's tear-down).
void EmptyThreadCatalogue();

}  // namespace orvex
