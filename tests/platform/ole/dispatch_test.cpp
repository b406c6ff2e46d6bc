#include <gtest/gtest.h>

#include <optional>

#include "platform/ole/dispatch.h"
#include "platform/ole/late_bound.h"

namespace orvex {
namespace {

class clsSample : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;

  std::u16string Caption() { return caption_; }
  void LetCaption(std::u16string_view value) { caption_ = value; }
  ComPtr<IDispatch> Partner() { return partner_; }
  void SetPartner(ComPtr<IDispatch> value) { partner_ = std::move(value); }
  // Records how each argument arrived.
  std::u16string Describe(int32_t number, std::u16string_view text, std::optional<int32_t> maybe,
                          bool flag, const VARIANT& any) {
    std::u16string out = Variant(number).ToString() + u"|" + std::u16string(text) + u"|" +
                         (maybe ? Variant(*maybe).ToString() : u"missing") + u"|" +
                         (flag ? u"T" : u"F") + u"|";
    if (any.vt == VT_ERROR && any.scode == DISP_E_PARAMNOTFOUND) return out + u"missing";
    return out + Variant(any).ToString();
  }
  int32_t Fail(int32_t number) { throw RuntimeError(number, "failed on purpose", "Sample.Fail"); }
  int32_t Same(ComPtr<clsSample> other) { return other.Get() == this ? 1 : 0; }

