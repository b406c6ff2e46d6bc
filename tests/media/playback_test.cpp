// PlayWAV, PlayAVI and PlayAVIObject through the catalogue's automation interface, and the
// animation control wrapper's windows: the temporary file's bytes, the sound that reached the
// device, the controls left in the caller's window, the reports.
#include <gtest/gtest.h>

#include <thread>

#include "media/cls_q7_resf_play_avi_a.h"
#include "media/media_test_support.h"
#include "platform/media/default_sound.h"
#include "platform/media/sound.h"
#include "platform/media/sound_device.h"
#include "platform/text/text.h"
#include "platform/user/window.h"

namespace orvex::test {

void PrintTo(const Report& report, std::ostream* out) {
  *out << report.source << " " << report.number;
}

namespace {

constexpr char kPlayWav[] = "clsQ7ResfResourceTypesA.PlayWAV";
constexpr char kPlayAvi[] = "clsQ7ResfResourceTypesA.PlayAVI";

// Keeps every sound that reaches it with the thread that sent it; each plays instantly.
class ThreadRecordingDevice : public SoundDevice {
 public:
  struct Entry {
    std::thread::id thread;
    std::shared_ptr<const Sound> sound;
  };
  void Play(std::shared_ptr<const Sound> sound, bool) override {
    std::lock_guard lock(mutex_);
    entries_.push_back({std::this_thread::get_id(), std::move(sound)});
  }
  void Stop() override {}
  bool IsIdle() override { return true; }
  void WaitUntilIdle() override {}
  std::vector<Entry> Entries() {
    std::lock_guard lock(mutex_);
    return entries_;
  }

 private:
  std::mutex mutex_;
  std::vector<Entry> entries_;
};

class PlaybackTest : public MediaTest {
 protected:
  void SetUp() override {
    MediaTest::SetUp();
    previous_ = InstallSoundDevice(device_);
  }
  void TearDown() override {
    InstallSoundDevice(previous_);
    for (HWND w : windows_) DestroyWindow(w);
    MediaTest::TearDown();
  }
  void OpenModule(const std::u16string& wavType = u"WAV", const std::string& name = "m.dll") {
    PeWriter writer;
    writer.Add(ResId(wavType), ResId(1), 0x0409, FixtureBytes("tone16.wav"));
    writer.Add(ResId(u"AVI"), ResId(1), 0x0409, FixtureBytes("raw24.avi"));
    writer.Add(ResId(u"AVI"), ResId(2), 0x0409, FixtureBytes("rle8.avi"));
    Open(catalogue_.Get(), writer, name);
  }
  void PlayWAV(const char16_t* name, bool deleteFirst = false) {
    Call(catalogue_.Get(), "PlayWAV", {Variant(name), Variant(deleteFirst)});
  }
  int32_t PlayAVI(const char16_t* name, HWND parent, int32_t left, int32_t top) {
    return Call(catalogue_.Get(), "PlayAVI",
                {Variant(name), Variant(static_cast<int32_t>(parent)), Variant(left), Variant(top),
                 Variant(int32_t{80}), Variant(int32_t{50})})
        .ToLong();
  }
  HWND NewParent() {
    const HWND w = CreateWindowExA(0, "Static", "", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 400, 300, 0,
                                   0, 0, nullptr);
    windows_.push_back(w);
    return w;
  }
  clsQ7ResfPlayAviA* CurrentPlayer() {
    player_ = GetObject(catalogue_.Get(), "PlayAVIObject");
    return ObjectCast<clsQ7ResfPlayAviA>(player_.Get());
  }

  std::shared_ptr<ThreadRecordingDevice> device_ = std::make_shared<ThreadRecordingDevice>();
  std::shared_ptr<SoundDevice> previous_;
  std::vector<HWND> windows_;
  ComPtr<IDispatch> player_;
};

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    children.push_back(c);
  return children;
}

POINT CornerIn(HWND window, HWND parent) {
  RECT r{};
  GetWindowRect(window, &r);
  POINT corner{r.left, r.top};
  MapWindowPoints(0, parent, &corner, 1);
  return corner;
}

TEST_F(PlaybackTest, PlayWavWritesTheResourceAndPlaysIt) {
  OpenModule();
  PlayWAV(u"#1");
  EXPECT_EQ(FileText(TmpFile("M_R1.wav")), AsText(FixtureBytes("tone16.wav")));
  const auto entries = device_->Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].sound->SampleRate(), 8000u);
  EXPECT_EQ(entries[0].sound->Channels(), 1u);
  EXPECT_EQ(entries[0].sound->Samples().size(), FixtureBytes("tone16.samples").size() / 2);
  EXPECT_TRUE(reports_.Reports().empty());
}

