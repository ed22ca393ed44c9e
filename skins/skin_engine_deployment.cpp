#include "skins/skin_engine_deployment.h"

#include "runtime/embedded_data.h"
#include "runtime/files.h"

namespace skins {

std::string SkinEnginePath() { return rt::ExecutableFolder() + "\\SkinH_EL.dll"; }

void DeploySkinEngine() {
    const std::string target = SkinEnginePath();
    if (rt::PathExists(target)) return;
    const std::span<const uint8_t> image = rt::EmbeddedData(kSkinEngineImageName);
    // An executable built without its engine must not leave an empty file that would then
    // count as deployed forever.
    if (image.empty()) return;
    // The atomic write means a failed or interrupted write never leaves a partial engine under
    // the final name, where it would be taken for a deployed one at every later start.
    if (!rt::WriteWholeFileAtomically(target, rt::Bytes(image.begin(), image.end()))) return;
    rt::SetHiddenAttributeOnly(target);
}

}  // namespace skins
