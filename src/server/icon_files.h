// Icon and cursor files for hosts that export a module's icon groups: the library's own
// reassembly of a group directory and its images into .ico / .cur bytes.
#pragma once

#include "presentation/icon_file.h"