// Only the type named WAV (without regard to case) is looked in.
TEST_F(PlaybackTest, PlayWavFindsOnlyTheTypeNamedWav) {
  struct Case {
    const char16_t* storedType;
    bool found;
  };
  int n = 0;
  for (const Case& c : {Case{u"WAV", true}, Case{u"wav", true}, Case{u"WAVE", false}}) {
    SCOPED_TRACE(Utf16ToUtf8(c.storedType));
    reports_.Clear();
    std::filesystem::remove(TmpFile("M_R1.wav"));
    const std::string folder = "case" + std::to_string(n++);
    std::filesystem::create_directory(dir_.File(folder));
    OpenModule(c.storedType, folder + "/m.dll");
    PlayWAV(u"#1");
    EXPECT_EQ(FileText(TmpFile("M_R1.wav")).size(),
              c.found ? FixtureBytes("tone16.wav").size() : 0u);
    const auto reports = reports_.Reports();
    EXPECT_EQ(!reports.empty(), !c.found);
    if (!c.found) {
      EXPECT_EQ(reports.back(), (Report{kPlayWav, 13}));
    }
  }
}

// The resource's bytes replace the whole file: no tail of an older, longer file stays, and
// a missing resource leaves an empty file rather than the earlier sound.
TEST_F(PlaybackTest, TheTemporaryFileHoldsExactlyTheResource) {
  OpenModule();
  const std::string path = TmpFile("M_R1.wav");
  std::ofstream(path, std::ios::binary) << std::string(5000, 'x');
  PlayWAV(u"#1");
  EXPECT_EQ(FileText(path), AsText(FixtureBytes("tone16.wav")));

  std::ofstream(TmpFile("M_R7.wav"), std::ios::binary) << AsText(FixtureBytes("tone16.wav"));
  PlayWAV(u"#7");
  EXPECT_EQ(FileText(TmpFile("M_R7.wav")), "");
  // The empty file is no sound: the platform's default sound plays, not the older file.
  const auto entries = device_->Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].sound->Samples(), DefaultSound()->Samples());
}

TEST_F(PlaybackTest, DeletingAMissingFileIsReportedAndPlayingGoesOn) {
  OpenModule();
  PlayWAV(u"#1", /*deleteFirst=*/true);
  EXPECT_EQ(reports_.Reports(), (std::vector<Report>{{kPlayWav, 53}}));
  EXPECT_EQ(device_->Entries().size(), 1u);
  reports_.Clear();
  PlayWAV(u"#1", /*deleteFirst=*/true);  // now the file is there
  EXPECT_TRUE(reports_.Reports().empty());
}

// Two threads whose modules share a file name and a resource name share one temporary
// path; each must still play its own resource.
TEST_F(PlaybackTest, ThreadsSharingATemporaryPathPlayTheirOwnSounds) {
  const std::string fixtures[2] = {"tone16.wav", "tone8.wav"};
  const uint32_t rates[2] = {8000, 11025};
  std::thread::id ids[2];
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    const std::string folder = "t" + std::to_string(t);
    std::filesystem::create_directory(dir_.File(folder));
    PeWriter writer;
    writer.Add(ResId(u"WAV"), ResId(1), 0x0409, FixtureBytes(fixtures[t].c_str()));
    const std::string module = dir_.Write(folder + "/m.dll", writer.Build());
    threads.emplace_back([&, t, module] {
      ids[t] = std::this_thread::get_id();
      ComPtr<IDispatch> catalogue = NewCatalogue();
      PutProperty(catalogue.Get(), "Filename", Variant(Utf8ToUtf16(module)));
      for (int i = 0; i < 40; ++i) Call(catalogue.Get(), "PlayWAV", {Variant(u"#1")});
    });
  }
  for (std::thread& thread : threads) thread.join();
  const auto entries = device_->Entries();
  ASSERT_EQ(entries.size(), 80u);
  for (const auto& entry : entries) {
    const int t = entry.thread == ids[0] ? 0 : 1;
    EXPECT_EQ(entry.sound->SampleRate(), rates[t]);
  }
}

TEST_F(PlaybackTest, PlayAviObjectIsKeptUntilSetToNothing) {
  const ComPtr<IDispatch> first = GetObject(catalogue_.Get(), "PlayAVIObject");
  ASSERT_NE(ObjectCast<clsQ7ResfPlayAviA>(first.Get()), nullptr);
  EXPECT_EQ(GetObject(catalogue_.Get(), "PlayAVIObject").Get(), first.Get());
  PutPropertyRef(catalogue_.Get(), "PlayAVIObject", Variant(static_cast<IDispatch*>(nullptr)));
  const ComPtr<IDispatch> second = GetObject(catalogue_.Get(), "PlayAVIObject");
  EXPECT_NE(second.Get(), first.Get());
  PutPropertyRef(catalogue_.Get(), "PlayAVIObject", Variant(first.Get()));
  EXPECT_EQ(GetObject(catalogue_.Get(), "PlayAVIObject").Get(), first.Get());
  // Another class's object is no animation control.
  EXPECT_EQ(ErrorOf([&] {
              PutPropertyRef(catalogue_.Get(), "PlayAVIObject", Variant(catalogue_.Get()));
            }),
            13);
}

