// Functions with known results for the dynamic-call tests, exported with C names. Each
// result depends on the order and the full value of every argument, so a swapped, dropped
// or truncated argument shows in the result.
#include <cstdarg>
#include <cstdint>

extern "C" {

#define TEST_EXPORT __attribute__((visibility("default")))

// Built with frame pointers: rbp is 16-byte aligned exactly when the caller's stack was
// aligned at the call, as the System V ABI requires.
#define STACK_ALIGNED() ((((uintptr_t)__builtin_frame_address(0)) & 15u) == 0)

TEST_EXPORT int32_t TestNoArguments(void) {
  return STACK_ALIGNED() ? 4242 : -1;
}

TEST_EXPORT int32_t TestNegate(int32_t a) {
  return (int32_t)(0u - (uint32_t)a);
}

// Arithmetic wraps (unsigned), so any argument values are fine.
static int32_t Shift(int32_t value, uint32_t factor, int32_t next) {
  return (int32_t)((uint32_t)value * factor + (uint32_t)next);
}

TEST_EXPORT int32_t TestOrder2(int32_t a, int32_t b) {
  return Shift(a, 1000, b);
}

// Decimal digits in argument order: TestDigits6(1, 2, 3, 4, 5, 6) = 123456.
TEST_EXPORT int32_t TestDigits6(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f) {
  return Shift(Shift(Shift(Shift(Shift(a, 10, b), 10, c), 10, d), 10, e), 10, f);
}

TEST_EXPORT int32_t TestDigits7(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f,
                                int32_t g) {
  if (!STACK_ALIGNED()) return -1;
  return Shift(TestDigits6(a, b, c, d, e, f), 10, g);
}

TEST_EXPORT int32_t TestDigits8(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f,
                                int32_t g, int32_t h) {
  if (!STACK_ALIGNED()) return -1;
  return Shift(Shift(TestDigits6(a, b, c, d, e, f), 10, g), 10, h);
}

TEST_EXPORT int32_t TestDigits10(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f,
                                 int32_t g, int32_t h, int32_t i, int32_t j) {
  return Shift(Shift(TestDigits8(a, b, c, d, e, f, g, h), 10, i), 10, j);
}

// Argument number `which` (1 to 10, itself included) as it arrived.
TEST_EXPORT int32_t TestPick10(int32_t which, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                               int32_t a6, int32_t a7, int32_t a8, int32_t a9, int32_t a10) {
  const int32_t all[10] = {which, a2, a3, a4, a5, a6, a7, a8, a9, a10};
  return which >= 1 && which <= 10 ? all[which - 1] : 0;
}

// Parameters of type long are 64 bits here: they must arrive sign-extended.
TEST_EXPORT long TestLongAbs(long a) {
  return a < 0 ? (long)(0ul - (unsigned long)a) : a;
}

TEST_EXPORT long TestLongSum8(long a, long b, long c, long d, long e, long f, long g, long h) {
  return (long)((unsigned long)a + (unsigned long)b + (unsigned long)c + (unsigned long)d +
                (unsigned long)e + (unsigned long)f + (unsigned long)g + (unsigned long)h);
}

// Sum of `count` further int arguments.
TEST_EXPORT int32_t TestVariadicSum(int32_t count, ...) {
  va_list list;
  uint32_t sum = 0;
  va_start(list, count);
  for (int32_t i = 0; i < count; ++i) sum += (uint32_t)va_arg(list, int32_t);
  va_end(list);
  return (int32_t)sum;
}

// Case-sensitive lookups: only this spelling exists.
TEST_EXPORT int32_t TestMixedCase(void) {
  return 7;
}

// A callee that calls back into its caller.
static int32_t (*callback)(int32_t);

TEST_EXPORT void TestSetCallback(int32_t (*function)(int32_t)) {
  callback = function;
}

TEST_EXPORT int32_t TestInvokeCallback(int32_t value) {
  return callback ? callback(value) + 1 : -1;
}

}  // extern "C"
