#include "platform/module/ui_language.h"

#include <string_view>

#include "platform/text/text.h"

namespace orvex {

namespace {

constexpr LANGID kDefaultUiLanguage = 0x0409;

thread_local LANGID threadUiLanguage = 0;

struct LocaleName {
  const char16_t* name;
  LCID lcid;
};

// The locales the stand-in knows by name; the first locale of each language is the one its
// neutral name gives without LOCALE_ALLOW_NEUTRAL_NAMES.
constexpr LocaleName kLocaleNames[] = {
    {u"ar-SA", 0x0401}, {u"bg-BG", 0x0402},      {u"ca-ES", 0x0403},      {u"zh-CN", 0x0804},
    {u"zh-TW", 0x0404}, {u"zh-HK", 0x0C04},      {u"cs-CZ", 0x0405},      {u"da-DK", 0x0406},
    {u"de-DE", 0x0407}, {u"de-CH", 0x0807},      {u"de-AT", 0x0C07},      {u"de-LU", 0x1007},
    {u"el-GR", 0x0408}, {u"en-US", 0x0409},      {u"en-GB", 0x0809},      {u"en-AU", 0x0C09},
    {u"en-CA", 0x1009}, {u"en-IE", 0x1809},      {u"es-ES", 0x0C0A},      {u"es-MX", 0x080A},
    {u"fi-FI", 0x040B}, {u"fr-FR", 0x040C},      {u"fr-BE", 0x080C},      {u"fr-CA", 0x0C0C},
    {u"fr-CH", 0x100C}, {u"he-IL", 0x040D},      {u"hu-HU", 0x040E},      {u"is-IS", 0x040F},
    {u"it-IT", 0x0410}, {u"it-CH", 0x0810},      {u"ja-JP", 0x0411},      {u"ko-KR", 0x0412},
    {u"nl-NL", 0x0413}, {u"nl-BE", 0x0813},      {u"nb-NO", 0x0414},      {u"nn-NO", 0x0814},
    {u"pl-PL", 0x0415}, {u"pt-BR", 0x0416},      {u"pt-PT", 0x0816},      {u"ro-RO", 0x0418},
    {u"ru-RU", 0x0419}, {u"hr-HR", 0x041A},      {u"sk-SK", 0x041B},      {u"sq-AL", 0x041C},
    {u"sv-SE", 0x041D}, {u"th-TH", 0x041E},      {u"tr-TR", 0x041F},      {u"id-ID", 0x0421},
    {u"uk-UA", 0x0422}, {u"be-BY", 0x0423},      {u"sl-SI", 0x0424},      {u"et-EE", 0x0425},
    {u"lv-LV", 0x0426}, {u"lt-LT", 0x0427},      {u"fa-IR", 0x0429},      {u"vi-VN", 0x042A},
    {u"hy-AM", 0x042B}, {u"eu-ES", 0x042D},      {u"mk-MK", 0x042F},      {u"af-ZA", 0x0436},
    {u"ka-GE", 0x0437}, {u"hi-IN", 0x0439},      {u"ms-MY", 0x043E},      {u"kk-KZ", 0x043F},
    {u"sw-KE", 0x0441}, {u"ta-IN", 0x0449},      {u"te-IN", 0x044A},      {u"mr-IN", 0x044E},
    {u"gl-ES", 0x0456}, {u"sr-Latn-RS", 0x241A}, {u"sr-Cyrl-RS", 0x281A},
};

// Neutral names whose neutral identifier is not their language's primary number.
constexpr LocaleName kNeutralNames[] = {{u"zh", 0x7804}, {u"sr", 0x7C1A}};

constexpr LCID kInvariantLocale = 0x007F;

}  // namespace

LANGID SetThreadUILanguage(LANGID language) {
  threadUiLanguage = language;
  return GetThreadUILanguage();
}

LANGID GetThreadUILanguage() {
  return threadUiLanguage != 0 ? threadUiLanguage : kDefaultUiLanguage;
}

LCID LocaleNameToLCID(const char16_t* name, DWORD flags) {
  const std::u16string_view wanted = name != nullptr ? name : u"";
  if (wanted.empty()) return kInvariantLocale;
  if ((flags & LOCALE_ALLOW_NEUTRAL_NAMES) != 0) {
    for (const LocaleName& locale : kNeutralNames)
      if (EqualsIgnoringCase(locale.name, wanted)) return locale.lcid;
  }
  for (const LocaleName& locale : kLocaleNames) {
    const std::u16string_view known = locale.name;
    if (EqualsIgnoringCase(known, wanted)) return locale.lcid;
    // A neutral name: the language part of the first locale of that language.
    if (known.size() > wanted.size() && known[wanted.size()] == u'-' &&
        EqualsIgnoringCase(known.substr(0, wanted.size()), wanted) &&
        wanted.find(u'-') == std::u16string_view::npos)
      return (flags & LOCALE_ALLOW_NEUTRAL_NAMES) != 0 ? locale.lcid & 0x3FF : locale.lcid;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

}  // namespace orvex
