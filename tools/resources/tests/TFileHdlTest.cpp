#include "KwResFileHelper.h"
#include "ResTestSupport.h"

#include "TMvc.h"
#include "TOpSystem.h"

#include <algorithm>
#include <cctype>

using namespace restest;

namespace {

// Records every event of the handlers it watches: the event, the entry's id
// and the name of the file it names.
class TEventLog : public TDynBase {
public:
    void Watch(TFileHdl& coHdl)
    {
        for (const char* pszEvent : { "MVC_TFILEHDL_OPENED", "MVC_TFILEHDL_SAVED", "MVC_TFILEHDL_CLOSED",
                                      "MVC_TFILEHDL_DESTROYED", "MVC_TFILEHDL_RESINSERTED", "MVC_TFILEHDL_RESREMOVED" })
            coHdl.MVC().AddNotification(pszEvent, this, &TEventLog::OnEvent);
    }
    int OnEvent(TMvcParam& coParam)
    {
        auto& coDrf = static_cast<TMvcParamDRF&>(coParam);
        EXPECT_NE(coDrf.FileHdl(), nullptr);
        m_text += std::string(static_cast<const char*>(coParam.EventType())).substr(13);
        if (!coDrf.ResInfo().GetId().IsEmpty())
            m_text += std::string(" ") + static_cast<const char*>(coDrf.ResInfo().GetId());
        if (coDrf.FileName())
            m_text += " <" + fs::path(coDrf.FileName()).filename().string() + ">";
        m_text += "; ";
        return 0;
    }
    std::string m_text;
};

// The text in upper or lower case.
std::string Cased(std::string text, bool bUpper)
{
    for (char& ch : text) {
        const auto uch = static_cast<unsigned char>(ch);
        ch = static_cast<char>(bUpper ? std::toupper(uch) : std::tolower(uch));
    }
    return text;
}

// A handler that adds its hooks to an event log, and whose save fails in
// the middle when told to: while the new file is being written the working
// file is taken away, and given back afterwards.
class TFailingSaveHdl : public TFileHdl {
public:
    explicit TFailingSaveHdl(TEventLog& coLog) : m_text(coLog.m_text) { coLog.Watch(*this); }
    int m_nFail { 0 };

protected:
    void NotifyPreSave() override { m_text += "PreSave; "; }
    void NotifyStartTmpLoadFromSave() override
    {
        m_text += "Start; ";
        if (m_nFail)
            MainFile().Close();
    }
    void NotifyEndTmpLoadFromSave() override
    {
        m_text += "End; ";
        if (m_nFail) {
            EXPECT_EQ(MainFile().Open(GetTmpFile(), TFile::ModeReadWrite), 1);
        }
    }
    void NotifyPostCreate() override { m_text += "PostCreate; "; }
    void NotifyPostClose() override { m_text += "PostClose; "; }

private:
    std::string& m_text;
};

// Each test has a scratch directory and a directory of working files of
// its own, named by TEMP while the test runs.
class TFileHdlFixture : public ScratchTest {
protected:
    // The files in a directory, sorted, in lower case.
    static std::vector<std::string> Files(const std::string& dir)
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.is_regular_file())
                names.push_back(Cased(entry.path().filename().string(), false));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    // A saved file with the given resources.
    void MakeFile(const std::string& path, std::initializer_list<std::pair<const char*, const char*>> resources)
    {
        TFileHdl coHdl;
        ASSERT_EQ(coHdl.OpenWrite("maker", path.c_str(), nullptr, nullptr), 1);
        for (const auto& r : resources)
            ASSERT_EQ(coHdl.WriteTemp(TTextRes(r.first, r.second)), 1);
        ASSERT_EQ(coHdl.Save(), 1);
    }
    // Open type, resource count, read and write protection, creating and
    // changing user, whether a time of change is set, then the files of the
    // scratch directory and of the working directory:
    // "2 res3 r0 w0 creator/editor t1 | a.drf | hln_0000.tmp |".
    std::string State(const TFileHdl& coHdl) const
    {
        std::string text = std::to_string(coHdl.GetOpenType()) + " res" + std::to_string(coHdl.GetResCount()) + " r"
            + std::to_string(coHdl.IsReadProtect()) + " w" + std::to_string(coHdl.IsWriteProtect()) + " "
            + static_cast<const char*>(coHdl.GetUserCreated()) + "/" + static_cast<const char*>(coHdl.GetUserChanged())
            + " t" + std::to_string(coHdl.GetTimeChanged().Valid()) + " |";
        for (const std::string& dir : { m_dir, m_tempDir }) {
            for (const std::string& name : Files(dir))
                text += " " + name;
            text += " |";
        }
        return text;
    }

