// ShowAVI through the catalogue's automation interface: the MCI command texts in their order
// (recorded), the host picture box's members, the reports; and the reading of the reply to
// "Where video destination".
#include <gtest/gtest.h>

#include "media/mci_destination.h"
#include "media/media_test_support.h"
#include "platform/text/text.h"
#include "support/scripted_object.h"

namespace orvex::test {

void PrintTo(const Report& report, std::ostream* out);

namespace {

constexpr char kShowAvi[] = "clsQ7ResfResourceTypesA.ShowAVI";

// A picture box whose window handle is 77 and whose size members keep what is put.
struct PictureBox {
  ScriptedObject object;
  double width = 3000;
  double height = 2000;

  PictureBox() {
    object.Constant("hwnd", Variant(int32_t{77}));
    object.Member("width", [this](const std::vector<Variant>& a) {
      if (!a.empty()) width = a[0].ToDouble();
      return Variant(width);
    });
    object.Member("height", [this](const std::vector<Variant>& a) {
      if (!a.empty()) height = a[0].ToDouble();
      return Variant(height);
    });
    object.Member("Move", [this](const std::vector<Variant>& a) {
      width = a[2].ToDouble();
      height = a[3].ToDouble();
      return Variant();
    });
  }
};

class ShowAviTest : public MediaTest {
 protected:
  void OpenModule(const std::string& name = "m.dll") {
    PeWriter writer;
    writer.Add(ResId(u"AVI"), ResId(1), 0x0409, FixtureBytes("raw24.avi"));
    writer.Add(ResId(u"AVI"), ResId(2), 0x0409, FixtureBytes("rle8.avi"));
    Open(catalogue_.Get(), writer, name);
  }
  bool ShowAVI(const char16_t* name, bool positions = false) {
    Variant box(box_.object.Get());
    return Call(catalogue_.Get(), "ShowAVI",
                {Variant(name), Variant::RefTo(box), Variant(positions), Variant(int32_t{150}),
                 Variant(int32_t{300}), Variant(int32_t{1500}), Variant(int32_t{900})})
        .ToBool();
  }
  std::string TmpPath(const char* name) {
    return "C:\\Retmpfld\\" + Utf16ToUtf8(Get(catalogue_.Get(), "FilePartFileName").ToString()) +
           "_R" + name + ".wav";
  }
  std::string OpenCommand(const std::string& path) {
    return "open " + path + " Type avivideo Alias video parent 77 Style child";
  }

  MciRecorder mci_;
  PictureBox box_;
};

// Without a device that can open the clip, the reply holds no numbers: the two readings
// of it are reported and the box takes the size 0 × 0.
TEST_F(ShowAviTest, CommandsOfAFirstShow) {
  OpenModule();
  EXPECT_TRUE(ShowAVI(u"#1"));
  EXPECT_EQ(mci_.Commands(),
            (std::vector<std::string>{OpenCommand(TmpPath("1")), "Where video destination",
                                      "put video window at 0 0 0 0", "play video repeat"}));
  EXPECT_EQ(FileText(TmpFile("M_R1.wav")), AsText(FixtureBytes("raw24.avi")));
  EXPECT_EQ(reports_.Reports(), (std::vector<Report>{{kShowAvi, 5}, {kShowAvi, 13}}));
  EXPECT_EQ(box_.width, 0);
  EXPECT_EQ(box_.height, 0);
}

TEST_F(ShowAviTest, MovingTheBoxFirstCentresTheClipInIt) {
  OpenModule();
  EXPECT_TRUE(ShowAVI(u"#1", /*positions=*/true));
  // 1500 × 900 twips at 15 twips per pixel: (1500 - 0) \ 30, (900 - 0) \ 30.
  EXPECT_EQ(mci_.Commands().at(2), "put video window at 50 30 0 0");
  const auto& log = box_.object.Log();
  EXPECT_NE(std::find(log.begin(), log.end(), "Move(150, 300, 1500, 900)"), log.end());
}

TEST_F(ShowAviTest, ShowingTheSameClipAgainClosesTheDeviceFirst) {
  OpenModule();
  ShowAVI(u"#1");
  std::ofstream(TmpFile("M_R1.wav"), std::ios::binary) << std::string(9000, 'x');
  mci_.Clear();
  ShowAVI(u"#1");
  const auto commands = mci_.Commands();
  ASSERT_EQ(commands.size(), 5u);
  EXPECT_EQ(commands[0], "close video");
  EXPECT_EQ(commands[1], OpenCommand(TmpPath("1")));
  // The file is rewritten whole before the device opens it again.
  EXPECT_EQ(FileText(TmpFile("M_R1.wav")), AsText(FixtureBytes("raw24.avi")));
}

// A second clip whose file is not there yet sends no "close video": its open finds the
// alias taken, and the later commands reach the first clip.
TEST_F(ShowAviTest, ASecondClipWhileTheAliasIsTakenSendsNoClose) {
  OpenModule();
  ShowAVI(u"#1");
  mci_.Clear();
  ShowAVI(u"#2");
  const auto commands = mci_.Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands[0], OpenCommand(TmpPath("2")));
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "close video"), 0);
}

