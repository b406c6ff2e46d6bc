#include "platform/module/module.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "platform/module/listing.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

using test::Bytes;
using test::ListResources;
using test::Malformation;
using test::PeWriter;
using test::ResId;
using test::TempDir;
using ::testing::ElementsAre;

constexpr WORD kEnUs = 0x0409;

// A module owned by the test, released at the end.
class Module {
 public:
  explicit Module(const std::string& path) : handle_(LoadLibraryExA(path.c_str(), 0, 0)) {}
  ~Module() {
    if (handle_ != 0) FreeLibrary(handle_);
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  HMODULE get() const { return handle_; }

 private:
  HMODULE handle_;
};

std::string ResourceText(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(module, name, type);
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = LockResource(loaded);
  DWORD size = SizeofResource(module, found);
  FreeResource(loaded);
  if (data == nullptr) return "<none>";
  return std::string(static_cast<const char*>(data), size);
}

class ModuleTest : public ::testing::TestWithParam<bool> {
 protected:
  PeWriter Writer() const {
    PeWriter writer;
    writer.Pe32Plus(GetParam());
    return writer;
  }
  TempDir dir_;
};

INSTANTIATE_TEST_SUITE_P(Formats, ModuleTest, ::testing::Bool(),
                         [](const auto& suite) { return suite.param ? "Pe32Plus" : "Pe32"; });

TEST(LoadLibraryTest, RejectsWhatIsNoPeImage) {
  TempDir dir;
  auto image = [](Malformation bad) {
    return PeWriter().Add(10, 1, kEnUs, Bytes("x")).Damage(bad).Build();
  };
  Malformation ne, le, noMz, noPe, cutHeaders, cutTable;
  ne.header = test::HeaderKind::kNe;
  le.header = test::HeaderKind::kLe;
  noMz.header = test::HeaderKind::kNoDosMagic;
  noPe.header = test::HeaderKind::kNoPeSignature;
  cutHeaders.truncateTo = 0x90;  // inside the file header
  cutTable.truncateTo = 0x190;   // inside the section table
  struct Case {
    std::string name;
    std::string path;
    DWORD error;
  } cases[] = {
      {"missing", dir.File("missing.dll"), ERROR_MOD_NOT_FOUND},
      {"folder", dir.Path(), ERROR_ACCESS_DENIED},
      {"empty", dir.Write("empty.dll", {}), ERROR_BAD_EXE_FORMAT},
      {"text", dir.Write("text.dll", Bytes("MZ is not enough")), ERROR_BAD_EXE_FORMAT},
      {"ne", dir.Write("ne.dll", image(ne)), ERROR_BAD_EXE_FORMAT},
      {"le", dir.Write("le.dll", image(le)), ERROR_BAD_EXE_FORMAT},
      {"no mz", dir.Write("nomz.dll", image(noMz)), ERROR_BAD_EXE_FORMAT},
      {"no pe", dir.Write("nope.dll", image(noPe)), ERROR_BAD_EXE_FORMAT},
      {"cut headers", dir.Write("cut1.dll", image(cutHeaders)), ERROR_BAD_EXE_FORMAT},
      {"cut section table", dir.Write("cut2.dll", image(cutTable)), ERROR_BAD_EXE_FORMAT},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryExA(c.path.c_str(), 0, 0), 0u) << c.name;
    EXPECT_EQ(GetLastError(), c.error) << c.name;
  }
  SetLastError(0);
  EXPECT_EQ(LoadLibraryExA(nullptr, 0, 0), 0u);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  SetLastError(0);
  EXPECT_EQ(LoadLibraryExA("", 0, 0), 0u);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST(LoadLibraryTest, TakesAnyMachineExeOrDllAndResourceLessImages) {
  TempDir dir;
  std::string arm = dir.Write(
      "arm.exe",
      PeWriter().Pe32Plus().Machine(0xAA64).Executable().Add(5, 1, 0, Bytes("d")).Build());
  Malformation none;
  none.noResourceDirectory = true;
  std::string bare = dir.Write("bare.dll", PeWriter().Damage(none).Build());
  Module armModule(arm);
  ASSERT_NE(armModule.get(), 0u);
  EXPECT_THAT(ListResources(armModule.get()), ElementsAre("5|1|0000|1"));

  Module bareModule(bare);
  ASSERT_NE(bareModule.get(), 0u);
  SetLastError(0);
  EXPECT_EQ(EnumResourceTypesA(
                bareModule.get(), [](HMODULE, LPSTR, LONG_PTR) { return TRUE; }, 0),
            FALSE);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
  EXPECT_EQ(FindResourceA(bareModule.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(5)), 0u);
}

TEST(LoadLibraryTest, HandlesAreDistinctAndDieWithFreeLibrary) {
  TempDir dir;
  std::string path = dir.Write("a.dll", PeWriter().Add(10, 1, kEnUs, Bytes("abc")).Build());
  HMODULE first = LoadLibraryExA(path.c_str(), 0, 0);
  HMODULE second = LoadLibraryExA(path.c_str(), 0, 0);
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_LE(first, 0x7FFFFFFFu);  // callers keep handles as signed 32-bit values

  HRSRC found = FindResourceA(first, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10));
  ASSERT_NE(found, 0u);
  EXPECT_EQ(FindResourceA(first, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10)), found);
  HGLOBAL loaded = LoadResource(first, found);
  EXPECT_EQ(LoadResource(second, found), 0u);  // belongs to the other module
  EXPECT_EQ(FreeLibrary(first), TRUE);
  EXPECT_EQ(FreeLibrary(first), FALSE);
  EXPECT_EQ(SizeofResource(first, found), 0u);
  EXPECT_EQ(LockResource(loaded), nullptr);
  EXPECT_EQ(ResourceText(second, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10)), "abc");

  // A reused slot gets a new handle value, so the stale one stays dead.
  HMODULE third = LoadLibraryExA(path.c_str(), 0, 0);
  EXPECT_NE(third, first);
  EXPECT_EQ(FreeLibrary(first), FALSE);
  EXPECT_EQ(FreeLibrary(third), TRUE);
  EXPECT_EQ(FreeLibrary(second), TRUE);
  EXPECT_EQ(FreeLibrary(0), FALSE);
}