    kwtest::TResTempDir m_coTemp { "kwres-temp" };
    const std::string m_tempDir { m_coTemp.Path() };
};

#if defined(_WIN32)
const std::string kCur = ".\\";
#else
const std::string kCur = "./";
#endif

} // namespace

TEST(TFileHdlStatics, ErrorTextsFileNamesAndProjects)
{
    struct { unsigned short unCode; const char* pszFile; const char* pszText; } const aTexts[] = {
        { 0, "a.drf", "General error on opening resource file <a.drf>" }, { 1, "a.drf", "" }, { 202, "a.drf", "" },
        { 111, "a.drf", "Could not create the minimum memory buffer in size 256 bytes!" },
        { 9, nullptr, "Resource file <> does not exist" }, { 2, "%s%d", "Could not open resource file <%s%d>" },
    };
    for (const auto& c : aTexts)
        EXPECT_STREQ(TFileHdl::GetError(c.unCode, c.pszFile), c.pszText) << c.unCode;

    const std::string strLong(300, 'n');
    struct {
        const char* pszFile;
        const char* pszExtension;
        int nOk;
        std::string name;
        std::string path;
    } const aNames[] = {
        { "C:\\dir\\x.drf", "DRF", 1, "x.drf", "C:\\dir\\" }, { "dir/sub/y", "DRF", 1, "y.DRF", "dir/sub/" },
        { "C:z", "kwt", 1, "z.kwt", "C:" + kCur }, { "plain", "DRF", 1, "plain.DRF", kCur },
        { "plain", nullptr, 1, "plain", kCur }, { ".hidden", "DRF", 1, "hidden.DRF", kCur },
        { "a.b.c", "DRF", 1, "a.b.c", kCur }, { "", "DRF", 0, "", "" }, { nullptr, "DRF", 0, "", "" },
        { "dir\\", "DRF", 0, "", "" }, { strLong.c_str(), "DRF", 0, "", "" },
    };
    for (const auto& c : aNames) {
        SCOPED_TRACE(c.pszFile ? c.pszFile : "null");
        TString coName = "old";
        TString coPath = "old";
        EXPECT_EQ(TFileHdl::SeparateFile(c.pszFile, coName, coPath, c.pszExtension), c.nOk);
        EXPECT_EQ(std::string(coName) + "|" + static_cast<const char*>(coPath), c.name + "|" + c.path);
    }
    TFileHdl coHdl;
    TString coName;
    TString coPath;
    EXPECT_EQ(coHdl.SeparateFile("member", coName, coPath), 1);
    EXPECT_STREQ(coName, "member.DRF");
    // A project's file takes the extension in place of the last one.
    coHdl.SetProject("demo.old.kwt", "kwt");
    EXPECT_EQ(std::string(coHdl.GetResFile()) + static_cast<const char*>(coHdl.GetProject()), "demo.kwtdemo");
    coHdl.SetProject("plain", nullptr);
    EXPECT_STREQ(coHdl.GetResFile(), "plain.drf");
}

