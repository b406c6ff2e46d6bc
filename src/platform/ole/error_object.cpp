#include "platform/ole/error_object.h"

#include "platform/ole/dispatch.h"
#include "platform/text/text.h"

namespace orvex {

namespace {

class ErrObject final : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;

  int32_t Number() { return number_; }
  void LetNumber(int32_t value) { number_ = value; }
  std::u16string Description() { return description_; }
  void LetDescription(std::u16string_view value) { description_ = value; }
  std::u16string Source() { return source_; }
  void LetSource(std::u16string_view value) { source_ = value; }
  std::u16string HelpFile() { return {}; }
  int32_t HelpContext() { return 0; }
  int32_t LastDllError() { return 0; }
  void Clear() {
    number_ = 0;
    description_.clear();
    source_.clear();
  }

  int32_t number_ = 0;
  std::u16string description_;
  std::u16string source_;
};

const MemberDesc kErrMembers[] = {
    {"Number", MemberKind::Get, 0, {}, types::Long, Bind<&ErrObject::Number>()},
    {"Number",
     MemberKind::Let,
     0,
     {Param("Number", types::Long)},
     types::None,
     Bind<&ErrObject::LetNumber>()},
    {"Source", MemberKind::Get, 0x60020002, {}, types::String, Bind<&ErrObject::Source>()},
    {"Source",
     MemberKind::Let,
     0x60020002,
     {Param("Source", types::String)},
     types::None,
     Bind<&ErrObject::LetSource>()},
    {"Description",
     MemberKind::Get,
     0x60020004,
     {},
     types::String,
     Bind<&ErrObject::Description>()},
    {"Description",
     MemberKind::Let,
     0x60020004,
     {Param("Description", types::String)},
     types::None,
     Bind<&ErrObject::LetDescription>()},
    {"HelpFile", MemberKind::Get, 0x60020006, {}, types::String, Bind<&ErrObject::HelpFile>()},
    {"HelpContext", MemberKind::Get, 0x60020008, {}, types::Long, Bind<&ErrObject::HelpContext>()},
    {"LastDllError",
     MemberKind::Get,
     0x6002000B,
     {},
     types::Long,
     Bind<&ErrObject::LastDllError>()},
    {"Clear", MemberKind::Method, 0x6002000C, {}, types::None, Bind<&ErrObject::Clear>()},
};

const ClassInfo& ErrInfo() {
  static const ClassInfo info({"ErrObject", "", MakeGuid("{A4C46780-499F-101B-BB78-00AA00383CBB}"),
                               "ErrObject", MakeGuid("{A4C46780-499F-101B-BB78-00AA00383CBB}")},
                              kErrMembers, &CreateOf<ErrObject>);
  return info;
}

}  // namespace

ComPtr<IDispatch> MakeErrorObject(const RuntimeError& error) {
  auto* object = static_cast<ErrObject*>(ErrInfo().Create());
  object->number_ = error.Number();
  object->description_ = Utf8ToUtf16(error.Description());
  object->source_ = Utf8ToUtf16(error.Source());
  return ComPtr<IDispatch>::Attach(object);
}

}  // namespace orvex