TEST(ModuleFileNameTest, GivesAbsolutePathsAndTruncates) {
  TempDir dir;
  std::string path = dir.Write("name.dll", PeWriter().Add(10, 1, kEnUs, Bytes("abc")).Build());
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  HMODULE module = LoadLibraryExA("./name.dll", 0, 0);
  std::filesystem::current_path(previous);
  ASSERT_NE(module, 0u);

  std::string expected = std::filesystem::canonical(path).string();
  char buffer[512];
  EXPECT_EQ(GetModuleFileNameA(module, buffer, sizeof buffer), expected.size());
  EXPECT_EQ(std::string(buffer), expected);

  char small[5];
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameA(module, small, sizeof small), 5u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::string(small), expected.substr(0, 4));

  FreeLibrary(module);
  EXPECT_EQ(GetModuleFileNameA(module, buffer, sizeof buffer), 0u);
}

TEST(HostModuleTest, DefaultsToTheRunningProgramAndTakesARegisteredFile) {
  char buffer[4096];
  DWORD length = GetModuleFileNameA(0, buffer, sizeof buffer);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::string(buffer), std::filesystem::read_symlink("/proc/self/exe").string());
  EXPECT_EQ(FindResourceA(0, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10)), 0u);
  EXPECT_EQ(EnumResourceTypesA(
                0, [](HMODULE, LPSTR, LONG_PTR) { return TRUE; }, 0),
            FALSE);

  TempDir dir;
  std::string path =
      dir.Write("host.exe", PeWriter().Executable().Add(10, 1, kEnUs, Bytes("host")).Build());
  ASSERT_EQ(RegisterHostModuleFile(path.c_str()), TRUE);
  EXPECT_EQ(ResourceText(0, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10)), "host");
  EXPECT_THAT(ListResources(0), ElementsAre("10|1|0409|4"));
  GetModuleFileNameA(0, buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer), std::filesystem::canonical(path).string());

  HRSRC stale = FindResourceA(0, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10));
  ASSERT_EQ(RegisterHostModuleFile(nullptr), TRUE);
  EXPECT_EQ(SizeofResource(0, stale), 0u);
  EXPECT_EQ(FindResourceA(0, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10)), 0u);
  SetLastError(0);
  EXPECT_EQ(RegisterHostModuleFile(dir.File("missing").c_str()), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_P(ModuleTest, EnumeratesNamedFirstAsStoredThenNumbersAscending) {
  PeWriter writer = Writer();
  writer.Add(300, 2, kEnUs, Bytes("a"))
      .Add(u"ZETA", u"N2", kEnUs, Bytes("bb"))
      .Add(6, 1, kEnUs, Bytes("ccc"))
      .Add(u"alpha", 9, 0x0407, Bytes("dddd"))
      .Add(u"alpha", 9, kEnUs, Bytes("eeeee"))
      .Add(u"alpha", u"Name", 0, Bytes("f"))
      .Add(300, 1, kEnUs, Bytes("gg"));
  Module module(dir_.Write("order.dll", writer.Build()));
  ASSERT_NE(module.get(), 0u);
  EXPECT_THAT(ListResources(module.get()),
              ElementsAre("alpha|Name|0000|1", "alpha|9|0407|4", "alpha|9|0409|5", "ZETA|N2|0409|2",
                          "6|1|0409|3", "300|1|0409|2", "300|2|0409|1"));

  // Stored out of order: named entries come as stored, numbers still ascending, and
  // lookups fall back to a linear search.
  Malformation unsorted;
  unsorted.unsorted = true;
  Module shuffled(dir_.Write("unsorted.dll", Writer()
                                                 .Add(300, 2, kEnUs, Bytes("a"))
                                                 .Add(u"ZETA", 1, kEnUs, Bytes("bb"))
                                                 .Add(6, 1, kEnUs, Bytes("ccc"))
                                                 .Add(u"alpha", 1, kEnUs, Bytes("dddd"))
                                                 .Add(300, 1, kEnUs, Bytes("gg"))
                                                 .Damage(unsorted)
                                                 .Build()));
  EXPECT_THAT(
      ListResources(shuffled.get()),
      ElementsAre("ZETA|1|0409|2", "alpha|1|0409|4", "6|1|0409|3", "300|1|0409|2", "300|2|0409|1"));
  EXPECT_EQ(ResourceText(shuffled.get(), MAKEINTRESOURCEA(1), "Alpha"), "dddd");
  EXPECT_EQ(ResourceText(shuffled.get(), "#2", "#300"), "a");
}

struct NameCheck {
  std::vector<std::string> seen;
  bool addressesFit = true;
};

TEST_P(ModuleTest, NamesLieInLowMemoryAndOuterNamesSurviveNestedWalks) {
  Module module(dir_.Write(
      "names.dll", Writer()
                       .Add(u"FIRSTTYPE", u"INNER1", kEnUs, Bytes("1"))
                       .Add(u"FIRSTTYPE", u"INNER2", kEnUs, Bytes("2"))
                       .Add(u"SECOND\u00e9", u"caf\u00e9\u20ac\u4e00\U0001F600", kEnUs, Bytes("3"))
                       .Build()));
  NameCheck check;
  EnumResourceTypesA(
      module.get(),
      [](HMODULE m, LPSTR type, LONG_PTR param) -> BOOL {
        auto* state = reinterpret_cast<NameCheck*>(param);
        auto address = reinterpret_cast<uintptr_t>(type);
        state->addressesFit &= address > 0xFFFF && address < (uintptr_t{1} << 32);
        std::string before = type;
        EnumResourceNamesA(
            m, type,
            [](HMODULE, LPCSTR t, LPSTR name, LONG_PTR p) -> BOOL {
              auto* inner = reinterpret_cast<NameCheck*>(p);
              auto at = reinterpret_cast<uintptr_t>(name);
              inner->addressesFit &= at > 0xFFFF && at < (uintptr_t{1} << 32);
              inner->seen.push_back(std::string(t) + "/" + name);
              return TRUE;
            },
            param);
        state->seen.push_back(before == type ? "intact" : "overwritten");
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&check));
  EXPECT_TRUE(check.addressesFit);
  // Windows-1252 text: e-acute and the euro sign map; the CJK character and the emoji
  // (a surrogate pair) become one "?" each.
  EXPECT_THAT(check.seen, ElementsAre("FIRSTTYPE/INNER1", "FIRSTTYPE/INNER2", "intact",
                                      "SECOND\xE9/caf\xE9\x80??", "intact"));
}

TEST_P(ModuleTest, ACallbackReturningFalseStopsTheWalk) {
  PeWriter writer = Writer();
  for (WORD type = 1; type <= 5; ++type) writer.Add(type, 1, kEnUs, Bytes("x"));
  Module module(dir_.Write("stop.dll", writer.Build()));
  int calls = 0;
  SetLastError(0);
  BOOL result = EnumResourceTypesA(
      module.get(),
      [](HMODULE, LPSTR, LONG_PTR param) -> BOOL { return ++*reinterpret_cast<int*>(param) < 2; },
      reinterpret_cast<LONG_PTR>(&calls));
  EXPECT_EQ(result, FALSE);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_ENUM_USER_STOP);

  auto proc = [](HMODULE, LPCSTR, LPSTR, LONG_PTR) -> BOOL { return TRUE; };
  SetLastError(0);
  EXPECT_EQ(EnumResourceNamesA(module.get(), MAKEINTRESOURCEA(9), proc, 0), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
  EXPECT_EQ(EnumResourceNamesA(module.get(), MAKEINTRESOURCEA(3), proc, 0), TRUE);
}

TEST_P(ModuleTest, FindsByNumberHashTextAndNameRegardlessOfCase) {
  Module module(
      dir_.Write("find.dll", Writer()
                                 .Add(10, 123, kEnUs, Bytes("number"))
                                 .Add(10, u"150", kEnUs, Bytes("bare 150"))
                                 .Add(10, u"Config", kEnUs, Bytes("config"))
                                 .Add(u"MyType", u"\u00c9t\u00e9", kEnUs, Bytes("accents"))
                                 .Build()));
  HMODULE m = module.get();
  EXPECT_EQ(ResourceText(m, MAKEINTRESOURCEA(123), MAKEINTRESOURCEA(10)), "number");
  EXPECT_EQ(ResourceText(m, "#123", "#10"), "number");
  EXPECT_EQ(ResourceText(m, "150", MAKEINTRESOURCEA(10)), "bare 150");
  EXPECT_EQ(ResourceText(m, "cOnFiG", MAKEINTRESOURCEA(10)), "config");
  EXPECT_EQ(ResourceText(m, "\xE9T\xC9", "MYTYPE"), "accents");  // Windows-1252 folding
  for (LPCSTR missing : {"#150", "#abc", "#", "#70000", "123", "Conf"}) {
    SetLastError(0);
    EXPECT_EQ(FindResourceA(m, missing, MAKEINTRESOURCEA(10)), 0u) << missing;
    EXPECT_NE(GetLastError(), 0u) << missing;
  }
  SetLastError(0);
  EXPECT_EQ(FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(11)), 0u);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
  EXPECT_EQ(FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10)), 0u);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(SizeofResource(m, 0), 0u);
  EXPECT_EQ(LoadResource(m, 0), 0u);
  EXPECT_EQ(LockResource(0), nullptr);
}

