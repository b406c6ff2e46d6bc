#include "catalogue_client.h"

#include <sys/stat.h>

#include <algorithm>
#include <mutex>

#include "base/runtime_error.h"
#include "cli_error.h"
#include "framework/q7halden10.h"
#include "message_boxes.h"
#include "platform/fs/fs.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/wrappers.h"
#include "platform/text/text.h"
#include "resource_data.h"
#include "server/class_catalogue.h"

namespace orvex::cli {

namespace {

constexpr char16_t kCatalogueProgId[] = u"Orvex10.clsQ7ResfResourceTypesA";

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Why a Filename assignment gave no module, from the load's last error. `given` is the path
// as the user wrote it; drive C paths are looked at through the drive mapping, as the
// catalogue loads them.
std::string LoadFailure(const std::string& given, DWORD error) {
  const auto mapped = MapPath(given);
  if (!mapped) return mapped.GetError().message;
  switch (error) {
    case ERROR_MOD_NOT_FOUND:
      return "no such file";
    case ERROR_ACCESS_DENIED:
      return IsFolder(*mapped) ? "a folder, not a file" : "cannot read it (no permission)";
    case ERROR_BAD_EXE_FORMAT:
      return "not a PE module (EXE, DLL or other PE file)";
    case ERROR_NOT_ENOUGH_MEMORY:
      return "not enough memory to map it";
    default:
      return "cannot load it (error " + std::to_string(error) + ")";
  }
}

// Whether the records list a resource of no bytes under TYPE and NAME as `orvex list`
// shows them (a numbered type by its number, with or without "#").
bool ListsEmptyResource(const std::vector<TypeRecord>& types, const ResourceKey& key) {
  for (const TypeRecord& type : types) {
    const std::optional<uint32_t> number = TypeNumber(type);
    if (number ? key.typeNumber != number : type.NameLong != key.resType) continue;
    for (const ItemRecord& item : type.ResourceItems) {
      if (item.Size == 0 && NameArgument(item) == key.resName) return true;
    }
  }
  return false;
}

// The picture a picture member returned, or the user's error when it returned none.
ComPtr<IDispatch> PictureOrError(const Variant& picture, const std::string& type,
                                 const std::string& name, const std::string& file) {
  if (picture.vt != VT_DISPATCH || picture.pdispVal == nullptr) {
    throw CliError("no picture from resource " + type + " " + name + " in " + file);
  }
  return ComPtr<IDispatch>(picture.pdispVal);
}

}  // namespace

void RegisterClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterOrvex10Classes();
    // Reports of the readers go to the framework component, which prints one line each.
    RegisterQ7Halden10Classes();
    SetMessageBoxHandler(&ShowMessageBox);
  });
}

std::optional<uint32_t> TypeNumber(const TypeRecord& type) {
  const auto style = static_cast<uint32_t>(type.Style);
  if ((style >> 16) != 0) return std::nullopt;
  return style;
}

std::u16string TypeArgument(const TypeRecord& type) {
  const std::optional<uint32_t> number = TypeNumber(type);
  if (!number) return type.NameLong;
  std::u16string digits;
  for (char c : std::to_string(*number)) digits.push_back(static_cast<char16_t>(c));
  return digits;
}

std::u16string NameArgument(const ItemRecord& item) {
  const bool numbered =
      !item.NameLong.empty() && std::all_of(item.NameLong.begin(), item.NameLong.end(),
                                            [](char16_t c) { return c >= u'0' && c <= u'9'; });
  return numbered ? u"#" + item.NameLong : item.NameLong;
}

CatalogueClient::CatalogueClient() : catalogue_(CreateObject(kCatalogueProgId)) {}

CatalogueClient::~CatalogueClient() = default;

Variant CatalogueClient::Get(IDispatch* object, Member& member,
                             std::initializer_list<Variant> args) {
  if (member.id == DISPID_UNKNOWN) member.id = GetDispId(object, member.name);
  return InvokeById(object, member.id, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                    std::span<const Variant>(args.begin(), args.size()));
}

Variant CatalogueClient::CallMethod(IDispatch* object, Member& member,
                                    std::initializer_list<Variant> args) {
  if (member.id == DISPID_UNKNOWN) member.id = GetDispId(object, member.name);
  return InvokeById(object, member.id, DISPATCH_METHOD,
                    std::span<const Variant>(args.begin(), args.size()));
}

void CatalogueClient::PutFilename(const std::u16string& name) {
  if (filename_.id == DISPID_UNKNOWN) filename_.id = GetDispId(catalogue_.Get(), filename_.name);
  const Variant value(name);
  InvokeById(catalogue_.Get(), filename_.id, DISPATCH_PROPERTYPUT,
             std::span<const Variant>(&value, 1));
}

