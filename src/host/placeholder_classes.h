// Placeholder window classes for previews. A dialog may name window classes that its program
// registers when it runs (a hex editor, a colour preview); no code of a module runs here, so
// such a dialog cannot be built. A host that wants to show it anyway registers a placeholder
// for each of those classes before ShowDialog: a sunken grey box labelled with the class
// name (for the dialog's own class, a plain dialog window).
#pragma once

#include <string>
#include <vector>

#include "platform/win32_types.h"

namespace orvex {

// The window classes a dialog template names that are not registered.
struct UnregisteredClasses {
  std::string dialogClass;                  // the dialog's own class, or empty
  std::vector<std::string> controlClasses;  // each once, in the template's order

  bool Empty() const { return dialogClass.empty() && controlClasses.empty(); }
  // All of them, the dialog's class first.
  std::vector<std::string> Names() const;
};

// The classes the dialog template `name` ("#n" or a name) of `module` names (predefined
// ordinals aside) that are not registered. Nothing when the template is missing or cannot
// be read.
UnregisteredClasses UnregisteredDialogClasses(HMODULE module, const std::string& name);

// The classes the template names that are placeholders now (this host kit's, registered for
// any preview so far).
std::vector<std::string> PlaceholderClassesOf(HMODULE module, const std::string& name);

// Registers a placeholder for each of the classes not registered yet; returns the names
// registered.
std::vector<std::string> RegisterPlaceholderClasses(const UnregisteredClasses& classes);

}  // namespace orvex
