// The copy engine natively, with the real security calls: the modes
// entries are made with and end with, set-user-ID and set-group-ID bits,
// verification, and entries whose facts cannot be read.

#include "KwCopyRunTest.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Takes away this thread's power to pass over file permissions (root's
// CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH) while it lives, so that a
// directory without permissions is shut as it is for other accounts.
class TWithoutDacOverride {
public:
    TWithoutDacOverride()
    {
        syscall(SYS_capget, &m_coHeader, m_acoSaved);
        __user_cap_data_struct acoLess[2] = { m_acoSaved[0], m_acoSaved[1] };
        acoLess[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &m_coHeader, acoLess);
    }
    ~TWithoutDacOverride() { syscall(SYS_capset, &m_coHeader, m_acoSaved); }
    TWithoutDacOverride(const TWithoutDacOverride&) = delete;
    TWithoutDacOverride& operator=(const TWithoutDacOverride&) = delete;

private:
    __user_cap_header_struct m_coHeader { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct m_acoSaved[2] {};
};

mode_t ModeOf(const std::string& strPath)
{
    struct stat coInfo;
    return lstat(strPath.c_str(), &coInfo) == 0 ? coInfo.st_mode : 0;
}

} // namespace

// Every test runs with one worker and with four.
class KwCopyNativeTest : public kwtest::TCopyRunTest, public ::testing::WithParamInterface<int> {
protected:
    int Workers() const override { return GetParam(); }

    void SetUp() override
    {
        TCopyRunTest::SetUp();
        m_pcoFs->m_bRealDescriptors = true;
        m_pcoEngine = std::make_unique<KwCopyEngine>(*m_pcoFs, KwSecurityApi::Platform());
        m_pcoEngine->Options().m_nWorkers = Workers();
        m_pcoEngine->SetPathTo(At("dst").c_str());
    }
};

INSTANTIATE_TEST_SUITE_P(Workers, KwCopyNativeTest, ::testing::Values(1, 4),
                         [](const ::testing::TestParamInfo<int>& coInfo) { return std::to_string(coInfo.param); });

TEST_P(KwCopyNativeTest, CopiesAreNeverMoreOpenThanTheirSourcesAndSetIdBitsNeedTheirOwner)
{
    const bool bRoot = geteuid() == 0;
    const struct {
        const char* m_pszName;
        mode_t m_nMode;
        uid_t m_nOwner;         // 0: the copying account
        mode_t m_nCopied;
    } aFiles[] = {
        { "private", 0600, 0, 0600 },
        { "group", 0640, 0, 0640 },
        { "open", 0755, 0, 0755 },
        { "own-setuid", 04755, 0, 04755 },
        // Another account's set-ID program: the copy belongs to the copying
        // account, and must not run with its rights.
        { "their-setuid", 06755, 4242, 0755 },
    };
    for (KwCopyOptions::Security eSecurity : { KwCopyOptions::SecurityAll, KwCopyOptions::SecurityDacl }) {
        SetUp();
        std::filesystem::create_directories(At("modes"));
        for (const auto& coFile : aFiles) {
            const std::string strPath = At("modes/") + coFile.m_pszName;
            kwtest::WriteFileBytes(strPath, coFile.m_pszName);
            if (coFile.m_nOwner && bRoot)
                ASSERT_EQ(chown(strPath.c_str(), coFile.m_nOwner, coFile.m_nOwner), 0);
            ASSERT_EQ(chmod(strPath.c_str(), coFile.m_nMode), 0);
        }
        // A link to a private file is copied as the file, with its mode.
        std::filesystem::create_symlink("private", At("modes/link-to-private"));
        m_pcoEngine->SetPathFrom(At("modes").c_str());
        m_pcoEngine->Options().m_eSecurity = eSecurity;
        m_pcoEngine->Options().m_nVerify = 1;
        // As it is made, an entry is open to the copying account, and to
        // others no more than its source; to no group, and runs as no one.
        m_pcoFs->m_fnAfter = [&](const std::string& strCall, const std::string& strPath) {
            if ((strCall != "CreateTarget" && strCall != "CreateDirectory") || strPath == "/dst")
                return;
            const std::string strSource = strCall == "CreateTarget" ? m_pcoFs->LastOpened() : At(strPath.substr(5));
            const mode_t nMode = ModeOf(At(strPath.substr(1)));
            EXPECT_EQ(nMode & (S_IRWXG | S_ISUID | S_ISGID), 0u) << strPath;
            EXPECT_EQ(nMode & S_IRWXO & ~ModeOf(strSource), 0u) << strPath;
        };
        const kwtest::TOutput coOutput = Run();
        EXPECT_EQ(m_pcoEngine->GetSummary().m_lFailed, 0) << coOutput.m_vecLines.end()[-1];
        for (const std::string& strLine : coOutput.m_vecLines)
            EXPECT_EQ(strLine.find("failed !"), std::string::npos) << strLine;
        for (const auto& coFile : aFiles)
            if (bRoot || !coFile.m_nOwner) {
                EXPECT_EQ(ModeOf(At("dst/modes/") + coFile.m_pszName) & 07777, coFile.m_nCopied) << coFile.m_pszName;
            }
        EXPECT_EQ(ModeOf(At("dst/modes/link-to-private")), S_IFREG | 0600);
        TearDown();
    }
}

TEST_P(KwCopyNativeTest, EntriesWhoseFactsCannotBeReadAreReportedFailedNotDropped)
{
    // A directory that can be read but not entered, and a time beyond 2262.
    std::filesystem::create_directories(At("odd/closed"));
    kwtest::WriteFileBytes(At("odd/closed/x.txt"), "x");
    ASSERT_EQ(chmod(At("odd/closed").c_str(), 0644), 0);
    kwtest::WriteFileBytes(At("odd/future.txt"), "f");
    const timespec acoTimes[2] = { { 0, UTIME_OMIT }, { 10413792000, 0 } };      // 2300
    ASSERT_EQ(utimensat(AT_FDCWD, At("odd/future.txt").c_str(), acoTimes, 0), 0);
    m_pcoEngine->SetPathFrom(At("odd").c_str());
    kwtest::TOutput coOutput;
    {
        TWithoutDacOverride coShut;
        coOutput = Run();
    }
    EXPECT_TRUE(coOutput.Has("Copying " + Shown("odd/closed/x.txt") + " ... failed ! (its information cannot be read: error "
                             + std::to_string(EACCES) + ")"));
    EXPECT_TRUE(coOutput.Has("Copying " + Shown("odd/future.txt") + " ... failed ! (its information cannot be read: error "
                             + std::to_string(EOVERFLOW) + ")"));
    EXPECT_EQ(m_pcoEngine->GetSummary().m_lFailed, 2);
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 9);
    ASSERT_EQ(chmod(At("odd/closed").c_str(), 0755), 0);
}
