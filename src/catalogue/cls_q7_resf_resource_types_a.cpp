#include "catalogue/cls_q7_resf_resource_types_a.h"

#include "catalogue/bas_q7_resf_files_a.h"
#include "platform/fs/fs.h"
#include "platform/module/module.h"
#include "platform/ole/class_registry.h"
#include "platform/text/text.h"
#include "platform/user/message_box.h"
#include "server/frame/class_ids.h"
#include "server/frame/resource_tmp_folder.h"
#include "server/frame/thread_module_state.h"

namespace orvex {

clsQ7ResfResourceTypesA* ThreadCatalogue() {
  ThreadModuleState* state = ThreadModuleStateIfAlive();
  if (state == nullptr || !state->ThreadCatalogue) return nullptr;
  return static_cast<clsQ7ResfResourceTypesA*>(state->ThreadCatalogue.Get());
}

ComPtr<clsQ7ResfResourceTypesA> ThreadCatalogueOrNew() {
  if (clsQ7ResfResourceTypesA* current = ThreadCatalogue())
    return ComPtr<clsQ7ResfResourceTypesA>(current);
  ComPtr<IDispatch> created;
  HRESULT hr = CoCreateInstance(CLSID_clsQ7ResfResourceTypesA, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IDispatch, created.PutVoid());
  ThrowIfFailed(hr);
  // The new catalogue's start-up has stored it in the slot; the slot keeps it alive.
  return ComPtr<clsQ7ResfResourceTypesA>(ObjectCast<clsQ7ResfResourceTypesA>(created.Get()));
}

void StoreThreadCatalogue(clsQ7ResfResourceTypesA* catalogue) {
  ThreadModuleState& state = GetThreadModuleState();
  ComPtr<Dispatchable> keep(catalogue);  // the new occupant survives the old one's tear-down
  state.ThreadCatalogue.Reset();
  state.ThreadCatalogue = std::move(keep);
}

void EmptyThreadCatalogue() {
  if (ThreadModuleState* state = ThreadModuleStateIfAlive()) state->ThreadCatalogue.Reset();
}

clsQ7ResfResourceTypesA::clsQ7ResfResourceTypesA(const ClassInfo& info) : Dispatchable(info) {
  CreateResourceTmpFolder();
  StoreThreadCatalogue(this);
}

clsQ7ResfResourceTypesA::~clsQ7ResfResourceTypesA() {
  EmptyThreadCatalogue();
}

void clsQ7ResfResourceTypesA::UnloadModule() {
  ThreadModuleState& state = GetThreadModuleState();
  if (state.ThreadModuleHandle != 0) (void)FreeLibrary(state.ThreadModuleHandle);
  state.ThreadModuleHandle = 0;
}

std::u16string clsQ7ResfResourceTypesA::Filename() {
  return Filename_;
}

void clsQ7ResfResourceTypesA::LetFilename(std::u16string_view name) {
  UnloadModule();
  Filename_ = name;
  LetFilePartFileName(ProperCase(GetFileBaseName(name)));
  if (name.empty()) return;

  std::string ansi = UnicodeToAnsi(name);
  // Paths with drive C go through the drive mapping; POSIX paths are used as given.
  auto mapped = MapPath(ansi);
  HMODULE module = LoadLibraryExA(mapped ? mapped->c_str() : ansi.c_str(), 0, 0);
  Filename_ = AnsiToUnicode(ansi);
  ThreadModuleState& state = GetThreadModuleState();
  state.ThreadModuleHandle = module;
  HandleModule_ = static_cast<int32_t>(module);
  if (module == 0) MessageBoxA(0, "Invalid Library", "Error...", MB_OK | MB_ICONHAND);
}

std::u16string clsQ7ResfResourceTypesA::FilePartFileName() {
  return FilePartFileName_;
}

void clsQ7ResfResourceTypesA::LetFilePartFileName(std::u16string_view value) {
  FilePartFileName_ = value;
}

int32_t clsQ7ResfResourceTypesA::HandleModule() {
  return HandleModule_;
}

void clsQ7ResfResourceTypesA::LetHandleModule(int32_t value) {
  HandleModule_ = value;
}

}  // namespace orvex
