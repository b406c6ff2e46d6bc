// The catalogue's PlayAVI and PlayWAV, and its PlayAVIObject field: a resource's bytes are
// written to its temporary file, which the animation control or the sound device plays.
#include <string>

#include "catalogue/bas_q7_resources_a.h"
#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "media/cls_q7_resf_play_avi_a.h"
#include "media/tmp_file.h"
#include "platform/fs/fs.h"
#include "platform/media/sound.h"
#include "platform/text/text.h"
#include "server/frame/bas_q7el_common_a.h"
#include "server/frame/class_ids.h"
#include "server/frame/file_error.h"
#include "server/frame/resource_tmp_folder.h"
#include "server/frame/thread_module_state.h"

namespace orvex {
namespace {

ComPtr<clsQ7ResfPlayAviA> NewPlayAvi() {
  return NewRecord<clsQ7ResfPlayAviA>(CLSID_clsQ7ResfPlayAviA);
}

// Steps 1 to 7 of both members: the bytes of the resource of type `resType`, the temporary
// path in ThreadTmpFileName, the delete asked for, and the file written. Returns the path.
// The lock of the path is held in `lock` from before the file is touched.
std::string WriteTmpFileForPlaying(clsQ7ResfResourceTypesA& catalogue, StepRunner& step,
                                   std::u16string_view resType, std::u16string_view resName,
                                   bool deleteFirst, std::unique_lock<std::mutex>& lock) {
  Variant data;
  step([&] {
    data = catalogue.GetDataArray(resType, resName);
    if (data.vt != (VT_ARRAY | VT_UI1)) throw RuntimeError(Err::TypeMismatch);
  });
  ThreadModuleState& state = GetThreadModuleState();
  step([&] { state.ThreadTmpFileName = catalogue.ResourceTmpFileName(resName); });
  std::string path = UnicodeToAnsi(state.ThreadTmpFileName);
  lock = LockTmpFile(path);
  if (deleteFirst) {
    step([&] {
      if (!DeleteFileA(path.c_str())) throw FileError(path);
    });
  }
  TmpFileWrite file;
  step([&] { file.Open(path); });
  step([&] { file.Write(DataArrayBytes(data)); });
  step([&] { file.Close(); });
  return path;
}

}  // namespace

ComPtr<IDispatch> clsQ7ResfResourceTypesA::PlayAVIObject() {
  if (!PlayAVIObject_) PlayAVIObject_ = NewPlayAvi();
  return PlayAVIObject_;
}

void clsQ7ResfResourceTypesA::SetPlayAVIObject(ComPtr<IDispatch> value) {
  if (value && ObjectCast<clsQ7ResfPlayAviA>(value.Get()) == nullptr)
    throw RuntimeError(Err::TypeMismatch);
  PlayAVIObject_ = std::move(value);
}

int32_t clsQ7ResfResourceTypesA::PlayAVI(std::u16string_view ResName, int32_t lHwnd,
                                         int32_t lpbLeft, int32_t lpbTop, int32_t lpbWidth,
                                         int32_t lpbHeight, bool bDeleteTmpFile) {
  StepRunner step = ReportingSteps("PlayAVI");
  std::unique_lock<std::mutex> lock;
  const std::string path =
      WriteTmpFileForPlaying(*this, step, u"AVI", ResName, bDeleteTmpFile, lock);
  ComPtr<clsQ7ResfPlayAviA> player;
  step([&] {
    player = NewPlayAvi();
    PlayAVIObject_ = player;  // the earlier instance goes; its windows stay
  });
  step([&] {
    if (!player) throw RuntimeError(Err::ObjectVariableNotSet);
    player->Create(lHwnd, AnsiToUnicode(path), lpbLeft, lpbTop, lpbWidth, lpbHeight);
  });
  lock.unlock();  // the control has read the clip
  step([&] {
    if (!player) throw RuntimeError(Err::ObjectVariableNotSet);
    player->AnimatePlay();
  });
  return 0;
}

int32_t clsQ7ResfResourceTypesA::PlayWAV(std::u16string_view ResName, bool bDeleteTmpFile) {
  StepRunner step = ReportingSteps("PlayWAV");
  std::unique_lock<std::mutex> lock;
  const std::string path =
      WriteTmpFileForPlaying(*this, step, u"WAV", ResName, bDeleteTmpFile, lock);
  // The sound is read whole before the call returns; it plays on in the background.
  step([&] { (void)sndPlaySoundA(path.c_str(), SND_ASYNC); });
  return 0;
}

}  // namespace orvex
