// Per-thread scratch memory below 4 GB for the name texts handed to enumeration
// callbacks: callers keep identifiers as 32-bit values, so a name's address must fit in 32
// bits and be above 0xFFFF (lower values are numbers). Used as a stack, so nested
// enumerations (names inside a type callback) keep the outer texts intact.
#pragma once

#include <cstddef>

namespace orvex {

class LowScratch {
 public:
  // The calling thread's scratch; reserved on first use.
  static LowScratch& ForThread();

  // `size` bytes above the current top, or null when no low memory is to be had.
  char* Allocate(size_t size);
  size_t Top() const { return top_; }
  void Release(size_t top) { top_ = top; }

  LowScratch() = default;
  ~LowScratch();
  LowScratch(const LowScratch&) = delete;
  LowScratch& operator=(const LowScratch&) = delete;

 private:
  char* base_ = nullptr;
  size_t capacity_ = 0;
  size_t top_ = 0;
  bool failed_ = false;
};

// Restores the scratch top when a frame of names goes out of scope.
class LowScratchFrame {
 public:
  explicit LowScratchFrame(LowScratch& scratch) : scratch_(scratch), top_(scratch.Top()) {}
  ~LowScratchFrame() { scratch_.Release(top_); }
  LowScratchFrame(const LowScratchFrame&) = delete;
  LowScratchFrame& operator=(const LowScratchFrame&) = delete;

  // Drops what this frame allocated so far (the next callback reuses the space).
  void Reset() { scratch_.Release(top_); }

 private:
  LowScratch& scratch_;
  size_t top_;
};

}  // namespace orvex
