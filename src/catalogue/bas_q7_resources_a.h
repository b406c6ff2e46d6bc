// basQ7ResourcesA: the type and name enumeration callbacks, resource identifiers as 32-bit
// values, the text routines of type naming, and what the catalogue's collections share
// (the index rule of Item, record creation).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ole/class_registry.h"
#include "platform/ole/dispatch.h"
#include "platform/win32_types.h"

namespace orvex {

// --- Text routines ---

// The text before its first NUL character, or the whole text when it holds none.
std::u16string TrimAtNull(std::u16string_view text);

// The ANSI text at `address` as a string. With `length` 0 the length is taken with lstrlenA
// and written back, and the result is trimmed at its first NUL. With a given length the
// result has exactly `length` characters: the text, then NULs where it is shorter. The copy
// never takes more than `length` bytes, so a longer source text is cut, not overrun.
std::u16string AnsiPtrToString(LPCSTR address, int32_t& length);

// --- Resource identifiers ---

// A 32-bit identifier whose high 16 bits are zero is a number; any other stands for a name.
constexpr bool IsNumberIdentifier(LONG value) {
  return (static_cast<uint32_t>(value) >> 16) == 0;
}
// The 32-bit value of an identifier the platform hands to an enumeration callback (a
// number, or a name's address, which the module layer keeps below 4 GB).
LONG IdentifierValue(LPCSTR id);
// The name text that `value` stands for, when `value` is the type or name identifier that
// a callback of an enumeration still running on this thread was handed; null for any other
// value. Nothing else is ever read as an address: a value a client makes up names nothing.
LPCSTR HandedOutIdentifier(LONG value);

// --- Type and name enumeration ---

// EnumResourceTypesA over ThreadModuleHandle with EnumResTypeProc. `stop` is accepted and
// not read (EnumResourceTypesStop runs the whole enumeration too). A failure inside a
// callback stops the walk (the callback returns FALSE) and is thrown once the platform's
// enumeration has returned.
void EnumModuleResTypes(bool stop);
// The type callback: adds a type record to the thread's current catalogue (made when the
// slot is empty) and enumerates the type's names into it.
BOOL EnumResTypeProc(HMODULE module, LPSTR type, LONG_PTR param);
// EnumResourceNamesA over ThreadModuleHandle and `type` with EnumResNameProc.
void EnumResNamesForType(LPCSTR type);
// The name callback: adds one item to the record just added (the one whose Index is
// ThreadTypeIndex), with the resource's size.
BOOL EnumResNameProc(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param);

// --- What the collections share ---

// The Item rule of the catalogue and the item collections, for a collection of `count`:
// a number (or text reading as one) from 1 to `count` gives its position counted from 0;
// text in that range fails with Err::InvalidProcedureCall (a key lookup in a collection without
// keys), text that is no number with Err::TypeMismatch; other numbers, empty and null show the box
// "Invalid index or index not exists." and give nothing.
std::optional<size_t> CollectionPosition(const VARIANT& index, size_t count);

// Whether text reads as a number (the automation runtime's numeric text).
bool ReadsAsNumber(std::u16string_view text);

// The increment of a Long counter; Err::Overflow at the largest value.
int32_t IncrementedCount(int32_t count);

// A new object of one of the library's record classes, created like any of its objects.
// The first creation goes through the class registry; later ones use the class's
// description directly.
template <class T>
ComPtr<T> NewRecord(const CLSID& clsid) {
  static std::atomic<const ClassInfo*> info{nullptr};
  if (const ClassInfo* known = info.load(std::memory_order_acquire))
    return ComPtr<T>::Attach(static_cast<T*>(known->Create()));
  ComPtr<IDispatch> created;
  ThrowIfFailed(
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, created.PutVoid()));
  T* typed = ObjectCast<T>(created.Get());
  if (typed == nullptr) throw RuntimeError(Err::TypeMismatch);
  info.store(&typed->Info(), std::memory_order_release);
  return ComPtr<T>(typed);
}

}  // namespace orvex
