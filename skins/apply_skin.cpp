#include "skins/apply_skin.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "runtime/outside_libraries.h"
#include "runtime/program.h"
#include "skins/dll_command_table.h"
#include "skins/skin_engine_deployment.h"
#include "skins/skin_package_table.h"

namespace skins {
namespace {

using SkinAttachRes = int (*)(const unsigned char* package, int length, const char* password, int, int, int);

struct PackageCopy {
    std::unique_ptr<unsigned char[]> bytes;
    int length = 0;
};

// The engine gets its own copy so that it can never hold on to, or write into, the stored package.
PackageCopy CopyPackage(int32_t n) {
    if (n < 1 || n > kSkinCount) return {};
    const SkinPackage& package = SkinPackageTable[static_cast<size_t>(n - 1)];
    PackageCopy copy{std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[package.length]),
                     static_cast<int>(package.length)};
    if (!copy.bytes) {
        rt::RaiseRuntimeError(0, "Out of memory: " + std::to_string(package.length) + " bytes could not be allocated.");
    }
    std::memcpy(copy.bytes.get(), package.data, package.length);
    return copy;
}

}  // namespace

void ApplySkin(int32_t n) {
    DeploySkinEngine();
    const PackageCopy copy = CopyPackage(n);
    auto attach = reinterpret_cast<SkinAttachRes>(rt::BindOutsideFunction(DllCommandTable[SkinAttachResCommand]));
    attach(copy.bytes.get(), copy.length, "", 0, 0, 0);
}

}  // namespace skins