// Every letter of the code page that has a capital finds a name stored in capitals, the
// capitals beyond Latin-1 included; signs that only look alike do not.
TEST_P(ModuleTest, NamesMatchInEitherCaseAcrossTheCodePage) {
  const struct {
    const char* query;  // Windows-1252
    std::u16string stored;
    bool found;
  } cases[] = {
      {"\x83", u"\u0191", true},  // f hook
      {"\x9A", u"\u0160", true},  // s caron
      {"\x9C", u"\u0152", true},  // oe
      {"\x9E", u"\u017D", true},  // z caron
      {"\xFF", u"\u0178", true},  // y diaeresis
      {"\xE0\xFE", u"\u00C0\u00DE", true},
      {"\xB5", u"\u039C", false},  // micro sign, Greek capital mu
      {"\xF7", u"\u00D7", false},  // division and multiplication signs
      {"\xDF", u"SS", false},      // sharp s
  };
  PeWriter writer = Writer();
  for (size_t i = 0; i < std::size(cases); ++i)
    writer.Add(static_cast<WORD>(100 + i), cases[i].stored, kEnUs, Bytes(std::to_string(i)));
  Module module(dir_.Write("letters.dll", writer.Build()));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(ResourceText(module.get(), cases[i].query, MAKEINTRESOURCEA(100 + i)),
              cases[i].found ? std::to_string(i) : "<none>")
        << i;
  }
}

