// GetDataArray, GetHexDump and GetHTML through the catalogue's automation interface: how
// ResType is tried, what the byte array looks like, the two reporting regimes of the dump.
#include <gtest/gtest.h>

#include "catalogue/catalogue_test_support.h"
#include "framework/q7halden10.h"
#include "platform/module/module.h"
#include "platform/ole/oleauto.h"

namespace orvex::test {
namespace {

class RawAccessTest : public CatalogueTest {
 protected:
  void OpenModule(const PeWriter& writer) {
    catalogue_ = NewCatalogue();
    Open(catalogue_.Get(), writer);
  }
  Variant DataArray(const char16_t* type, const char16_t* name) {
    return Call(catalogue_.Get(), "GetDataArray", {Variant(type), Variant(name)});
  }
  std::u16string HexDump(const char16_t* type, const char16_t* name) {
    return Text(Call(catalogue_.Get(), "GetHexDump", {Variant(type), Variant(name)}));
  }
  static std::vector<uint8_t> ArrayBytes(const Variant& v) {
    EXPECT_EQ(v.vt, VT_ARRAY | VT_UI1);
    if (v.vt != (VT_ARRAY | VT_UI1)) return {};
    LONG lower = -1, upper = -1;
    SafeArrayGetLBound(v.parray, 1, &lower);
    SafeArrayGetUBound(v.parray, 1, &upper);
    EXPECT_EQ(lower, 0);
    const auto* data = static_cast<const uint8_t*>(v.parray->pvData);
    return std::vector<uint8_t>(data, data + (upper + 1));
  }

