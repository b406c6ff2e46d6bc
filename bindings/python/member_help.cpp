// Help texts from the class table: "GetString(ResName: String) -> String",
// "Count: Long (read-only)", "Item(Index: Variant (by reference)) -> clsQ7ResfResourceTypeA".
#include "member_help.h"

#include <string_view>
#include <vector>

#include "platform/ole/dispatch.h"
#include "platform/text/text.h"

namespace orvex::python {
namespace {

const ClassInfo* ClassOf(IDispatch* object) {
  const Dispatchable* ours = ObjectCast<Dispatchable>(object);
  return ours ? &ours->Info() : nullptr;
}

std::string TypeName(const TypeRef& type) {
  return type.name && *type.name ? type.name : "Variant";
}

std::string ParamText(const ParamDesc& param) {
  std::string text = std::string(param.name) + ": " + TypeName(param.type);
  if (param.byRef) text += " (by reference)";
  if (param.hasDefault) {
    const bool boolean = param.type.vt == VT_BOOL;
    text += " = " + (boolean ? std::string(param.defaultValue ? "True" : "False")
                             : std::to_string(param.defaultValue));
  } else if (param.optional) {
    text = "[" + text + "]";
  }
  return text;
}

std::string ParamList(const MemberDesc& member) {
  std::string text = "(";
  for (const ParamDesc& param : member.Params())
    text += (text.size() > 1 ? ", " : "") + ParamText(param);
  return text + ")";
}

// The line of every member of one name (a property's Get, Let and Set together).
std::string MemberLine(std::span<const MemberDesc> members, std::string_view name) {
  const MemberDesc* method = nullptr;
  const MemberDesc* get = nullptr;
  const MemberDesc* put = nullptr;
  for (const MemberDesc& member : members) {
    if (!EqualsIgnoringCase(Utf8ToUtf16(member.name), Utf8ToUtf16(name))) continue;
    if (member.kind == MemberKind::Method) method = &member;
    if (member.kind == MemberKind::Get) get = &member;
    if (member.IsPut() && !put) put = &member;
  }
  if (method) {
    std::string line = std::string(method->name) + ParamList(*method);
    if (method->result.vt != VT_EMPTY) line += " -> " + TypeName(method->result);
    return line;
  }
  if (get && get->paramCount > 0)
    return std::string(get->name) + ParamList(*get) + " -> " + TypeName(get->result);
  if (get)
    return std::string(get->name) + ": " + TypeName(get->result) +
           (put ? " (read and write)" : " (read-only)");
  if (put) {
    const std::span<const ParamDesc> params = put->Params();
    return std::string(put->name) + ": " +
           (params.empty() ? std::string("Variant") : TypeName(params.back().type)) +
           " (write-only)";
  }
  return {};
}

}  // namespace

std::optional<std::string> DescribeFromClassTable(IDispatch* object) {
  const ClassInfo* info = ClassOf(object);
  if (!info) return std::nullopt;
  std::string out = info->Name();
  if (*info->ProgId()) out += std::string(" (") + info->ProgId() + ")";
  out += " members:\n";
  std::vector<std::u16string> seen;
  for (const MemberDesc& member : info->Members()) {
    std::u16string key = Utf8ToUtf16(member.name);
    bool known = false;
    for (const std::u16string& s : seen) known = known || EqualsIgnoringCase(s, key);
    if (known) continue;
    seen.push_back(std::move(key));
    out += "  " + MemberLine(info->Members(), member.name) + "\n";
  }
  return out;
}

std::optional<std::string> DescribeMemberFromClassTable(IDispatch* object,
                                                        const std::string& name) {
  const ClassInfo* info = ClassOf(object);
  if (!info) return std::nullopt;
  std::string line = MemberLine(info->Members(), name);
  if (line.empty()) return std::nullopt;
  return line;
}

}  // namespace orvex::python
