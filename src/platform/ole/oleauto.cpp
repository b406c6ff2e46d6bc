#include "platform/ole/oleauto.h"

#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "base/huge_pages.h"
#include "platform/ole/unknown.h"
#include "platform/text/text.h"

namespace orvex {

// ---------------------------------------------------------------------------------------
// BSTR: [uint32 byte length][units...][NUL]

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > (std::numeric_limits<uint32_t>::max() - 8) / 2) return nullptr;
  size_t bytes = size_t(length) * 2;
  auto* block = static_cast<char*>(std::malloc(4 + bytes + 2));
  if (block == nullptr) return nullptr;
  uint32_t prefix = static_cast<uint32_t>(bytes);
  std::memcpy(block, &prefix, 4);
  auto* units = reinterpret_cast<OLECHAR*>(block + 4);
  if (text != nullptr && length != 0)
    std::memcpy(units, text, bytes);
  else
    std::memset(units, 0, bytes);
  units[length] = 0;
  return units;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<char16_t>::length(text)));
}

BSTR SysAllocStringView(std::u16string_view text) {
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

BSTR SysAllocStringByteLen(const char* bytes, UINT length) {
  if (length > std::numeric_limits<uint32_t>::max() - 8) return nullptr;
  auto* block = static_cast<char*>(std::malloc(4 + size_t(length) + 2));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &length, 4);
  if (bytes != nullptr && length != 0)
    std::memcpy(block + 4, bytes, length);
  else
    std::memset(block + 4, 0, length);
  block[4 + length] = 0;
  block[4 + length + 1] = 0;
  return reinterpret_cast<BSTR>(block + 4);
}

void SysFreeString(BSTR text) {
  if (text != nullptr) std::free(reinterpret_cast<char*>(text) - 4);
}

UINT SysStringByteLen(BSTR text) {
  if (text == nullptr) return 0;
  uint32_t prefix;
  std::memcpy(&prefix, reinterpret_cast<char*>(text) - 4, 4);
  return prefix;
}

UINT SysStringLen(BSTR text) {
  return SysStringByteLen(text) / 2;
}

// ---------------------------------------------------------------------------------------
// VARIANT

void VariantInit(VARIANT* v) {
  v->vt = VT_EMPTY;
  v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
  v->llVal = 0;
  v->brecVal.pRecInfo = nullptr;
}

HRESULT VariantClear(VARIANT* v) {
  if (v == nullptr) return E_INVALIDARG;
  if ((v->vt & VT_BYREF) == 0) {
    if (v->vt & VT_ARRAY) {
      if (v->parray != nullptr) {
        HRESULT hr = SafeArrayDestroy(v->parray);
        if (FAILED(hr)) return hr;
      }
    } else {
      switch (v->vt) {
        case VT_BSTR:
          SysFreeString(v->bstrVal);
          break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
          if (v->punkVal != nullptr) v->punkVal->Release();
          break;
        default:
          break;
      }
    }
  }
  VariantInit(v);
  return S_OK;
}

