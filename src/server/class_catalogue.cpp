// The class catalogue: every class, interface, member, DISPID, kind and parameter of the
// Orvex10 type library, each row bound to its C++ implementation. A row bound with
// NotImplemented() answers Err::ActionNotSupported until its subsystem binds it.
#include "server/class_catalogue.h"

#include <mutex>

#include "catalogue/cls_q7_resf_resource_handler_a.h"
#include "catalogue/cls_q7_resf_resource_item_a.h"
#include "catalogue/cls_q7_resf_resource_items_a.h"
#include "catalogue/cls_q7_resf_resource_type_a.h"
#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "dyncall/cls_q7_resf_function_call_a.h"
#include "media/cls_q7_resf_play_avi_a.h"
#include "server/cls_q7_orvex10_a.h"
#include "server/frame/class_ids.h"

namespace orvex {

namespace {

using K = MemberKind;
namespace T = types;

constexpr TypeRef kResTypes = T::Enum("ResTypes");
constexpr TypeRef kDeclspec = T::Enum("DECLSPEC");
constexpr TypeRef kPicture = T::Class("IPictureDisp");
constexpr TypeRef kPlayAvi = T::Class("clsQ7ResfPlayAviA");
constexpr TypeRef kTypes = T::Class("clsQ7ResfResourceTypesA");
constexpr TypeRef kTypeRecord = T::Class("clsQ7ResfResourceTypeA");
constexpr TypeRef kItems = T::Class("clsQ7ResfResourceItemsA");
constexpr TypeRef kItem = T::Class("clsQ7ResfResourceItemA");

using Types = clsQ7ResfResourceTypesA;
using TypeRecord = clsQ7ResfResourceTypeA;
using Items = clsQ7ResfResourceItemsA;
using ItemRecord = clsQ7ResfResourceItemA;
using FunctionCall = clsQ7ResfFunctionCallA;
using PlayAvi = clsQ7ResfPlayAviA;

// _clsQ7ResfResourceTypesA, in slot order.
const MemberDesc kResourceTypesMembers[] = {
    {"PlayAVIObject", K::Get, 0x40030005, {}, kPlayAvi, Bind<&Types::PlayAVIObject>()},
    {"PlayAVIObject",
     K::Set,
     0x40030005,
     {Param("PlayAVIObject", kPlayAvi)},
     T::None,
     Bind<&Types::SetPlayAVIObject>()},
    {"Filename", K::Get, 0x68030004, {}, T::String, Bind<&Types::Filename>()},
    {"Filename",
     K::Let,
     0x68030004,
     {Param("Filename", T::String)},
     T::None,
     Bind<&Types::LetFilename>()},
    {"FilePartFileName", K::Get, 0x68030003, {}, T::String, Bind<&Types::FilePartFileName>()},
    {"FilePartFileName",
     K::Let,
     0x68030003,
     {Param("FilePartFileName", T::String)},
     T::None,
     Bind<&Types::LetFilePartFileName>()},
    {"HandleModule", K::Get, 0x68030002, {}, T::Long, Bind<&Types::HandleModule>()},
    {"HandleModule",
     K::Let,
     0x68030002,
     {Param("HandleModule", T::Long)},
     T::None,
     Bind<&Types::LetHandleModule>()},
    {"Add",
     K::Method,
     0x60030008,
     {Param("lRestype", kResTypes, kByRef), Param("sComments", T::String, kByRef | kOptional)},
     T::Long,
     Bind<&Types::Add>()},
    {"EnumResourceTypesStart",
     K::Method,
     0x6003000A,
     {},
     T::Long,
     Bind<&Types::EnumResourceTypesStart>()},
    {"EnumResourceTypesStop",
     K::Method,
     0x6003000B,
     {},
     T::Long,
     Bind<&Types::EnumResourceTypesStop>()},
    {"Clear", K::Method, 0x6003000C, {}, T::None, Bind<&Types::Clear>()},
    {"Count", K::Get, 0x68030001, {}, T::Long, Bind<&Types::Count>()},
    {"Item",
     K::Get,
     0x68030000,
     {Param("Index", T::Variant, kByRef)},
     kTypeRecord,
     Bind<&Types::Item>()},
    {"Remove",
     K::Method,
     0x6003000D,
     {Param("Index", T::Long, kByRef)},
     T::None,
     Bind<&Types::Remove>()},
    {"FindIndexByName",
     K::Method,
     0x6003000F,
     {Param("sName", T::String, kByRef)},
     T::Long,
     Bind<&Types::FindIndexByName>()},
    {"GetPicture",
     K::Method,
     0x60030010,
     {Param("ResType", kResTypes, kByRef), Param("ResName", T::String)},
     kPicture,
     Bind<&Types::GetPicture>()},
    {"GetString",
     K::Method,
     0x60030011,
     {Param("ResName", T::String)},
     T::String,
     Bind<&Types::GetString>()},
    {"GetVersionInfo", K::Method, 0x60030012, {}, T::String, Bind<&Types::GetVersionInfo>()},
    {"GetMenuText",
     K::Method,
     0x60030013,
     {Param("ResName", T::String)},
     T::String,
     Bind<&Types::GetMenuText>()},
    {"GetAccelerators",
     K::Method,
     0x60030014,
     {Param("ResName", T::String)},
     T::String,
     Bind<&Types::GetAccelerators>()},
    {"GetMessageTable",
     K::Method,
     0x60030015,
     {Param("ResName", T::String)},
     T::String,
     Bind<&Types::GetMessageTable>()},
    {"GetHTML",
     K::Method,
     0x60030016,
     {Param("ResType", T::String), Param("ResName", T::String)},
     T::String,
     Bind<&Types::GetHTML>()},
    {"GetHexDump",
     K::Method,
     0x60030017,
     {Param("ResType", T::String), Param("ResName", T::String)},
     T::String,
     Bind<&Types::GetHexDump>()},
    {"ShowDialog",
     K::Method,
     0x60030018,
     {Param("ResName", T::String), Param("pb", T::Object, kByRef)},
     T::Boolean,
     Bind<&Types::ShowDialog>()},
    {"GetDataArray",
     K::Method,
     0x60030019,
     {Param("ResType", T::String), Param("ResName", T::String)},
     T::Variant,
     Bind<&Types::GetDataArray>()},
    {"PlayAVI",
     K::Method,
     0x6003001A,
     {Param("ResName", T::String), Param("lHwnd", T::Long, kByRef | kOptional),
      Param("lpbLeft", T::Long, kByRef | kOptional), Param("lpbTop", T::Long, kByRef | kOptional),
      Param("lpbWidth", T::Long, kByRef | kOptional),
      Param("lpbHeight", T::Long, kByRef | kOptional),
      Param("bDeleteTmpFile", T::Boolean, kByRef | kOptional)},
     T::Long,
     Bind<&Types::PlayAVI>()},
    {"PlayWAV",
     K::Method,
     0x6003001B,
     {Param("ResName", T::String), Param("bDeleteTmpFile", T::Boolean, kByRef | kOptional)},
     T::Long,
     Bind<&Types::PlayWAV>()},
    {"ShowAVI",
     K::Method,
     0x6003001C,
     {Param("ResName", T::String), Param("pb", T::Object, kByRef),
      ParamDefault("bpbPositions", T::Boolean, kByRef, 0),
      Param("lpbLeft", T::Long, kByRef | kOptional), Param("lpbTop", T::Long, kByRef | kOptional),
      Param("lpbWidth", T::Long, kByRef | kOptional),
      Param("lpbHeight", T::Long, kByRef | kOptional)},
     T::Boolean,
     Bind<&Types::ShowAVI>()},
    {"ShowPicture",
     K::Method,
     0x6003001D,
     {Param("pic", kPicture, kByRef), Param("pb", T::Object, kByRef)},
     T::Boolean,
     Bind<&Types::ShowPicture>()},
    {"ShowText",
     K::Method,
     0x6003001E,
     {Param("sText", T::String), Param("txt", T::Object, kByRef)},
     T::Boolean,
     Bind<&Types::ShowText>()},
    {"SaveText",
     K::Method,
     0x6003001F,
     {Param("sFileName", T::String), Param("sText", T::String, kByRef)},
     T::Variant,
     Bind<&Types::SaveText>()},
    {"GetPictureExt",
     K::Method,
     0x60030020,
     {Param("ResType", T::String), Param("ResName", T::String)},
     kPicture,
     Bind<&Types::GetPictureExt>()},
    {"SaveData",
     K::Method,
     0x60030021,
     {Param("sFileName", T::String), Param("arrData", T::Variant, kByRef)},
     T::Variant,
     Bind<&Types::SaveData>()},
    {"SaveResDataToFile",
     K::Method,
     0x60030022,
     {Param("sFileName", T::String, kByRef), Param("ResType", T::String),
      Param("ResName", T::String)},
     T::Long,
     Bind<&Types::SaveResDataToFile>()},
    {"EmptyResourceTmpFolder",
     K::Method,
     0x60030023,
     {ParamDefault("bMsg", T::Boolean, kByRef, 0)},
     T::Boolean,
     Bind<&Types::EmptyResourceTmpFolder>()},
};

// _clsQ7ResfResourceTypeA: each property's Get directly before its Let or Set.
const MemberDesc kResourceTypeMembers[] = {
    {"Index", K::Get, 0x68030004, {}, T::Long, Bind<&TypeRecord::Index>()},
    {"Index",
     K::Let,
     0x68030004,
     {Param("Index", T::Long)},
     T::None,
     Bind<&TypeRecord::LetIndex>()},
    {"NameLong", K::Get, 0x68030003, {}, T::String, Bind<&TypeRecord::NameLong>()},
    {"NameLong",
     K::Let,
     0x68030003,
     {Param("NameLong", T::String)},
     T::None,
     Bind<&TypeRecord::LetNameLong>()},
    {"Comments", K::Get, 0x68030002, {}, T::String, Bind<&TypeRecord::Comments>()},
    {"Comments",
     K::Let,
     0x68030002,
     {Param("Comments", T::String)},
     T::None,
     Bind<&TypeRecord::LetComments>()},
    {"Style", K::Get, 0x68030001, {}, kResTypes, Bind<&TypeRecord::Style>()},
    {"Style",
     K::Let,
     0x68030001,
     {Param("Style", kResTypes)},
     T::None,
     Bind<&TypeRecord::LetStyle>()},
    {"ResourceItems", K::Get, 0x68030000, {}, kItems, Bind<&TypeRecord::ResourceItems>()},
    {"ResourceItems",
     K::Set,
     0x68030000,
     {Param("ResourceItems", kItems)},
     T::None,
     Bind<&TypeRecord::SetResourceItems>()},
};

// _clsQ7ResfResourceItemsA.
const MemberDesc kResourceItemsMembers[] = {
    {"NewEnum", K::Get, 0x68030002, {}, T::Unknown, Bind<&Items::NewEnum>()},
    {"Add",
     K::Method,
     0x60030004,
     {Param("sName", T::String, kByRef), Param("sComments", T::String, kByRef | kOptional)},
     T::Long,
     Bind<&Items::Add>()},
    {"AddinCollectionandClasses",
     K::Method,
     0x60030005,
     {Param("sName", T::String, kByRef), Param("sComments", T::String, kByRef | kOptional)},
     T::Long,
     Bind<&Items::AddinCollectionandClasses>()},
    {"Clear", K::Method, 0x60030006, {}, T::None, Bind<&Items::Clear>()},
    {"Count", K::Get, 0x68030001, {}, T::Long, Bind<&Items::Count>()},
    {"Remove",
     K::Method,
     0x60030007,
     {Param("Index", T::Long, kByRef)},
     T::None,
     Bind<&Items::Remove>()},
    {"Item", K::Get, 0x68030000, {Param("Index", T::Variant, kByRef)}, kItem, Bind<&Items::Item>()},
    {"EnumStartResourceItems",
     K::Method,
     0x60030008,
     {},
     T::Long,
     Bind<&Items::EnumStartResourceItems>()},
};

// _clsQ7ResfResourceItemA.
const MemberDesc kResourceItemMembers[] = {
    {"Index", K::Get, 0x68030004, {}, T::Long, Bind<&ItemRecord::Index>()},
    {"Index",
     K::Let,
     0x68030004,
     {Param("Index", T::Long)},
     T::None,
     Bind<&ItemRecord::LetIndex>()},
    {"Comments", K::Get, 0x68030003, {}, T::String, Bind<&ItemRecord::Comments>()},
    {"Comments",
     K::Let,
     0x68030003,
     {Param("Comments", T::String)},
     T::None,
     Bind<&ItemRecord::LetComments>()},
    {"NameLong", K::Get, 0x68030002, {}, T::String, Bind<&ItemRecord::NameLong>()},
    {"NameLong",
     K::Let,
     0x68030002,
     {Param("NameLong", T::String)},
     T::None,
     Bind<&ItemRecord::LetNameLong>()},
    {"ID", K::Get, 0x68030001, {}, T::String, Bind<&ItemRecord::ID>()},
    {"ID", K::Let, 0x68030001, {Param("ID", T::String)}, T::None, Bind<&ItemRecord::LetID>()},
    {"Size", K::Get, 0x68030000, {}, T::Long, Bind<&ItemRecord::Size>()},
    {"Size", K::Let, 0x68030000, {Param("Size", T::Long)}, T::None, Bind<&ItemRecord::LetSize>()},
};

// _clsQ7ResfResourceHandlerA.
const MemberDesc kResourceHandlerMembers[] = {
    {"Resources", K::Get, 0x68030000, {}, kTypes, Bind<&clsQ7ResfResourceHandlerA::Resources>()},
    {"Resources",
     K::Set,
     0x68030000,
     {Param("Resources", kTypes)},
     T::None,
     Bind<&clsQ7ResfResourceHandlerA::SetResources>()},
};

// _clsQ7Orvex10A.
const MemberDesc kOrvex10Members[] = {
    {"GetProStdProperties",
     K::Get,
     0x68030004,
     {},
     T::Object,
     Bind<&clsQ7Orvex10A::GetProStdProperties>()},
    {"GetProResStrings",
     K::Get,
     0x68030003,
     {Param("lResId", T::Long, kByRef)},
     T::String,
     Bind<&clsQ7Orvex10A::GetProResStrings>()},
    {"GetProResPicture",
     K::Get,
     0x68030002,
     {Param("lResId", T::Long, kByRef), Param("lRestype", T::Long, kByRef)},
     kPicture,
     Bind<&clsQ7Orvex10A::GetProResPicture>()},
    {"GetProResData",
     K::Get,
     0x68030001,
     {Param("lResId", T::Long, kByRef), Param("vRestype", T::Variant, kByRef)},
     T::Variant,
     Bind<&clsQ7Orvex10A::GetProResData>()},
    {"About", K::Method, 0x60030006, {}, T::Long, Bind<&clsQ7Orvex10A::About>()},
    {"BuddyObjectGlobal",
     K::Get,
     0x68030000,
     {},
     T::Object,
     Bind<&clsQ7Orvex10A::BuddyObjectGlobal>()},
    {"BuddyObjectGlobal",
     K::Set,
     0x68030000,
     {Param("BuddyObjectGlobal", T::Object)},
     T::None,
     Bind<&clsQ7Orvex10A::SetBuddyObjectGlobal>()},
};

// _clsQ7ResfPlayAviA.
const MemberDesc kPlayAviMembers[] = {
    {"Create",
     K::Method,
     0x60030001,
     {Param("hwnd", T::Long), Param("StrAVI", T::String), Param("Left", T::Long),
      Param("Top", T::Long), Param("width", T::Long), Param("height", T::Long)},
     T::None,
     Bind<&PlayAvi::Create>()},
    {"AnimatePlay", K::Method, 0x60030002, {}, T::None, Bind<&PlayAvi::AnimatePlay>()},
    {"AnimateStop", K::Method, 0x60030003, {}, T::None, Bind<&PlayAvi::AnimateStop>()},
    {"Destroy", K::Method, 0x60030004, {}, T::None, Bind<&PlayAvi::Destroy>()},
    {"AutoPlay", K::Method, 0x60030005, {}, T::None, Bind<&PlayAvi::AutoPlay>()},
};

// _clsQ7ResfFunctionCallA.
const MemberDesc kFunctionCallMembers[] = {
    {"LibraryName",
     K::Let,
     0x68030002,
     {Param("LibraryName", T::String)},
     T::None,
     Bind<&FunctionCall::LetLibraryName>()},
    {"FunctionName",
     K::Let,
     0x68030001,
     {Param("FunctionName", T::String)},
     T::None,
     Bind<&FunctionCall::LetFunctionName>()},
    {"CallType",
     K::Let,
     0x68030000,
     {Param("CallType", kDeclspec)},
     T::None,
     Bind<&FunctionCall::LetCallType>()},
    {"CallFunction",
     K::Method,
     0x60030005,
     {Param("FuncParams", T::VariantArray, kByRef)},
     T::Long,
     Bind<&FunctionCall::CallFunction>()},
};

#define ORVEX_IDS(name)                                           \
  ClassInfo::Ids {                                                \
#name, "Orvex10." #name, CLSID_##name, "_" #name, IID__##name \
  }

}  // namespace

const ClassInfo& clsQ7ResfResourceTypesAInfo() {
  static const ClassInfo info(ORVEX_IDS(clsQ7ResfResourceTypesA), kResourceTypesMembers,
                              &CreateOf<clsQ7ResfResourceTypesA>);
  return info;
}
const ClassInfo& clsQ7ResfResourceTypeAInfo() {
  static const ClassInfo info(ORVEX_IDS(clsQ7ResfResourceTypeA), kResourceTypeMembers,
                              &CreateOf<clsQ7ResfResourceTypeA>);
  return info;
}
const ClassInfo& clsQ7ResfResourceItemsAInfo() {
  static const ClassInfo info(ORVEX_IDS(clsQ7ResfResourceItemsA), kResourceItemsMembers,
                              &CreateOf<clsQ7ResfResourceItemsA>);
  return info;
}
const ClassInfo& clsQ7ResfResourceItemAInfo() {
  static const ClassInfo info(ORVEX_IDS(clsQ7ResfResourceItemA), kResourceItemMembers,
                              &CreateOf<clsQ7ResfResourceItemA>);
  return info;
}
const ClassInfo& clsQ7ResfResourceHandlerAInfo() {
  static const ClassInfo info(ORVEX_IDS(clsQ7ResfResourceHandlerA), kResourceHandlerMembers,
                              &CreateOf<clsQ7ResfResourceHandlerA>);
  return info;
}
const ClassInfo& clsQ7ResfGeneralAInfo() {
  static const ClassInfo info(ORVEX_IDS(clsQ7ResfGeneralA), {}, &CreateTableOnly);
  return info;
}
const ClassInfo& clsQ7ResfAdvancedAInfo() {
  static const ClassInfo info(ORVEX_IDS(clsQ7ResfAdvancedA), {}, &CreateTableOnly);
  return info;
}
const ClassInfo& clsQ7Orvex10AInfo() {
  static const ClassInfo info(ORVEX_IDS(clsQ7Orvex10A), kOrvex10Members, &CreateOf<clsQ7Orvex10A>);
  return info;
}
const ClassInfo& clsQ7ResfPlayAviAInfo() {
  static const ClassInfo info(ORVEX_IDS(clsQ7ResfPlayAviA), kPlayAviMembers,
                              &CreateOf<clsQ7ResfPlayAviA>);
  return info;
}
const ClassInfo& clsQ7ResfFunctionCallAInfo() {
  static const ClassInfo info(ORVEX_IDS(clsQ7ResfFunctionCallA), kFunctionCallMembers,
                              &CreateOf<clsQ7ResfFunctionCallA>);
  return info;
}

#undef ORVEX_IDS

std::span<const ClassInfo* const> Orvex10Classes() {
  static const ClassInfo* const classes[] = {
      &clsQ7ResfResourceTypesAInfo(),   &clsQ7ResfResourceTypeAInfo(),
      &clsQ7ResfResourceItemsAInfo(),   &clsQ7ResfResourceItemAInfo(),
      &clsQ7ResfResourceHandlerAInfo(), &clsQ7ResfGeneralAInfo(),
      &clsQ7ResfAdvancedAInfo(),        &clsQ7Orvex10AInfo(),
      &clsQ7ResfPlayAviAInfo(),         &clsQ7ResfFunctionCallAInfo(),
  };
  return classes;
}

const ServerDescription& Orvex10Server() {
  static const ServerDescription server{kLibraryName, LIBID_Orvex10, kLibraryVersion,
                                        Orvex10Classes()};
  return server;
}

void RegisterOrvex10Classes() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (const ClassInfo* info : Orvex10Classes()) RegisterClassInProcess(*info);
  });
}

}  // namespace orvex
