// The one owner of a file descriptor: move-only, closes what it holds exactly once.
#pragma once

#include <unistd.h>

#include <utility>

namespace orvex {

class UniqueFd {
 public:
  UniqueFd() = default;
  // Takes over `fd`; a negative value (a failed open's result) holds nothing.
  explicit UniqueFd(int fd) noexcept : fd_(fd < 0 ? -1 : fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }

  int Get() const { return fd_; }
  bool IsValid() const { return fd_ >= 0; }
  explicit operator bool() const { return IsValid(); }

  // Gives the descriptor up without closing it; the owner is empty afterwards.
  int Release() noexcept { return std::exchange(fd_, -1); }
  // Closes the current descriptor (if any) and takes over `fd`.
  void Reset(int fd = -1) noexcept {
    const int old = std::exchange(fd_, fd < 0 ? -1 : fd);
    if (old >= 0 && old != fd_) ::close(old);
  }
  // Closes now and gives close's own answer (0, or -1 with errno set): a file's delayed
  // write error shows only there. The owner is empty afterwards either way, as Linux
  // releases the descriptor even when close fails.
  int Close() noexcept { return ::close(Release()); }

 private:
  int fd_ = -1;
};

}  // namespace orvex
