// A numbered run-time error: one of the named errors below, or a number that came from
// elsewhere. Inside C++ it travels as an exception; at the dispatch boundary it becomes
// DISP_E_EXCEPTION with scode 0x800A0000 | number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvex {

// The run-time errors this system raises or translates to: name, number and the text a
// client's error handler reads. A text holding '|' takes a detail in that place; others
// take it in parentheses after the text.
#define ORVEX_RUN_TIME_ERRORS(X)                                                         \
  X(InvalidProcedureCall, 5, "Invalid procedure call or argument")                       \
  X(Overflow, 6, "Overflow")                                                             \
  X(OutOfMemory, 7, "Out of memory")                                                     \
  X(SubscriptOutOfRange, 9, "Subscript out of range")                                    \
  X(ArrayLocked, 10, "This array is fixed or temporarily locked")                        \
  X(DivisionByZero, 11, "Division by zero")                                              \
  X(TypeMismatch, 13, "Type mismatch")                                                   \
  X(OutOfStringSpace, 14, "Out of string space")                                         \
  X(OutOfStackSpace, 28, "Out of stack space")                                           \
  X(InternalError, 51, "Internal error")                                                 \
  X(BadFileNameOrNumber, 52, "Bad file name or number")                                  \
  X(FileNotFound, 53, "File not found")                                                  \
  X(PermissionDenied, 70, "Permission denied")                                           \
  X(PathFileAccessError, 75, "Path/File access error")                                   \
  X(PathNotFound, 76, "Path not found")                                                  \
  X(ObjectVariableNotSet, 91, "Object variable or With block variable not set")          \
  X(InvalidUseOfNull, 94, "Invalid use of Null")                                         \
  X(ResourceNotFound, 326, "Resource with identifier '|' not found")                     \
  X(ObjectRequired, 424, "Object required")                                              \
  X(CantCreateObject, 429, "Can't create object")                                        \
  X(NoAutomationInterface, 430,                                                          \
    "Class does not support Automation or does not support expected interface")          \
  X(NoSuchPropertyOrMethod, 438, "Object doesn't support this property or method")       \
  X(AutomationError, 440, "Automation error")                                            \
  X(ActionNotSupported, 445, "Object doesn't support this action")                       \
  X(NoNamedArguments, 446, "Object doesn't support named arguments")                     \
  X(NamedArgumentNotFound, 448, "Named argument not found")                              \
  X(ArgumentNotOptional, 449, "Argument not optional")                                   \
  X(WrongArgumentCount, 450, "Wrong number of arguments or invalid property assignment") \
  X(UnsupportedAutomationType, 458, "Variable uses an Automation type not supported")    \
  X(InvalidPicture, 481, "Invalid picture")

enum class Err : int32_t {
#define ORVEX_ERR_ENUMERATOR(name, number, text) name = (number),
  ORVEX_RUN_TIME_ERRORS(ORVEX_ERR_ENUMERATOR)
#undef ORVEX_ERR_ENUMERATOR
};

struct ErrEntry {
  Err error;
  const char* text;
};

inline constexpr ErrEntry kErrTable[] = {
#define ORVEX_ERR_ENTRY(name, number, text) {Err::name, text},
    ORVEX_RUN_TIME_ERRORS(ORVEX_ERR_ENTRY)
#undef ORVEX_ERR_ENTRY
};

// The text of numbers the table does not name (a client's own errors, for one).
inline constexpr char kUnnamedErrText[] = "Application-defined or object-defined error";

constexpr int32_t ErrNumber(Err error) {
  return static_cast<int32_t>(error);
}

constexpr const char* ErrText(int32_t number) {
  for (const ErrEntry& entry : kErrTable) {
    if (ErrNumber(entry.error) == number) return entry.text;
  }
  return kUnnamedErrText;
}
constexpr const char* ErrText(Err error) {
  return ErrText(ErrNumber(error));
}

// The error's text with `detail` in its place: "Object doesn't support this action
// (clsX.Member is not implemented)", "Resource with identifier '7' not found".
inline std::string ErrDescription(Err error, std::string_view detail = {}) {
  std::string text = ErrText(error);
  const size_t slot = text.find('|');
  if (slot != std::string::npos) return text.replace(slot, 1, detail);
  if (!detail.empty()) text.append(" (").append(detail).append(")");
  return text;
}

class RuntimeError : public std::runtime_error {
 public:
  // One of the named errors, its text completed by `detail` (see ErrDescription).
  explicit RuntimeError(Err error, std::string_view detail = {}, std::string source = {})
      : RuntimeError(ErrNumber(error), ErrDescription(error, detail), std::move(source)) {}
  // A number and description as they arrived from elsewhere (another object's failure,
  // a client's own error number).
  RuntimeError(int32_t number, std::string description, std::string source = {})
      : std::runtime_error(description),
        number_(number),
        description_(std::move(description)),
        source_(std::move(source)) {}

  int32_t Number() const { return number_; }
  // UTF-8 text.
  const std::string& Description() const { return description_; }
  const std::string& Source() const { return source_; }
  // An HRESULT-style failure code carried as the error (e.g. a creation failure).
  void SetSource(std::string source) { source_ = std::move(source); }

 private:
  int32_t number_;
  std::string description_;
  std::string source_;
};

}  // namespace orvex