namespace {

bool IsKnownScalar(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

size_t ScalarSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
      return 8;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return sizeof(void*);
    case VT_VARIANT:
      return sizeof(VARIANT);
    default:
      return 0;
  }
}

}  // namespace

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  if (dest == src) return S_OK;
  VARIANT copy = *src;  // src may live inside dest's value
  if ((copy.vt & VT_BYREF) == 0) {
    if (copy.vt & VT_ARRAY) {
      if (copy.parray != nullptr) {
        SAFEARRAY* arrayCopy = nullptr;
        HRESULT hr = SafeArrayCopy(copy.parray, &arrayCopy);
        if (FAILED(hr)) return hr;
        copy.parray = arrayCopy;
      }
    } else if (copy.vt == VT_BSTR) {
      if (copy.bstrVal != nullptr) {
        copy.bstrVal = SysAllocStringByteLen(reinterpret_cast<const char*>(copy.bstrVal),
                                             SysStringByteLen(copy.bstrVal));
        if (copy.bstrVal == nullptr) return E_OUTOFMEMORY;
      }
    } else if (copy.vt == VT_DISPATCH || copy.vt == VT_UNKNOWN) {
      if (copy.punkVal != nullptr) copy.punkVal->AddRef();
    } else if (!IsKnownScalar(copy.vt)) {
      return DISP_E_BADVARTYPE;
    }
  }
  VariantClear(dest);
  *dest = copy;
  return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src) {
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  if ((src->vt & VT_BYREF) == 0) return VariantCopy(dest, src);
  if (src->byref == nullptr) return E_INVALIDARG;
  VARTYPE base = static_cast<VARTYPE>(src->vt & ~VT_BYREF);
  VARIANT value;
  VariantInit(&value);
  if (base == VT_VARIANT) {
    const VARIANT* inner = src->pvarVal;
    if (inner->vt & VT_BYREF) return E_INVALIDARG;
    value = *inner;
  } else if (base & VT_ARRAY) {
    value.vt = base;
    value.parray = *src->pparray;
  } else {
    size_t size = ScalarSize(base);
    if (size == 0 || !IsKnownScalar(base)) return DISP_E_BADVARTYPE;
    value.vt = base;
    std::memcpy(&value.llVal, src->byref, size);
  }
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = VariantCopy(&result, &value);  // value is a borrowed view
  if (FAILED(hr)) return hr;
  VariantClear(dest);
  *dest = result;
  return S_OK;
}

// ---------------------------------------------------------------------------------------
// Coercions

namespace {

// A numeric value on its way between types: integers stay exact, the rest is a double.
struct Number {
  bool isInteger = true;
  int64_t integer = 0;
  double real = 0;
  bool fromHex = false;  // "&H"/"&O" text: may wrap into a signed type of its width
  double AsDouble() const { return isInteger ? static_cast<double>(integer) : real; }
};

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Automation's numeric text: spaces, sign, digits with optional thousands commas, one
// decimal point, optional exponent; or "&H" hexadecimal / "&O" octal digits.
HRESULT ParseNumber(std::u16string_view text, Number* out) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  text = text.substr(begin, end - begin);
  if (text.empty()) return DISP_E_TYPEMISMATCH;

  if (text.size() > 2 && text[0] == u'&' &&
      (text[1] == u'H' || text[1] == u'h' || text[1] == u'O' || text[1] == u'o')) {
    unsigned radix = (text[1] == u'H' || text[1] == u'h') ? 16 : 8;
    uint64_t value = 0;
    for (size_t i = 2; i < text.size(); ++i) {
      char16_t c = text[i];
      unsigned digit = c >= u'0' && c <= u'9'   ? unsigned(c - u'0')
                       : c >= u'a' && c <= u'f' ? unsigned(c - u'a' + 10)
                       : c >= u'A' && c <= u'F' ? unsigned(c - u'A' + 10)
                                                : 99;
      if (digit >= radix) return DISP_E_TYPEMISMATCH;
      value = value * radix + digit;
      if (value > 0xFFFFFFFFull) return DISP_E_OVERFLOW;
    }
    out->isInteger = true;
    out->integer = static_cast<int64_t>(value);
    out->fromHex = true;
    return S_OK;
  }

  std::string ascii;
  ascii.reserve(text.size());
  size_t i = 0;
  if (text[i] == u'+' || text[i] == u'-') ascii.push_back(static_cast<char>(text[i++]));
  bool digits = false, point = false, exponent = false;
  for (; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'0' && c <= u'9') {
      ascii.push_back(static_cast<char>(c));
      digits = true;
    } else if (c == u',' && digits && !point && !exponent) {
      continue;  // thousands separator
    } else if (c == u'.' && !point && !exponent) {
      ascii.push_back('.');
      point = true;
    } else if ((c == u'e' || c == u'E') && digits && !exponent) {
      ascii.push_back('e');
      exponent = true;
      if (i + 1 < text.size() && (text[i + 1] == u'+' || text[i + 1] == u'-'))
        ascii.push_back(static_cast<char>(text[++i]));
      if (i + 1 >= text.size()) return DISP_E_TYPEMISMATCH;
    } else {
      return DISP_E_TYPEMISMATCH;
    }
  }
  if (!digits) return DISP_E_TYPEMISMATCH;
  const char* first = ascii.data();
  const char* last = ascii.data() + ascii.size();
  if (*first == '+') ++first;
  if (!point && !exponent) {
    int64_t value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc() && ptr == last) {
      out->isInteger = true;
      out->integer = value;
      return S_OK;
    }
  }
  double value = 0;
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec == std::errc::result_out_of_range) return DISP_E_OVERFLOW;
  if (ec != std::errc() || ptr != last) return DISP_E_TYPEMISMATCH;
  out->isInteger = false;
  out->real = value;
  return S_OK;
}

