#include "KwTestApp.h"

#include "KwFileDialog.h"
#include "KwWFrame.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <string>

// The system's open dialog, run by the framework's dialog object and
// answered from inside its modal loop: a name is typed and Open pressed.
TEST(KwFileDialogGuiTest, RealOpenDialogAnsweredFromInsideItsLoop)
{
    char szTemp[MAX_PATH];
    ASSERT_GT(::GetTempPathA(sizeof szTemp, szTemp), 0u);
    const std::string strDir = std::string(szTemp) + "kw-filedialog-test";
    ::CreateDirectoryA(strDir.c_str(), nullptr);
    const std::string strFile = strDir + "\\report.v1.txt";
    HANDLE hFile = ::CreateFileA(strFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    ::CloseHandle(hFile);

    char szWasCurrent[MAX_PATH] {};
    ASSERT_GT(::GetCurrentDirectoryA(sizeof szWasCurrent, szWasCurrent), 0u);
    KwWFrame* pcoOwner = kw25test::OpenFrame("FW_OWNER", KwPoint(100, 100), KwSize(300, 200), "Owner");
    KwFileDialog coDialog(KwFileDialog::TypeOpen, "txt", (strDir + "\\").c_str(), nullptr, "Text files | *.txt | All | *.*",
                          "Pick a report", pcoOwner);
    HWND hOwnerDuringDialog = nullptr;
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Pick a report"), [&](HWND hDialog) {
        hOwnerDuringDialog = ::GetWindow(hDialog, GW_OWNER);
        kwtest::ScreenshotWindow(hDialog);
        // The name field: the combo box of the Explorer-style dialog, the
        // edit field of the old one.
        if (!::SetDlgItemTextA(hDialog, 0x47C, "report.v1.txt"))
            ::SetDlgItemTextA(hDialog, 0x480, "report.v1.txt");
        ::PostMessageA(hDialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(coDialog.StartModal(), 1);
    EXPECT_TRUE(coAnswer.Answered());
    EXPECT_EQ(hOwnerDuringDialog, kw25test::Hwnd(*pcoOwner));
    EXPECT_STREQ(coDialog.GetFile(), "report.v1.txt");
    EXPECT_EQ(::lstrcmpiA(coDialog.GetPath(), strFile.c_str()), 0) << coDialog.GetPath();
    // The directory chosen in the dialog does not become the process's.
    char szCurrent[MAX_PATH] {};
    ::GetCurrentDirectoryA(sizeof szCurrent, szCurrent);
    EXPECT_STREQ(szCurrent, szWasCurrent);

    kwtest::TModalAnswer coCancel = kwtest::AnswerWhen(kwtest::WindowTitled("Pick a report"), [](HWND hDialog) {
        ::PostMessageA(hDialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(coDialog.StartModal(), 0);
    EXPECT_STREQ(coDialog.GetPath(), "");
    pcoOwner->Destroy();
    ::DeleteFileA(strFile.c_str());
    ::RemoveDirectoryA(strDir.c_str());
}
