#pragma once
// The fake run time's embedded blocks: tests put the blocks they need here, by name.

#include <map>
#include <string>

#include "runtime/files.h"

namespace rt::fake {

std::map<std::string, Bytes>& EmbeddedBlocks();

}  // namespace rt::fake