// Rounds half to even (banker's rounding), as every float-to-integer coercion does.
double RoundHalfEven(double x) {
  double floor = std::floor(x);
  double diff = x - floor;
  if (diff > 0.5) return floor + 1;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

HRESULT ToInteger(const Number& n, int64_t min, int64_t max, int bits, int64_t* out) {
  if (n.isInteger) {
    int64_t v = n.integer;
    if (n.fromHex && bits < 64 && v > max && v <= (max - min)) v -= (max - min) + 1;
    if (v < min || v > max) return DISP_E_OVERFLOW;
    *out = v;
    return S_OK;
  }
  if (std::isnan(n.real)) return DISP_E_OVERFLOW;
  double r = RoundHalfEven(n.real);
  if (r < static_cast<double>(min) || r > static_cast<double>(max) || !std::isfinite(r))
    return DISP_E_OVERFLOW;
  // max of a 64-bit type rounds up to 2^63 as a double.
  if (bits == 64 && r >= 9223372036854775807.0) return DISP_E_OVERFLOW;
  *out = static_cast<int64_t>(r);
  return S_OK;
}

HRESULT ReadNumber(const VARIANT& v, Number* out) {
  switch (v.vt) {
    case VT_EMPTY:
      out->integer = 0;
      return S_OK;
    case VT_I1:
      out->integer = v.cVal;
      return S_OK;
    case VT_UI1:
      out->integer = v.bVal;
      return S_OK;
    case VT_I2:
      out->integer = v.iVal;
      return S_OK;
    case VT_UI2:
      out->integer = v.uiVal;
      return S_OK;
    case VT_BOOL:
      out->integer = v.boolVal;
      return S_OK;
    case VT_I4:
      out->integer = v.lVal;
      return S_OK;
    case VT_INT:
      out->integer = v.intVal;
      return S_OK;
    case VT_UI4:
      out->integer = v.ulVal;
      return S_OK;
    case VT_UINT:
      out->integer = v.uintVal;
      return S_OK;
    case VT_I8:
      out->integer = v.llVal;
      return S_OK;
    case VT_UI8:
      if (v.ullVal > uint64_t(std::numeric_limits<int64_t>::max())) {
        out->isInteger = false;
        out->real = static_cast<double>(v.ullVal);
      } else {
        out->integer = static_cast<int64_t>(v.ullVal);
      }
      return S_OK;
    case VT_R4:
      out->isInteger = false;
      out->real = v.fltVal;
      return S_OK;
    case VT_R8:
      out->isInteger = false;
      out->real = v.dblVal;
      return S_OK;
    case VT_DATE:
      out->isInteger = false;
      out->real = v.date;
      return S_OK;
    case VT_CY:
      if (v.cyVal.int64 % 10000 == 0) {
        out->integer = v.cyVal.int64 / 10000;
      } else {
        out->isInteger = false;
        out->real = static_cast<double>(v.cyVal.int64) / 10000.0;
      }
      return S_OK;
    case VT_BSTR:
      return ParseNumber(BstrView(v.bstrVal), out);
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

std::u16string Widen(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

// Floating text as the runtime writes it: up to `digits` significant digits, no trailing
// zeros, "E+nn"/"E-nn" exponents for very large or small values.
std::u16string FormatReal(double value, int digits) {
  if (value == 0) return u"0";
  char text[64];
  std::snprintf(text, sizeof text, "%.*G", digits, value);
  return Widen(text);
}

std::u16string FormatCurrency(int64_t scaled) {
  bool negative = scaled < 0;
  uint64_t magnitude = negative ? uint64_t(0) - uint64_t(scaled) : uint64_t(scaled);
  std::string text = std::to_string(magnitude / 10000);
  uint64_t fraction = magnitude % 10000;
  if (fraction != 0) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04u", static_cast<unsigned>(fraction));
    std::string f(digits);
    while (!f.empty() && f.back() == '0') f.pop_back();
    text += "." + f;
  }
  return Widen(negative ? "-" + text : text);
}

HRESULT ToText(const VARIANT& v, USHORT flags, std::u16string* out) {
  switch (v.vt) {
    case VT_EMPTY:
      out->clear();
      return S_OK;
    case VT_BSTR:
      *out = std::u16string(BstrView(v.bstrVal));
      return S_OK;
    case VT_BOOL:
      if (flags & VARIANT_ALPHABOOL)
        *out = v.boolVal ? u"True" : u"False";
      else
        *out = v.boolVal ? u"-1" : u"0";
      return S_OK;
    case VT_R4:
      *out = FormatReal(v.fltVal, 7);
      return S_OK;
    case VT_R8:
      *out = FormatReal(v.dblVal, 15);
      return S_OK;
    case VT_CY:
      *out = FormatCurrency(v.cyVal.int64);
      return S_OK;
    case VT_UI8:
      *out = Widen(std::to_string(v.ullVal));
      return S_OK;
    case VT_DATE:
      return DISP_E_TYPEMISMATCH;  // no calendar in this runtime
    default: {
      Number n;
      HRESULT hr = ReadNumber(v, &n);
      if (FAILED(hr)) return hr;
      *out = Widen(std::to_string(n.integer));
      return S_OK;
    }
  }
}

HRESULT ToBool(const VARIANT& v, bool* out) {
  if (v.vt == VT_BSTR) {
    std::u16string_view text = BstrView(v.bstrVal);
    size_t b = 0, e = text.size();
    while (b < e && IsSpace(text[b])) ++b;
    while (e > b && IsSpace(text[e - 1])) --e;
    text = text.substr(b, e - b);
    if (EqualsIgnoringCase(text, u"True")) return *out = true, S_OK;
    if (EqualsIgnoringCase(text, u"False")) return *out = false, S_OK;
  }
  Number n;
  HRESULT hr = ReadNumber(v, &n);
  if (FAILED(hr)) return hr;
  *out = n.isInteger ? n.integer != 0 : n.real != 0;
  return S_OK;
}

HRESULT ChangeScalar(const VARIANT& in, USHORT flags, VARTYPE vt, VARIANT* out) {
  VariantInit(out);
  if (in.vt == VT_NULL) return vt == VT_NULL ? (out->vt = VT_NULL, S_OK) : DISP_E_TYPEMISMATCH;
  if (in.vt == VT_ERROR && vt != VT_ERROR) return DISP_E_TYPEMISMATCH;
  if (in.vt & VT_ARRAY) return DISP_E_TYPEMISMATCH;
  switch (vt) {
    case VT_EMPTY:
      return S_OK;
    case VT_NULL:
      return DISP_E_TYPEMISMATCH;
    case VT_BSTR: {
      std::u16string text;
      HRESULT hr = ToText(in, flags, &text);
      if (FAILED(hr)) return hr;
      out->bstrVal = SysAllocStringView(text);
      if (out->bstrVal == nullptr) return E_OUTOFMEMORY;
      out->vt = VT_BSTR;
      return S_OK;
    }
    case VT_BOOL: {
      bool b = false;
      HRESULT hr = ToBool(in, &b);
      if (FAILED(hr)) return hr;
      out->vt = VT_BOOL;
      out->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
    case VT_ERROR:
      return DISP_E_TYPEMISMATCH;
    default:
      break;
  }
  Number n;
  HRESULT hr = ReadNumber(in, &n);
  if (FAILED(hr)) return hr;
  int64_t i = 0;
  switch (vt) {
    case VT_I1:
      hr = ToInteger(n, INT8_MIN, INT8_MAX, 8, &i);
      out->cVal = static_cast<CHAR>(i);
      break;
    case VT_UI1:
      hr = ToInteger(n, 0, UINT8_MAX, 8, &i);
      out->bVal = static_cast<BYTE>(i);
      break;
    case VT_I2:
      hr = ToInteger(n, INT16_MIN, INT16_MAX, 16, &i);
      out->iVal = static_cast<SHORT>(i);
      break;
    case VT_UI2:
      hr = ToInteger(n, 0, UINT16_MAX, 16, &i);
      out->uiVal = static_cast<USHORT>(i);
      break;
    case VT_I4:
    case VT_INT:
      hr = ToInteger(n, INT32_MIN, INT32_MAX, 32, &i);
      out->lVal = static_cast<LONG>(i);
      break;
    case VT_UI4:
    case VT_UINT:
      hr = ToInteger(n, 0, UINT32_MAX, 32, &i);
      out->ulVal = static_cast<ULONG>(i);
      break;
    case VT_I8:
      hr = ToInteger(n, INT64_MIN, INT64_MAX, 64, &i);
      out->llVal = i;
      break;
    case VT_UI8:
      if (!n.isInteger && n.real >= 0 && n.real < 18446744073709551616.0) {
        out->ullVal = static_cast<uint64_t>(RoundHalfEven(n.real));
      } else {
        hr = ToInteger(n, 0, INT64_MAX, 64, &i);
        out->ullVal = static_cast<uint64_t>(i);
      }
      break;
    case VT_R4: {
      double d = n.AsDouble();
      if (std::isfinite(d) && std::fabs(d) > FLT_MAX) hr = DISP_E_OVERFLOW;
      out->fltVal = static_cast<float>(d);
      break;
    }
    case VT_R8:
      out->dblVal = n.AsDouble();
      break;
    case VT_DATE:
      out->date = n.AsDouble();
      break;
    case VT_CY: {
      if (n.isInteger) {
        if (n.integer > INT64_MAX / 10000 || n.integer < INT64_MIN / 10000)
          hr = DISP_E_OVERFLOW;
        else
          out->cyVal.int64 = n.integer * 10000;
      } else {
        double scaled = RoundHalfEven(n.real * 10000.0);
        if (!(scaled > -9.2233720368547758e18 && scaled < 9.2233720368547758e18))
          hr = DISP_E_OVERFLOW;
        else
          out->cyVal.int64 = static_cast<int64_t>(scaled);
      }
      break;
    }
    default:
      return DISP_E_BADVARTYPE;
  }
  if (FAILED(hr)) {
    VariantInit(out);
    return hr;
  }
  out->vt = vt;
  return S_OK;
}

}  // namespace

HRESULT VariantChangeTypeEx(VARIANT* dest, const VARIANT* src, LCID /*lcid*/, USHORT flags,
                            VARTYPE vt) {
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  if (vt & VT_BYREF) return DISP_E_BADVARTYPE;
  VARIANT in;
  VariantInit(&in);
  HRESULT hr = VariantCopyInd(&in, src);
  if (FAILED(hr)) return hr;

  VARIANT out;
  VariantInit(&out);
  if (in.vt == vt || vt == VT_VARIANT) {
    out = in;
    VariantInit(&in);
  } else if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    if ((in.vt == VT_DISPATCH || in.vt == VT_UNKNOWN) && in.punkVal != nullptr) {
      void* p = nullptr;
      hr = in.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &p);
      if (FAILED(hr))
        hr = DISP_E_TYPEMISMATCH;
      else
        out.vt = vt, out.punkVal = static_cast<IUnknown*>(p);
    } else if ((in.vt == VT_DISPATCH || in.vt == VT_UNKNOWN) && in.punkVal == nullptr) {
      out.vt = vt;
      out.punkVal = nullptr;
    } else {
      hr = DISP_E_TYPEMISMATCH;
    }
  } else if (in.vt == VT_DISPATCH && !(flags & VARIANT_NOVALUEPROP)) {
    // An object converts through its default member (DISPID_VALUE).
    if (in.pdispVal == nullptr) {
      hr = DISP_E_TYPEMISMATCH;
    } else {
      VARIANT value;
      VariantInit(&value);
      DISPPARAMS none{nullptr, nullptr, 0, 0};
      hr = in.pdispVal->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                               &none, &value, nullptr, nullptr);
      if (FAILED(hr))
        hr = DISP_E_TYPEMISMATCH;
      else
        hr = VariantChangeTypeEx(&out, &value, LOCALE_USER_DEFAULT, flags, vt);
      VariantClear(&value);
    }
  } else if (vt & VT_ARRAY) {
    hr = DISP_E_TYPEMISMATCH;
  } else {
    hr = ChangeScalar(in, flags, vt, &out);
  }
  VariantClear(&in);
  if (FAILED(hr)) {
    VariantClear(&out);
    return hr;
  }
  VariantClear(dest);
  *dest = out;
  return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt) {
  return VariantChangeTypeEx(dest, src, LOCALE_USER_DEFAULT, flags, vt);
}