std::optional<std::string> CatalogueClient::Load(const std::string& path) {
  BoxCapture boxes;  // the "Invalid Library" box becomes the reason below
  try {
    // Paths are bytes: read as ANSI text they come back to the platform unchanged.
    PutFilename(AnsiToUnicode(path));
  } catch (const RuntimeError& error) {
    // A path that ends in a separator has no base name: the member fails
    // (Err::SubscriptOutOfRange) before it loads anything. Such a path names a folder or
    // nothing.
    if (error.Number() != ErrNumber(Err::SubscriptOutOfRange)) throw;
    const auto mapped = MapPath(path);
    return mapped && IsFolder(*mapped) ? "a folder, not a file" : "no such file";
  }
  DWORD error = GetLastError();
  if (HandleModule() != 0) {
    boxes.PassOn();
    return std::nullopt;
  }
  // The box comes right after the failed load, so the error it saw is the load's own,
  // whatever the way back from the member does.
  if (!boxes.Boxes().empty()) error = boxes.Boxes().front().lastError;
  return LoadFailure(path, error);
}

void CatalogueClient::Open(const std::string& path) {
  if (std::optional<std::string> failure = Load(path)) {
    throw CliError("cannot load " + path + ": " + *failure);
  }
}

void CatalogueClient::Close() {
  PutFilename(u"");
}

HMODULE CatalogueClient::HandleModule() {
  return static_cast<HMODULE>(Get(catalogue_.Get(), handleModule_).ToLong());
}

std::vector<TypeRecord> CatalogueClient::ReadCatalogue(RecordFields fields) {
  const bool all = fields == RecordFields::kAll;
  IDispatch* catalogue = catalogue_.Get();
  CallMethod(catalogue, clear_);
  CallMethod(catalogue, enumStart_);
  const int32_t typeCount = Get(catalogue, count_).ToLong();
  std::vector<TypeRecord> types;
  types.reserve(static_cast<size_t>(typeCount > 0 ? typeCount : 0));
  for (int32_t t = 1; t <= typeCount; ++t) {
    const ComPtr<IDispatch> record = Get(catalogue, item_, {Variant(t)}).ToDispatch();
    TypeRecord& type = types.emplace_back();
    if (all) {
      type.Index = Get(record.Get(), typeIndex_).ToLong();
      type.Comments = Get(record.Get(), typeComments_).ToString();
    }
    type.NameLong = Get(record.Get(), typeNameLong_).ToString();
    type.Style = Get(record.Get(), typeStyle_).ToLong();
    const ComPtr<IDispatch> items = Get(record.Get(), typeItems_).ToDispatch();
    if (!items) continue;
    const int32_t itemCount = Get(items.Get(), itemsCount_).ToLong();
    type.ResourceItems.reserve(static_cast<size_t>(itemCount > 0 ? itemCount : 0));
    for (int32_t i = 1; i <= itemCount; ++i) {
      const ComPtr<IDispatch> itemRecord = Get(items.Get(), itemsItem_, {Variant(i)}).ToDispatch();
      ItemRecord& item = type.ResourceItems.emplace_back();
      if (all) {
        item.Index = Get(itemRecord.Get(), itemIndex_).ToLong();
        item.ID = Get(itemRecord.Get(), itemId_).ToString();
        item.Comments = Get(itemRecord.Get(), itemComments_).ToString();
      }
      item.NameLong = Get(itemRecord.Get(), itemNameLong_).ToString();
      item.Size = Get(itemRecord.Get(), itemSize_).ToLong();
    }
  }
  return types;
}

std::vector<uint8_t> CatalogueClient::GetDataArray(const ResourceKey& key) {
  const Variant data =
      CallMethod(catalogue_.Get(), getDataArray_, {Variant(key.resType), Variant(key.resName)});
  return ByteArrayView(data).Copy();
}

std::optional<std::vector<uint8_t>> CatalogueClient::ReadResource(const ResourceKey& key) {
  std::vector<uint8_t> bytes = GetDataArray(key);
  if (!bytes.empty()) return bytes;
  CheckResourceData(HandleModule(), key);
  if (!ListsEmptyResource(ReadCatalogue(RecordFields::kListing), key)) return std::nullopt;
  return bytes;
}

std::u16string CatalogueClient::GetHexDump(const ResourceKey& key) {
  return CallMethod(catalogue_.Get(), getHexDump_, {Variant(key.resType), Variant(key.resName)})
      .ToString();
}

std::u16string CatalogueClient::GetHTML(const ResourceKey& key) {
  return CallMethod(catalogue_.Get(), getHtml_, {Variant(key.resType), Variant(key.resName)})
      .ToString();
}

ComPtr<IDispatch> CatalogueClient::GetPicture(const std::string& type, const std::string& name,
                                              const std::string& file) {
  const std::optional<uint32_t> number = ParseResourceKey(type, "#1").typeNumber;
  if (!number) {
    throw CliError(
        "TYPE must be a resource type number (1, 2, 3, 12 or 14) or its name (ICON), "
        "not '" +
        type + "'");
  }
  LONG resType = static_cast<LONG>(*number);
  return PictureOrError(Call("GetPicture", {Variant::RefTo(resType), Variant(Utf8ToUtf16(name))}),
                        type, name, file);
}

ComPtr<IDispatch> CatalogueClient::GetPictureExt(const std::string& type, const std::string& name,
                                                 const std::string& file) {
  return PictureOrError(
      Call("GetPictureExt", {Variant(Utf8ToUtf16(type)), Variant(Utf8ToUtf16(name))}), type, name,
      file);
}

Variant CatalogueClient::Call(const char* member, std::initializer_list<Variant> args) {
  return orvex::Call(catalogue_.Get(), member, args);
}

}  // namespace orvex::cli
