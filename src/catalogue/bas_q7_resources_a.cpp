#include "catalogue/bas_q7_resources_a.h"

#include <cmath>
#include <exception>
#include <utility>

#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "platform/module/module.h"
#include "platform/ole/wrappers.h"
#include "platform/text/text.h"
#include "platform/user/message_box.h"
#include "server/frame/thread_module_state.h"

namespace orvex {

namespace {

// The identifiers handed to the enumeration callbacks running on this thread; each is
// valid only while its callback runs.
struct HandedOut {
  LPCSTR type = nullptr;
  LPCSTR name = nullptr;
};
thread_local HandedOut tHandedOut;

class HandedOutScope {
 public:
  HandedOutScope(LPCSTR& slot, LPCSTR id) : slot_(slot), previous_(std::exchange(slot, id)) {}
  ~HandedOutScope() { slot_ = previous_; }
  HandedOutScope(const HandedOutScope&) = delete;
  HandedOutScope& operator=(const HandedOutScope&) = delete;

 private:
  LPCSTR& slot_;
  LPCSTR previous_;
};

// A failure inside a callback waits here while the platform's walk unwinds normally.
thread_local std::exception_ptr tCallbackFailure;

template <class F>
BOOL GuardedCallback(F&& body) {
  try {
    body();
    return TRUE;
  } catch (...) {
    tCallbackFailure = std::current_exception();
    return FALSE;  // stops the walk
  }
}

void RethrowCallbackFailure() {
  if (std::exception_ptr failure = std::exchange(tCallbackFailure, nullptr))
    std::rethrow_exception(failure);
}

std::u16string DecimalDigits(uint32_t value) {
  char16_t digits[10];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::u16string out(n, u'0');
  for (size_t i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
  return out;
}

bool IsAsciiLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

[[noreturn]] void ThrowInvalidCall() {
  throw RuntimeError(Err::InvalidProcedureCall);
}

void ShowIndexError() {
  MessageBoxA(0, "Invalid index or index not exists.", "Index Error...",
              MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

std::u16string TrimAtNull(std::u16string_view text) {
  return std::u16string(text.substr(0, text.find(u'\0')));
}

std::u16string AnsiPtrToString(LPCSTR address, int32_t& length) {
  if (length == 0) {
    length = lstrlenA(address);
    // The text holds no NUL up to its length, so trimming leaves it whole.
    return AnsiToUnicode(std::string_view(address ? address : "", static_cast<size_t>(length)));
  }
  if (length < 0) ThrowInvalidCall();
  std::string buffer(static_cast<size_t>(length), '\0');
  // Bounded by the buffer: a source longer than the given length is cut.
  for (size_t i = 0; address != nullptr && i < buffer.size() && address[i] != '\0'; ++i)
    buffer[i] = address[i];
  return AnsiToUnicode(buffer);
}

LONG IdentifierValue(LPCSTR id) {
  return static_cast<LONG>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(id)));
}

LPCSTR HandedOutIdentifier(LONG value) {
  if (IsNumberIdentifier(value)) return nullptr;
  for (LPCSTR id : {tHandedOut.type, tHandedOut.name}) {
    if (id != nullptr && !IS_INTRESOURCE(id) && IdentifierValue(id) == value) return id;
  }
  return nullptr;
}

void EnumModuleResTypes(bool stop) {
  (void)stop;  // taken and never read: the walk always runs to the end
  tCallbackFailure = nullptr;
  (void)EnumResourceTypesA(GetThreadModuleState().ThreadModuleHandle, &EnumResTypeProc, 0);
  RethrowCallbackFailure();
}

BOOL EnumResTypeProc(HMODULE /*module*/, LPSTR type, LONG_PTR /*param*/) {
  return GuardedCallback([&] {
    HandedOutScope scope(tHandedOut.type, type);
    ComPtr<clsQ7ResfResourceTypesA> catalogue = ThreadCatalogueOrNew();
    catalogue->AddResourceType(IdentifierValue(type), u"");
    EnumResNamesForType(type);
  });
}

void EnumResNamesForType(LPCSTR type) {
  (void)EnumResourceNamesA(GetThreadModuleState().ThreadModuleHandle, type, &EnumResNameProc, 0);
  RethrowCallbackFailure();
}

BOOL EnumResNameProc(HMODULE /*module*/, LPCSTR /*type*/, LPSTR name, LONG_PTR /*param*/) {
  return GuardedCallback([&] {
    HandedOutScope scope(tHandedOut.name, name);
    ComPtr<clsQ7ResfResourceTypesA> catalogue = ThreadCatalogueOrNew();
    // The record just added, found by its Index: after a Remove its position is lower.
    clsQ7ResfResourceTypeA* record =
        catalogue->TypeRecordByIndex(GetThreadModuleState().ThreadTypeIndex);
    if (record == nullptr || record->Items() == nullptr) return;  // nowhere to add names
    ComPtr<clsQ7ResfResourceItemsA> items(record->Items());
    std::u16string text;
    if (IS_INTRESOURCE(name)) {
      text = DecimalDigits(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(name)));
    } else {
      int32_t length = 0;
      text = AnsiPtrToString(name, length);
    }
    items->AddEnumeratedItem(text, name);
  });
}

std::optional<size_t> CollectionPosition(const VARIANT& index, size_t count) {
  const VARIANT& value = index.vt == (VT_BYREF | VT_VARIANT) ? *index.pvarVal : index;
  const VARTYPE type = value.vt & ~VT_BYREF;
  if (type == VT_EMPTY || type == VT_NULL) {  // empty counts as 0; null fails the test
    ShowIndexError();
    return std::nullopt;
  }
  Variant number;
  ThrowIfFailed(
      VariantChangeType(&number, &value, 0, VT_R8));  // a type mismatch for text that isn't one
  const double d = number.dblVal;
  if (d > 0 && d <= static_cast<double>(count)) {
    if (type == VT_BSTR) ThrowInvalidCall();    // a key lookup: the records have no keys
    const double position = std::nearbyint(d);  // half to even, like the runtime's Long
    if (position < 1) throw RuntimeError(Err::SubscriptOutOfRange);
    return static_cast<size_t>(position) - 1;
  }
  ShowIndexError();
  return std::nullopt;
}

bool ReadsAsNumber(std::u16string_view text) {
  if (text.empty()) return false;
  bool digits = true;
  for (char16_t c : text) digits = digits && c >= u'0' && c <= u'9';
  if (digits) return true;
  // Names usually start with a letter, which numeric text never does.
  size_t first = text.find_first_not_of(u' ');
  if (first == std::u16string_view::npos || IsAsciiLetter(text[first])) return false;
  Variant source(text);
  Variant number;
  return SUCCEEDED(VariantChangeType(&number, &source, 0, VT_R8));
}

int32_t IncrementedCount(int32_t count) {
  if (count == INT32_MAX) throw RuntimeError(Err::Overflow);
  return count + 1;
}

}  // namespace orvex
