// UniqueFd: every descriptor it takes is closed exactly once, by whichever owner holds it
// last; Release hands it over untouched.
#include "platform/core/unique_fd.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace orvex {
namespace {

bool IsOpen(int fd) {
  return ::fcntl(fd, F_GETFD) != -1;
}

int OpenNull() {
  const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  EXPECT_GE(fd, 0);
  return fd;
}

TEST(UniqueFd, ClosesWhatItHoldsWhenItGoes) {
  const int fd = OpenNull();
  {
    const UniqueFd owner(fd);
    EXPECT_TRUE(owner);
    EXPECT_EQ(owner.Get(), fd);
    EXPECT_TRUE(IsOpen(fd));
  }
  EXPECT_FALSE(IsOpen(fd));
}

TEST(UniqueFd, AFailedOpenHoldsNothing) {
  const UniqueFd owner(::open("/nonexistent/file", O_RDONLY | O_CLOEXEC));
  EXPECT_FALSE(owner);
  EXPECT_EQ(owner.Get(), -1);
  const UniqueFd empty;
  EXPECT_FALSE(empty.IsValid());
}

TEST(UniqueFd, MovingHandsTheDescriptorOverWithoutClosingIt) {
  const int fd = OpenNull();
  UniqueFd first(fd);
  UniqueFd second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_EQ(second.Get(), fd);
  EXPECT_TRUE(IsOpen(fd));

  // Assignment closes what the target held before.
  const int other = OpenNull();
  UniqueFd third(other);
  third = std::move(second);
  EXPECT_FALSE(second);
  EXPECT_EQ(third.Get(), fd);
  EXPECT_FALSE(IsOpen(other));
  EXPECT_TRUE(IsOpen(fd));

  // Assigning an owner to itself keeps the descriptor open.
  UniqueFd& alias = third;
  third = std::move(alias);
  EXPECT_EQ(third.Get(), fd);
  EXPECT_TRUE(IsOpen(fd));
  third.Reset();
  EXPECT_FALSE(IsOpen(fd));
}

TEST(UniqueFd, ReleaseGivesUpAndResetReplaces) {
  const int fd = OpenNull();
  {
    UniqueFd owner(fd);
    EXPECT_EQ(owner.Release(), fd);
    EXPECT_FALSE(owner);
  }
  EXPECT_TRUE(IsOpen(fd));

  UniqueFd owner(fd);
  const int next = OpenNull();
  owner.Reset(next);
  EXPECT_FALSE(IsOpen(fd));
  EXPECT_EQ(owner.Get(), next);
  owner.Reset(next);  // the same descriptor again stays open
  EXPECT_TRUE(IsOpen(next));
}

TEST(UniqueFd, CloseReportsCloseAndEmptiesTheOwner) {
  const int fd = OpenNull();
  UniqueFd owner(fd);
  EXPECT_EQ(owner.Close(), 0);
  EXPECT_FALSE(owner);
  EXPECT_FALSE(IsOpen(fd));
  errno = 0;
  EXPECT_EQ(owner.Close(), -1);  // nothing left to close
  EXPECT_EQ(errno, EBADF);
}

}  // namespace
}  // namespace orvex
