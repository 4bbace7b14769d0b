#include "KwFileDialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Readable(const std::vector<char>& coFilter)
{
    std::string strText;
    for (char ch : coFilter)
        strText += ch ? ch : '0';
    return strText;
}

// A dialog whose system part answers as a user would: the chosen path and
// file name as the system writes them, or a cancel.
class TAnsweredDialog : public KwFileDialog {
public:
    using KwFileDialog::KwFileDialog;
    const char* pszChosenPath { nullptr };
    std::string strFilterSeen;

protected:
    int RunSystemDialog(const std::vector<char>& coFilter) override
    {
        strFilterSeen = Readable(coFilter);
        if (!pszChosenPath)
            return 0;
        std::strncpy(PathBuffer(), pszChosenPath, NameSize - 1);
        const char* pszName = std::strrchr(pszChosenPath, '\\');
        std::strncpy(FileBuffer(), pszName ? pszName + 1 : pszChosenPath, NameSize - 1);
        return 1;
    }
};

} // namespace

TEST(KwFileDialogTest, FilterBecomesZeroSeparatedPairsWithoutTheSpacesAroundBars)
{
    const struct { const char* pszFilter; const char* pszResult; } s_aCases[] = {
        { "Text files | *.txt | All | *.*", "Text files0*.txt0All0*.*00" },
        { "Text files|*.txt", "Text files0*.txt00" },
        { "A   |   *.a||ignored", "A0*.a00" },   // a doubled bar ends the filter
        { "x", "x00" },                          // shorter than two characters
        { "|", "000" },
        { "", "" },
    };
    for (const auto& coCase : s_aCases)
        EXPECT_EQ(Readable(KwFileDialog::ConvertFilter(coCase.pszFilter)), coCase.pszResult) << coCase.pszFilter;
    EXPECT_TRUE(KwFileDialog::ConvertFilter(nullptr).empty());
}

// The name the user chose comes back as chosen; only an extension the
// dialog added behind the same one typed by the user goes.
TEST(KwFileDialogTest, ResultKeepsTheChosenNameAndCutsOnlyADoubledDefaultExtension)
{
    const struct { const char* pszDefault; const char* pszChosen; const char* pszPath; const char* pszFile; } s_aCases[] = {
        { "txt", "C:\\docs\\report.txt.txt", "C:\\docs\\report.txt", "report.txt" },
        { "txt", "C:\\docs\\report.TXT.txt", "C:\\docs\\report.TXT", "report.TXT" },
        { ".txt", "C:\\docs\\report.txt.txt", "C:\\docs\\report.txt", "report.txt" },
        { "txt", "C:\\docs\\report.v1.txt", "C:\\docs\\report.v1.txt", "report.v1.txt" },
        { "txt", "C:\\a.b\\c.txt", "C:\\a.b\\c.txt", "c.txt" },
        { "txt", "C:\\a.txt\\.txt.txt", "C:\\a.txt\\.txt.txt", ".txt.txt" },   // nothing before the doubled part
        { "txt", "C:\\x.txt.txt\\name", "C:\\x.txt.txt\\name", "name" },      // only the name part counts
        { "doc", "C:\\docs\\report.txt.txt", "C:\\docs\\report.txt.txt", "report.txt.txt" },
        { nullptr, "C:\\docs\\report.txt.txt", "C:\\docs\\report.txt.txt", "report.txt.txt" },
        { "txt", "report.txt.txt", "report.txt", "report.txt" },
    };
    for (const auto& coCase : s_aCases) {
        TAnsweredDialog coDialog(KwFileDialog::TypeSave, coCase.pszDefault, "C:\\docs\\", "start.txt", "All|*.*", "Save", nullptr);
        coDialog.pszChosenPath = coCase.pszChosen;
        EXPECT_EQ(coDialog.StartModal(), 1);
        EXPECT_STREQ(coDialog.GetPath(), coCase.pszPath) << coCase.pszChosen;
        EXPECT_STREQ(coDialog.GetFile(), coCase.pszFile) << coCase.pszChosen;
        EXPECT_EQ(coDialog.strFilterSeen, "All0*.*00");
    }
}

TEST(KwFileDialogTest, CancelEmptiesPathAndFile)
{
    TAnsweredDialog coDialog(KwFileDialog::TypeOpen, "txt", "C:\\docs", "start.txt", nullptr, nullptr, nullptr);
    EXPECT_STREQ(coDialog.GetPath(), "start.txt");
    EXPECT_EQ(coDialog.StartModal(), 0);
    EXPECT_STREQ(coDialog.GetPath(), "");
    EXPECT_STREQ(coDialog.GetFile(), "");
    EXPECT_EQ(coDialog.strFilterSeen, "");
}

TEST(KwFileDialogTest, SettingsAreCopiedOwnedAndCut)
{
    const std::string strLong(300, 'n');
    KwFileDialog coDialog(7, "txt", "C:\\docs\\", strLong.c_str(), "All|*.*", "Title", nullptr);
    EXPECT_FALSE(coDialog.IsOpenDialog());
    EXPECT_STREQ(coDialog.GetInitialDirectory(), "C:\\docs");
    EXPECT_EQ(std::strlen(coDialog.GetPath()), KwFileDialog::NameSize - 1);
    {
        KwFileDialog coCopy(coDialog);
        KwFileDialog coAssigned;
        coAssigned = coDialog;
        EXPECT_NE(coCopy.GetFilter(), coDialog.GetFilter());   // each its own string
        EXPECT_STREQ(coAssigned.GetTitle(), "Title");
        EXPECT_STREQ(coAssigned.GetPath(), coDialog.GetPath());
    }
    EXPECT_STREQ(coDialog.GetDefaultExtension(), "txt");   // still there after the copies died
    coDialog.InitData(KwFileDialog::TypeOpen, nullptr, "C:\\", coDialog.GetFilter(), coDialog.GetFilter(), nullptr);
    EXPECT_STREQ(coDialog.GetInitialDirectory(), "C:\\");   // a drive's root keeps its backslash
    EXPECT_STREQ(coDialog.GetPath(), "All|*.*");
    EXPECT_EQ(coDialog.GetDefaultExtension(), nullptr);
    EXPECT_TRUE(coDialog.IsOpenDialog());
}