TEST_F(TFileHdlFixture, TemporaryNames)
{
    // Names of working files are lower case on Windows.
    auto TmpCase = [](std::string name) {
#if defined(_WIN32)
        name = Cased(name, false);
#endif
        return name;
    };
    // Trailing ';' and separator go; one separator is put back.
    CurrentOS().SetEnvVar("TEMP", (m_tempDir + CrtPathSeparator() + ";").c_str());
    const std::string expected = TmpCase(m_tempDir + CrtPathSeparator() + "KW300000.TMP");
    EXPECT_STREQ(TFileHdl::CreateTmpFileName("KW30"), expected.c_str());
    WriteFileBytes(expected, "x");
    EXPECT_STREQ(TFileHdl::CreateTmpFileName("KW30"), TmpCase(m_tempDir + CrtPathSeparator() + "KW300001.TMP").c_str());
    // TMP serves when TEMP is empty.
    const TString coOldTmp = CurrentOS().GetEnvVar("TMP");
    CurrentOS().SetEnvVar("TEMP", "");
    CurrentOS().SetEnvVar("TMP", m_dir.c_str());
    EXPECT_STREQ(TFileHdl::CreateTmpFileName("Q"), TmpCase(m_dir + CrtPathSeparator() + "Q0000.TMP").c_str());
    EXPECT_STREQ(TFileHdl().CreateTmpFileName(), TmpCase(m_dir + CrtPathSeparator() + "HLN_0000.TMP").c_str());
    CurrentOS().SetEnvVar("TMP", coOldTmp.IsEmpty() ? nullptr : static_cast<const char*>(coOldTmp));
}

// A working file is created exclusively: a name taken between the check and
// the creation (here a link to nowhere, which looks free) is passed over for
// the next number, and nothing is written through it.
TEST_F(TFileHdlFixture, WorkingFilesTakeTheNextNameOnAClash)
{
#if defined(_WIN32)
    GTEST_SKIP() << "links are made from the Unix side";
#else
    const std::string victim = At("victim");
    for (const std::string& dir : { m_tempDir, m_dir })
        fs::create_symlink(victim, dir + "/HLN_0000.TMP");
    const std::string path = At("new.drf");
    TFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenWrite("u", path.c_str(), nullptr, nullptr), 1);
    EXPECT_EQ(static_cast<const char*>(coHdl.GetTmpFile()), m_tempDir + "/HLN_0001.TMP");
    ASSERT_EQ(coHdl.WriteTemp(TTextRes("A", "a")), 1);
    ASSERT_EQ(coHdl.Save(), 1);
    coHdl.Close();
    ASSERT_EQ(coHdl.OpenRead(path.c_str(), 1, nullptr), 1);
    EXPECT_EQ(static_cast<const char*>(coHdl.GetTmpFile()), m_tempDir + "/HLN_0001.TMP");
    EXPECT_EQ(LoadedId(coHdl, "A"), "A");
    coHdl.Close();
    EXPECT_FALSE(fs::exists(victim));
#endif
}

