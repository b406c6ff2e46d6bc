// The client's road to a module's resources: the catalogue object
// (Orvex10.clsQ7ResfResourceTypesA) created by ProgID and driven by member names through
// IDispatch, the way a script host drives it. Member identifiers are looked up by name once
// per client and reused, since every object of a class answers with the same ones.
//
// Objects are apartment-threaded: a client is created, used and destroyed on one thread.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/ole/late_bound.h"
#include "resource_key.h"

namespace orvex::cli {

// One clsQ7ResfResourceItemA as read through its members.
struct ItemRecord {
  int32_t Index = 0;
  std::u16string NameLong;
  std::u16string ID;
  int32_t Size = 0;
  std::u16string Comments;
  // Not a member: set by the client (MarkTruncated) when the platform finds the item's
  // data beyond the end of the file.
  bool truncated = false;
};

// One clsQ7ResfResourceTypeA and the items of its ResourceItems.
struct TypeRecord {
  int32_t Index = 0;
  std::u16string NameLong;
  std::u16string Comments;
  int32_t Style = 0;
  std::vector<ItemRecord> ResourceItems;
};

// The number of a numbered type; nothing for a named type (whose Style stood for the name
// during the enumeration).
std::optional<uint32_t> TypeNumber(const TypeRecord& type);
// The TYPE a command takes for a record: the number of a numbered type ("6"), the name of
// a named type ("AVI", whose Style stood for the name during the enumeration).
std::u16string TypeArgument(const TypeRecord& type);
// The NAME a command takes for an item: "#" before the digits of a numbered resource
// (items show them bare), a name as it stands.
std::u16string NameArgument(const ItemRecord& item);

// What to read of each record: everything, or only what a listing of types, names and
// sizes needs (Style and NameLong of types; NameLong and Size of items).
enum class RecordFields { kAll, kListing };

// Registers the library's classes and the framework component in this process and makes
// the client's handler show the message boxes (message_boxes.h); once, whoever calls first.
void RegisterClasses();

class CatalogueClient {
 public:
  CatalogueClient();
  ~CatalogueClient();
  CatalogueClient(const CatalogueClient&) = delete;
  CatalogueClient& operator=(const CatalogueClient&) = delete;

  // Assigns Filename. When that gives no module, returns why in words ("no such file",
  // "not a PE module ..."), from the platform's last error, instead of the catalogue's
  // "Invalid Library" box.
  std::optional<std::string> Load(const std::string& path);
  // Load, throwing CliError "cannot load PATH: why" when the file gives no module.
  void Open(const std::string& path);
  // Filename = "": releases the module opened last on this thread.
  void Close();
  // HandleModule: the module the last Filename assignment opened (0 for none).
  HMODULE HandleModule();

  // Clear, EnumResourceTypesStart, then Item(1..Count) with their ResourceItems.
  std::vector<TypeRecord> ReadCatalogue(RecordFields fields);

  // GetDataArray's bytes (empty for the empty variant).
  std::vector<uint8_t> GetDataArray(const ResourceKey& key);
  // GetDataArray's bytes, or nothing when the module has no such resource. The member gives
  // an empty resource, a missing one and one whose data lies beyond the end of the file
  // alike; then the platform tells the last apart (DataBeyondEndError, resource_data.h), and
  // the enumeration's records the others, the resource named by TYPE and NAME as
  // `orvex list` shows them.
  std::optional<std::vector<uint8_t>> ReadResource(const ResourceKey& key);
  std::u16string GetHexDump(const ResourceKey& key);
  std::u16string GetHTML(const ResourceKey& key);
  // GetPicture with TYPE as the user wrote it (a type number or a standard type name, else
  // CliError) and
  // NAME as given; the picture object, or CliError "no picture ..." when none is made.
  ComPtr<IDispatch> GetPicture(const std::string& type, const std::string& name,
                               const std::string& file);
  // GetPictureExt with TYPE and NAME as text; the picture, or CliError "no picture ...".
  ComPtr<IDispatch> GetPictureExt(const std::string& type, const std::string& name,
                                  const std::string& file);
  // Any other member of the catalogue, by name.
  Variant Call(const char* member, std::initializer_list<Variant> args = {});

 private:
  // A member name and its identifier, looked up on first use.
  struct Member {
    const char* name;
    DISPID id = DISPID_UNKNOWN;
  };
  Variant Get(IDispatch* object, Member& member, std::initializer_list<Variant> args = {});
  Variant CallMethod(IDispatch* object, Member& member, std::initializer_list<Variant> args = {});
  void PutFilename(const std::u16string& name);

  ComPtr<IDispatch> catalogue_;
  // Members of the catalogue.
  Member filename_{"Filename"};
  Member handleModule_{"HandleModule"};
  Member clear_{"Clear"};
  Member enumStart_{"EnumResourceTypesStart"};
  Member count_{"Count"};
  Member item_{"Item"};
  Member getDataArray_{"GetDataArray"};
  Member getHexDump_{"GetHexDump"};
  Member getHtml_{"GetHTML"};
  // Members of the type records.
  Member typeIndex_{"Index"};
  Member typeNameLong_{"NameLong"};
  Member typeComments_{"Comments"};
  Member typeStyle_{"Style"};
  Member typeItems_{"ResourceItems"};
  // Members of the item collections.
  Member itemsCount_{"Count"};
  Member itemsItem_{"Item"};
  // Members of the item records.
  Member itemIndex_{"Index"};
  Member itemNameLong_{"NameLong"};
  Member itemId_{"ID"};
  Member itemSize_{"Size"};
  Member itemComments_{"Comments"};
};

}  // namespace orvex::cli