TEST_P(ModuleTest, PicksTheLanguageThePlatformPicks) {
  struct Case {
    std::vector<WORD> stored;
    WORD chosen;
  } cases[] = {
      {{0x0407, 0x0009, 0x0409}, 0x0409}, {{0x0809, 0x0009}, 0x0009},
      {{0x0407, 0x0000, 0x0409}, 0x0000}, {{0x0809, 0x0407}, 0x0407},
      {{0x0C09, 0x0400}, 0x0400},         {{0x040C}, 0x040C},
  };
  for (const Case& c : cases) {
    PeWriter writer = Writer();
    for (WORD language : c.stored) writer.Add(10, 1, language, Bytes(std::to_string(language)));
    Module module(dir_.Write("lang.dll", writer.Build()));
    EXPECT_EQ(ResourceText(module.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10)),
              std::to_string(c.chosen))
        << "chosen among " << ::testing::PrintToString(c.stored);
    HRSRC exact =
        FindResourceExA(module.get(), MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(1), c.stored.front());
    EXPECT_EQ(SizeofResource(module.get(), exact), std::to_string(c.stored.front()).size());
  }
}

TEST_P(ModuleTest, ReadsDataFromAnySectionAndNothingOutsideTheFile) {
  PeWriter writer = Writer();
  int data = writer.AddSection(".data", Bytes("leading bytes"));
  writer.Add(10, 1, kEnUs, Bytes("in rsrc"))
      .Add(10, 2, kEnUs, Bytes("in .data"), data)
      .Add(10, 3, kEnUs, Bytes("too long"), -1, 0x100000)
      .Add(10, 4, kEnUs, Bytes("nowhere"), -1, std::nullopt, 0x7FFF0000)
      .Add(10, 5, kEnUs, {});
  Module module(dir_.Write("data.dll", writer.Build()));
  HMODULE m = module.get();
  EXPECT_EQ(ResourceText(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10)), "in rsrc");
  EXPECT_EQ(ResourceText(m, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(10)), "in .data");
  for (WORD name : {3, 4}) {
    HRSRC found = FindResourceA(m, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(10));
    EXPECT_NE(found, 0u);
    EXPECT_EQ(SizeofResource(m, found), 0u);
    EXPECT_EQ(LoadResource(m, found), 0u);
  }
  HRSRC empty = FindResourceA(m, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(10));
  EXPECT_EQ(SizeofResource(m, empty), 0u);
  EXPECT_NE(LoadResource(m, empty), 0u);
}