// A never-saved new file, then a named one created, edited, saved and read:
// the events, the fields of the header, the files and the bytes that reach
// the file.
TEST_F(TFileHdlFixture, NewFilesAreEditedSavedAndReopened)
{
    TEventLog coLog;
    {
        TFailingSaveHdl coHdl(coLog);
        ASSERT_EQ(coHdl.OpenWrite("me", nullptr, nullptr, nullptr), 1);
        // The next handler takes the next free number.
        TFileHdl coOther;
        ASSERT_EQ(coOther.OpenWrite("me", "", nullptr, nullptr), 1);
        EXPECT_STREQ(coOther.GetResFile(), "NONAME.001");
        coOther.Close();
        // A record under the same id, in any case, replaces the first.
        ASSERT_EQ(coHdl.WriteTemp(TTextRes("One", "first")), 1);
        ASSERT_EQ(coHdl.WriteTemp(TTextRes("ONE", "second")), 1);
        EXPECT_EQ(State(coHdl), "3 res1 r0 w0 / t0 | | hln_0000.tmp noname.000 |");
        // Closing a never-saved new file deletes it and the working file.
        coHdl.Close();
        EXPECT_EQ(State(coHdl), "0 res0 r0 w0 / t0 | | |");
    }
    EXPECT_EQ(coLog.m_text, "PostCreate; OPENED; RESINSERTED One; RESREMOVED One; RESINSERTED One; PostClose; "
                            "CLOSED <NONAME.000>; DESTROYED; ");

    coLog.m_text.clear();
    const std::string path = At("app.drf");
    TFileHdl coHdl;
    coLog.Watch(coHdl);
    ASSERT_EQ(coHdl.OpenWrite("creator", path.c_str(), nullptr, nullptr), 1);
    ASSERT_EQ(coHdl.WriteTemp(TTextRes("Main", "MARK-OLD")), 1);
    ASSERT_EQ(coHdl.WriteTemp(TTextRes("Gone", "MARK-GONE")), 1);
    ASSERT_EQ(coHdl.Save(), 1);
    // Saved once: created fields set, changed fields unset.
    EXPECT_EQ(State(coHdl), "2 res2 r0 w0 creator/ t0 | app.drf | hln_0000.tmp |");
    EXPECT_TRUE(coHdl.GetDateCreated().Valid());
    coHdl.Close();

    // Edit: replace one, remove one; neither old record reaches the file.
    ASSERT_EQ(coHdl.OpenWrite("editor", path.c_str(), nullptr, nullptr), 1);
    EXPECT_EQ(LoadedId(coHdl, "main"), "Main");
    ASSERT_EQ(coHdl.WriteTemp(TTextRes("MAIN", "MARK-NEW")), 1);
    // Each removal: its result and error code.
    auto Remove = [&](auto id) {
        unsigned short unError = 0;
        const int nResult = coHdl.RemoveResource(id, &unError);
        return std::to_string(nResult) + "/" + std::to_string(unError);
    };
    EXPECT_EQ(std::vector<std::string>({ Remove("nothing"), Remove(static_cast<unsigned short>(7)), Remove("gone") }),
              std::vector<std::string>({ "0/200", "0/201", "1/1" }));
    ASSERT_EQ(coHdl.Save(), 1);
    EXPECT_EQ(State(coHdl), "2 res1 r0 w0 creator/editor t1 | app.drf | hln_0000.tmp |");
    const std::string saved = ReadFileBytes(path);
    EXPECT_NE(saved.find("MARK-NEW"), std::string::npos);
    EXPECT_EQ(saved.find("MARK-OLD"), std::string::npos);
    EXPECT_EQ(saved.find("MARK-GONE"), std::string::npos);
    coHdl.Close();
    EXPECT_EQ(coLog.m_text, "OPENED; RESINSERTED Main; RESINSERTED Gone; SAVED; CLOSED <app.drf>; OPENED; "
                            "RESREMOVED Main; RESINSERTED Main; RESREMOVED Gone; SAVED; CLOSED <app.drf>; ");

    // A reader writes nothing; a closed handler neither.
    ASSERT_EQ(coHdl.OpenRead(path.c_str(), 0, nullptr), 1);
    const std::vector<int> refused = { coHdl.Save(), coHdl.WriteTemp(TTextRes("x", "y")),
                                       coHdl.SaveAs(At("other.drf").c_str()) };
    EXPECT_EQ(refused, std::vector<int>({ 102, 102, 102 }));
    EXPECT_EQ(State(coHdl), "1 res1 r0 w0 creator/editor t1 | app.drf | |");
    coHdl.Close();
    EXPECT_EQ(coHdl.WriteTemp(TTextRes("x", "y")), 104);
}

// An editor holds its file against a second editor; a reader of a copy
// blocks nobody, a direct reader blocks the save, which then changes nothing.
TEST_F(TFileHdlFixture, SharingBetweenHandlers)
{
    const std::string path = At("shared.drf");
    MakeFile(path, { { "A", "a" } });
    TFileHdl coEditor;
    ASSERT_EQ(coEditor.OpenWrite("one", path.c_str(), nullptr, nullptr), 1);
    TFileHdl coCopyReader;
    ASSERT_EQ(coCopyReader.OpenRead(path.c_str(), 1, nullptr), 1);
    ASSERT_EQ(coEditor.WriteTemp(TTextRes("B", "b")), 1);
    EXPECT_EQ(coEditor.Save(), 1);
    TFileHdl coDirect;
    ASSERT_EQ(coDirect.OpenRead(path.c_str(), 0, nullptr), 1);
    const std::string before = ReadFileBytes(path);
    EXPECT_EQ(coEditor.Save(), TFileHdl::ErrSaveShare);
    EXPECT_TRUE(ReadFileBytes(path) == before);
    coDirect.Close();
    TFileHdl coSecond;
    EXPECT_EQ(coSecond.OpenWrite("two", path.c_str(), nullptr, nullptr), TFileHdl::ErrShare);
    coEditor.Close();
    EXPECT_EQ(LoadedId(coCopyReader, "A"), "A");
    coCopyReader.Close();
    EXPECT_EQ(coSecond.OpenWrite("two", path.c_str(), nullptr, nullptr), 1);
    coSecond.Close();
    EXPECT_EQ(State(coSecond), "0 res0 r0 w0 / t0 | shared.drf | |");
}

