// `orvex serve` over HTTP on loopback: the API's answers, its refusals, and the server
// going on serving after each of them.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "orvex_run.h"
#include "pe_writer/pe_writer.h"
#include "platform/gdi/png_image.h"
#include "support/image_bytes.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;
constexpr char kFixtures[] = ORVEX_SOURCE_DIR "/tests/fixtures/rc";

// `orvex serve DIR --port 0` as a child process, and a client for the port it names.
class Server {
 public:
  explicit Server(const std::string& dir) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(pipeFds[1], 1);
      close(pipeFds[0]);
      close(pipeFds[1]);
      const std::string binary = ORVEX_BINARY_DIR "/tools/orvex/orvex";
      execl(binary.c_str(), binary.c_str(), "serve", dir.c_str(), "--port", "0",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(pipeFds[1]);
    std::string line;
    char c;
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n') line.push_back(c);
    close(pipeFds[0]);
    const size_t colon = line.rfind(':');
    if (colon != std::string::npos) port_ = std::atoi(line.c_str() + colon + 1);
  }
  ~Server() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  int port() const { return port_; }
  httplib::Result Get(const std::string& path) {
    httplib::Client client("127.0.0.1", port_);
    client.set_read_timeout(20, 0);
    return client.Get(path);
  }
  bool Alive() {
    auto r = Get("/api/files?dir=");
    return r && r->status == 200;
  }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

// A folder with the fixtures, a non-PE file, a truncated module, a subfolder and links.
struct ServedFolder {
  TempDir dir;
  ServedFolder() {
    for (const char* name : {"dialogs.dll", "images.dll", "text.dll", "languages.dll"})
      fs::copy_file(std::string(kFixtures) + "/" + name, dir.File(name));
    const std::string note = "not a module";
    dir.Write("notes.txt", std::vector<uint8_t>(note.begin(), note.end()));
    const std::string images = ReadWholeFile(std::string(kFixtures) + "/images.dll");
    dir.Write("truncated.dll", std::vector<uint8_t>(images.begin(), images.begin() + 400));
    fs::create_directory(dir.File("sub"));
    fs::copy_file(std::string(kFixtures) + "/text.dll", dir.File("sub/inner.dll"));
    fs::create_directory_symlink("/etc", dir.File("outside"));
    fs::create_symlink("/etc/passwd", dir.File("passwd.dll"));
    fs::create_symlink("text.dll", dir.File("alias.dll"));
    PeWriter media;
    const std::string clip = ReadWholeFile(ORVEX_SOURCE_DIR "/tests/fixtures/media/raw24.avi");
    media.Add(ResId(u"AVI"), ResId(1), 0x0409, std::vector<uint8_t>(clip.begin(), clip.end()));
    // Sounds: #1 in IMA ADPCM, #2 in 16-bit PCM, #3 a RIFF WAVE form with no chunks.
    int id = 1;
    for (const char* sound : {"ima16.wav", "tone16.wav"}) {
      const std::string wav =
          ReadWholeFile(ORVEX_SOURCE_DIR "/tests/fixtures/media/" + std::string(sound));
      media.Add(ResId(u"WAVE"), ResId(id++), 0x0409, std::vector<uint8_t>(wav.begin(), wav.end()));
    }
    media.Add(ResId(u"WAVE"), ResId(3), 0x0409, Bytes(std::string_view("RIFF\x04\0\0\0WAVE", 12)));
    dir.Write("media.dll", media.Build());
    // Raw data #2 claims 1 MB that the file does not hold.
    PeWriter cut;
    cut.Add(10, 1, 0x0409, Bytes("whole"));
    cut.Add(10, 2, 0x0409, Bytes("cut off"), -1, 1 << 20);
    dir.Write("cut.dll", cut.Build());
    // Bitmap #7: 4 x 1 pixels of 8 bits whose palette holds the three greys that
    // GetPicture maps to the system's 3D colours, and a red.
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
    PeWriter greys;
    greys.Add(2, 7, 0x0409, dib);
    dir.Write("greys.dll", greys.Build());
  }
};

nlohmann::json Json(const httplib::Result& r) {
  return nlohmann::json::parse(r->body);
}

TEST(ServeCommand, FilesListsTheFolderWithModulesMarked) {
  ServedFolder folder;
  Server server(folder.dir.File(""));
  ASSERT_GT(server.port(), 0);
  auto r = server.Get("/api/files?dir=");
  ASSERT_TRUE(r);
  ASSERT_EQ(r->status, 200);
  std::map<std::string, nlohmann::json> entries;
  const nlohmann::json listing = Json(r);
  for (const auto& e : listing["entries"]) entries[e["name"].get<std::string>()] = e;
  EXPECT_EQ(entries["dialogs.dll"]["pe"], true);
  EXPECT_EQ(entries["notes.txt"]["pe"], false);
  EXPECT_EQ(entries["sub"]["type"], "dir");
  // Links that lead out of the folder are left out; one that stays inside is listed.
  EXPECT_FALSE(entries.count("passwd.dll"));
  EXPECT_FALSE(entries.count("outside"));
  EXPECT_EQ(entries["alias.dll"]["pe"], true);
  r = server.Get("/api/files?dir=sub");
  ASSERT_EQ(r->status, 200);
  EXPECT_EQ(Json(r)["entries"][0]["name"], "inner.dll");
}

TEST(ServeCommand, ListAnswersAsTheListCommand) {
  ServedFolder folder;
  Server server(folder.dir.File(""));
  auto r = server.Get("/api/list?file=dialogs.dll");
  ASSERT_TRUE(r);
  ASSERT_EQ(r->status, 200);
  const OrvexRun run = RunOrvex({"list", folder.dir.File("dialogs.dll"), "--json"});
  ASSERT_EQ(run.status, 0);
  // The command's records, each item with its languages added.
  nlohmann::json types = Json(r)["types"];
  for (auto& type : types) {
    for (auto& item : type["ResourceItems"]) {
      EXPECT_EQ(item["languages"], nlohmann::json({0x0409})) << item;
      item.erase("languages");
    }
  }
  EXPECT_EQ(types, nlohmann::json::parse(run.out)["types"]);
  EXPECT_EQ(Json(r)["file"], "dialogs.dll");
  r = server.Get("/api/list?file=sub/inner.dll");
  EXPECT_EQ(r->status, 200);
  r = server.Get("/api/list?file=alias.dll");  // a link that stays inside
  EXPECT_EQ(r->status, 200);
  // Resources whose data lies beyond the end of the file are marked.
  r = server.Get("/api/list?file=cut.dll");
  ASSERT_EQ(r->status, 200);
  const nlohmann::json items = Json(r)["types"][0]["ResourceItems"];
  EXPECT_EQ(items[0]["truncated"], false);
  EXPECT_EQ(items[1]["truncated"], true);
  r = server.Get("/api/resource?file=cut.dll&type=10&name=%232&as=raw");
  EXPECT_EQ(r->status, 422);
  EXPECT_EQ(Json(r)["error"],
            "resource data lies beyond the end of the file (a truncated module?)");
}

TEST(ServeCommand, ResourcesRenderByKind) {
  ServedFolder folder;
  Server server(folder.dir.File(""));
  auto r = server.Get("/api/resource?file=text.dll&type=6&name=%231&as=text");
  ASSERT_EQ(r->status, 200);
  EXPECT_NE(r->body.find("Hello"), std::string::npos);
  // A standard type name stands for its number.
  auto named = server.Get("/api/resource?file=text.dll&type=STRING&name=%231&as=text");
  ASSERT_EQ(named->status, 200);
  EXPECT_EQ(named->body, r->body);
  r = server.Get("/api/resource?file=images.dll&type=14&name=%23201&as=png");
  ASSERT_EQ(r->status, 200);
  EXPECT_EQ(r->get_header_value("Content-Type"), "image/png");
  EXPECT_EQ(r->body.substr(1, 3), "PNG");
  r = server.Get("/api/resource?file=dialogs.dll&type=5&name=%23101&as=svg");
  ASSERT_EQ(r->status, 200);
  EXPECT_NE(r->body.find(">Fixture Pop-up</text>"), std::string::npos);
  r = server.Get("/api/resource?file=dialogs.dll&type=5&name=NAMED&as=png");
  ASSERT_EQ(r->status, 200);
  EXPECT_EQ(r->body.substr(1, 3), "PNG");
  // A control of a class nobody registered is previewed as a placeholder labelled with it.
  r = server.Get("/api/resource?file=dialogs.dll&type=5&name=%23102&as=svg");
  ASSERT_EQ(r->status, 200);
  EXPECT_NE(r->body.find(">NOSUCHCLASS</text>"), std::string::npos);
  r = server.Get("/api/resource?file=media.dll&type=AVI&name=%231&as=frames");
  ASSERT_EQ(r->status, 200);
  const nlohmann::json clip = Json(r);
  EXPECT_EQ(clip["width"], 7);
  EXPECT_EQ(clip["height"], 5);
  ASSERT_EQ(clip["frames"].size(), 3u);
  EXPECT_EQ(clip["frames"][0].get<std::string>().rfind("data:image/png;base64,", 0), 0u);
  r = server.Get("/api/resource?file=images.dll&type=3&name=%232&as=frames");
  EXPECT_EQ(r->status, 415);
  // Sounds as 16-bit PCM WAV: an IMA ADPCM one decoded, a PCM one as it was.
  const auto pcm = ReadWholeFile(ORVEX_SOURCE_DIR "/tests/fixtures/media/tone16.wav");
  for (const char* name : {"%231", "%232"}) {
    r = server.Get(std::string("/api/resource?file=media.dll&type=WAVE&name=") + name + "&as=wav");
    ASSERT_EQ(r->status, 200) << name << ": " << r->body;
    EXPECT_EQ(r->get_header_value("Content-Type"), "audio/wav");
    ASSERT_GT(r->body.size(), 44u);
    EXPECT_EQ(r->body.substr(0, 4), "RIFF");
    EXPECT_EQ(r->body.substr(20, 2), std::string("\x01\x00", 2)) << "PCM";
    EXPECT_EQ(r->body.substr(34, 2), std::string("\x10\x00", 2)) << "16 bits";
  }
  EXPECT_EQ(r->body, pcm);
  // What cannot be decoded says why instead of serving a player that stays silent.
  r = server.Get("/api/resource?file=media.dll&type=WAVE&name=%233&as=wav");
  EXPECT_EQ(r->status, 415);
  EXPECT_EQ(Json(r)["error"].get<std::string>().rfind("the sound cannot be played: ", 0), 0u);
  r = server.Get("/api/resource?file=images.dll&type=3&name=%232&as=wav");
  EXPECT_EQ(r->status, 415);
  r = server.Get("/api/resource?file=images.dll&type=3&name=%232&as=hex");
  ASSERT_EQ(r->status, 200);
  EXPECT_EQ(r->body.rfind("00000000", 0), 0u);
  // Raw bytes whole and in slices, as `orvex data` gives them.
  const OrvexRun data = RunOrvex({"data", folder.dir.File("images.dll"), "3", "#2"});
  r = server.Get("/api/resource?file=images.dll&type=3&name=%232&as=raw");
  ASSERT_EQ(r->status, 200);
  EXPECT_EQ(r->body, data.out);
  EXPECT_NE(r->get_header_value("Content-Disposition").find("attachment"), std::string::npos);
  r = server.Get("/api/resource?file=images.dll&type=3&name=%232&as=raw&offset=4000&length=1000");
  EXPECT_EQ(r->body, data.out.substr(4000));
}

// Each item of the listing names its stored languages; lang= reads a resource in the UI
// language it names for that request only: requests with and without it alternate, so the
// server's threads serve both, and each answers in its own request's language.
TEST(ServeCommand, ListsLanguagesAndReadsInTheLanguageARequestNames) {
  ServedFolder folder;
  Server server(folder.dir.File(""));
  const auto itemOf = [](const nlohmann::json& listing, int type, const std::string& name) {
    for (const auto& t : listing["types"]) {
      if (t["Type"] != type) continue;
      for (const auto& item : t["ResourceItems"])
        if (item["NameLong"] == name) return item;
    }
    return nlohmann::json();
  };
  auto r = server.Get("/api/list?file=languages.dll");
  ASSERT_TRUE(r && r->status == 200);
  const nlohmann::json listing = Json(r);
  EXPECT_EQ(itemOf(listing, 6, "1")["languages"],
            nlohmann::json({0x0407, 0x0409, 0x040C, 0x0411, 0x0C07}));
  EXPECT_EQ(itemOf(listing, 10, "2")["languages"], nlohmann::json({0x0413, 0x080C, 0x0C07}));
  EXPECT_EQ(itemOf(listing, 10, "5")["Size"], 3);  // "en"
  r = server.Get("/api/list?file=languages.dll&lang=de-AT");
  ASSERT_TRUE(r && r->status == 200);
  EXPECT_EQ(itemOf(Json(r), 10, "5")["Size"], 6);  // "de-AT"
  EXPECT_EQ(itemOf(Json(r), 10, "5")["languages"], nlohmann::json({0x0009, 0x0809, 0x0C07}));

  const struct {
    const char* query;
    const char* text;
  } cases[] = {
      {"type=6&name=%231&as=text&lang=de-AT", "de-AT"},       {"type=6&name=%231&as=text", "en-US"},
      {"type=STRING&name=%231&as=text&lang=0x040c", "fr-FR"}, {"type=6&name=%231&as=text", "en-US"},
      {"type=10&name=%232&as=raw&lang=0C07", "de-AT"},        {"type=10&name=%232&as=raw", "nl-NL"},
      {"type=6&name=%231&as=text&lang=ja-JP", "ja-JP"},       {"type=6&name=%231&as=text", "en-US"},
  };
  for (int round = 0; round < 3; ++round) {
    for (const auto& c : cases) {
      r = server.Get(std::string("/api/resource?file=languages.dll&") + c.query);
      ASSERT_TRUE(r) << c.query;
      EXPECT_EQ(r->status, 200) << c.query << ": " << r->body;
      EXPECT_NE(r->body.find(c.text), std::string::npos) << c.query << ": " << r->body;
    }
  }
  for (const char* bad : {"xx-YY", "0", "12345", "de_DE"}) {
    r = server.Get(std::string("/api/resource?file=languages.dll&type=6&name=%231&lang=") + bad);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 400) << bad;
    EXPECT_NE(r->body.find("lang names no language"), std::string::npos) << r->body;
    EXPECT_EQ(server.Get(std::string("/api/list?file=languages.dll&lang=") + bad)->status, 400);
  }
}

