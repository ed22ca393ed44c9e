#include <gtest/gtest.h>

#include <climits>
#include <new>

#include "runtime/fake/fake_embedded_data.h"
#include "runtime/fake/fake_runtime.h"
#include "skins/apply_skin.h"
#include "skins/dll_command_table.h"
#include "skins/skin_engine_deployment.h"
#include "skins/skin_engine_test_double.h"
#include "skins/skin_package_table.h"

namespace {

bool g_failNothrowArrays = false;

}  // namespace

// Lets a test make the package copy's allocation fail; everything else allocates as usual.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (g_failNothrowArrays) return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

using skins::testing_support::EngineCalls;
using skins::testing_support::SkinEngineTest;

const rt::Bytes& StoredPackage(int n) {
    static std::vector<rt::Bytes> packages = [] {
        std::vector<rt::Bytes> all;
        for (const auto& package : skins::SkinPackageTable)
            all.emplace_back(package.data, package.data + package.length);
        return all;
    }();
    return packages[static_cast<size_t>(n - 1)];
}

class ApplySkinTest : public SkinEngineTest, public testing::WithParamInterface<int32_t> {};

TEST_P(ApplySkinTest, PassesAFreshCopyOfPackageNAfterDeployingTheEngine) {
    const int32_t n = GetParam();
    skins::ApplySkin(n);
    ASSERT_EQ(EngineCalls().size(), 1u);
    const auto& call = EngineCalls()[0];
    EXPECT_TRUE(call.engineWasDeployed);
    EXPECT_EQ(call.password, "");
    EXPECT_EQ(call.trailing, (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(call.length, static_cast<int>(StoredPackage(n).size()));
    EXPECT_EQ(call.package, StoredPackage(n));
    EXPECT_NE(call.address, skins::SkinPackageTable[static_cast<size_t>(n - 1)].data)
        << "the stored package was handed out";
}

INSTANTIATE_TEST_SUITE_P(EveryEnd, ApplySkinTest, testing::Values(1, 2, 17, 32, 33));

class ApplyNoSkinTest : public SkinEngineTest, public testing::WithParamInterface<int32_t> {};

TEST_P(ApplyNoSkinTest, CallsTheEngineWithNoPackage) {
    skins::ApplySkin(GetParam());
    ASSERT_EQ(EngineCalls().size(), 1u);
    EXPECT_TRUE(EngineCalls()[0].engineWasDeployed);
    EXPECT_EQ(EngineCalls()[0].address, nullptr);
    EXPECT_EQ(EngineCalls()[0].length, 0);
    EXPECT_EQ(EngineCalls()[0].password, "");
}

INSTANTIATE_TEST_SUITE_P(OutsideOneToThirtyThree, ApplyNoSkinTest, testing::Values(0, 34, -1, INT_MIN, INT_MAX));

TEST_F(SkinEngineTest, EveryApplicationDeploysAgainAndCopiesAgain) {
    skins::ApplySkin(5);
    rt::fake::Runtime().files.erase(skins::SkinEnginePath());
    skins::ApplySkin(5);
    ASSERT_EQ(EngineCalls().size(), 2u);
    EXPECT_TRUE(EngineCalls()[1].engineWasDeployed);
    EXPECT_EQ(EngineCalls()[1].package, StoredPackage(5));
}

TEST_F(SkinEngineTest, AFailedAllocationEndsTheProgramNamingTheByteCount) {
    g_failNothrowArrays = true;
    try {
        skins::ApplySkin(3);
        g_failNothrowArrays = false;
        FAIL() << "ApplySkin went on without its copy";
    } catch (const rt::fake::ProgramEnded& ended) {
        g_failNothrowArrays = false;
        EXPECT_EQ(ended.exitCode, -1);
        EXPECT_EQ(ended.errorCode, 0);
        EXPECT_NE(ended.errorMessage.find(std::to_string(StoredPackage(3).size()) + " bytes"), std::string::npos)
            << ended.errorMessage;
    }
    EXPECT_TRUE(EngineCalls().empty());
}

TEST_F(SkinEngineTest, AMissingEngineEndsTheProgramNamingLibraryAndExport) {
    rt::fake::Runtime().outsideFunctions.clear();
    try {
        skins::ApplySkin(1);
        FAIL() << "ApplySkin went on without an engine";
    } catch (const rt::fake::ProgramEnded& ended) {
        EXPECT_EQ(ended.exitCode, -1);
        EXPECT_NE(ended.errorMessage.find("SkinH_EL.dll"), std::string::npos);
        EXPECT_NE(ended.errorMessage.find("SkinH_AttachRes"), std::string::npos);
    }
}

TEST_F(SkinEngineTest, DeploymentWritesTheImageOnlyWhereNothingOfThatNameExists) {
    const std::string path = skins::SkinEnginePath();
    EXPECT_EQ(path, "C:\\Program\\SkinH_EL.dll");
    skins::DeploySkinEngine();
    EXPECT_EQ(rt::fake::Runtime().files[path], skins::testing_support::kEngineImage);

    const rt::Bytes foreign = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'e', 'n', 'g', 'i', 'n', 'e'};
    for (const rt::Bytes& existing : {foreign, rt::Bytes{}}) {
        rt::fake::Runtime().files[path] = existing;
        skins::DeploySkinEngine();
        EXPECT_EQ(rt::fake::Runtime().files[path], existing);
    }
}

TEST_F(SkinEngineTest, DeploymentInADriveRootAndFailedWritesLeaveNoEngine) {
    rt::fake::Runtime().executableFolder = "D:";
    skins::DeploySkinEngine();
    EXPECT_EQ(rt::fake::Runtime().files.count("D:\\SkinH_EL.dll"), 1u);

    rt::fake::Runtime().executableFolder = "E:\\read-only";
    rt::fake::Runtime().unwritablePaths.push_back("E:\\read-only\\SkinH_EL.dll");
    skins::DeploySkinEngine();
    EXPECT_EQ(rt::fake::Runtime().files.count("E:\\read-only\\SkinH_EL.dll"), 0u);

    // An executable that carries no engine writes no empty file that would pass for one later.
    rt::fake::EmbeddedBlocks().clear();
    rt::fake::Runtime().executableFolder = "F:";
    skins::DeploySkinEngine();
    EXPECT_EQ(rt::fake::Runtime().files.count("F:\\SkinH_EL.dll"), 0u);
}

}  // namespace
