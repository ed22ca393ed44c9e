#pragma once
// A recording stand-in for SkinH_AttachRes, registered with the fake run time, and the fixture
// the skin tests share. Test code only.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "runtime/fake/fake_embedded_data.h"
#include "runtime/fake/fake_runtime.h"
#include "skins/dll_command_table.h"
#include "skins/skin_engine_deployment.h"

namespace skins::testing_support {

struct EngineCall {
    const unsigned char* address;
    rt::Bytes package;  // copied during the call: the caller frees its buffer afterwards
    int length;
    std::string password;
    std::array<int, 3> trailing;
    bool engineWasDeployed;
};

inline const rt::Bytes kEngineImage = {'M', 'Z', 0x90, 0x00, 0x03, 0x00, 0x00, 0x00};

inline std::vector<EngineCall>& EngineCalls() {
    static std::vector<EngineCall> calls;
    return calls;
}

inline int RecordingAttachRes(const unsigned char* package, int length, const char* password, int a, int b, int c) {
    EngineCalls().push_back({package,
                             package ? rt::Bytes(package, package + length) : rt::Bytes{},
                             length,
                             password ? password : "(null)",
                             {a, b, c},
                             rt::PathExists(SkinEnginePath())});
    return 1;
}

class SkinEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        rt::fake::Reset();
        FreeDllCommandLibraries();  // forgets bindings left by earlier tests
        EngineCalls().clear();
        rt::fake::EmbeddedBlocks() = {{std::string(kSkinEngineImageName), kEngineImage}};
        rt::fake::Runtime().outsideFunctions["SkinH_EL.dll!SkinH_AttachRes"] =
            reinterpret_cast<void*>(&RecordingAttachRes);
    }
};

}  // namespace skins::testing_support