// as=png gives what GetPicture gives (the greys mapped to the system's 3D colours, Wine's
// scheme), as=stored the bitmap's own colours; stored is for pictures only.
TEST(ServeCommand, PicturesDownloadAsGetPictureGivesThemAndAsStored) {
  ServedFolder folder;
  Server server(folder.dir.File(""));
  const auto pixelsOf = [&](const char* as) {
    auto r = server.Get(std::string("/api/resource?file=greys.dll&type=BITMAP&name=%237&as=") + as);
    EXPECT_TRUE(r && r->status == 200) << as;
    EXPECT_EQ(r->get_header_value("Content-Type"), "image/png");
    const auto pixels = DecodePng(AsBytes(r->body.data(), r->body.size()));
    return pixels ? pixels->bgra : std::vector<uint32_t>{};
  };
  EXPECT_EQ(pixelsOf("png"),
            (std::vector<uint32_t>{0xFFA6A6A6, 0xFFF5F5F5, 0xFFE3E3E3, 0xFFFF0000}));
  EXPECT_EQ(pixelsOf("stored"),
            (std::vector<uint32_t>{0xFF808080, 0xFFC0C0C0, 0xFFDFDFDF, 0xFFFF0000}));
  EXPECT_EQ(server.Get("/api/resource?file=images.dll&type=14&name=%23201&as=stored")->status, 200);
  EXPECT_EQ(server.Get("/api/resource?file=text.dll&type=6&name=%231&as=stored")->status, 400);
  EXPECT_EQ(server.Get("/api/resource?file=greys.dll&type=2&name=%239&as=stored")->status, 404);
}

