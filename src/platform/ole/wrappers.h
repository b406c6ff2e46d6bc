// RAII owners for BSTR, VARIANT and SAFEARRAY: no hand-written clean-up paths anywhere else.
#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/byte_reader.h"
#include "base/runtime_error.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/unknown.h"

namespace orvex {

// Owns one BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view text) : s_(SysAllocStringView(text)) {}
  Bstr(const Bstr& other) : s_(other.s_ ? SysAllocStringLen(other.s_, other.Length()) : nullptr) {}
  Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
  ~Bstr() { SysFreeString(s_); }
  Bstr& operator=(Bstr other) noexcept {
    std::swap(s_, other.s_);
    return *this;
  }

  static Bstr Attach(BSTR s) {
    Bstr out;
    out.s_ = s;
    return out;
  }
  // A new text of `length` units for the caller to write in place, so that a text whose
  // length is known is rendered once, into the string that is handed back. Throws
  // std::bad_alloc when out of memory.
  static Bstr OfLength(size_t length) {
    if (length > std::numeric_limits<UINT>::max()) throw std::bad_alloc();
    Bstr out = Attach(SysAllocStringLen(nullptr, static_cast<UINT>(length)));
    if (out.s_ == nullptr) throw std::bad_alloc();
    return out;
  }
  BSTR Detach() { return std::exchange(s_, nullptr); }
  BSTR Get() const { return s_; }
  // The units of a text made by OfLength, to write.
  char16_t* Data() { return s_; }
  // Out-parameter; frees the current text first.
  BSTR* Put() {
    SysFreeString(std::exchange(s_, nullptr));
    return &s_;
  }
  // The owned slot itself, for a by-reference argument: the callee may free the text it
  // finds there and store another, which this owner then frees.
  BSTR* AddressOf() { return &s_; }
  UINT Length() const { return SysStringLen(s_); }
  std::u16string_view View() const { return BstrView(s_); }
  std::u16string Str() const { return std::u16string(View()); }

 private:
  BSTR s_ = nullptr;
};

// Owns one SAFEARRAY (destroys it, with its elements, on destruction).
class SafeArray {
 public:
  SafeArray() = default;
  // Takes over `array` (null holds nothing).
  explicit SafeArray(SAFEARRAY* array) : a_(array) {}
  SafeArray(SafeArray&& other) noexcept : a_(std::exchange(other.a_, nullptr)) {}
  SafeArray& operator=(SafeArray&& other) noexcept {
    SafeArray(std::move(other)).Swap(*this);
    return *this;
  }
  SafeArray(const SafeArray&) = delete;
  SafeArray& operator=(const SafeArray&) = delete;
  ~SafeArray() { SafeArrayDestroy(a_); }

  SAFEARRAY* Get() const { return a_; }
  SAFEARRAY* Detach() { return std::exchange(a_, nullptr); }
  explicit operator bool() const { return a_ != nullptr; }
  friend bool operator==(const SafeArray& a, std::nullptr_t) { return a.a_ == nullptr; }
  void Swap(SafeArray& other) noexcept { std::swap(a_, other.a_); }

 private:
  SAFEARRAY* a_ = nullptr;
};