TEST_F(TFileHdlFixture, SaveAsRulesAndProtection)
{
    const std::string path = At("prot.drf");
    TFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenWrite("u", path.c_str(), nullptr, nullptr), 1);
    ASSERT_EQ(coHdl.WriteTemp(TTextRes("R", "r")), 1);
    // Protecting with an empty password is refused and changes nothing.
    EXPECT_EQ(std::vector<int>({ coHdl.MakeReadProtect(1, ""), coHdl.MakeWriteProtect(1, nullptr),
                                 coHdl.IsReadProtect(), coHdl.MakeReadProtect(1, "read\xF6"),
                                 coHdl.MakeWriteProtect(1, "write") }),
              std::vector<int>({ 0, 0, 0, 1, 1 }));
    ASSERT_EQ(coHdl.Save(), 1);
    coHdl.Close();

    // The queries of a closed file, with the flags and codes they give back.
    unsigned short unFlags = 0;
    unsigned short unError = 0;
    EXPECT_EQ(std::vector<int>({ TFileHdl::GetProtection(path.c_str(), coHdl, &unFlags, &unError), unFlags, unError,
                                 TFileHdl::HasReadAccess(path.c_str(), "read\xF6", coHdl, &unError),
                                 TFileHdl::HasWriteAccess(path.c_str(), "read\xF6", coHdl, &unError),
                                 TFileHdl::HasWriteAccess(path.c_str(), "write", coHdl, &unError),
                                 TFileHdl::GetProtection(At("none.drf").c_str(), coHdl, &unFlags, &unError), unError }),
              std::vector<int>({ 1, 3, 1, 1, 0, 1, 0, TFileHdl::ErrNotExist }));

    // Opened without the write password it is readable only; the password
    // can be checked.
    EXPECT_EQ(coHdl.OpenWrite("u", path.c_str(), "bad", nullptr), TFileHdl::ErrNoReadAccess);
    ASSERT_EQ(coHdl.OpenWrite("u", path.c_str(), "read\xF6", "wrong"), 1);
    const int nDenied = TFileHdl::ErrNoWriteAccess;
    EXPECT_EQ(std::vector<int>({ coHdl.HaveReadAccess(), coHdl.HaveWriteAccess(), coHdl.WriteTemp(TTextRes("S", "s")),
                                 coHdl.RemoveResource("R", &unError), unError, coHdl.Save(),
                                 coHdl.MakeReadProtect(0, nullptr), coHdl.CheckReadAccess("write"),
                                 coHdl.CheckWriteAccess("write") }),
              std::vector<int>({ 1, 0, nDenied, 0, nDenied, nDenied, 0, 0, 1 }));
    EXPECT_EQ(State(coHdl), "2 res1 r1 w1 u/ t0 | prot.drf | hln_0000.tmp |");
    coHdl.Close();

    ASSERT_EQ(coHdl.OpenWrite("u", path.c_str(), "read\xF6", "write"), 1);
    const std::string upper = Cased(path, true);
    EXPECT_EQ(std::vector<int>({ coHdl.SaveAs(nullptr), coHdl.SaveAs(""), coHdl.SaveAs(upper.c_str()),
                                 coHdl.SaveAs(path.c_str()) }),
              std::vector<int>({ TFileHdl::ErrNoSaveAsFile, TFileHdl::ErrNoSaveAsFile, TFileHdl::ErrSaveAsSame,
                                 TFileHdl::ErrSaveAsSame }));
    const std::string copy = At("copy.drf");
    ASSERT_EQ(coHdl.SaveAs(copy.c_str()), 1);
    // The copy is not protected, and the handler now edits it and holds it.
    EXPECT_EQ(State(coHdl), "2 res1 r0 w0 u/ t0 | copy.drf prot.drf | hln_0000.tmp |");
    TFileHdl coOther;
    EXPECT_EQ(coOther.OpenWrite("o", copy.c_str(), nullptr, nullptr), TFileHdl::ErrShare);
    ASSERT_EQ(coOther.OpenWrite("o", path.c_str(), "read\xF6", nullptr), 1);
    EXPECT_EQ(coOther.IsReadProtect() + coOther.IsWriteProtect(), 2);
    coOther.Close();
    coHdl.Close();
    ASSERT_EQ(coHdl.OpenRead(copy.c_str(), 0, nullptr), 1);
    EXPECT_EQ(LoadedId(coHdl, "R"), "R");
}

