#include "catalogue_client.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "cli_error.h"
#include "framework/q7halden10.h"
#include "platform/fs/fs.h"
#include "platform/module/module.h"
#include "platform/ole/oleauto.h"
#include "platform/text/text.h"
#include "server/class_catalogue.h"

namespace orvex::cli {

namespace {

constexpr char16_t kCatalogueProgId[] = u"Orvex10.clsQ7ResfResourceTypesA";

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

void RegisterClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterOrvex10Classes();
    // Reports of the readers go to the framework component, which prints one line each.
    RegisterQ7Halden10Classes();
  });
}

std::optional<std::string> ModuleLoadFailure(const std::string& given) {
  // Checked at the path Filename will load: drive C paths through the drive mapping.
  const auto mapped = MapPath(given);
  if (!mapped) return mapped.GetError().message;
  const std::string& path = *mapped;
  const HMODULE module = LoadLibraryExA(path.c_str(), 0, 0);
  if (module != 0) {
    (void)FreeLibrary(module);
    return std::nullopt;
  }
  switch (const DWORD error = GetLastError()) {
    case ERROR_MOD_NOT_FOUND:
      return "no such file";
    case ERROR_ACCESS_DENIED:
      return IsFolder(path) ? "a folder, not a file" : "cannot read it (no permission)";
    case ERROR_BAD_EXE_FORMAT:
      return "not a PE module (EXE, DLL or other PE file)";
    case ERROR_NOT_ENOUGH_MEMORY:
      return "not enough memory to map it";
    default:
      return "cannot load it (error " + std::to_string(error) + ")";
  }
}

std::u16string TypeArgument(const TypeRecord& type) {
  const auto style = static_cast<uint32_t>(type.Style);
  if ((style >> 16) != 0) return type.NameLong;
  std::u16string digits;
  for (char c : std::to_string(style)) digits.push_back(static_cast<char16_t>(c));
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

void CatalogueClient::Open(const std::string& path) {
  if (std::optional<std::string> failure = ModuleLoadFailure(path)) {
    throw CliError("cannot load " + path + ": " + *failure);
  }
  AssignFilename(path);
}

void CatalogueClient::AssignFilename(const std::string& path) {
  // Paths are bytes: read as ANSI text they come back to the platform unchanged.
  if (filename_.id == DISPID_UNKNOWN) filename_.id = GetDispId(catalogue_.Get(), filename_.name);
  const Variant name(AnsiToUnicode(path));
  InvokeById(catalogue_.Get(), filename_.id, DISPATCH_PROPERTYPUT,
             std::span<const Variant>(&name, 1));
}

void CatalogueClient::Close() {
  if (filename_.id == DISPID_UNKNOWN) filename_.id = GetDispId(catalogue_.Get(), filename_.name);
  const Variant empty(u"");
  InvokeById(catalogue_.Get(), filename_.id, DISPATCH_PROPERTYPUT,
             std::span<const Variant>(&empty, 1));
}

bool CatalogueClient::NoModule() {
  return Get(catalogue_.Get(), handleModule_).ToLong() == 0;
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

std::optional<uint32_t> CatalogueClient::ResourceSize(const ResourceKey& key) {
  // The module the catalogue opened, looked up the way GetDataArray looks: the numbered
  // type first, then the type text as a name.
  const auto module = static_cast<HMODULE>(Get(catalogue_.Get(), handleModule_).ToLong());
  const std::string name = UnicodeToAnsi(key.resName);
  HRSRC found = 0;
  if (key.typeNumber)
    found = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(*key.typeNumber));
  if (found == 0) found = FindResourceA(module, name.c_str(), UnicodeToAnsi(key.resType).c_str());
  if (found == 0) return std::nullopt;
  return SizeofResource(module, found);
}

std::vector<uint8_t> CatalogueClient::GetDataArray(const ResourceKey& key) {
  const Variant data =
      CallMethod(catalogue_.Get(), getDataArray_, {Variant(key.resType), Variant(key.resName)});
  std::vector<uint8_t> bytes;
  if (data.Type() != (VT_ARRAY | VT_UI1) || data.parray == nullptr) return bytes;
  LONG lower = 0;
  LONG upper = -1;
  ThrowIfFailed(SafeArrayGetLBound(data.parray, 1, &lower));
  ThrowIfFailed(SafeArrayGetUBound(data.parray, 1, &upper));
  if (upper < lower) return bytes;
  void* raw = nullptr;
  ThrowIfFailed(SafeArrayAccessData(data.parray, &raw));
  const auto* first = static_cast<const uint8_t*>(raw);
  bytes.assign(first, first + (static_cast<int64_t>(upper) - lower + 1));
  ThrowIfFailed(SafeArrayUnaccessData(data.parray));
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

}  // namespace orvex::cli
