// The digest of what a record names, on every system the driver runs on:
// a file's bytes, and a folder or a missing file refused in the same words.
#include "driver/records/Sha256.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

namespace fs = std::filesystem;

class Sha256 : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("sha256-test-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(fs::create_directory(dir_));
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
};

TEST_F(Sha256, OfBytesAndOfFiles)
{
    const std::string abc = "abc";
    const std::string digest = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    EXPECT_EQ(records::Sha256({reinterpret_cast<const std::uint8_t*>(abc.data()), abc.size()}), digest);
    std::ofstream(dir_ / "abc") << abc;
    std::string error;
    EXPECT_EQ(records::FileSha256((dir_ / "abc").string(), error), digest);
    // The standard's million 'a's: a file read in more than one piece.
    const std::string million(1000000, 'a');
    const std::string millionDigest = "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";
    EXPECT_EQ(records::Sha256({reinterpret_cast<const std::uint8_t*>(million.data()), million.size()}), millionDigest);
    std::ofstream(dir_ / "million", std::ios::binary) << million;
    EXPECT_EQ(records::FileSha256((dir_ / "million").string(), error), millionDigest);

    EXPECT_FALSE(records::FileSha256(dir_.string(), error));
    EXPECT_EQ(error, dir_.string() + ": cannot be read (Is a directory)");
    EXPECT_FALSE(records::FileSha256((dir_ / "none").string(), error));
    EXPECT_EQ(error, (dir_ / "none").string() + ": cannot be read (No such file or directory)");
}

}  // namespace
