// A job's temporary folder: made under $TMPDIR, current on its thread while
// it lives (nested ones innermost first), removed with its content however
// the job ends.
#include "platform/core/TemporaryFolder.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <thread>

using namespace rz;
namespace fs = std::filesystem;

namespace {

// Points $TMPDIR at a fresh folder for the test's length.
class TemporaryFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* old = std::getenv("TMPDIR"))
            saved_ = old;
        root = test::makeTempDir();
        setenv("TMPDIR", (root + "/").c_str(), 1);  // a trailing "/" is not kept
    }
    void TearDown() override
    {
        if (saved_)
            setenv("TMPDIR", saved_->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    static bool isEmptyFolder(const std::string& path) { return fs::is_directory(path) && fs::is_empty(path); }

    std::string root;

private:
    std::optional<std::string> saved_;
};

void touch(const std::string& path)
{
    std::ofstream(path) << "x";
}

TEST_F(TemporaryFolderTest, ANestedFolderIsCurrentUntilItGoes)
{
    EXPECT_EQ(TemporaryFolder::systemFolder(), root);
    std::string outer, inner;
    {
        TemporaryFolder job("job");
        outer = job.path();
        EXPECT_EQ(fs::path(outer).parent_path(), fs::path(root));
        EXPECT_EQ(fs::path(outer).filename().string().rfind("job-", 0), 0u) << outer;
        EXPECT_TRUE(isEmptyFolder(outer));
        EXPECT_EQ(TemporaryFolder::current(), outer);
        {
            TemporaryFolder nested("nested");
            inner = nested.path();
            EXPECT_EQ(TemporaryFolder::current(), inner);
            touch(inner + "/a");
        }
        EXPECT_FALSE(fs::exists(inner));
        EXPECT_EQ(TemporaryFolder::current(), outer);
        fs::create_directories(outer + "/deep/er");
        touch(outer + "/deep/er/file");
    }
    EXPECT_FALSE(fs::exists(outer));
    EXPECT_TRUE(isEmptyFolder(root));
    // Outside any job: a folder of the process's own, never a job's.
    EXPECT_NE(TemporaryFolder::current(), outer);
    EXPECT_TRUE(fs::is_directory(TemporaryFolder::current()));
}

TEST_F(TemporaryFolderTest, AFolderIsRemovedWhenItsJobThrows)
{
    std::string path;
    try {
        TemporaryFolder job;
        path = job.path();
        touch(path + "/partial");
        throw std::runtime_error("the job failed");
    } catch (const std::runtime_error&) {
    }
    ASSERT_FALSE(path.empty());
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(TemporaryFolderTest, AFolderIsCurrentOnlyOnItsOwnThread)
{
    TemporaryFolder job;
    std::string seenElsewhere;
    std::thread([&] { seenElsewhere = TemporaryFolder::current(); }).join();
    EXPECT_NE(seenElsewhere, job.path());
    EXPECT_EQ(TemporaryFolder::current(), job.path());
}

} // namespace