// Damaged directories: every walk ends, lists only what is sound, and reads in bounds.
TEST_P(ModuleTest, SurvivesDamagedDirectories) {
  auto build = [this](Malformation bad) {
    return Writer()
        .Add(3, 1, kEnUs, Bytes("one"))
        .Add(3, 2, kEnUs, Bytes("two"))
        .Add(5, u"NAMED", kEnUs, Bytes("three"))
        .Add(7, 1, 0x0407, Bytes("four"))
        .Damage(bad)
        .Build();
  };
  struct Case {
    std::string name;
    Malformation bad;
    std::vector<std::string> listed;
  };
  std::vector<Case> cases(7);
  cases[0] = {"sound", {}, {"3|1|0409|3", "3|2|0409|3", "5|NAMED|0409|5", "7|1|0407|4"}};
  cases[1].name = "type loops to root";
  cases[1].bad.typeLoopsToRoot = true;
  cases[1].listed = {"5|NAMED|0409|5", "7|1|0407|4"};
  cases[2].name = "language loops to root";
  cases[2].bad.languageLoopsToRoot = true;
  cases[2].listed = {"3|2|0409|3", "5|NAMED|0409|5", "7|1|0407|4"};
  cases[3].name = "shared name directory";
  cases[3].bad.shareNameDirectory = true;
  cases[3].listed = {"3|1|0409|3", "3|2|0409|3"};
  cases[4].name = "overlapping name directories";
  cases[4].bad.overlapNameDirectories = true;
  cases[4].listed = {"3|1|0409|3", "3|2|0409|3", "7|1|0407|4"};
  cases[5].name = "name past the end";
  cases[5].bad.namePastEnd = true;
  cases[5].listed = {"3|1|0409|3", "3|2|0409|3", "7|1|0407|4"};
  cases[6].name = "huge counts";
  cases[6].bad.rootNamedCount = 0x7FFF;
  cases[6].bad.rootIdCount = 0xFFFF;
  cases[6].listed = {};  // the root then covers every other directory, which are all refused
  for (const Case& c : cases) {
    Module module(dir_.Write("bad.dll", build(c.bad)));
    ASSERT_NE(module.get(), 0u) << c.name;
    EXPECT_EQ(ListResources(module.get()), c.listed) << c.name;
  }
}