TEST_F(PlaybackTest, TwoPlayAviCallsLeaveTwoControlsInTheWindow) {
  OpenModule();
  const HWND parent = NewParent();
  EXPECT_EQ(PlayAVI(u"#1", parent, 10, 10), 0);
  EXPECT_EQ(FileText(TmpFile("M_R1.wav")), AsText(FixtureBytes("raw24.avi")));
  EXPECT_EQ(PlayAVI(u"#2", parent, 20, 30), 0);
  EXPECT_TRUE(reports_.Reports().empty());

  const std::vector<HWND> outer = Children(parent);
  ASSERT_EQ(outer.size(), 2u);
  for (HWND w : outer) {
    char name[32] = {};
    GetClassNameA(w, name, sizeof name);
    EXPECT_STREQ(name, "SysAnimate32");
    EXPECT_EQ(Children(w).size(), 1u);
  }
  // Only the second is reached through PlayAVIObject; Left and Top count twice.
  const clsQ7ResfPlayAviA* player = CurrentPlayer();
  ASSERT_NE(player, nullptr);
  const HWND second = player->OuterWindow();
  EXPECT_TRUE(second == outer[0] || second == outer[1]);
  EXPECT_EQ(GetParent(player->AnimationWindow()), second);
  const POINT outerCorner = CornerIn(second, parent);
  const POINT innerCorner = CornerIn(player->AnimationWindow(), second);
  EXPECT_EQ(outerCorner.x, 20);
  EXPECT_EQ(outerCorner.y, 30);
  EXPECT_EQ(innerCorner.x, 20);
  EXPECT_EQ(innerCorner.y, 30);
  EXPECT_EQ(GetWindowLongA(second, GWL_STYLE) & 0xFFFF, 0x0007);
  EXPECT_EQ(GetWindowLongA(second, GWL_EXSTYLE) & 0x20, 0x20);
}

TEST_F(PlaybackTest, PlayAviWithoutAWindowWritesTheFileOnly) {
  OpenModule();
  Call(catalogue_.Get(), "PlayAVI", {Variant(u"#2")});
  EXPECT_EQ(FileText(TmpFile("M_R2.wav")), AsText(FixtureBytes("rle8.avi")));
  const clsQ7ResfPlayAviA* player = CurrentPlayer();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(player->OuterWindow(), 0u);
  EXPECT_EQ(player->AnimationWindow(), 0u);
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(PlaybackTest, PlayAviOfAMissingClipIsReportedAndStillMakesTheControls) {
  OpenModule();
  const HWND parent = NewParent();
  PlayAVI(u"#9", parent, 0, 0);
  const auto reports = reports_.Reports();
  EXPECT_EQ(reports, (std::vector<Report>{{kPlayAvi, 13}}));
  EXPECT_EQ(Children(parent).size(), 1u);
}

TEST_F(PlaybackTest, DestroyRemovesBothWindows) {
  const HWND parent = NewParent();
  ComPtr<IDispatch> player = CreateObject(u"Orvex10.clsQ7ResfPlayAviA");
  Call(player.Get(), "Create",
       {Variant(static_cast<int32_t>(parent)), Variant(u"C:\\nothing.avi"), Variant(int32_t{1}),
        Variant(int32_t{2}), Variant(int32_t{30}), Variant(int32_t{40})});
  const auto* typed = ObjectCast<clsQ7ResfPlayAviA>(player.Get());
  const HWND outer = typed->OuterWindow(), animation = typed->AnimationWindow();
  ASSERT_TRUE(IsWindow(outer) && IsWindow(animation));
  Call(player.Get(), "AnimatePlay");
  Call(player.Get(), "AutoPlay");
  Call(player.Get(), "Destroy");
  EXPECT_FALSE(IsWindow(animation));
  EXPECT_FALSE(IsWindow(outer));
  EXPECT_TRUE(IsWindow(parent));
  // Messages to the destroyed windows have no effect.
  Call(player.Get(), "AnimateStop");
  Call(player.Get(), "Destroy");
}

TEST_F(PlaybackTest, CreateWithoutAWindowLeavesZeroHandles) {
  ComPtr<IDispatch> player = CreateObject(u"Orvex10.clsQ7ResfPlayAviA");
  Call(player.Get(), "Create",
       {Variant(int32_t{0}), Variant(u"C:\\x.avi"), Variant(int32_t{0}), Variant(int32_t{0}),
        Variant(int32_t{10}), Variant(int32_t{10})});
  const auto* typed = ObjectCast<clsQ7ResfPlayAviA>(player.Get());
  EXPECT_EQ(typed->OuterWindow(), 0u);
  EXPECT_EQ(typed->AnimationWindow(), 0u);
}

}  // namespace
}  // namespace orvex::test
