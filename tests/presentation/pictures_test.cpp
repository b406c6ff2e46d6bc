// GetPicture and GetPictureExt through the catalogue's automation interface, over modules
// written with image resources: picture types and sizes, the "#" rule for numeric names,
// the types served, the temporary file's life, the reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "catalogue/catalogue_test_support.h"
#include "platform/fs/fs.h"
#include "platform/ole/picture.h"
#include "platform/text/text.h"
#include "presentation/files.h"
#include "support/image_bytes.h"

namespace orvex::test {

void PrintTo(const Report& report, std::ostream* out);

namespace {

constexpr char kGetPicture[] = "clsQ7ResfResourceTypesA.GetPicture";
constexpr char kGetPictureExt[] = "clsQ7ResfResourceTypesA.GetPictureExt";

struct Described {
  bool present = false;
  int32_t type = 0, width = 0, height = 0;
};

Described Describe(const Variant& picture) {
  if (picture.vt != VT_DISPATCH || !picture.pdispVal) return {};
  const auto get = [&](DISPID id) {
    Variant v = InvokeById(picture.pdispVal, id, DISPATCH_PROPERTYGET, {});
    Variant l;
    VariantChangeType(&l, &v, 0, VT_I4);
    return l.lVal;
  };
  return {true, get(DISPID_PICT_TYPE), get(DISPID_PICT_WIDTH), get(DISPID_PICT_HEIGHT)};
}

class PicturesTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    catalogue_ = NewCatalogue();
    PeWriter writer;
    const auto icon = IconImage(32, 0x2080C0);
    const auto cursor = CursorImage(32, 5, 7, 0x102030);
    writer.Add(3, 130, 0x0409, icon);                                  // RT_ICON
    writer.Add(14, 130, 0x0409, IconGroup(32, 130, icon.size()));      // RT_GROUP_ICON
    writer.Add(1, 140, 0x0409, cursor);                                // RT_CURSOR
    writer.Add(12, 140, 0x0409, CursorGroup(32, 140, cursor.size()));  // RT_GROUP_CURSOR
    writer.Add(2, 130, 0x0409, PackedDib(48, 16, 24, 0x00FF00));       // RT_BITMAP
    writer.Add(6, 1, 0x0409, std::vector<uint8_t>(16, 0));             // RT_STRING
    writer.Add(ResId(u"IMG"), 130, 0x0409, BmpFile(20, 10, 24, 0x0000FF));
    writer.Add(ResId(u"IMG"), 131, 0x0409, std::vector<uint8_t>{'n', 'o', 't', ' ', 'a'});
    Open(catalogue_.Get(), writer, "pics.dll");
  }
  Variant GetPicture(int32_t type, const std::u16string& name) {
    LONG t = type;
    return Call(catalogue_.Get(), "GetPicture", {Variant::RefTo(t), Variant(name)});
  }
  Variant GetPictureExt(const std::u16string& type, const std::u16string& name) {
    return Call(catalogue_.Get(), "GetPictureExt", {Variant(type), Variant(name)});
  }
  std::string TmpPath(const std::u16string& name) {
    const std::u16string filePart = Text(Get(catalogue_.Get(), "FilePartFileName"));
    return *MapPath(UnicodeToAnsi(ResourceTmpFileNameFor(filePart, name)));
  }
  ComPtr<IDispatch> catalogue_;
};

TEST_F(PicturesTest, TypesAndSizesByResourceType) {
  const struct {
    int32_t type;
    const char16_t* name;
    int32_t picType, width, height;
  } cases[] = {
      {3, u"130", 3, 847, 847}, {3, u"#130", 3, 847, 847},  {14, u"130", 3, 847, 847},
      {1, u"140", 3, 847, 847}, {12, u"#140", 3, 847, 847}, {2, u"130", 1, 1270, 423},
  };
  for (const auto& c : cases) {
    const Described d = Describe(GetPicture(c.type, c.name));
    EXPECT_TRUE(d.present) << c.type;
    EXPECT_EQ(d.type, c.picType) << c.type;
    EXPECT_EQ(d.width, c.width) << c.type;
    EXPECT_EQ(d.height, c.height) << c.type;
  }
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(PicturesTest, OtherTypesAndMissingGroupsGiveNullWithoutReports) {
  for (int32_t type : {6, 21, 22, 0, 99}) EXPECT_FALSE(Describe(GetPicture(type, u"1")).present);
  EXPECT_FALSE(Describe(GetPicture(14, u"999")).present);
  EXPECT_FALSE(Describe(GetPicture(2, u"NOSUCH")).present);
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(PicturesTest, MissingIconImageIsReported) {
  EXPECT_FALSE(Describe(GetPicture(3, u"999")).present);
  const auto reports = reports_.Reports();
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), (Report{kGetPicture, 13}));
}

TEST_F(PicturesTest, PictureFileFromAnyResourceLeavesNoTemporaryFile) {
  const std::string path = TmpPath(u"#130");
  std::ofstream(path) << "an older file at the same path";
  const Described d = Describe(GetPictureExt(u"IMG", u"#130"));
  EXPECT_TRUE(d.present);
  EXPECT_EQ(d.type, 1);
  EXPECT_EQ(d.width, 529);  // 20 px
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(PicturesTest, PictureFileFailures) {
  // A bare number is a name here: nothing found, the empty file fails to load.
  EXPECT_FALSE(Describe(GetPictureExt(u"IMG", u"130")).present);
  auto reports = reports_.Reports();
  ASSERT_GE(reports.size(), 2u);
  EXPECT_EQ(reports.back(), (Report{kGetPictureExt, 481}));
  EXPECT_FALSE(std::filesystem::exists(TmpPath(u"130")));

  reports_.Clear();
  EXPECT_FALSE(Describe(GetPictureExt(u"IMG", u"#131")).present);
  EXPECT_EQ(reports_.Reports(), (std::vector<Report>{{kGetPictureExt, 481}}));
  EXPECT_FALSE(std::filesystem::exists(TmpPath(u"#131")));
}

}  // namespace
}  // namespace orvex::test