TEST(ServeCommand, BadRequestsGetTheirStatusAndTheServerGoesOn) {
  ServedFolder folder;
  Server server(folder.dir.File(""));
  const struct {
    const char* path;
    int status;
  } cases[] = {
      {"/api/resource?file=../../etc/passwd&type=6&name=%231", 403},
      {"/api/list?file=%2Fetc%2Fpasswd", 403},
      {"/api/list?file=passwd.dll", 403},  // a link that leads out
      {"/api/files?dir=outside", 403},
      {"/api/files?dir=..", 403},
      {"/api/list?file=missing.dll", 404},
      {"/api/list?file=notes.txt", 415},
      {"/api/list?file=truncated.dll", 415},
      {"/api/resource?file=truncated.dll&type=6&name=%231", 415},
      {"/api/resource?file=text.dll&type=6&name=%23999", 404},
      {"/api/resource?file=cut.dll&type=10&name=%232", 422},
      {"/api/resource?file=cut.dll&type=10&name=%232&as=hex", 422},
      {"/api/resource?file=cut.dll&type=RCDATA&name=%232&as=text", 422},
      {"/api/resource?file=text.dll&type=0&name=%231", 400},
      {"/api/resource?file=text.dll&type=6&name=%23x", 400},
      {"/api/resource?file=text.dll&type=6&name=%231&as=movie", 400},
      {"/api/nothing", 404},
      {"/api/resource?file=images.dll&type=3&name=%232&as=raw&offset=-5", 400},
      {"/api/resource?file=images.dll&type=3&name=%232&as=raw&length=-1", 400},
      {"/api/resource?file=images.dll&type=3&name=%232&as=raw&offset=1e3", 400},
      {"/api/resource?file=images.dll%00.txt&type=3&name=%232", 400},
      {"/api/list?file=text.dll%00.txt", 400},
      {"/api/files?dir=sub%00", 400},
  };
  for (const auto& c : cases) {
    auto r = server.Get(c.path);
    ASSERT_TRUE(r) << c.path;
    EXPECT_EQ(r->status, c.status) << c.path << ": " << r->body;
    EXPECT_TRUE(server.Alive()) << c.path;
  }
}

TEST(ServeCommand, MissingParametersAreNamed) {
  ServedFolder folder;
  Server server(folder.dir.File(""));
  const struct {
    const char* path;
    const char* missing;
  } cases[] = {
      {"/api/resource", "file"},
      {"/api/list", "file"},
      {"/api/list?file=", "file"},
      {"/api/resource?file=text.dll", "type"},
      {"/api/resource?file=text.dll&type=6", "name"},
  };
  for (const auto& c : cases) {
    auto r = server.Get(c.path);
    ASSERT_TRUE(r) << c.path;
    EXPECT_EQ(r->status, 400) << c.path;
    EXPECT_EQ(Json(r)["error"], std::string("missing parameter: ") + c.missing) << c.path;
  }
}

TEST(ServeCommand, ServesItsPage) {
  ServedFolder folder;
  Server server(folder.dir.File(""));
  for (const char* path : {"/", "/index.html", "/style.css", "/app.js"}) {
    auto r = server.Get(path);
    ASSERT_TRUE(r) << path;
    EXPECT_EQ(r->status, 200) << path;
    EXPECT_FALSE(r->body.empty()) << path;
  }
}

}  // namespace
}  // namespace orvex::test
