#include "server/frame/thread_module_state.h"

#include "platform/module/module.h"

namespace orvex {

namespace {

// Trivially destructible, so it stays readable during and after the holder's tear-down.
thread_local bool tTornDown = false;

class StateHolder {
 public:
  ~StateHolder() {
    tTornDown = true;
    // Each release may run tear-down code that reads the record: clear each slot before
    // its occupant goes.
    ComPtr<IDispatch> buddy = std::move(state_.BuddyObjectGlobal);
    buddy.Reset();
    ComPtr<Dispatchable> catalogue = std::move(state_.ThreadCatalogue);
    catalogue.Reset();
    ComPtr<IDispatch> app = std::move(state_.ApplicationObject);
    app.Reset();
    if (state_.ThreadModuleHandle != 0) FreeLibrary(state_.ThreadModuleHandle);
    state_.ThreadModuleHandle = 0;
  }
  ThreadModuleState state_;
};

thread_local StateHolder tHolder;

}  // namespace

ThreadModuleState& GetThreadModuleState() {
  return tHolder.state_;
}

ThreadModuleState* ThreadModuleStateIfAlive() {
  if (tTornDown) return nullptr;
  return &tHolder.state_;
}

}  // namespace orvex
