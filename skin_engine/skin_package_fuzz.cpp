// libFuzzer target: the package parser must reject or accept any bytes without a fault, and
// whatever it accepts must pack back to the very same bytes' look.
#include <cstdlib>

#include "skin_engine/skin_package.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto look = skin_engine::UnpackSkin({data, size});
    if (look) {
        const auto again = skin_engine::UnpackSkin(skin_engine::PackSkin(*look));
        if (!again || !(*again == *look)) std::abort();
    }
    return 0;
}
