// The system's window classes, registered once per process before the first window: the
// dialog class, the predefined controls, and the common controls (a process using this
// library has the common-control library loaded, which registers them as it loads).
#include <atomic>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/system_class_procedure.h"
#include "platform/user/window_internal.h"

namespace orvex {
namespace {

struct SystemClass {
  const char* name;
  WNDPROC proc;
  int extraBytes;
};

constexpr SystemClass kSystemClasses[] = {
    {"#32770", DialogClassProc, DLGWINDOWEXTRA},
    {"Button", ButtonProc, 8},
    {"Edit", EditProc, 8},
    {"Static", StaticProc, 8},
    {"ListBox", ListBoxProc, 8},
    {"ScrollBar", ScrollBarProc, 8},
    {"ComboBox", ComboBoxProc, 8},
    {"SysListView32", CommonControlProc, 8},
    {"SysTreeView32", CommonControlProc, 8},
    {"SysHeader32", CommonControlProc, 8},
    {"msctls_progress32", CommonControlProc, 8},
    {"msctls_trackbar32", CommonControlProc, 8},
    {"msctls_updown32", CommonControlProc, 8},
    {"msctls_hotkey32", CommonControlProc, 8},
    {"SysTabControl32", CommonControlProc, 8},
    {"SysAnimate32", CommonControlProc, 8},
    {"SysDateTimePick32", CommonControlProc, 8},
    {"SysIPAddress32", CommonControlProc, 8},
    {"SysLink", CommonControlProc, 8},
    {"ComboBoxEx32", CommonControlProc, 8},
    {"ToolbarWindow32", CommonControlProc, 8},
    {"msctls_statusbar32", CommonControlProc, 8},
    {"RichEdit20A", CommonControlProc, 8},
    {"RichEdit20W", CommonControlProc, 8},
};

// Procedures set by SetSystemClassProcedure, in place of the table's.
std::mutex& OverridesMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<std::pair<std::string, WNDPROC>>& Overrides() {
  static auto* overrides = new std::vector<std::pair<std::string, WNDPROC>>;
  return *overrides;
}

WNDPROC ProcedureFor(const SystemClass& c) {
  std::lock_guard lock(OverridesMutex());
  for (const auto& [name, proc] : Overrides())
    if (name == c.name) return proc;
  return c.proc;
}

std::atomic<bool>& Registered() {
  static std::atomic<bool> registered{false};
  return registered;
}

}  // namespace

void SetSystemClassProcedure(const char* className, WNDPROC proc) {
  {
    std::lock_guard lock(OverridesMutex());
    Overrides().emplace_back(className, proc);
  }
  if (Registered()) ReplaceClassProcedure(className, proc);
}

void EnsureSystemClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (const SystemClass& c : kSystemClasses) {
      WNDCLASSA wc{};
      wc.lpfnWndProc = ProcedureFor(c);
      wc.cbWndExtra = c.extraBytes;
      wc.lpszClassName = c.name;
      RegisterSystemClass(wc);
    }
    Registered() = true;
  });
}

}  // namespace orvex