TEST(ModuleThreadsTest, LoadsAndWalksOnSeveralThreads) {
  TempDir dir;
  PeWriter writer;
  for (WORD i = 1; i <= 50; ++i) writer.Add(u"TYPE", i, kEnUs, Bytes("data"));
  writer.Add(u"OTHER", u"NAME", kEnUs, Bytes("x"));
  std::string path = dir.Write("threads.dll", writer.Build());
  std::vector<std::thread> threads;
  std::vector<size_t> counts(4);
  for (size_t t = 0; t < counts.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 20; ++round) {
        HMODULE module = LoadLibraryExA(path.c_str(), 0, 0);
        counts[t] += ListResources(module).size();
        FreeLibrary(module);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (size_t count : counts) EXPECT_EQ(count, 20u * 51u);
}

// A module compiled by the mingw-w64 resource compiler from basic.rc.
TEST(ResourceScriptFixtureTest, ListsExactlyWhatTheScriptDeclares) {
  Module module(ORVEX_SOURCE_DIR "/tests/fixtures/rc/basic.dll");
  ASSERT_NE(module.get(), 0u);
  auto listed = ListResources(module.get());
  // Sizes: text blocks as declared (no terminator), the string table's two blocks, the
  // menu template and the version block as windres lays them out.
  std::vector<std::string> names;
  for (const std::string& line : listed) names.push_back(line.substr(0, line.rfind('|')));
  EXPECT_THAT(names,
              ElementsAre("MYDATA|ALPHA|0409", "MYDATA|ZETA|0409", "MYDATA|300|0409",
                          "TEXT|GREETING|0407", "TEXT|GREETING|0409", "TEXT|GREETING|040C",
                          "TEXT|NEUTRAL|0000", "TEXT|7|0409", "4|MAINMENU|0409", "6|1|0409",
                          "6|2|0409", "10|CONFIG|0409", "10|1|0409", "10|42|0409", "16|1|0409"));
  HMODULE m = module.get();
  EXPECT_EQ(ResourceText(m, "greeting", "text"), "Hello, world");  // 0x0409 preferred
  HRSRC german = FindResourceExA(m, "TEXT", "GREETING", 0x0407);
  EXPECT_EQ(std::string(static_cast<const char*>(LockResource(LoadResource(m, german))),
                        SizeofResource(m, german)),
            "Hallo, Welt");
  EXPECT_EQ(ResourceText(m, "#42", MAKEINTRESOURCEA(10)), "hello");
  EXPECT_EQ(ResourceText(m, "Config", MAKEINTRESOURCEA(10)), std::string("\x02\x01\x04\x03"
                                                                         "config",
                                                                         10));
  EXPECT_EQ(ResourceText(m, "NEUTRAL", "TEXT"), "neutral");
}

// Loading a file that is already loaded reads the same mapping (no second open); a file
// changed since is mapped anew.
TEST(SharedMappingTest, ReloadOfAnUnchangedFileSharesTheMapping) {
  TempDir dir;
  std::string path = dir.Write("m.dll", PeWriter().Add(10, 1, kEnUs, Bytes("first")).Build());
  auto dataOf = [](HMODULE module) {
    return static_cast<const char*>(
        LockResource(LoadResource(module, FindResourceA(module, "#1", MAKEINTRESOURCEA(10)))));
  };
  Module first(path);
  Module again(path);
  ASSERT_NE(first.get(), 0u);
  ASSERT_NE(again.get(), 0u);
  EXPECT_NE(first.get(), again.get());
  EXPECT_EQ(dataOf(first.get()), dataOf(again.get()));

  // Replaced by a new file under the same name: the old handle keeps the old bytes.
  std::string next = dir.Write("next.dll", PeWriter().Add(10, 1, kEnUs, Bytes("second")).Build());
  ASSERT_EQ(std::rename(next.c_str(), path.c_str()), 0);
  Module replaced(path);
  ASSERT_NE(replaced.get(), 0u);
  EXPECT_EQ(ResourceText(replaced.get(), "#1", MAKEINTRESOURCEA(10)), "second");
  EXPECT_EQ(ResourceText(first.get(), "#1", MAKEINTRESOURCEA(10)), "first");
}

// Number 0 is a valid identifier although it reads as a null pointer: the compiled module
// holds bitmaps 0, 1, 2 and raw data 0; the written one a type numbered 0.
TEST(ZeroIdentifierTest, EnumeratesAndFindsNumberZero) {
  Module compiled(ORVEX_SOURCE_DIR "/tests/fixtures/rc/zero.dll");
  ASSERT_NE(compiled.get(), 0u);
  EXPECT_THAT(ListResources(compiled.get()),
              ElementsAre("2|0|0409|56", "2|1|0409|56", "2|2|0409|56", "10|0|0409|5"));
  EXPECT_EQ(ResourceText(compiled.get(), "#0", MAKEINTRESOURCEA(10)), std::string("zero", 5));
  EXPECT_EQ(ResourceText(compiled.get(), MAKEINTRESOURCEA(0), MAKEINTRESOURCEA(10)),
            std::string("zero", 5));
  EXPECT_NE(FindResourceA(compiled.get(), "#0", MAKEINTRESOURCEA(2)), 0u);

  const ResId kZero(uint16_t{0});  // a literal 0 would read as a null name
  TempDir dir;
  std::string path = dir.Write("zero_type.dll", PeWriter()
                                                    .Add(kZero, kZero, kEnUs, Bytes("a"))
                                                    .Add(kZero, 3, kEnUs, Bytes("bc"))
                                                    .Add(5, kZero, 0, Bytes("def"))
                                                    .Build());
  Module written(path);
  ASSERT_NE(written.get(), 0u);
  EXPECT_THAT(ListResources(written.get()), ElementsAre("0|0|0409|1", "0|3|0409|2", "5|0|0000|3"));
  EXPECT_EQ(ResourceText(written.get(), "#3", "#0"), "bc");
}

}  // namespace
}  // namespace orvex