// ---------------------------------------------------------------------------------------
// SAFEARRAY: a 16-byte header holding the element type precedes the descriptor.

namespace {

constexpr size_t kHeader = 16;

size_t DescriptorSize(UINT dims) {
  return sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND);
}

VARTYPE& StoredType(SAFEARRAY* array) {
  return *reinterpret_cast<VARTYPE*>(reinterpret_cast<char*>(array) - kHeader);
}

bool ElementCount(const SAFEARRAY* array, size_t* count) {
  size_t total = 1;
  for (USHORT i = 0; i < array->cDims; ++i) {
    size_t n = array->rgsabound[i].cElements;
    if (n != 0 && total > std::numeric_limits<size_t>::max() / n) return false;
    total *= n;
  }
  *count = total;
  return true;
}

// Releases what elements [from, to) own: strings, variants and interfaces. Arrays of
// plain values own nothing and are not walked.
void ReleaseElements(SAFEARRAY* array, size_t from, size_t to) {
  const VARTYPE vt = StoredType(array);
  if (vt != VT_BSTR && vt != VT_VARIANT && vt != VT_DISPATCH && vt != VT_UNKNOWN) return;
  auto* data = static_cast<char*>(array->pvData);
  for (size_t i = from; i < to; ++i) {
    void* element = data + i * array->cbElements;
    if (vt == VT_BSTR) {
      BSTR s;
      std::memcpy(&s, element, sizeof s);
      SysFreeString(s);
    } else if (vt == VT_VARIANT) {
      VariantClear(static_cast<VARIANT*>(element));
    } else if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
      IUnknown* p;
      std::memcpy(&p, element, sizeof p);
      if (p) p->Release();
    }
  }
}

