// The host kit's class table and server description, and its in-process registration.
#include "host/host_kit.h"

#include "host/host_controls.h"

namespace orvex {

using host_kit::FormInfo;
using host_kit::PictureBoxInfo;
using host_kit::TextBoxInfo;

std::span<const ClassInfo* const> HostKitClasses() {
  static const ClassInfo* const classes[] = {&FormInfo(), &PictureBoxInfo(), &TextBoxInfo()};
  return classes;
}

const ServerDescription& HostKitServer() {
  static const ServerDescription server{"Orvex10Host", LIBID_Orvex10Host, "1.0", HostKitClasses()};
  return server;
}

void RegisterHostKitClasses() {
  RegisterClassInProcess(FormInfo());
}

}  // namespace orvex
