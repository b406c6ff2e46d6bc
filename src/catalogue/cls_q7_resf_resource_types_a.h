// clsQ7ResfResourceTypesA, the catalogue: the client's handle on one module file. The
// class is declared here once; its members are implemented by subsystem (module members
// in catalogue/, readers in readers/, pictures/display/files in presentation/, playback
// in media/). To implement a member: declare it below with the C++ signature that
// platform/ole/dispatch.h describes, define it in the subsystem's folder, and bind its row
// in server/class_catalogue.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/byte_reader.h"
#include "catalogue/cls_q7_resf_resource_type_a.h"
#include "platform/ole/dispatch.h"
#include "platform/ole/wrappers.h"
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
  // base name (Err::SubscriptOutOfRange for a name ending in its separator) and loads the file; a
  // file that can't be loaded shows "Invalid Library" and leaves both handles 0.
  void LetFilename(std::u16string_view name);
  std::u16string FilePartFileName();
  void LetFilePartFileName(std::u16string_view value);
  int32_t HandleModule();
  // Stores the value in this object only; ThreadModuleHandle is not touched.
  void LetHandleModule(int32_t value);

  // --- Type collection and enumeration (catalogue/type_collection.cpp) ---
  // Appends a record of type `lRestype` with the comment (AddResourceType). Returns 0.
  int32_t Add(int32_t lRestype, std::u16string_view sComments);
  // Enumerates the types of the thread's module, and each type's names, into the thread's
  // current catalogue (which need not be this one). Never clears; returns 0.
  int32_t EnumResourceTypesStart();
  // Runs the same enumeration as EnumResourceTypesStart (a stop flag is passed and not
  // read: a walk is never running when a client can call this). Returns 0.
  int32_t EnumResourceTypesStop();
  // Empties the collection (its records and their items are released); TypeCount := 0.
  void Clear();
  int32_t Count();
  // The record at a position (the index rule of CollectionPosition); null after the box.
  ComPtr<clsQ7ResfResourceTypeA> Item(const VARIANT& Index);
  // Removes the record at a position from 1 to Count; any other position does nothing.
  void Remove(int32_t Index);
  // The Index of the first record whose NameLong equals the text without regard to case;
  // 0 when none does.
  int32_t FindIndexByName(std::u16string_view sName);

  // AddResourceType: TypeCount + 1 (Err::Overflow at the largest Long, nothing added) becomes
  // ThreadTypeIndex and the new record's Index; Style := typeId names it; then the comment
  // and an empty item collection; the record is appended.
  void AddResourceType(LONG typeId, std::u16string_view comment);
  // The record whose Index is `index`, searched from the last one (the record the
  // enumeration has just added); null when none has it.
  clsQ7ResfResourceTypeA* TypeRecordByIndex(int32_t index) const;

  // --- Raw resource access (readers/raw_access_members.cpp) ---
  // The resource's bytes as VT_ARRAY|VT_UI1 (lower bound 0), or VT_EMPTY when it is missing
  // or empty. A ResType that reads as a number is tried first as that integer type (1 to
  // 65535; other values have no integer form), then as a type name; ResName is always
  // passed as text ("#101" for number 101). Reports failed steps under
  // "clsQ7ResfResourceTypesA.GetDataArray" and goes on.
  //
  // This is the library's one way to read a resource's bytes: member glue in C++ calls it
  // on the same object and reads the result through DataArrayBytes():
  //   Variant data = GetDataArray(resType, resName);
  //   Bytes bytes = DataArrayBytes(data);   // empty for VT_EMPTY; valid while `data` lives
  Variant GetDataArray(std::u16string_view ResType, std::u16string_view ResName);
  // The hex dump of the resource's bytes (readers/hex_dump.h); empty text after two reports
  // under ".GetHexDump" when there are no bytes; blanks only past 13264 bytes. Both this
  // and GetHTML write their text once, into the string they return.
  Bstr GetHexDump(std::u16string_view ResType, std::u16string_view ResName);
  // The bytes as text from the ANSI code page (readers/html_text.h); no handler of its own.
  Bstr GetHTML(std::u16string_view ResType, std::u16string_view ResName);

  // --- Text renderers (readers/text_members.cpp) ---
  // The present strings of block #n, one "id: text" line each (readers/string_table.h).
  std::u16string GetString(std::u16string_view ResName);
  // Every message of every block, "id: text" with the message's own line breaks.
  std::u16string GetMessageTable(std::u16string_view ResName);
  // Eight version strings of the thread's module file, of its first translation.
  std::u16string GetVersionInfo();
  // The menu as an indented outline, built in ThreadMenuText (readers/menu_text.h).
  std::u16string GetMenuText(std::u16string_view ResName);
  // One line per accelerator entry: modifiers, key name and command identifier.
  std::u16string GetAccelerators(std::u16string_view ResName);

  // --- Pictures (presentation/pictures.cpp) ---
  // A picture of an icon, cursor or bitmap resource (ResType RT_CURSOR, RT_BITMAP, RT_ICON,
  // RT_GROUP_CURSOR or RT_GROUP_ICON; a name of decimal digits gets "#" first); null when
  // none can be made.
  ComPtr<IDispatch> GetPicture(int32_t ResType, std::u16string_view ResName);
  // A picture read from the resource's bytes as a picture file, through the temporary path
  // of ResName (left with no file afterwards); null when the bytes are no picture.
  ComPtr<IDispatch> GetPictureExt(std::u16string_view ResType, std::u16string_view ResName);

  // --- Display into host controls (presentation/display.cpp) ---
  // Fits the picture box pb to the picture, paints it and prints the picture's kind and
  // size over it. False only for a null picture.
  bool ShowPicture(const ComPtr<IDispatch>& pic, const ComPtr<IDispatch>& pb);
  // Builds the template ResName of the open module as a modeless dialog with pb's window as
  // parent, and puts it at the top-left corner of pb's client area (a child-style template;
  // pb then takes its size plus 24 pixels of height) or over pb on the screen (a pop-up).
  // True when a dialog was made.
  bool ShowDialog(std::u16string_view ResName, const ComPtr<IDispatch>& pb);
  // Puts sText into the text box's Text (a notice instead past 65534 characters).
  bool ShowText(std::u16string_view sText, ComPtr<IDispatch> txt);

  // --- Files and the temporary folder (presentation/files.cpp) ---
  // Writes sText as ANSI text to sFileName (created, or replaced whole). Reports under
  // ".SaveText"; always returns the empty variant.
  Variant SaveText(std::u16string_view sFileName, std::u16string_view sText);
  // Writes the bytes of the byte array in arrData to sFileName (created, or replaced whole).
  // arrData that is no byte array is reported under ".SaveData" and an existing file keeps
  // its content. Always returns the empty variant.
  Variant SaveData(std::u16string_view sFileName, const VARIANT& arrData);
  // SaveData(sFileName, GetDataArray(ResType, ResName)): the file holds the same bytes that
  // GetDataArray returns. A resource without bytes is reported under ".SaveResDataToFile"
  // and leaves an existing file as it was. Always returns 0.
  int32_t SaveResDataToFile(std::u16string_view sFileName, std::u16string_view ResType,
                            std::u16string_view ResName);
  // Asks Yes or No ("Empty Retmpfld..."); Yes deletes every file of "C:\Retmpfld\" (a
  // failed deletion, or no file to delete, is reported). bMsg is not read. Always False.
  bool EmptyResourceTmpFolder(bool bMsg);
  // The temporary file path of a resource: "C:\Retmpfld\" + FilePartFileName + "_R" + ResName
  // without its first character + ".wav" (presentation/files.h).
  std::u16string ResourceTmpFileName(std::u16string_view ResName);

  // --- Playback (media/playback.cpp, media/show_avi.cpp) ---
  // The clsQ7ResfPlayAviA in the field; a new one is made and kept when the field is empty.
  ComPtr<IDispatch> PlayAVIObject();
  // Keeps the given clsQ7ResfPlayAviA, or empties the field for none (another object is
  // Err::TypeMismatch).
  void SetPlayAVIObject(ComPtr<IDispatch> value);
  // Writes the AVI resource's bytes to its temporary file and plays it in a new animation
  // control (clsQ7ResfPlayAviA, kept in PlayAVIObject) at lpbLeft, lpbTop in lHwnd. Reports
  // under ".PlayAVI" and goes on; always 0.
  int32_t PlayAVI(std::u16string_view ResName, int32_t lHwnd, int32_t lpbLeft, int32_t lpbTop,
                  int32_t lpbWidth, int32_t lpbHeight, bool bDeleteTmpFile);
  // Writes the WAV resource's bytes to its temporary file and starts it playing
  // (sndPlaySoundA, SND_ASYNC). Reports under ".PlayWAV"; always 0.
  int32_t PlayWAV(std::u16string_view ResName, bool bDeleteTmpFile);
  // Writes the AVI resource's bytes to its temporary file and plays it through MCI
  // (alias "video") in pb's window, pb sized to the clip (moved first when bpbPositions)
  // and the clip centred in it. Reports under ".ShowAVI"; always true.
  bool ShowAVI(std::u16string_view ResName, ComPtr<IDispatch> pb, bool bpbPositions,
               int32_t lpbLeft, int32_t lpbTop, int32_t lpbWidth, int32_t lpbHeight);

 private:
  // Frees the thread's module (result ignored) and sets ThreadModuleHandle to 0.
  void UnloadModule();

  ComPtr<IDispatch> PlayAVIObject_;  // a clsQ7ResfPlayAviA once read
  std::vector<ComPtr<clsQ7ResfResourceTypeA>> types_;
  int32_t TypeCount_ = 0;
  int32_t HandleModule_ = 0;
  std::u16string Filename_;
  std::u16string FilePartFileName_;
};

// The bytes of a GetDataArray result (a VT_ARRAY|VT_UI1 vector, or VT_EMPTY for none),
// without copying; valid while the variant holds the array.
Bytes DataArrayBytes(const VARIANT& dataArray);

// The catalogue in the calling thread's ThreadCatalogue, or null.
clsQ7ResfResourceTypesA* ThreadCatalogue();
// The catalogue in ThreadCatalogue; when the slot is empty, first creates a new catalogue
// (whose start-up stores it there). Throws Err::CantCreateObject when the class can't be
// created (its factory is not registered in this process).
ComPtr<clsQ7ResfResourceTypesA> ThreadCatalogueOrNew();
// Stores `catalogue` (or nothing) in ThreadCatalogue. The previous occupant is released
// first, so its tear-down (which empties the slot) cannot remove the new one.
void StoreThreadCatalogue(clsQ7ResfResourceTypesA* catalogue);
// Empties ThreadCatalogue (no-op during the thread's tear-down).
void EmptyThreadCatalogue();

}  // namespace orvex
