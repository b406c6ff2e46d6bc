// The text resources as JSON records, one function per kind: what `orvex string|messages|
// version|menu|accel --json` print (and what a dump of a module writes to files). Each takes
// what a host reads: the resource's bytes as the platform's resource functions give them
// (string blocks, message tables), the buffer of the platform's version functions, a menu
// loaded by the platform's menu functions, or the catalogue member's text (accelerators,
// whose lines hold no free text). Bytes are read through the bounds-checked reader; what
// does not fit ends the record where the bytes end.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>

#include "base/byte_reader.h"
#include "platform/win32_types.h"

namespace orvex::cli {

// {"name": "#1", "strings": [{"id": 1, "text": "Hello"}, ...]}: the non-empty strings of
// block `block` (identifiers (block - 1) * 16 to block * 16 - 1), in identifier order.
nlohmann::ordered_json StringBlockJson(uint16_t block, Bytes bytes);

// {"name", "messages": [{"id": 1, "text": "..."}, ...]}: every entry of a message table,
// identifiers as unsigned 32-bit numbers, those from 0x10000 up also as "hex" ("0xC0000005");
// texts as stored up to their first zero (line ends kept). At most one entry per 4 bytes of
// the table.
nlohmann::ordered_json MessageTableJson(const std::string& name, Bytes bytes);

// {"fixed": {...} or null, "translations": [{"language", "codePage"}, ...],
//  "stringTables": [{"key": "040904b0", "language", "codePage", "strings": {KEY: text}}]}:
// the fixed part (VS_FIXEDFILEINFO) with versions as "a.b.c.d" and the names of the flags,
// OS and type; the translations VarFileInfo lists; every string table in stored order.
// `block` is a buffer GetFileVersionInfoA filled.
nlohmann::ordered_json VersionJson(Bytes block);

// {"name", "items": [...]}: the menu's items as the platform's menu functions give them,
// each {"text", "key", "id", "flags": [...]} and, for a popup, "items". "text" is the text
// before a tab (null for a separator, bitmap or owner-drawn item), "key" the text after it
// (null when none); "id" is null for a popup of a classic menu, which reports its submenu's
// handle instead.
nlohmann::ordered_json MenuJson(const std::string& name, HMENU menu);

// {"name", "accelerators": [{"key": "O", "modifiers": ["Ctrl"], "id": 101}, ...]} from the
// lines of GetAccelerators ("Shift+Ctrl+O (cmdID = 101)"); identifiers as the table stores
// them (16 bits unsigned: the member's -25536 is 40000).
nlohmann::ordered_json AcceleratorsJson(const std::string& name, std::u16string_view memberText);

}  // namespace orvex::cli
