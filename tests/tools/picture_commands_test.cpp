// `orvex picture` and `orvex icons` end to end: the platform's own answers for Wine's
// modules (tests/wine/pictures/expected.txt), PNG output, icon files that icotool reads,
// and the failures a user sees.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "golden_image.h"
#include "orvex_run.h"
#include "pe_writer/pe_writer.h"
#include "platform/gdi/png_image.h"
#include "support/image_bytes.h"
#include "support/wine_expected.h"

namespace orvex::test {
namespace {

constexpr char kCorpus[] = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";

// Width and height from a PNG's header.
std::pair<uint32_t, uint32_t> PngSize(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  const auto size = ReadPngSize(AsBytes(bytes.data(), bytes.size()));
  return size ? std::make_pair(size->width, size->height) : std::make_pair(0u, 0u);
}

TEST(PictureCommand, GivesWhatThePlatformGivesForWinesModules) {
  if (!std::filesystem::is_directory(kCorpus)) GTEST_SKIP() << "no Wine corpus";
  std::ifstream expected(ORVEX_SOURCE_DIR "/tests/wine/pictures/expected.txt");
  TempDir dir;
  std::string line;
  int compared = 0;
  while (std::getline(expected, line)) {
    char file[64];
    unsigned imageType = 0;
    int id = 0;
    if (std::sscanf(line.c_str(), "%63s %u #%d", file, &imageType, &id) != 3) continue;
    const char* type = imageType == 0 ? "2" : imageType == 1 ? "14" : "12";
    const std::string png = dir.File("out.png");
    const OrvexRun run = RunOrvex(
        {"picture", std::string(kCorpus) + "/" + file, type, std::to_string(id), "-o", png});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto got = nlohmann::json::parse(run.out);
    const auto want = ExpectedFields(line);
    EXPECT_EQ(std::to_string(got["Type"].get<int>()), want.at("Type")) << file;
    EXPECT_EQ(std::to_string(got["Width"].get<int>()), want.at("Width")) << file;
    EXPECT_EQ(std::to_string(got["Height"].get<int>()), want.at("Height")) << file;
    const std::string size = std::to_string(got["pixels"][0].get<int>()) + "x" +
                             std::to_string(got["pixels"][1].get<int>());
    EXPECT_EQ(want.at(imageType == 0 ? "bitmap" : "color").substr(0, size.size()), size) << file;
    if (imageType == 0) {
      EXPECT_TRUE(got["hotspot"].is_null());
    } else {
      EXPECT_EQ(std::to_string(got["hotspot"][0].get<int>()) + "," +
                    std::to_string(got["hotspot"][1].get<int>()),
                want.at("hotspot"));
    }
    EXPECT_EQ(PngSize(png),
              std::make_pair(got["pixels"][0].get<uint32_t>(), got["pixels"][1].get<uint32_t>()));
    ++compared;
  }
  EXPECT_EQ(compared, 4);
}

class IconModule : public ::testing::Test {
 protected:
  void SetUp() override {
    PeWriter writer;
    const auto icon32 = IconImage(32, 0x2080C0), icon16 = IconImage(16, 0x00FF00);
    const auto cursor = CursorImage(32, 5, 7, 0x102030);
    writer.Add(3, 1, 0x0409, icon32);
    writer.Add(3, 2, 0x0409, icon16);
    auto group = IconGroup(32, 1, static_cast<uint32_t>(icon32.size()));
    const auto second = IconGroup(16, 2, static_cast<uint32_t>(icon16.size()));
    group[4] = 2;
    group.insert(group.end(), second.begin() + 6, second.end());
    writer.Add(14, ResId(u"APP"), 0x0409, group);
    writer.Add(1, 3, 0x0409, cursor);
    writer.Add(12, 4, 0x0409, CursorGroup(32, 3, static_cast<uint32_t>(cursor.size())));
    module_ = dir_.Write("icons.dll", writer.Build());
  }
  TempDir dir_;
  std::string module_;
};

// A 4 x 1 bitmap of 8 bits per pixel whose palette holds the three greys that
// LR_LOADMAP3DCOLORS maps and a red: GetPicture's image shows the system's 3D colours
// (Wine's scheme: A6A6A6, F5F5F5, E3E3E3), --as-stored the bitmap's own.
TEST(PictureCommand, AsStoredKeepsTheGreysThatGetPictureMaps) {
  std::vector<uint8_t> dib(40 + 4 * 4 + 4, 0);
  const auto put32 = [&](size_t at, uint32_t value) { std::memcpy(&dib[at], &value, 4); };
  put32(0, 40);
  put32(4, 4);   // width
  put32(8, 1);   // height
  dib[12] = 1;   // planes
  dib[14] = 8;   // bits per pixel
  put32(32, 4);  // colours used
  const uint32_t palette[] = {0x808080, 0xC0C0C0, 0xDFDFDF, 0xFF0000};
  for (size_t i = 0; i < 4; ++i) put32(40 + 4 * i, palette[i]);
  for (uint8_t i = 0; i < 4; ++i) dib[56 + i] = i;
  PeWriter writer;
  writer.Add(2, 7, 0x0409, dib);
  TempDir dir;
  const std::string module = dir.Write("greys.dll", writer.Build());
  const auto pixelsOf = [&](const std::vector<std::string>& extra) {
    std::vector<std::string> arguments{"picture", module, "2", "7", "-o", dir.File("g.png")};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const OrvexRun run = RunOrvex(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string png = ReadWholeFile(dir.File("g.png"));
    const auto pixels = DecodePng(AsBytes(png.data(), png.size()));
    return pixels ? pixels->bgra : std::vector<uint32_t>{};
  };
  EXPECT_EQ(pixelsOf({}), (std::vector<uint32_t>{0xFFA6A6A6, 0xFFF5F5F5, 0xFFE3E3E3, 0xFFFF0000}));
  EXPECT_EQ(pixelsOf({"--as-stored"}),
            (std::vector<uint32_t>{0xFF808080, 0xFFC0C0C0, 0xFFDFDFDF, 0xFFFF0000}));
  // --as-stored names what -o writes, and GetPictureExt maps nothing.
  EXPECT_EQ(RunOrvex({"picture", module, "2", "7", "--as-stored"}).status, 2);
  EXPECT_EQ(RunOrvex({"picture", module, "2", "7", "--ext", "--as-stored", "-o", dir.File("x.png")})
                .status,
            2);
}

TEST_F(IconModule, IconsWritesGroupFilesAndOnePngPerImage) {
  const std::string out = dir_.File("out");
  const OrvexRun run = RunOrvex({"icons", module_, "-o", out});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(PngSize(out + "/icon_APP_1_32x32.png"), std::make_pair(32u, 32u));
  EXPECT_EQ(PngSize(out + "/icon_APP_2_16x16.png"), std::make_pair(16u, 16u));
  EXPECT_EQ(PngSize(out + "/cursor_4_1_32x32.png"), std::make_pair(32u, 32u));
  const std::string ico = ReadWholeFile(out + "/icon_APP.ico");
  ASSERT_GE(ico.size(), 6u + 32);
  EXPECT_EQ(ico[2], 1);
  EXPECT_EQ(ico[4], 2);
  EXPECT_TRUE(std::filesystem::exists(out + "/cursor_4.cur"));
  // icotool (Debian icoutils) lists what each group holds, where it is installed.
  if (std::system("command -v icotool >/dev/null 2>&1") != 0) return;
  const std::string listing = dir_.File("listing");
  ASSERT_EQ(
      std::system(
          ("icotool -l " + out + "/icon_APP.ico " + out + "/cursor_4.cur > " + listing).c_str()),
      0);
  const std::string text = ReadWholeFile(listing);
  EXPECT_NE(text.find("--icon --index=1 --width=32 --height=32 --bit-depth=32"), std::string::npos)
      << text;
  EXPECT_NE(text.find("--icon --index=2 --width=16 --height=16 --bit-depth=32"), std::string::npos)
      << text;
  EXPECT_NE(text.find("--cursor --index=1 --width=32 --height=32 --bit-depth=32"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("--hotspot-x=5 --hotspot-y=7"), std::string::npos) << text;
}

// The files in a folder, by name.
std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// An icon group and a cursor group of one name (user32's #32512 ...) each keep their files;
// two group names that give one file name are written once, the second refused; the count
// printed is the count of files on disk.
TEST(IconsCommand, WritesEveryNameOnceAndCountsWhatIsOnDisk) {
  TempDir dir;
  PeWriter writer;
  const auto icon = IconImage(32, 0x2080C0);
  const auto cursor = CursorImage(32, 5, 7, 0x102030);
  writer.Add(3, 1, 0x0409, icon);
  writer.Add(1, 2, 0x0409, cursor);
  writer.Add(14, 32512, 0x0409, IconGroup(32, 1, static_cast<uint32_t>(icon.size())));
  writer.Add(12, 32512, 0x0409, CursorGroup(32, 2, static_cast<uint32_t>(cursor.size())));
  const std::string shared = dir.Write("shared.dll", writer.Build());
  const std::string out = dir.File("shared");
  OrvexRun run = RunOrvex({"icons", shared, "-o", out});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"cursor_32512.cur", "cursor_32512_1_32x32.png",
                                                    "icon_32512.ico", "icon_32512_1_32x32.png"}));
  EXPECT_EQ(run.err, "orvex: wrote 4 files to " + out + "\n");

