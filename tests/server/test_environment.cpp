#include "server/test_environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/fs/drive_testing.h"
#include "server/class_catalogue.h"
#include "support/temp_dir.h"

namespace orvex::test {

namespace {

class FrameEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    dir_ = std::make_unique<TempDir>();
    registry_ = dir_->File("registry.ini");
    std::string drive = dir_->File("drive_c");
    setenv("ORVEX_REGISTRY", registry_.c_str(), 1);
    setenv("ORVEX_DRIVE_C", drive.c_str(), 1);
    SetDriveRootForTesting(drive);
    RegisterOrvex10Classes();
  }
  void TearDown() override { SetDriveRootForTesting(""); }

  std::unique_ptr<TempDir> dir_;
  std::string registry_;
};

FrameEnvironment* const gEnvironment =
    static_cast<FrameEnvironment*>(testing::AddGlobalTestEnvironment(new FrameEnvironment));

}  // namespace

const std::string& TestRegistryPath() {
  return gEnvironment->registry_;
}

}  // namespace orvex::test
