// Shared pieces of the playback tests: the fixture clips and sounds, a catalogue fixture
// with the temporary folder, and a recorder of MCI command texts.
#pragma once

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/catalogue_test_support.h"
#include "platform/fs/fs.h"
#include "platform/media/mci.h"

namespace orvex::test {

inline std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline std::vector<uint8_t> FixtureBytes(const char* name) {
  const std::string text =
      FileText(std::string(ORVEX_SOURCE_DIR) + "/tests/fixtures/media/" + name);
  return {text.begin(), text.end()};
}

inline std::string AsText(const std::vector<uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

// Every MCI command text sent while it lives, in order.
class MciRecorder {
 public:
  MciRecorder() {
    SetMciCommandRecorderForTesting([this](std::string_view command) {
      std::lock_guard lock(mutex_);
      commands_.emplace_back(command);
    });
  }
  ~MciRecorder() { SetMciCommandRecorderForTesting({}); }
  std::vector<std::string> Commands() {
    std::lock_guard lock(mutex_);
    return commands_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    commands_.clear();
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> commands_;
};

class MediaTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    catalogue_ = NewCatalogue();  // creates the temporary folder
    tmpFolder_ = *MapPath("C:\\Retmpfld");
  }
  void TearDown() override {
    catalogue_.Reset();
    std::filesystem::remove_all(tmpFolder_);
    CatalogueTest::TearDown();
  }
  // The host path of a temporary file of the folder.
  std::string TmpFile(const std::string& leaf) const { return tmpFolder_ + "/" + leaf; }

  ComPtr<IDispatch> catalogue_;
  std::string tmpFolder_;
};

}  // namespace orvex::test