// A path with a space is quoted in the open command, so the device is given the whole path.
TEST_F(ShowAviTest, AModuleNameWithASpaceGivesAQuotedPath) {
  std::filesystem::create_directory(dir_.File("sp"));
  OpenModule("sp/my clip.dll");
  ShowAVI(u"#1");
  const std::string path = TmpPath("1");
  ASSERT_NE(path.find(' '), std::string::npos);
  EXPECT_EQ(mci_.Commands().at(0), OpenCommand("\"" + path + "\""));
}

TEST_F(ShowAviTest, AMissingClipIsReportedAndTheCommandsStillGo) {
  OpenModule();
  ShowAVI(u"#9");
  EXPECT_EQ(mci_.Commands().size(), 4u);
  const auto reports = reports_.Reports();
  ASSERT_EQ(reports.size(), 3u);
  // The bytes, then the two readings of the reply.
  EXPECT_EQ(reports[0], (Report{kShowAvi, 13}));
  EXPECT_EQ(FileText(TmpFile("M_R9.wav")), "");
}

TEST_F(ShowAviTest, ANothingBoxIsReportedAtEachStepThatNeedsIt) {
  OpenModule();
  Variant none(static_cast<IDispatch*>(nullptr));
  EXPECT_TRUE(Call(catalogue_.Get(), "ShowAVI", {Variant(u"#1"), Variant::RefTo(none)}).ToBool());
  // hwnd for the open command, the two sizes put, and the read-back for the window.
  const auto reports = reports_.Reports();
  EXPECT_EQ(std::count(reports.begin(), reports.end(), Report{kShowAvi, 91}), 4);
  EXPECT_EQ(mci_.Commands().at(0), "");
}

// The reply "left top width height": the width from the second space to the third, the
// height after the third; twips rounded to a Long, halves to the even neighbour.
TEST(MciDestination, RepliesAreReadAsTheMemberReadsThem) {
  struct Case {
    const char* reply;
    int widthError;  // 0: the width text reads
    const char* widthText;
    const char* heightText;
  };
  const Case cases[] = {
      {"0 0 80 50", 0, " 80", "50"}, {"10 20 7 5", 0, " 7", "5"}, {"", 5, "", ""},
      {"80 50", 5, "", "50"},  // s2 is missing, and the search for s3 starts again at 1
      {"1 2 3", 5, "", "1 2 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    if (c.widthError == 0)
      EXPECT_EQ(DestinationWidthText(c.reply), c.widthText);
    else
      EXPECT_EQ(ErrorOf([&] { DestinationWidthText(c.reply); }), c.widthError);
    EXPECT_EQ(DestinationHeightText(c.reply), c.heightText);
  }
  EXPECT_EQ(DestinationTwips(" 80", 15), 1200);
  EXPECT_EQ(DestinationTwips("0.5", 15), 8);   // 7.5
  EXPECT_EQ(DestinationTwips("0.7", 15), 10);  // 10.5
  EXPECT_EQ(ErrorOf([] { DestinationTwips("", 15); }), 13);
  EXPECT_EQ(ErrorOf([] { DestinationTwips("1 2 3", 15); }), 13);
}

}  // namespace
}  // namespace orvex::test
