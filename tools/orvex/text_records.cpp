#include "text_records.h"

#include <cstdint>
#include <vector>

#include "cli_error.h"
#include "platform/module/module.h"
#include "platform/text/text.h"
#include "platform/user/menu.h"
#include "platform/version/version.h"
#include "text_json.h"

namespace orvex::cli {

using Json = nlohmann::ordered_json;

Json TextRecordJson(CatalogueClient& client, const TextKind& kind, const std::u16string& resName) {
  const HMODULE module = client.HandleModule();
  const std::string name = UnicodeToAnsi(resName);
  const std::string utf8Name = Utf16ToUtf8(resName);
  switch (kind.typeNumber) {
    case kTypeString: {
      const auto bytes = FindResourceBytes(module, name.c_str(), MAKEINTRESOURCEA(kTypeString));
      // "#n" names block n (checked digits up to 65535); a named block names no identifiers.
      uint32_t block = 0;
      if (resName.starts_with(u"#"))
        for (char16_t c : resName.substr(1))
          block = (c >= u'0' && c <= u'9') ? block * 10 + (c - u'0') : 0;
      block = block > 0xFFFF ? 0 : block;
      return StringBlockJson(static_cast<uint16_t>(block), bytes ? *bytes : Bytes());
    }
    case kTypeMessageTable: {
      const auto bytes =
          FindResourceBytes(module, name.c_str(), MAKEINTRESOURCEA(kTypeMessageTable));
      return MessageTableJson(utf8Name, bytes ? *bytes : Bytes());
    }
    case kTypeMenu: {
      const HMENU menu = LoadMenuA(module, name.c_str());
      if (menu == 0) throw CliError("menu " + utf8Name + " cannot be loaded");
      Json record = MenuJson(utf8Name, menu);
      DestroyMenu(menu);
      return record;
    }
    default:
      return AcceleratorsJson(utf8Name, RenderText(client, kind, resName));
  }
}

Json VersionRecordJson(const std::string& file) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
  std::vector<uint8_t> block(size);
  if (size == 0 || !GetFileVersionInfoA(file.c_str(), handle, size, block.data()))
    throw CliError("the version information of " + file + " cannot be read");
  return VersionJson(AsBytes(block.data(), block.size()));
}

}  // namespace orvex::cli