// ReleaseElements, then zeroes the elements.
void ClearElements(SAFEARRAY* array, size_t from, size_t to) {
  ReleaseElements(array, from, to);
  std::memset(static_cast<char*>(array->pvData) + from * array->cbElements, 0,
              (to - from) * array->cbElements);
}

HRESULT ElementPointer(SAFEARRAY* array, const LONG* indices, void** element) {
  if (array == nullptr || indices == nullptr) return E_INVALIDARG;
  size_t offset = 0, stride = 1;
  // rgsabound[cDims - 1] is the leftmost dimension, which varies fastest in memory.
  for (int d = array->cDims - 1; d >= 0; --d) {
    const SAFEARRAYBOUND& b = array->rgsabound[d];
    int64_t rel = int64_t(indices[d]) - b.lLbound;
    if (rel < 0 || rel >= int64_t(b.cElements)) return DISP_E_BADINDEX;
    offset += size_t(rel) * stride;
    stride *= b.cElements;
  }
  *element = static_cast<char*>(array->pvData) + offset * array->cbElements;
  return S_OK;
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds) {
  size_t elementSize = ScalarSize(vt);
  if (dims == 0 || dims > 60 || bounds == nullptr || elementSize == 0) return nullptr;
  if (vt == VT_EMPTY || vt == VT_NULL) return nullptr;
  auto* block = static_cast<char*>(std::calloc(1, kHeader + DescriptorSize(dims)));
  if (block == nullptr) return nullptr;
  auto* array = reinterpret_cast<SAFEARRAY*>(block + kHeader);
  StoredType(array) = vt;
  array->cDims = static_cast<USHORT>(dims);
  array->cbElements = static_cast<ULONG>(elementSize);
  array->fFeatures = FADF_HAVEVARTYPE | (vt == VT_BSTR       ? FADF_BSTR
                                         : vt == VT_VARIANT  ? FADF_VARIANT
                                         : vt == VT_DISPATCH ? FADF_DISPATCH
                                         : vt == VT_UNKNOWN  ? FADF_UNKNOWN
                                                             : 0);
  for (UINT i = 0; i < dims; ++i) array->rgsabound[dims - 1 - i] = bounds[i];
  size_t count = 0;
  if (!ElementCount(array, &count) || count > std::numeric_limits<size_t>::max() / elementSize) {
    std::free(block);
    return nullptr;
  }
  if (count != 0) {
    array->pvData = std::calloc(count, elementSize);
    if (array->pvData == nullptr) {
      std::free(block);
      return nullptr;
    }
    // Large arrays (resources copied out of a module) are filled next: fewer faults.
    PreferHugePages(array->pvData, count * elementSize);
  }
  return array;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements) {
  SAFEARRAYBOUND bound{elements, lowerBound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
  if (array == nullptr) return S_OK;
  if (array->cLocks != 0) return DISP_E_ARRAYISLOCKED;
  size_t count = 0;
  ElementCount(array, &count);
  if (array->pvData != nullptr) {
    ReleaseElements(array, 0, count);
    std::free(array->pvData);
  }
  std::free(reinterpret_cast<char*>(array) - kHeader);
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy) {
  if (source == nullptr || copy == nullptr) return E_INVALIDARG;
  *copy = nullptr;
  std::vector<SAFEARRAYBOUND> bounds(source->cDims);
  for (USHORT i = 0; i < source->cDims; ++i) bounds[i] = source->rgsabound[source->cDims - 1 - i];
  VARTYPE vt = StoredType(source);
  SAFEARRAY* out = SafeArrayCreate(vt, source->cDims, bounds.data());
  if (out == nullptr) return E_OUTOFMEMORY;
  size_t count = 0;
  ElementCount(source, &count);
  auto* from = static_cast<char*>(source->pvData);
  auto* to = static_cast<char*>(out->pvData);
  for (size_t i = 0; i < count; ++i) {
    char* s = from + i * source->cbElements;
    char* d = to + i * out->cbElements;
    if (vt == VT_BSTR) {
      BSTR text;
      std::memcpy(&text, s, sizeof text);
      BSTR dup = text ? SysAllocStringByteLen(reinterpret_cast<char*>(text), SysStringByteLen(text))
                      : nullptr;
      std::memcpy(d, &dup, sizeof dup);
    } else if (vt == VT_VARIANT) {
      HRESULT hr = VariantCopy(reinterpret_cast<VARIANT*>(d), reinterpret_cast<VARIANT*>(s));
      if (FAILED(hr)) {
        SafeArrayDestroy(out);
        return hr;
      }
    } else {
      std::memcpy(d, s, source->cbElements);
      if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
        IUnknown* p;
        std::memcpy(&p, d, sizeof p);
        if (p) p->AddRef();
      }
    }
  }
  *copy = out;
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array) {
  return array ? array->cDims : 0;
}
UINT SafeArrayGetElemsize(SAFEARRAY* array) {
  return array ? array->cbElements : 0;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
  if (array == nullptr || vt == nullptr) return E_INVALIDARG;
  *vt = StoredType(array);
  return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  *bound = array->rgsabound[array->cDims - dim].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& b = array->rgsabound[array->cDims - dim];
  *bound = static_cast<LONG>(int64_t(b.lLbound) + int64_t(b.cElements) - 1);
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  ++array->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  if (array->cLocks == 0) return E_UNEXPECTED;
  --array->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  if (array == nullptr || data == nullptr) return E_INVALIDARG;
  ++array->cLocks;
  *data = array->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) {
  return SafeArrayUnlock(array);
}

