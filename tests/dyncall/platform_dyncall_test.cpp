// Shared-object binding, executable memory and the window-procedure caller.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/dyncall/call_window_proc.h"
#include "platform/dyncall/executable_memory.h"
#include "platform/dyncall/shared_library.h"
#include "platform/fs/drive_testing.h"
#include "support/temp_dir.h"

// Exported by the test program (it is linked with its symbols exported), so the lookup in
// the host program (handle 0) has something to find.
extern "C" __attribute__((visibility("default"))) int32_t OrvexDyncallHostExport(int32_t value) {
  return value + 1;
}

namespace orvex {
namespace {

using shared::FARPROC;

template <class Function>
Function As(FARPROC address) {
  return reinterpret_cast<Function>(address);
}

TEST(SharedLibrary, LoadsByPathAndByBareNameThroughTheLoaderSearch) {
  HMODULE byPath = shared::LoadLibraryA(ORVEX_DYNCALL_TESTLIB);
  ASSERT_NE(byPath, 0u);
  // The bare file name is found on the program's run path; it is the same object, so the
  // same handle with one more reference.
  HMODULE byName = shared::LoadLibraryA(ORVEX_DYNCALL_TESTLIB_NAME);
  EXPECT_EQ(byName, byPath);
  HMODULE libc = shared::LoadLibraryA("libc.so.6");
  ASSERT_NE(libc, 0u);
  EXPECT_NE(libc, byPath);

  auto order2 = As<int32_t (*)(int32_t, int32_t)>(shared::GetProcAddress(byPath, "TestOrder2"));
  ASSERT_NE(order2, nullptr);
  EXPECT_EQ(order2(4, 2), 4002);
  auto abs = As<int (*)(int)>(shared::GetProcAddress(libc, "abs"));
  ASSERT_NE(abs, nullptr);
  EXPECT_EQ(abs(-9), 9);

  EXPECT_EQ(shared::FreeLibrary(libc), TRUE);
  EXPECT_EQ(shared::FreeLibrary(byName), TRUE);
  // Still loaded through the first reference.
  EXPECT_NE(shared::GetProcAddress(byPath, "TestOrder2"), nullptr);
  EXPECT_EQ(shared::FreeLibrary(byPath), TRUE);
  // The handle died with its last reference.
  SetLastError(0);
  EXPECT_EQ(shared::FreeLibrary(byPath), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(shared::GetProcAddress(byPath, "TestOrder2"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(SharedLibrary, LoadFailures) {
  for (const char* name : {"liborvex-no-such-library.so", "/nonexistent/libx.so", "",
                           ORVEX_SOURCE_DIR "/CMakeLists.txt"}) {
    SetLastError(0);
    EXPECT_EQ(shared::LoadLibraryA(name), 0u) << name;
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND) << name;
  }
  EXPECT_EQ(shared::LoadLibraryA(nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(SharedLibrary, DriveCPathsGoThroughTheDriveMapping) {
  test::TempDir drive;
  SetDriveRootForTesting(drive.Path());
  std::filesystem::create_directory(drive.File("libs"));
  std::filesystem::copy_file(ORVEX_DYNCALL_TESTLIB, drive.File("libs/copy.so"));

  HMODULE library = shared::LoadLibraryA("C:\\libs\\copy.so");
  EXPECT_NE(library, 0u);
  EXPECT_NE(shared::GetProcAddress(library, "TestOrder2"), nullptr);
  if (library != 0) shared::FreeLibrary(library);
  EXPECT_EQ(shared::LoadLibraryA("D:\\libs\\copy.so"), 0u);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  SetDriveRootForTesting("");
}

TEST(SharedLibrary, SymbolLookupIsCaseSensitiveAndByNameOnly) {
  HMODULE library = shared::LoadLibraryA(ORVEX_DYNCALL_TESTLIB);
  ASSERT_NE(library, 0u);
  EXPECT_NE(shared::GetProcAddress(library, "TestMixedCase"), nullptr);
  for (const char* name : {"testmixedcase", "TESTMIXEDCASE", "TestMixedcase", ""}) {
    SetLastError(0);
    EXPECT_EQ(shared::GetProcAddress(library, name), nullptr) << name;
    EXPECT_EQ(GetLastError(), shared::ERROR_PROC_NOT_FOUND) << name;
  }
  // Ordinals and null names are not looked up (and not dereferenced).
  EXPECT_EQ(shared::GetProcAddress(library, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(shared::GetProcAddress(library, nullptr), nullptr);
  shared::FreeLibrary(library);
}

TEST(SharedLibrary, HandleZeroFindsOnlyTheProgramsOwnExports) {
  auto own = As<int32_t (*)(int32_t)>(shared::GetProcAddress(0, "OrvexDyncallHostExport"));
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own(41), 42);
  // abs lives in the C library, not in the program.
  EXPECT_EQ(shared::GetProcAddress(0, "abs"), nullptr);
  EXPECT_EQ(GetLastError(), shared::ERROR_PROC_NOT_FOUND);
}

// The permissions of the mapping that holds `address`, as /proc/self/maps shows them.
std::string MappingPermissions(uintptr_t address) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    uintptr_t low = 0, high = 0;
    char permissions[5] = {};
    if (std::sscanf(line.c_str(), "%zx-%zx %4s", &low, &high, permissions) == 3 && address >= low &&
        address < high) {
      return permissions;
    }
  }
  return "missing";
}

TEST(ExecutableMemory, IsWritableOrExecutableNeverBoth) {
  ExecutableMemory memory;
  auto bytes = memory.BeginWrite(100);
  ASSERT_TRUE(bytes);
  EXPECT_GE(bytes->size(), 100u);
  EXPECT_EQ(memory.Address() % 16, 0u);
  EXPECT_EQ(MappingPermissions(memory.Address()).substr(0, 3), "rw-");

  // mov eax, 1234; ret
  const uint8_t code[] = {0xB8, 0xD2, 0x04, 0x00, 0x00, 0xC3};
  std::copy(std::begin(code), std::end(code), bytes->begin());
  ASSERT_TRUE(memory.Seal());
  EXPECT_EQ(MappingPermissions(memory.Address()).substr(0, 3), "r-x");
  EXPECT_EQ(reinterpret_cast<int (*)()>(memory.Address())(), 1234);

  // Rewriting reuses the mapping and makes it writable (not executable) again.
  const uintptr_t address = memory.Address();
  bytes = memory.BeginWrite(50);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(memory.Address(), address);
  EXPECT_EQ(MappingPermissions(address).substr(0, 3), "rw-");
  (*bytes)[1] = 0x2A;
  (*bytes)[2] = 0x00;
  ASSERT_TRUE(memory.Seal());
  EXPECT_EQ(reinterpret_cast<int (*)()>(memory.Address())(), 42);

  // A larger request moves to a new mapping.
  ASSERT_TRUE(memory.BeginWrite(memory.Capacity() + 1));
  EXPECT_GT(memory.Capacity(), 4096u);
}

LRESULT RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return static_cast<LRESULT>(window) * 1000 + message * 100 + static_cast<LRESULT>(wParam) * 10 +
         lParam;
}

TEST(CallWindowProc, PassesTheFourValuesAndReturnsTheResult) {
  EXPECT_EQ(CallWindowProcA(RecordingProcedure, 1, 2, 3, 4), 1234);
  EXPECT_EQ(CallWindowProcA(nullptr, 1, 2, 3, 4), 0);
}

}  // namespace
}  // namespace orvex