TEST_F(TFileHdlFixture, FailedSaveLeavesTheOldFileAndTheHandlerAsTheyWere)
{
    const std::string path = At("atomic.drf");
    MakeFile(path, { { "Keep", "kept" }, { "Other", "other" } });
    const std::string before = ReadFileBytes(path);
    TEventLog coLog;
    TFailingSaveHdl coHdl(coLog);
    ASSERT_EQ(coHdl.OpenWrite("editor", path.c_str(), nullptr, nullptr), 1);
    ASSERT_EQ(coHdl.WriteTemp(TTextRes("New", "MARK-NEW")), 1);
    coHdl.m_nFail = 1;
    coLog.m_text.clear();
    EXPECT_EQ(coHdl.Save(), TFileHdl::ErrWriteResource);
    EXPECT_EQ(coLog.m_text, "PreSave; Start; End; ");
    EXPECT_TRUE(ReadFileBytes(path) == before);
    // No half-written file stays behind, and the lock is back.
    EXPECT_EQ(State(coHdl), "2 res3 r0 w0 maker/ t0 | atomic.drf | hln_0000.tmp |");
    TFileHdl coOther;
    EXPECT_EQ(coOther.OpenWrite("o", path.c_str(), nullptr, nullptr), TFileHdl::ErrShare);
    // A save after the failure writes everything.
    coHdl.m_nFail = 0;
    ASSERT_EQ(coHdl.Save(), 1);
    coHdl.Close();
    ASSERT_EQ(coOther.OpenRead(path.c_str(), 0, nullptr), 1);
    EXPECT_EQ(LoadedId(coOther, "Keep") + "," + LoadedId(coOther, "New"), "Keep,New");
    coOther.Close();

    // A new file's failed first save keeps the empty placeholder and the
    // unsaved state; SaveAs fails the same way and leaves no new file.
    const std::string fresh = At("fresh.drf");
    ASSERT_EQ(coHdl.OpenWrite("first", fresh.c_str(), nullptr, nullptr), 1);
    ASSERT_EQ(coHdl.WriteTemp(TTextRes("X", "x")), 1);
    coHdl.m_nFail = 1;
    EXPECT_EQ(coHdl.Save(), TFileHdl::ErrWriteResource);
    EXPECT_EQ(fs::file_size(fresh), 0u);
    ASSERT_EQ(coHdl.MakeWriteProtect(1, "pw"), 1);
    EXPECT_EQ(coHdl.SaveAs(At("elsewhere.drf").c_str()), TFileHdl::ErrWriteResource);
    EXPECT_EQ(State(coHdl), "3 res1 r0 w1 / t0 | atomic.drf fresh.drf | hln_0000.tmp |");
    coHdl.m_nFail = 0;
    ASSERT_EQ(coHdl.SaveAs(At("elsewhere.drf").c_str()), 1);
    // The never-saved placeholder goes once the new file exists.
    EXPECT_EQ(State(coHdl), "2 res1 r0 w0 first/ t0 | atomic.drf elsewhere.drf | hln_0000.tmp |");
    coHdl.Close();
    EXPECT_EQ(State(coHdl), "0 res0 r0 w0 / t0 | atomic.drf elsewhere.drf | |");
}

