#include "framework/q7halden10.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/message_box.h"

namespace orvex {

namespace {

// A member of an object handed in, or a fallback when it can't be read.
std::u16string TextOf(IDispatch* object, const char* member, std::u16string fallback) {
  try {
    return GetProperty(object, member).ToString();
  } catch (const RuntimeError&) {
    return fallback;
  }
}

}  // namespace

int32_t clsQ7elErrorHandlerA::ErrorHandlerMessageQ7(const ComPtr<IDispatch>& /*app*/,
                                                    const ComPtr<IDispatch>& error,
                                                    std::u16string_view /*text*/,
                                                    std::u16string_view source, int32_t /*value*/,
                                                    std::u16string_view /*text2*/,
                                                    int32_t /*value2*/, const VARIANT& /*extra*/) {
  std::u16string number = TextOf(error.Get(), "Number", u"?");
  std::u16string description = TextOf(error.Get(), "Description", u"");
  std::string line = Utf16ToUtf8(source) + ": error " + Utf16ToUtf8(number) + ": " +
                     Utf16ToUtf8(description) + "\n";
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
  return 0;
}

int32_t clsQ7Halden10A::AppAboutQ7el(const ComPtr<IDispatch>& app) {
  std::u16string title = TextOf(app.Get(), "Title", u"Application");
  std::u16string version = TextOf(app.Get(), "Major", u"0") + u"." +
                           TextOf(app.Get(), "Minor", u"0") + u"." +
                           TextOf(app.Get(), "Revision", u"0");
  std::u16string text = title + u" " + version;
  for (const char* member : {"FileDescription", "Comments", "LegalCopyright"}) {
    std::u16string line = TextOf(app.Get(), member, u"");
    if (!line.empty()) text += u"\r\n" + line;
  }
  std::string ansi = UnicodeToAnsi(text);
  std::string caption = UnicodeToAnsi(u"About " + title);
  MessageBoxA(0, ansi.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
  return 0;
}

namespace {

namespace T = types;

const MemberDesc kErrorHandlerMembers[] = {
    {"ErrorHandlerMessageQ7",
     MemberKind::Method,
     0x60030000,
     {Param("oApp", T::Object, kByRef), Param("oErr", T::Object), Param("sText", T::String, kByRef),
      Param("sSource", T::String), Param("lValue", T::Long, kByRef), Param("sText2", T::String),
      Param("lValue2", T::Long), Param("vExtra", T::Variant, kOptional)},
     T::Long,
     Bind<&clsQ7elErrorHandlerA::ErrorHandlerMessageQ7>()},
};

const MemberDesc kFrameworkMembers[] = {
    {"AppAboutQ7el",
     MemberKind::Method,
     0x60030000,
     {Param("oApp", T::Object)},
     T::Long,
     Bind<&clsQ7Halden10A::AppAboutQ7el>()},
};

}  // namespace

const ClassInfo& clsQ7elErrorHandlerAInfo() {
  static const ClassInfo info(
      {"clsQ7elErrorHandlerA", "Q7Halden10.clsQ7elErrorHandlerA", CLSID_clsQ7elErrorHandlerA,
       "_clsQ7elErrorHandlerA", IID__clsQ7elErrorHandlerA},
      kErrorHandlerMembers, &CreateOf<clsQ7elErrorHandlerA>);
  return info;
}

const ClassInfo& clsQ7Halden10AInfo() {
  static const ClassInfo info({"clsQ7Halden10A", "Q7Halden10.clsQ7Halden10A", CLSID_clsQ7Halden10A,
                               "_clsQ7Halden10A", IID__clsQ7Halden10A},
                              kFrameworkMembers, &CreateOf<clsQ7Halden10A>);
  return info;
}

std::span<const ClassInfo* const> Q7Halden10Classes() {
  static const ClassInfo* const classes[] = {&clsQ7elErrorHandlerAInfo(), &clsQ7Halden10AInfo()};
  return classes;
}

const ServerDescription& Q7Halden10Server() {
  static const ServerDescription server{"Q7Halden10", LIBID_Q7Halden10, "1.0", Q7Halden10Classes()};
  return server;
}

void RegisterQ7Halden10Classes() {
  for (const ClassInfo* info : Q7Halden10Classes()) RegisterClassInProcess(*info);
}

void RevokeQ7Halden10Classes() {
  for (const ClassInfo* info : Q7Halden10Classes()) CoRevokeClassObject(info->Clsid());
}

}  // namespace orvex