  ComPtr<IDispatch> catalogue_;
};

TEST_F(RawAccessTest, DataArrayTriesANumericTypeAsIntegerThenAsName) {
  PeWriter both;
  both.Add(23, 1, 0x0409, Bytes("<html>integer</html>"));
  both.Add(u"23", 1, 0x0409, Bytes("named"));
  both.Add(u"AVI", 1, 0x0409, Bytes("clip"));
  both.Add(10, u"CONFIG", 0x0409, Bytes("k=v"));
  OpenModule(both);
  EXPECT_EQ(ArrayBytes(DataArray(u"23", u"#1")), Bytes("<html>integer</html>"));
  EXPECT_EQ(ArrayBytes(DataArray(u"avi", u"#1")), Bytes("clip"));
  EXPECT_EQ(ArrayBytes(DataArray(u"10", u"config")), Bytes("k=v"));
  EXPECT_EQ(ArrayBytes(DataArray(u"9.6", u"CONFIG")), Bytes("k=v"));  // rounded to 10
  EXPECT_EQ(DataArray(u"10", u"1").vt, VT_EMPTY);  // a bare 1 is a name, not the number

  PeWriter namedOnly;
  namedOnly.Add(u"23", 1, 0x0409, Bytes("named"));
  OpenModule(namedOnly);
  EXPECT_EQ(ArrayBytes(DataArray(u"23", u"#1")), Bytes("named"));
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(RawAccessTest, MissingOrEmptyResourcesGiveTheEmptyVariantWithoutReports) {
  PeWriter writer;
  writer.Add(10, 1, 0x0409, {});
  writer.Add(10, 2, 0x0409, Bytes("x"), -1, 0x7FFFFFF0u);  // its range leaves the file
  OpenModule(writer);
  for (const char16_t* name : {u"#1", u"#2", u"#3"}) EXPECT_EQ(DataArray(u"10", name).vt, VT_EMPTY);
  EXPECT_EQ(DataArray(u"70000", u"#1").vt, VT_EMPTY);  // no integer form: tried as a name
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(RawAccessTest, ANumberTooLargeForALongIsReportedAndTriedAsAName) {
  PeWriter writer;
  writer.Add(u"99999999999", 1, 0x0409, Bytes("big"));
  OpenModule(writer);
  EXPECT_EQ(ArrayBytes(DataArray(u"99999999999", u"#1")), Bytes("big"));
  EXPECT_EQ(reports_.Reports(), (std::vector<Report>{{"clsQ7ResfResourceTypesA.GetDataArray", 6}}));
}

TEST_F(RawAccessTest, HexDumpOfOneByteIsOneLine) {
  PeWriter writer;
  writer.Add(10, 1, 0x0409, {0x41});
  OpenModule(writer);
  std::u16string expected = u"00000000 | 41 ";
  for (int i = 0; i < 15; ++i) expected += u"   ";
  expected += u"| A...............\r\n";
  ASSERT_EQ(expected.size(), 79u);
  EXPECT_EQ(HexDump(u"10", u"#1"), expected);
}

TEST_F(RawAccessTest, HexDumpRendersUpTo13264BytesAndBlanksBeyond) {
  PeWriter writer;
  writer.Add(10, 1, 0x0409, std::vector<uint8_t>(13264, 0x20));
  writer.Add(10, 2, 0x0409, std::vector<uint8_t>(13265, 0x20));
  OpenModule(writer);
  const std::u16string rendered = HexDump(u"10", u"#1");
  EXPECT_EQ(rendered.size(), 65491u);
  EXPECT_EQ(rendered.substr(79 * 256, 11), u"00001000 | ");
  EXPECT_EQ(
      rendered.substr(rendered.size() - 79), u"000033C0 | " + [] {
        std::u16string tail;
        for (int i = 0; i < 16; ++i) tail += u"20 ";
        return tail + u"|                 \r\n";
      }());
  EXPECT_EQ(HexDump(u"10", u"#2"), std::u16string(65570, u' '));
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(RawAccessTest, HexDumpOfAMissingResourceReportsTwiceAndIsEmpty) {
  PeWriter writer;
  writer.Add(10, 1, 0x0409, {0x41});
  OpenModule(writer);
  EXPECT_EQ(HexDump(u"10", u"#9"), u"");
  const std::vector<Report> expected = {{"clsQ7ResfResourceTypesA.GetHexDump", 13},
                                        {"clsQ7ResfResourceTypesA.GetHexDump", 9}};
  EXPECT_EQ(reports_.Reports(), expected);
}

TEST_F(RawAccessTest, AFailedReportEndsTheOperationWithItsError) {
  PeWriter writer;
  writer.Add(10, 1, 0x0409, {0x41});
  OpenModule(writer);
  CoRevokeClassObject(CLSID_clsQ7elErrorHandlerA);  // nothing to report to
  EXPECT_EQ(ErrorOf([&] { HexDump(u"10", u"#9"); }), 429);
}

TEST_F(RawAccessTest, HtmlIsTheBytesAsAnsiText) {
  PeWriter writer;
  writer.Add(23, 1, 0x0409, {'<', 'p', '>', 0xE9, 0x00, 'x'});
  OpenModule(writer);
  const Variant html = Call(catalogue_.Get(), "GetHTML", {Variant(u"23"), Variant(u"#1")});
  EXPECT_EQ(Text(html), std::u16string(u"<p>\u00E9\0x", 6));
  EXPECT_EQ(Text(Call(catalogue_.Get(), "GetHTML", {Variant(u"23"), Variant(u"#2")})), u"");
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(RawAccessTest, WithoutAModuleTheHostsOwnModuleIsSearched) {
  PeWriter host;
  host.Add(10, 5, 0x0409, Bytes("host"));
  const std::string path = dir_.Write("host.exe", host.Build());
  ASSERT_TRUE(RegisterHostModuleFile(path.c_str()));
  ComPtr<IDispatch> catalogue = NewCatalogue();
  EXPECT_EQ(ArrayBytes(Call(catalogue.Get(), "GetDataArray", {Variant(u"10"), Variant(u"#5")})),
            Bytes("host"));
  RegisterHostModuleFile(nullptr);
}

}  // namespace
}  // namespace orvex::test
