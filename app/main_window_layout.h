#pragma once

#include "runtime/layout.h"

namespace app {

// The layout of MainWindow, the program's only window. Built once, on first use.
const rt::WindowLayout& MainWindowLayout();

}  // namespace app
