// The catalogue's file members and the temporary-folder rule.
//
// A save whose bytes could not be taken (SaveData given something that is no byte array,
// or SaveResDataToFile for a missing or empty resource) never destroys a file that already
// stands at the path: the failure is reported and the file keeps its content. Where no file
// stood, the empty file appears, as callers that test for the file expect.
#include "presentation/files.h"

#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "platform/fs/fs.h"
#include "platform/ole/wrappers.h"
#include "platform/text/text.h"
#include "platform/user/message_box.h"
#include "server/frame/bas_q7el_common_a.h"
#include "server/frame/resource_tmp_folder.h"

namespace orvex {

namespace {

RuntimeError TypeMismatch() {
  return RuntimeError(Err::TypeMismatch);
}

// A save's file from open to close: the steps of SaveText and SaveData.
class SaveFile {
 public:
  // Step "open": a new file beside the target; the target is untouched until Close.
  void Open(const std::string& path) {
    auto file = ReplacingFile::Open(path);
    if (!file) throw FileError(path);
    file_ = std::move(*file);
  }
  // Step "write": fails when the open failed.
  void Write(Bytes bytes) {
    if (!file_.IsOpen()) throw RuntimeError(Err::BadFileNameOrNumber);
    if (!file_.Write(bytes)) throw FileError("write");
  }
  // Step "close": the written file takes the target's place. Nothing to do after a failed
  // open (that failure has been reported already).
  void Close() {
    if (file_.IsOpen() && !file_.Commit()) throw FileError("close");
  }

 private:
  ReplacingFile file_;
};

std::u16string WithoutSeparators(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c == u'\\' || c == u'/') c = u'_';
  }
  return out;
}

}  // namespace

std::u16string ResourceTmpFileNameFor(std::u16string_view filePartFileName,
                                      std::u16string_view resName) {
  std::u16string path = AnsiToUnicode(kResourceTmpFolder);
  path += WithoutSeparators(filePartFileName);
  path += u"_R";
  if (resName.size() >= 2) path += WithoutSeparators(resName.substr(1));
  path += u".wav";
  return path;
}

void WriteRawBytesFile(const std::string& path, Bytes bytes) {
  auto file = ReplacingFile::Open(path);
  if (!file) throw FileError(path);
  if (!file->Write(bytes)) throw FileError(path);
  if (!file->Commit()) throw FileError(path);
}

std::u16string clsQ7ResfResourceTypesA::ResourceTmpFileName(std::u16string_view ResName) {
  return ResourceTmpFileNameFor(FilePartFileName(), ResName);
}

Variant clsQ7ResfResourceTypesA::SaveText(std::u16string_view sFileName,
                                          std::u16string_view sText) {
  StepRunner step = ReportingSteps("SaveText");
  const std::string path = UnicodeToAnsi(sFileName);
  SaveFile file;
  step([&] { file.Open(path); });
  step([&] {
    const std::string text = UnicodeToAnsi(sText);
    file.Write(AsBytes(text.data(), text.size()));
  });
  step([&] { file.Close(); });
  return Variant();
}

Variant clsQ7ResfResourceTypesA::SaveData(std::u16string_view sFileName, const VARIANT& arrData) {
  StepRunner step = ReportingSteps("SaveData");
  const std::string path = UnicodeToAnsi(sFileName);
  ByteArrayView contents;
  step([&] {
    contents = ByteArrayView(arrData);
    if (!contents.IsByteArray()) throw TypeMismatch();
  });
  step([&] {
    // No bytes at all: an existing file is kept (see the note at the top).
    if (!contents.Allocated() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
      return;
    WriteRawBytesFile(path, contents.Data());
  });
  return Variant();
}

int32_t clsQ7ResfResourceTypesA::SaveResDataToFile(std::u16string_view sFileName,
                                                   std::u16string_view ResType,
                                                   std::u16string_view ResName) {
  StepRunner step = ReportingSteps("SaveResDataToFile");
  // Until the bytes are taken, an unallocated byte array: no bytes at all.
  Variant bytes;
  bytes.vt = VT_ARRAY | VT_UI1;
  bytes.parray = nullptr;
  step([&] {
    Variant data = GetDataArray(ResType, ResName);
    if (data.vt != (VT_ARRAY | VT_UI1)) throw TypeMismatch();
    bytes = std::move(data);
  });
  // SaveData reports its own failures; only a report that fails comes back here.
  SaveData(sFileName, bytes);
  return 0;
}

bool clsQ7ResfResourceTypesA::EmptyResourceTmpFolder(bool /*bMsg*/) {
  StepRunner step = ReportingSteps("EmptyResourceTmpFolder");
  // The box is shown whatever bMsg holds.
  int answer = IDNO;
  step([&] {
    answer =
        MessageBoxA(0, kEmptyTmpFolderPrompt, kEmptyTmpFolderTitle, MB_YESNO | MB_ICONINFORMATION);
  });
  if (answer == IDYES) {
    step([&] {
      const std::string pattern = std::string(kResourceTmpFolder) + "*.*";
      auto deleted = DeleteFilesMatching(pattern);
      if (!deleted) throw FileError(pattern);
      if (*deleted == 0) {
        throw RuntimeError(Err::FileNotFound, pattern);
      }
    });
  }
  return false;
}

}  // namespace orvex
