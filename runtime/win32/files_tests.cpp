#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "runtime/files.h"

namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

class AtomicWriteTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("sonitra-files-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        target_ = folder_ / "settings.ini";
    }
    void TearDown() override {
        SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(folder_);
    }

    bool Write(const std::string& text) {
        return rt::WriteWholeFileAtomically(Utf8(target_), rt::Bytes(text.begin(), text.end()));
    }
    std::string Content() const {
        auto content = rt::ReadWholeFile(Utf8(target_));
        return content ? std::string(content->begin(), content->end()) : "(unreadable)";
    }
    // Only the target may remain: a failed or finished write leaves no temporary file behind.
    size_t EntriesInFolder() const { return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), {})); }

    fs::path folder_, target_;
};

TEST_F(AtomicWriteTest, CreatesAndReplacesWholeContent) {
    EXPECT_TRUE(Write("12"));
    EXPECT_EQ(Content(), "12");
    EXPECT_TRUE(Write("7"));
    EXPECT_EQ(Content(), "7");
    EXPECT_TRUE(Write(""));
    EXPECT_EQ(Content(), "");
    EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(AtomicWriteTest, AReadOnlyOrLockedFileKeepsItsContent) {
    ASSERT_TRUE(Write("5"));
    SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(Write("6"));
    SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Content(), "5");

    HANDLE lock = CreateFileW(target_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Write("6"));
    CloseHandle(lock);
    EXPECT_EQ(Content(), "5");
    EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(AtomicWriteTest, ADirectoryOfThatNameStaysADirectory) {
    fs::create_directory(target_);
    EXPECT_FALSE(Write("1"));
    EXPECT_TRUE(fs::is_directory(target_));
    EXPECT_EQ(EntriesInFolder(), 1u);
}

}  // namespace