HRESULT SafeArrayGetElement(SAFEARRAY* array, const LONG* indices, void* value) {
  void* element = nullptr;
  HRESULT hr = ElementPointer(array, indices, &element);
  if (FAILED(hr)) return hr;
  VARTYPE vt = StoredType(array);
  if (vt == VT_VARIANT) {
    auto* out = static_cast<VARIANT*>(value);
    VariantInit(out);
    return VariantCopy(out, static_cast<VARIANT*>(element));
  }
  if (vt == VT_BSTR) {
    BSTR text;
    std::memcpy(&text, element, sizeof text);
    BSTR dup = text ? SysAllocStringByteLen(reinterpret_cast<char*>(text), SysStringByteLen(text))
                    : nullptr;
    if (text && !dup) return E_OUTOFMEMORY;
    std::memcpy(value, &dup, sizeof dup);
    return S_OK;
  }
  std::memcpy(value, element, array->cbElements);
  if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    IUnknown* p;
    std::memcpy(&p, value, sizeof p);
    if (p) p->AddRef();
  }
  return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* array, const LONG* indices, const void* value) {
  void* element = nullptr;
  HRESULT hr = ElementPointer(array, indices, &element);
  if (FAILED(hr)) return hr;
  VARTYPE vt = StoredType(array);
  if (vt == VT_VARIANT)
    return VariantCopy(static_cast<VARIANT*>(element), static_cast<const VARIANT*>(value));
  if (vt == VT_BSTR) {
    BSTR text = const_cast<BSTR>(static_cast<const OLECHAR*>(value));
    BSTR dup = text ? SysAllocStringByteLen(reinterpret_cast<char*>(text), SysStringByteLen(text))
                    : nullptr;
    if (text && !dup) return E_OUTOFMEMORY;
    BSTR old;
    std::memcpy(&old, element, sizeof old);
    SysFreeString(old);
    std::memcpy(element, &dup, sizeof dup);
    return S_OK;
  }
  if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    auto* p = const_cast<IUnknown*>(static_cast<const IUnknown*>(value));
    if (p) p->AddRef();
    IUnknown* old;
    std::memcpy(&old, element, sizeof old);
    if (old) old->Release();
    std::memcpy(element, &p, sizeof p);
    return S_OK;
  }
  std::memcpy(element, value, array->cbElements);
  return S_OK;
}

HRESULT SafeArrayRedim(SAFEARRAY* array, const SAFEARRAYBOUND* lastDimension) {
  if (array == nullptr || lastDimension == nullptr) return E_INVALIDARG;
  if (array->cLocks != 0) return DISP_E_ARRAYISLOCKED;
  // The leftmost dimension is stored last and varies fastest; only 1-D arrays can keep
  // their elements across a resize here.
  if (array->cDims != 1) return E_NOTIMPL;
  size_t oldCount = array->rgsabound[0].cElements;
  size_t newCount = lastDimension->cElements;
  if (newCount < oldCount) ClearElements(array, newCount, oldCount);
  void* data = newCount == 0 ? nullptr : std::realloc(array->pvData, newCount * array->cbElements);
  if (newCount != 0 && data == nullptr) return E_OUTOFMEMORY;
  if (newCount == 0) std::free(array->pvData);
  if (newCount > oldCount)
    std::memset(static_cast<char*>(data) + oldCount * array->cbElements, 0,
                (newCount - oldCount) * array->cbElements);
  array->pvData = data;
  array->rgsabound[0] = *lastDimension;
  return S_OK;
}

}  // namespace orvex
