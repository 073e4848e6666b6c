#include "ByteStream.h"
#include "PendingFile.h"
#include "TempFolderTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace Steinberg;
using vsthost::ByteStream;

namespace {
using PendingFileTest = TempFolderTest;
using ByteStreamTest = TempFolderTest;
}   // namespace

TEST_F(PendingFileTest, AppearsOnlyOnCommit)
{
    const std::string target = (dir_ / "out.bin").string();
    std::string error;
    {
        PendingFile file;
        ASSERT_TRUE(file.create(target, error)) << error;
        ASSERT_TRUE(file.writeAll("abc", 3, error)) << error;
        EXPECT_FALSE(fs::exists(target));
        EXPECT_TRUE(fs::exists(file.temporaryPath()));
        EXPECT_EQ(fs::path(file.temporaryPath()).parent_path(), dir_);
        ASSERT_TRUE(file.commit(error)) << error;
    }
    EXPECT_EQ(fs::file_size(target), 3u);
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(PendingFileTest, LeavesNothingWhenNotCommitted)
{
    std::string error;
    {
        PendingFile file;
        ASSERT_TRUE(file.create((dir_ / "out.bin").string(), error)) << error;
        ASSERT_TRUE(file.writeAll("abc", 3, error));
    }
    EXPECT_EQ(filesInFolder(), 0u);

    // An existing file is left alone by a failed attempt.
    std::ofstream((dir_ / "keep.bin").string()) << "old";
    {
        PendingFile file;
        ASSERT_TRUE(file.create((dir_ / "keep.bin").string(), error));
        file.writeAll("new", 3, error);
        file.discard();
    }
    EXPECT_EQ(filesInFolder(), 1u);
    EXPECT_EQ(fs::file_size(dir_ / "keep.bin"), 3u);
}

TEST_F(PendingFileTest, RefusesImpossiblePlaces)
{
    std::string error;
    PendingFile file;
    EXPECT_FALSE(file.create((dir_ / "missing" / "out.bin").string(), error));
    EXPECT_NE(error.find("missing"), std::string::npos);
    EXPECT_FALSE(file.create(dir_.string(), error));
    EXPECT_NE(error.find("folder"), std::string::npos);
}

TEST_F(ByteStreamTest, ReadsWritesAndSeeks)
{
    ByteStream* stream = new ByteStream;
    char data[] = "0123456789";
    int32 n = -1;
    EXPECT_EQ(stream->write(data, 10, &n), kResultOk);
    EXPECT_EQ(n, 10);
    int64 at = -1;
    EXPECT_EQ(stream->seek(-4, IBStream::kIBSeekEnd, &at), kResultOk);
    EXPECT_EQ(at, 6);
    char back[8] = {};
    EXPECT_EQ(stream->read(back, 8, &n), kResultOk);
    EXPECT_EQ(n, 4);   // a short read at the end
    EXPECT_EQ(std::string(back, 4), "6789");
    EXPECT_EQ(stream->read(back, 8, &n), kResultOk);
    EXPECT_EQ(n, 0);
    EXPECT_NE(stream->seek(-1, IBStream::kIBSeekSet, &at), kResultOk);
    stream->rewind();
    EXPECT_EQ(stream->tell(&at), kResultOk);
    EXPECT_EQ(at, 0);
    EXPECT_EQ(stream->bytes().size(), 10u);
    stream->release();
}

TEST_F(ByteStreamTest, LoadsAFileWhole)
{
    const std::string path = (dir_ / "state.bin").string();
    std::ofstream(path, std::ios::binary) << std::string(5000, 'x');
    ByteStream* stream = new ByteStream;
    std::string error;
    EXPECT_TRUE(stream->loadFile(path, error)) << error;
    EXPECT_EQ(stream->bytes().size(), 5000u);
    EXPECT_FALSE(stream->loadFile((dir_ / "none").string(), error));
    EXPECT_NE(error.find("none"), std::string::npos);
    stream->release();
}
