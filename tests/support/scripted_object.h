// An automation object for tests whose members are lambdas: GetIDsOfNames knows the names
// given (without regard to case), Invoke runs the member's handler with the arguments in
// natural order (by-reference arguments dereferenced) and logs "Name(arg, ...)" or
// "Name=value" for property puts. Names it does not know answer DISP_E_UNKNOWNNAME, as a
// control without that member does.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/ole/wrappers.h"

namespace orvex::test {

class ScriptedObject {
 public:
  using Handler = std::function<Variant(const std::vector<Variant>& args)>;

  ScriptedObject();
  ~ScriptedObject();
  ScriptedObject(const ScriptedObject&) = delete;
  ScriptedObject& operator=(const ScriptedObject&) = delete;

  // Adds (or replaces) a member. Property puts reach the handler with the value last.
  // Members get DISPIDs 1, 2, ... in the order added unless `dispid` names one.
  void Member(const std::string& name, Handler handler, DISPID dispid = DISPID_UNKNOWN);
  // A member that returns `value` and ignores its arguments.
  void Constant(const std::string& name, Variant value, DISPID dispid = DISPID_UNKNOWN);

  IDispatch* Get() const;
  const std::vector<std::string>& Log() const;
  void ClearLog();

  struct Object;

 private:
  Object* object_;
};

// The text a log line shows for a value: numbers as they read, texts quoted, "obj" for
// objects, "empty" and "missing".
std::string Describe(const VARIANT& value);

}  // namespace orvex::test
