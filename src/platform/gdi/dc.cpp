#include "platform/gdi/dc.h"

#include <memory>

#include "platform/core/handle_table.h"

namespace orvex {
namespace {

// One reference to the cairo context for the life of the handle.
struct DeviceContext {
  explicit DeviceContext(cairo_t* context) : cairo(cairo_reference(context)) {}
  ~DeviceContext() { cairo_destroy(cairo); }
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;
  cairo_t* cairo;
};

HandleTable<DeviceContext>& Contexts() {
  static HandleTable<DeviceContext> table(HandleKind::DeviceContext);
  return table;
}

}  // namespace

HDC CreateDCForCairo(cairo_t* context) {
  if (!context) return 0;
  return Contexts().Add(std::make_shared<DeviceContext>(context));
}

BOOL DeleteDC(HDC dc) {
  return Contexts().Remove(dc) ? TRUE : FALSE;
}

cairo_t* CairoOfDC(HDC dc) {
  const auto context = Contexts().Find(dc);
  return context ? context->cairo : nullptr;
}

}  // namespace orvex
