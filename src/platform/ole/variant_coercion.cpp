// VariantChangeType(Ex): coercions between the variant types, with automation's numeric
// text, banker's rounding and overflow checks.
#include "platform/ole/oleauto.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "platform/ole/unknown.h"
#include "platform/text/text.h"

namespace orvex {

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
      out->integer = static_cast<int8_t>(v.cVal);
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

}  // namespace orvex