// Owns one VARIANT (clears it on destruction). Layout-compatible with VARIANT, so an
// array of Variant can serve as DISPPARAMS::rgvarg.
class Variant : public VARIANT {
 public:
  Variant() { VariantInit(this); }
  Variant(const Variant& other) : Variant() { VariantCopy(this, &other); }
  Variant(Variant&& other) noexcept : VARIANT(other) { VariantInit(&other); }
  explicit Variant(const VARIANT& other) : Variant() { VariantCopy(this, &other); }
  Variant& operator=(const Variant& other) {
    if (this != &other) VariantCopy(this, &other);
    return *this;
  }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      VariantClear(this);
      static_cast<VARIANT&>(*this) = other;
      VariantInit(&other);
    }
    return *this;
  }
  ~Variant() { VariantClear(this); }

  // Values.
  Variant(int32_t value) : Variant() { SetLong(value); }
  Variant(int16_t value) : Variant() {
    vt = VT_I2;
    iVal = value;
  }
  Variant(uint8_t value) : Variant() {
    vt = VT_UI1;
    bVal = value;
  }
  Variant(double value) : Variant() {
    vt = VT_R8;
    dblVal = value;
  }
  Variant(bool value) : Variant() {
    vt = VT_BOOL;
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  }
  Variant(const char16_t* text) : Variant(std::u16string_view(text)) {}
  Variant(std::u16string_view text) : Variant() {
    vt = VT_BSTR;
    bstrVal = SysAllocStringView(text);
  }
  Variant(const std::u16string& text) : Variant(std::u16string_view(text)) {}
  Variant(Bstr text) : Variant() {
    vt = VT_BSTR;
    bstrVal = text.Detach();
  }
  // An object reference (a new reference); null gives VT_DISPATCH holding nothing.
  Variant(IDispatch* object) : Variant() { SetDispatch(object); }
  template <class T>
  Variant(const ComPtr<T>& object) : Variant(static_cast<IDispatch*>(object.Get())) {}

  // The missing optional argument: VT_ERROR holding DISP_E_PARAMNOTFOUND.
  static Variant Missing() {
    Variant v;
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
  }
  static Variant Null() {
    Variant v;
    v.vt = VT_NULL;
    return v;
  }
  static Variant Error(SCODE code) {
    Variant v;
    v.vt = VT_ERROR;
    v.scode = code;
    return v;
  }
  // A by-reference variant pointing at `target` (VT_BYREF | target's vt for scalars,
  // VT_BYREF | VT_VARIANT otherwise). The target must outlive the call.
  static Variant RefTo(VARIANT& target) {
    Variant v;
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = &target;
    return v;
  }
  static Variant RefTo(LONG& target) {
    Variant v;
    v.vt = VT_BYREF | VT_I4;
    v.plVal = &target;
    return v;
  }
  static Variant RefTo(BSTR& target) {
    Variant v;
    v.vt = VT_BYREF | VT_BSTR;
    v.pbstrVal = &target;
    return v;
  }
  static Variant RefTo(IDispatch*& target) {
    Variant v;
    v.vt = VT_BYREF | VT_DISPATCH;
    v.ppdispVal = &target;
    return v;
  }
  static Variant RefTo(VARIANT_BOOL& target) {
    Variant v;
    v.vt = VT_BYREF | VT_BOOL;
    v.pboolVal = &target;
    return v;
  }
  // Takes over the array (VT_ARRAY | element type); an empty owner gives VT_EMPTY.
  static Variant FromArray(SafeArray array);
  static Variant FromArray(SAFEARRAY* array) { return FromArray(SafeArray(array)); }

  // Takes over the value `from` holds; `from` is left empty.
  static Variant Attach(VARIANT& from) {
    Variant v;
    static_cast<VARIANT&>(v) = from;
    VariantInit(&from);
    return v;
  }
  // Hands the value over, typically to an out-parameter; this variant is left empty.
  VARIANT Detach() {
    VARIANT out = *this;
    VariantInit(this);
    return out;
  }

  void SetLong(int32_t value) {
    VariantClear(this);
    vt = VT_I4;
    lVal = value;
  }
  void SetDispatch(IDispatch* object);

  VARIANT* Ptr() { return this; }
  VARTYPE Type() const { return vt; }
  bool IsMissing() const { return vt == VT_ERROR && scode == DISP_E_PARAMNOTFOUND; }
  bool IsEmpty() const { return vt == VT_EMPTY; }
  // The value behind a by-reference variant (or the variant itself).
  const VARIANT& Deref() const {
    return vt == (VT_BYREF | VT_VARIANT) ? *pvarVal : static_cast<const VARIANT&>(*this);
  }
  // Copies the value behind a by-reference variant; plain variants are copied as they are.
  Variant Dereferenced() const {
    Variant out;
    VariantCopyInd(&out, this);
    return out;
  }

  // Coercions; they throw Err::TypeMismatch or Err::Overflow.
  int32_t ToLong() const;
  int16_t ToInteger() const;
  double ToDouble() const;
  bool ToBool() const;
  std::u16string ToString() const;
  // Object references: VT_DISPATCH/VT_UNKNOWN (null for Nothing or empty); else
  // Err::TypeMismatch.
  ComPtr<IDispatch> ToDispatch() const;
  // A coerced copy.
  Variant ChangedTo(VARTYPE type, USHORT flags = 0) const;
};

static_assert(sizeof(Variant) == sizeof(VARIANT));

// The bytes of a byte array a variant holds (VT_ARRAY | VT_UI1 of any dimensions, also by
// reference or inside a by-reference variant), every element in memory order. A view: valid
// while the variant holds the array. An unallocated array (no bytes were ever put in it) is
// a byte array that is not allocated.
class ByteArrayView {
 public:
  ByteArrayView() = default;  // no byte array
  explicit ByteArrayView(const VARIANT& value);

  bool IsByteArray() const { return byteArray_; }  // false: the variant holds something else
  bool Allocated() const { return allocated_; }
  Bytes Data() const { return bytes_; }
  std::vector<uint8_t> Copy() const;

 private:
  bool byteArray_ = false;
  bool allocated_ = false;
  Bytes bytes_;
};

// Throws RuntimeError for a failed HRESULT of a coercion or a call: the run-time error
// ErrorNumberOf gives, with the code itself for Err::AutomationError and
// Err::CantCreateObject.
void ThrowIfFailed(HRESULT hr);
// The run-time error number for an HRESULT, as a client's error handler sees it; its text
// is ErrText(number).
int32_t ErrorNumberOf(HRESULT hr);

}  // namespace orvex
