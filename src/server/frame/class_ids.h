// Identifiers of the Orvex10 type library: the library, its ten classes with their default
// interfaces, and the two enumerations.
#pragma once

#include "platform/module/resource_types.h"
#include "platform/ole/types.h"

namespace orvex {

inline constexpr char kLibraryName[] = "Orvex10";
inline constexpr char kLibraryVersion[] = "1.0";
inline constexpr LCID kLibraryLocale = 1033;  // registered under the neutral locale 0
inline constexpr GUID LIBID_Orvex10 = MakeGuid("{97A59516-A23F-4A09-9BC1-F3C84DFA1500}");

inline constexpr CLSID CLSID_clsQ7ResfResourceTypesA =
    MakeGuid("{49BB8B3D-B26B-45EE-B792-CB396FE4F1C3}");
inline constexpr IID IID__clsQ7ResfResourceTypesA =
    MakeGuid("{AEFAA2D1-BAB4-4F15-8FDC-3C492EF96912}");
inline constexpr CLSID CLSID_clsQ7ResfResourceTypeA =
    MakeGuid("{A79038FE-E656-4342-9D74-76D14128C519}");
inline constexpr IID IID__clsQ7ResfResourceTypeA =
    MakeGuid("{7E510299-04D5-4173-A10D-A435F7DA3A4B}");
inline constexpr CLSID CLSID_clsQ7ResfResourceItemsA =
    MakeGuid("{FC72FCC6-3747-42B7-A15F-4A6DEEB600B6}");
inline constexpr IID IID__clsQ7ResfResourceItemsA =
    MakeGuid("{0C7CACDD-A120-4E1A-8C30-304E8E791576}");
inline constexpr CLSID CLSID_clsQ7ResfResourceItemA =
    MakeGuid("{4D237EE5-F1B1-437D-80CE-2186C17B82DF}");
inline constexpr IID IID__clsQ7ResfResourceItemA =
    MakeGuid("{3CC54220-B46F-433E-9E05-70C9B37FC7D2}");
inline constexpr CLSID CLSID_clsQ7ResfResourceHandlerA =
    MakeGuid("{19D423D7-89F3-4555-A9C4-685ECEC27A83}");
inline constexpr IID IID__clsQ7ResfResourceHandlerA =
    MakeGuid("{FB45609E-812D-4A58-B255-6FD693422057}");
inline constexpr CLSID CLSID_clsQ7ResfGeneralA = MakeGuid("{90E4BD5A-18FF-4E17-B9CA-A6CFD2BA8A67}");
inline constexpr IID IID__clsQ7ResfGeneralA = MakeGuid("{33CE88F4-3819-4E0F-AD88-FDD5DB4A22E1}");
inline constexpr CLSID CLSID_clsQ7ResfAdvancedA =
    MakeGuid("{3B42F637-853C-4BC6-9972-0F9BA0D3B18F}");
inline constexpr IID IID__clsQ7ResfAdvancedA = MakeGuid("{0D6274AF-976B-41CD-AD2D-9D27385FB4B9}");
inline constexpr CLSID CLSID_clsQ7Orvex10A = MakeGuid("{662AC461-EE4A-4B24-819F-87F919FB467A}");
inline constexpr IID IID__clsQ7Orvex10A = MakeGuid("{3A4E565E-0DE0-4302-B6C1-84BB64A90BB7}");
inline constexpr CLSID CLSID_clsQ7ResfPlayAviA = MakeGuid("{328680B4-A7BF-49CC-8D9C-FA5740DF5580}");
inline constexpr IID IID__clsQ7ResfPlayAviA = MakeGuid("{CC8EBCBF-2032-4C86-AFD8-33437ABE2ACB}");
inline constexpr CLSID CLSID_clsQ7ResfFunctionCallA =
    MakeGuid("{F03B1504-9521-462A-A6C5-BC124E33D28C}");
inline constexpr IID IID__clsQ7ResfFunctionCallA =
    MakeGuid("{3664B1EE-3CD6-44B5-9291-64530B5D135B}");

// The standard resource type numbers (the platform's). A ResTypes value carries any 32-bit
// identifier: high 16 bits zero is a type number, anything else stands for a type name.
inline constexpr GUID GUID_ResTypes = MakeGuid("{EEC11915-8B27-4BEF-870F-D648CAA24E55}");
using ResTypes = ResourceType;

inline constexpr GUID GUID_DECLSPEC = MakeGuid("{CCF25F42-E3CD-4FE6-94C7-B82A5AD057C0}");
enum DECLSPEC : int32_t { eStdCall = 0, eCDecl = 1 };

// Enumeration members as type information lists them: a name and its value.
using EnumMember = NamedValue;
inline constexpr const auto& kResTypesMembers = kResourceTypeNames;
inline constexpr EnumMember kDeclspecMembers[] = {{"eStdCall", 0}, {"eCDecl", 1}};

}  // namespace orvex
