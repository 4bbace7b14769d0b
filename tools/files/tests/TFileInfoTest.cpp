#include "KwScratchTest.h"
#include "TFileInfo.h"
#include "TOpSystem.h"
#include "TPath.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class TFileInfoSizeTest : public kwtest::TScratchTest {
protected:
    TFileInfoSizeTest() : TScratchTest("kw-size-") {}
};

constexpr uint64_t kBig = (5ull << 30) + 7;

} // namespace

TEST_F(TFileInfoSizeTest, RecordsKeepSizesBeyondFourGiB)
{
    TFileInfo coInfo;
    coInfo.SetSize64(kBig);
    EXPECT_EQ(coInfo.Size64(), kBig);
    EXPECT_EQ(coInfo.Size(), TFileInfo::LargeSize);
    TFileInfo coCopy(coInfo);
    EXPECT_EQ(coCopy.Size64(), kBig);
    coInfo.SetSize(12);
    EXPECT_EQ(coInfo.Size64(), 12u);

    // A sparse file of that size, as the operating-system layer lists it.
    std::filesystem::path coFile = At("big.bin");
    { kwtest::WriteFileBytes(coFile.string(), "x"); }
    std::filesystem::resize_file(coFile, kBig);
    TArray coFiles;
    ASSERT_EQ(CurrentOS().ScanFiles(coFiles, m_dir.c_str(), "big.bin", 0), 1);
    ASSERT_EQ(coFiles.Count(), 1);
    EXPECT_EQ(static_cast<TFileInfo*>(coFiles.Get(0))->Size64(), kBig);
    EXPECT_EQ(static_cast<TFileInfo*>(coFiles.Get(0))->Size(), TFileInfo::LargeSize);
}
