#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

// A test with a folder of its own, removed with all in it afterwards. A
// fixture that checks something first calls SetUp() after its check.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/tidepull-test-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override
    {
        if (!dir_.empty())
            std::filesystem::remove_all(dir_);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    size_t filesInFolder() const
    {
        using Files = std::filesystem::directory_iterator;
        return static_cast<size_t>(std::distance(Files(dir_), Files()));
    }

    std::filesystem::path dir_;
};