TEST_F(TFileHdlFixture, DamagedFilesOpenForEditingWithACodeAndNothingLeft)
{
    const std::string path = At("good.drf");
    MakeFile(path, { { "A", "alpha" }, { "B", "beta" } });
    const std::string bytes = ReadFileBytes(path);
    const std::string bad = At("bad.drf");
    TFileHdl coHdl;
    for (size_t n = 0; n < bytes.size(); n += 3) {
        WriteFileBytes(bad, bytes.substr(0, n));
        const unsigned short unCode = coHdl.OpenWrite("u", bad.c_str(), nullptr, nullptr);
        EXPECT_TRUE(unCode == 13 || unCode == 14 || unCode == 17) << n << " " << unCode;
        // The damaged file itself is not touched.
        EXPECT_EQ(State(coHdl), "0 res0 r0 w0 / t0 | bad.drf good.drf | |") << n;
        EXPECT_TRUE(ReadFileBytes(bad) == bytes.substr(0, n));
    }
    // A record damaged inside its range loads as none with a message.
    class TNoteHdl : public TFileHdl {
    public:
        void DisplayMessage(const char* pszText) override { m_messages.push_back(pszText); }
        std::vector<std::string> m_messages;
    } coNote;
    std::string broken = bytes;
    broken[broken.find("alpha") - 2] = static_cast<char>(0x7F);   // the text's length
    WriteFileBytes(bad, broken);
    ASSERT_EQ(coNote.OpenWrite("u", bad.c_str(), nullptr, nullptr), 1);
    EXPECT_EQ(coNote.LoadResource("A", nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(coNote.m_messages, std::vector<std::string> { "Resource file is damaged!" });
    EXPECT_EQ(LoadedId(coNote, "B"), "B");
}

namespace {

// A text and a long array besides the identifier, variables 1 and 2: what
// it holds it writes, and what it reads it keeps.
class TBigRes : public TResource {
public:
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override
    {
        if (coVar.MyId() == 1 && static_cast<const char*>(coVar))
            m_text = static_cast<const char*>(coVar);
        for (int i = 0; coVar.MyId() == 2 && i < coVar.GetCount(); ++i)
            m_values.push_back(static_cast<long>(coVar[i]));
        return TResource::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
    std::string m_text;
    std::vector<long> m_values;

protected:
    void WriteData(TFile& coFile) const override
    {
        TResource::WriteData(coFile);
        TResString(1, m_text.c_str()).Write(coFile);
        TResLong(2, m_values.data(), static_cast<unsigned short>(m_values.size())).Write(coFile);
    }
};

} // namespace

// Records larger than the blocks of the save buffer and of the read cache,
// and variables of 64 KiB and more (the longest text, 65,535 characters,
// and an array of 65,536 bytes), load alike with the cache off and on.
TEST_F(TFileHdlFixture, SmallBuffersAndTheReadCacheTakeRecordsInPieces)
{
    const std::string path = At("big.drf");
    TBigRes coWritten;
    coWritten.SetResId("Big");
    coWritten.m_text.assign(65535, 'x');
    for (size_t i = 0; i < coWritten.m_text.size(); i += 97)
        coWritten.m_text[i] = static_cast<char>('a' + i % 26);
    for (long i = 0; i < 16384; ++i)
        coWritten.m_values.push_back(i * 7919);
    TFileHdl coHdl;
    EXPECT_EQ(coHdl.SetBlockBufferSize(1), 256);
    ASSERT_EQ(coHdl.OpenWrite("u", path.c_str(), nullptr, nullptr), 1);
    ASSERT_EQ(coHdl.WriteTemp(coWritten), 1);
    ASSERT_EQ(coHdl.WriteTemp(TTextRes("Small", "s")), 1);
    ASSERT_EQ(coHdl.Save(), 1);
    coHdl.Close();

    coHdl.SetBlockBufferSize(256);
    for (int nCache = 0; nCache < 2; ++nCache) {
        SCOPED_TRACE(nCache);
        coHdl.SetReadCache(nCache);
        ASSERT_EQ(coHdl.OpenRead(path.c_str(), nCache, nullptr), 1);
        TBigRes coBig;
        TBigRes coSmall;
        ASSERT_EQ(coHdl.LoadResource("Big", &coBig, nullptr, 0), &coBig);
        ASSERT_EQ(coHdl.LoadResource("small", &coSmall, nullptr, 0), &coSmall);
        EXPECT_TRUE(coBig.m_text == coWritten.m_text);
        EXPECT_TRUE(coBig.m_values == coWritten.m_values);
        EXPECT_EQ(coSmall.m_text, "s");
        coHdl.Close();
    }
}
