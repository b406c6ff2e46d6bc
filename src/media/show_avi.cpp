// The catalogue's ShowAVI: a resource's clip written to its temporary file and played by the
// media control interface's avivideo device (alias "video") as a child window of a host
// picture box, which is sized to the clip and the clip centred in it.
#include <string>

#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "media/mci_destination.h"
#include "media/tmp_file.h"
#include "platform/fs/fs.h"
#include "platform/gdi/gdi.h"
#include "platform/media/mci.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "server/frame/bas_q7el_common_a.h"
#include "server/frame/file_error.h"
#include "server/frame/resource_tmp_folder.h"
#include "server/frame/thread_module_state.h"

namespace orvex {
namespace {

// The reply buffer of "Where video destination": 128 characters, 127 given as its length.
constexpr size_t kReplyBuffer = 128;
constexpr UINT kReplyLength = 127;

void Send(const std::string& command) {
  (void)mciSendStringA(command.c_str(), nullptr, 0, 0);
}

// The path as the open command carries it. A path with a space is quoted, since the
// command's words are split at spaces and the unquoted path would name no file; any other
// path stands bare.
std::string OpenCommandPath(const std::string& path) {
  return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

IDispatch* Box(const ComPtr<IDispatch>& pb) {
  if (!pb) throw RuntimeError(Err::ObjectVariableNotSet);
  return pb.Get();
}

// A length in twips over twips per pixel, both rounded to Longs first; Err::DivisionByZero
// when the divisor rounds to 0.
int32_t IntegerDivide(double dividend, double divisor) {
  const int32_t a = Variant(dividend).ToLong();
  const int32_t b = Variant(divisor).ToLong();
  if (b == 0) throw RuntimeError(Err::DivisionByZero);
  return a / b;
}

}  // namespace

bool clsQ7ResfResourceTypesA::ShowAVI(std::u16string_view ResName, ComPtr<IDispatch> pb,
                                      bool bpbPositions, int32_t lpbLeft, int32_t lpbTop,
                                      int32_t lpbWidth, int32_t lpbHeight) {
  StepRunner step = ReportingSteps("ShowAVI");
  ThreadModuleState& state = GetThreadModuleState();
  step([&] { state.ThreadTmpFileName = ResourceTmpFileName(ResName); });
  const std::string path = UnicodeToAnsi(state.ThreadTmpFileName);
  // Held until the device has opened the file.
  std::unique_lock<std::mutex> lock = LockTmpFile(path);
  step([&] {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    Send("close video");
    if (!DeleteFileA(path.c_str())) throw FileError(path);
  });
  Variant data;
  step([&] {
    data = GetDataArray(u"AVI", ResName);
    if (data.vt != (VT_ARRAY | VT_UI1)) throw RuntimeError(Err::TypeMismatch);
  });
  TmpFileWrite file;
  step([&] { file.Open(path); });
  step([&] { file.Write(DataArrayBytes(data)); });
  step([&] { file.Close(); });
  std::string open;
  step([&] {
    const int32_t parent = GetProperty(Box(pb), "hwnd").ToLong();
    open = "open " + OpenCommandPath(path) + " Type avivideo Alias video parent " +
           std::to_string(parent) + " Style child";
  });
  step([&] { Send(open); });
  lock.unlock();

  char reply[kReplyBuffer] = {};
  step([&] { (void)mciSendStringA("Where video destination", reply, kReplyLength, 0); });
  const std::string_view replyText(reply);
  const double twipsX = TwipsPerPixelX();
  const double twipsY = TwipsPerPixelY();
  int32_t videoWidth = 0;
  int32_t videoHeight = 0;
  step([&] { videoWidth = DestinationTwips(DestinationWidthText(replyText), twipsX); });
  step([&] { videoHeight = DestinationTwips(DestinationHeightText(replyText), twipsY); });
  step([&] { PutProperty(Box(pb), "width", Variant(videoWidth < 0 ? 0 : videoWidth)); });
  step([&] { PutProperty(Box(pb), "height", Variant(videoHeight < 0 ? 0 : videoHeight)); });
  if (bpbPositions) {
    step([&] {
      Call(Box(pb), "Move",
           {Variant::RefTo(lpbLeft), Variant::RefTo(lpbTop), Variant::RefTo(lpbWidth),
            Variant::RefTo(lpbHeight)});
    });
  }
  step([&] {
    IDispatch* box = Box(pb);
    const double boxWidth = GetProperty(box, "width").ToDouble();
    const double boxHeight = GetProperty(box, "height").ToDouble();
    const int32_t x = IntegerDivide(boxWidth - videoWidth, 2 * twipsX);
    const int32_t y = IntegerDivide(boxHeight - videoHeight, 2 * twipsY);
    const int32_t w = IntegerDivide(videoWidth, twipsX);
    const int32_t h = IntegerDivide(videoHeight, twipsY);
    Send("put video window at " + std::to_string(x) + " " + std::to_string(y) + " " +
         std::to_string(w) + " " + std::to_string(h));
  });
  step([&] { Send("play video repeat"); });
  return true;
}

}  // namespace orvex