  writer.Add(14, ResId(u"A B"), 0x0409, IconGroup(32, 1, static_cast<uint32_t>(icon.size())));
  writer.Add(14, ResId(u"A_B"), 0x0409, IconGroup(32, 1, static_cast<uint32_t>(icon.size())));
  const std::string clash = dir.Write("clash.dll", writer.Build());
  const std::string clashOut = dir.File("clash");
  run = RunOrvex({"icons", clash, "-o", clashOut});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("orvex: not writing icon_A_B.ico for group icon A_B: this run wrote that "
                         "file already\n"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(FilesIn(clashOut).size(), 6u);
  EXPECT_NE(run.err.find("orvex: wrote 6 files to " + clashOut + "\n"), std::string::npos)
      << run.err;
}

TEST_F(IconModule, NoPictureEndsInOneMessageAndExitStatusOne) {
  const std::string png = dir_.File("none.png");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"picture", module_, "14", "99", "-o", png},
        std::vector<std::string>{"picture", module_, "6", "1", "-o", png},
        std::vector<std::string>{"picture", module_, "ICONS", "APP", "--ext", "-o", png}}) {
    const OrvexRun run = RunOrvex(args);
    EXPECT_EQ(run.status, 1) << args[2];
    // The library's reports of the failed steps (one line each) come before the message.
    EXPECT_NE(run.err.rfind("orvex: no picture from resource"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_FALSE(std::filesystem::exists(png));
  }
}

TEST_F(IconModule, ExtReadsAPictureFileResource) {
  PeWriter writer;
  writer.Add(ResId(u"IMG"), 7, 0x0409, BmpFile(20, 10, 24, 0x0000FF));
  const std::string file = dir_.Write("img.dll", writer.Build());
  const OrvexRun run = RunOrvex({"picture", file, "IMG", "#7", "--ext"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out)["Type"], 1);
  EXPECT_EQ(nlohmann::json::parse(run.out)["pixels"], nlohmann::json::parse("[20, 10]"));
}

// A 32 × 32 icon of four coloured quarters with a transparent corner.
std::vector<uint8_t> QuarteredIcon() {
  std::vector<uint8_t> image = IconImage(32, 0);
  const size_t header = 40;
  for (int y = 0; y < 32; ++y) {  // rows bottom-up
    for (int x = 0; x < 32; ++x) {
      const uint32_t colour = y < 16
                                  ? (x < 16 ? 0xFF2060C0u : 0xFFC04020u)
                                  : (x < 16 ? 0xFF20A040u : (x > 24 && y > 24 ? 0u : 0xFFE0C020u));
      std::memcpy(image.data() + header + (static_cast<size_t>(y) * 32 + x) * 4, &colour, 4);
    }
  }
  return image;
}

TEST(ShowCommand, MatchesItsGoldenImage) {
  TempDir dir;
  PeWriter writer;
  const auto icon = QuarteredIcon();
  writer.Add(3, 1, 0x0409, icon);
  writer.Add(14, 1, 0x0409, IconGroup(32, 1, static_cast<uint32_t>(icon.size())));
  const std::string module = dir.Write("show.dll", writer.Build());
  const std::string out = dir.File("show.png");
  const OrvexRun run = RunOrvex({"show", module, "14", "1", "-o", out});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string golden = ORVEX_SOURCE_DIR "/tests/fixtures/golden/show_icon32.png";
  if (std::getenv("ORVEX_UPDATE_GOLDEN"))
    std::filesystem::copy_file(out, golden, std::filesystem::copy_options::overwrite_existing);
  const Image got = ReadPng(out), want = ReadPng(golden);
  ASSERT_EQ(got.width, 32);
  ASSERT_EQ(got.height, 32);
  ASSERT_EQ(want.width, 32);
  EXPECT_LE(DifferingShare(got, want), 0.005);
}

}  // namespace
}  // namespace orvex::test
