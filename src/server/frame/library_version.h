// The library's name, version and version-block texts: one source for the application
// object and for the version block of the library's own resources (own_module.h).
#pragma once

#include <cstdint>

namespace orvex {

inline constexpr char16_t kLibraryTitle[] = u"Orvex10";
inline constexpr int32_t kLibraryMajor = 1;
inline constexpr int32_t kLibraryMinor = 0;
inline constexpr int32_t kLibraryRevision = 0;
inline constexpr char16_t kLibraryVersionText[] = u"1.0.0";
inline constexpr char16_t kLibraryComments[] =
    u"Resources of Windows module files as automation objects";
inline constexpr char16_t kLibraryCompanyName[] = u"Orvex10 project";
inline constexpr char16_t kLibraryFileDescription[] = u"Orvex10 resource automation library";
inline constexpr char16_t kLibraryLegalCopyright[] = u"";
inline constexpr char16_t kLibraryLegalTrademarks[] = u"";
inline constexpr char16_t kLibraryProductName[] = u"Orvex10";
inline constexpr char16_t kLibraryOriginalFilename[] = u"liborvex10.so";

}  // namespace orvex