 private:
  std::u16string caption_;
  ComPtr<IDispatch> partner_;
};

const MemberDesc kSampleMembers[] = {
    {"Caption", MemberKind::Get, 0x68030000, {}, types::String, Bind<&clsSample::Caption>()},
    {"Caption",
     MemberKind::Let,
     0x68030000,
     {Param("Caption", types::String)},
     types::None,
     Bind<&clsSample::LetCaption>()},
    {"Partner", MemberKind::Get, 0x68030001, {}, types::Object, Bind<&clsSample::Partner>()},
    {"Partner",
     MemberKind::Set,
     0x68030001,
     {Param("Partner", types::Object)},
     types::None,
     Bind<&clsSample::SetPartner>()},
    {"Describe",
     MemberKind::Method,
     0x60030002,
     {Param("lNumber", types::Long, kByRef), Param("sText", types::String, kOptional),
      Param("lMaybe", types::Long, kOptional), ParamDefault("bFlag", types::Boolean, kByRef, -1),
      Param("vAny", types::Variant, kByRef | kOptional)},
     types::String,
     Bind<&clsSample::Describe>()},
    {"Fail",
     MemberKind::Method,
     0x60030003,
     {Param("lNumber", types::Long)},
     types::Long,
     Bind<&clsSample::Fail>()},
    {"Same",
     MemberKind::Method,
     0x60030004,
     {Param("other", types::Class("clsSample"))},
     types::Long,
     Bind<&clsSample::Same>()},
    {"Later", MemberKind::Method, 0x60030005, {}, types::None, NotImplemented()},
};

const ClassInfo& SampleInfo() {
  static const ClassInfo info(
      {"clsSample", "OleTest.clsSample", MakeGuid("{11111111-2222-3333-4444-555555555555}"),
       "_clsSample", MakeGuid("{11111111-2222-3333-4444-555555555556}")},
      kSampleMembers, &CreateOf<clsSample>);
  return info;
}

ComPtr<IDispatch> NewSample() {
  return ComPtr<IDispatch>::Attach(SampleInfo().Create());
}

int32_t ErrorNumber(const std::function<void()>& call) {
  try {
    call();
  } catch (const RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

TEST(Dispatch, PropertiesByNameWithoutRegardToCase) {
  ComPtr<IDispatch> sample = NewSample();
  PutProperty(sample.Get(), "caption", Variant(u"hello"));
  EXPECT_EQ(GetProperty(sample.Get(), "CAPTION").ToString(), u"hello");
  EXPECT_EQ(GetDispId(sample.Get(), "cApTiOn"), 0x68030000);
  EXPECT_EQ(ErrorNumber([&] { GetDispId(sample.Get(), "Nope"); }), 438);

  // Set by reference; a Let of an object-only property falls back to the Set.
  ComPtr<IDispatch> other = NewSample();
  PutPropertyRef(sample.Get(), "Partner", Variant(other));
  EXPECT_EQ(GetProperty(sample.Get(), "Partner").ToDispatch().Get(), other.Get());
  PutPropertyRef(sample.Get(), "Partner", Variant(static_cast<IDispatch*>(nullptr)));
  EXPECT_FALSE(GetProperty(sample.Get(), "Partner").ToDispatch());
}

TEST(Dispatch, ArgumentsArriveReversedCoercedAndDereferenced) {
  ComPtr<IDispatch> sample = NewSample();
  LONG number = 7;
  Variant result =
      Call(sample.Get(), "Describe",
           {Variant::RefTo(number), Variant(12), Variant(u"3"), Variant(0), Variant(u"any")});
  EXPECT_EQ(result.ToString(), u"7|12|3|F|any");
  // Missing optionals: typed without default -> "", optional<T> -> nullopt, default -> True,
  // Variant -> missing marker.
  EXPECT_EQ(Call(sample.Get(), "Describe", {Variant(1)}).ToString(), u"1||missing|T|missing");
  EXPECT_EQ(Call(sample.Get(), "Describe",
                 {Variant(1), Variant::Missing(), Variant::Missing(), Variant::Missing()})
                .ToString(),
            u"1||missing|T|missing");
  // A by-reference variant argument is read through.
  Variant inner(u"inner");
  EXPECT_EQ(Call(sample.Get(), "Describe",
                 {Variant(2), Variant(u"t"), Variant(5), Variant(true), Variant::RefTo(inner)})
                .ToString(),
            u"2|t|5|T|inner");
}

TEST(Dispatch, NamedArgumentsByParameterPosition) {
  ComPtr<IDispatch> sample = NewSample();
  std::u16string names[] = {u"Describe", u"lMaybe", u"lNumber"};
  LPOLESTR raw[] = {names[0].data(), names[1].data(), names[2].data()};
  DISPID ids[3];
  ASSERT_EQ(sample->GetIDsOfNames(IID_NULL, raw, 3, 0, ids), S_OK);
  EXPECT_EQ(ids[1], 2);
  EXPECT_EQ(ids[2], 0);
  Variant args[2] = {Variant(9), Variant(4)};  // lMaybe = 9, lNumber = 4
  DISPPARAMS params{args, &ids[1], 2, 2};
  Variant result;
  ASSERT_EQ(
      sample->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
      S_OK);
  EXPECT_EQ(Variant(result).ToString(), u"4||9|T|missing");
}

TEST(Dispatch, FailuresBecomeHresultsAndRunTimeErrors) {
  ComPtr<IDispatch> sample = NewSample();
  DISPID describe = GetDispId(sample.Get(), "Describe");
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(
      sample->Invoke(describe, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
      DISP_E_PARAMNOTOPTIONAL);
  Variant six[6] = {Variant(1), Variant(1), Variant(1), Variant(1), Variant(1), Variant(1)};
  DISPPARAMS tooMany{six, nullptr, 6, 0};
  EXPECT_EQ(
      sample->Invoke(describe, IID_NULL, 0, DISPATCH_METHOD, &tooMany, nullptr, nullptr, nullptr),
      DISP_E_BADPARAMCOUNT);
  Variant text(u"x");
  DISPPARAMS mismatch{&text, nullptr, 1, 0};
  UINT argError = 99;
  EXPECT_EQ(sample->Invoke(describe, IID_NULL, 0, DISPATCH_METHOD, &mismatch, nullptr, nullptr,
                           &argError),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argError, 0u);
  EXPECT_EQ(sample->Invoke(0x7777, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);

  // A run-time error crosses Invoke as DISP_E_EXCEPTION with scode 0x800A0000 | number.
  Variant nine(9);
  DISPPARAMS failArgs{&nine, nullptr, 1, 0};
  EXCEPINFO info{};
  EXPECT_EQ(sample->Invoke(GetDispId(sample.Get(), "Fail"), IID_NULL, 0, DISPATCH_METHOD, &failArgs,
                           nullptr, &info, nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(static_cast<uint32_t>(info.scode), 0x800A0009u);
  EXPECT_EQ(BstrView(info.bstrDescription), u"failed on purpose");
  EXPECT_EQ(BstrView(info.bstrSource), u"Sample.Fail");
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);

  try {
    Call(sample.Get(), "Later");
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), 445);
    EXPECT_NE(e.Description().find("clsSample.Later"), std::string::npos);
    EXPECT_EQ(e.Source(), "OleTest.clsSample");
  }
}

TEST(Dispatch, ClassParametersAcceptOnlyObjectsOfThatClass) {
  ComPtr<IDispatch> sample = NewSample();
  EXPECT_EQ(Call(sample.Get(), "Same", {Variant(sample)}).ToLong(), 1);
  EXPECT_EQ(Call(sample.Get(), "Same", {Variant(NewSample())}).ToLong(), 0);
  EXPECT_EQ(ErrorNumber([&] { Call(sample.Get(), "Same", {Variant(u"text")}); }), 13);
}

TEST(Dispatch, TypeInformationDescribesEveryMember) {
  ComPtr<IDispatch> sample = NewSample();
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(sample->GetTypeInfo(0, 0, info.Put()), S_OK);
  const TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, SampleInfo().Iid());
  ASSERT_EQ(attr->cFuncs, std::size(kSampleMembers));
  const FUNCDESC* describe = nullptr;
  ASSERT_EQ(info->GetFuncDesc(4, &describe), S_OK);
  EXPECT_EQ(describe->memid, 0x60030002);
  EXPECT_EQ(describe->invkind, INVOKE_FUNC);
  EXPECT_EQ(describe->cParams, 5);
  EXPECT_EQ(describe->cParamsOpt, 4);
  EXPECT_EQ(describe->elemdescFunc.vt, VT_BSTR);
  EXPECT_EQ(describe->lprgelemdescParam[0].vt, VT_BYREF | VT_I4);
  EXPECT_EQ(describe->lprgelemdescParam[3].wParamFlags,
            PARAMFLAG_FIN | PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT);
  EXPECT_EQ(describe->lprgelemdescParam[3].defaultValue.boolVal, VARIANT_TRUE);
  const FUNCDESC* putRef = nullptr;
  ASSERT_EQ(info->GetFuncDesc(3, &putRef), S_OK);
  EXPECT_EQ(putRef->invkind, INVOKE_PROPERTYPUTREF);

  BSTR names[8] = {};
  UINT count = 0;
  ASSERT_EQ(info->GetNames(0x60030002, names, 8, &count), S_OK);
  ASSERT_EQ(count, 6u);
  EXPECT_EQ(BstrView(names[0]), u"Describe");
  EXPECT_EQ(BstrView(names[5]), u"vAny");
  for (UINT i = 0; i < count; ++i) SysFreeString(names[i]);
}

// A fake that counts its references, for ComPtr.
struct CountingUnknown : IUnknown {
  int adds = 0, releases = 0;
  HRESULT ORVEX_COM_CALL QueryInterface(REFIID, void** object) override {
    *object = this;
    ++adds;
    return S_OK;
  }
  ULONG ORVEX_COM_CALL AddRef() override { return ++adds; }
  ULONG ORVEX_COM_CALL Release() override { return ++releases; }
  virtual ~CountingUnknown() = default;
};

TEST(ComPtr, CountsEveryCopyAndReleasesOnce) {
  CountingUnknown fake;
  {
    ComPtr<IUnknown> a(&fake);
    ComPtr<IUnknown> b = a;
    ComPtr<IUnknown> c = std::move(b);
    EXPECT_FALSE(b);
    c = nullptr;
    ComPtr<IUnknown> d = ComPtr<IUnknown>::Attach(&fake);
    IUnknown* raw = d.Detach();
    EXPECT_EQ(raw, &fake);
  }
  EXPECT_EQ(fake.adds, 2);
  EXPECT_EQ(fake.releases, 2);
}

TEST(Dispatch, ObjectsAreCountedAndFreed) {
  long before = LiveObjectCount();
  {
    ComPtr<IDispatch> sample = NewSample();
    EXPECT_EQ(LiveObjectCount(), before + 1);
  }
  EXPECT_EQ(LiveObjectCount(), before);
}

}  // namespace
}  // namespace orvex
