#pragma once

#include "Kw25Api.h"
#include "TResource.h"
#include "TString.h"

#include <utility>
#include <vector>

// The project information of a GUI resource file, kept in every file as the
// resource "__KwProjectInfo". At run time the framework uses the include
// projects (base resource files installed before this one), the include
// libraries (loaded before its windows are read) and the default font
// table; the rest belongs to the tools that write the file.
//
// Record: class "KwFileHdlInfo", type 31, and after the id (21) the
// variables 26 to 29 and 9950 to 9959 listed below, in this order: 26, 27,
// 28, 29, 9959, 9950 to 9958.
class KW25_API KwFileHdlInfo : public TResource {
    KW_DYNAMIC_CLASS(KwFileHdlInfo, TResource)
public:
    enum : unsigned short {
        VarDescription = 26,      // string
        VarCopyright = 27,        // string
        VarSourcePath = 28,       // string
        VarIncludeProjects = 29,  // string array (written when not empty)
        VarMainWndId = 9950,      // string
        VarAppHppFile = 9951,     // string
        VarAppCppFile = 9952,     // string
        VarAppClassName = 9953,   // string
        VarAppVar = 9954,         // string
        VarAppClassDesc = 9955,   // string
        VarMainParams = 9956,     // short
        VarCustomClasses = 9957,  // string array "class,second name" (written when not empty)
        VarDefFontTable = 9958,   // string
        VarIncludeLibs = 9959,    // string array (written when not empty)
    };
    static const char* GetProjectInfoId() { return "__KwProjectInfo"; }

    KwFileHdlInfo();
    KwFileHdlInfo(const KwFileHdlInfo& coOther) = default;
    KwFileHdlInfo& operator=(const KwFileHdlInfo& coOther) = default;
    ~KwFileHdlInfo() override = default;

    void Empty();

    // Texts
    const TString& GetDescription() const { return m_coDescription; }
    void SetDescription(const char* pszText) { m_coDescription = pszText; }
    const TString& GetCopyright() const { return m_coCopyright; }
    void SetCopyright(const char* pszText) { m_coCopyright = pszText; }
    const TString& GetSourcePath() const { return m_coSourcePath; }
    void SetSourcePath(const char* pszText) { m_coSourcePath = pszText; }
    const TString& GetMainWndId() const { return m_coMainWndId; }
    void SetMainWndId(const char* pszText) { m_coMainWndId = pszText; }
    const TString& GetAppHppFile() const { return m_coAppHppFile; }
    const TString& GetAppCppFile() const { return m_coAppCppFile; }
    const TString& GetAppClassName() const { return m_coAppClassName; }
    const TString& GetAppVar() const { return m_coAppVar; }
    const TString& GetAppClassDesc() const { return m_coAppClassDesc; }
    short GetMainParams() const { return m_nMainParams; }
    void SetMainParams(short nParams) { m_nMainParams = nParams; }
    const TString& GetDefFontTable() const { return m_coDefFontTable; }
    void SetDefFontTable(const char* pszId) { m_coDefFontTable = pszId; }

    // Include projects and libraries: names without duplicates (compared
    // without regard to case); adding a present or empty name answers 0.
    const std::vector<TString>& GetIncludeProjects() const { return m_coIncludeProjects; }
    int AddIncludeProject(const char* pszName) { return AddName(m_coIncludeProjects, pszName); }
    const std::vector<TString>& GetIncludeLibs() const { return m_coIncludeLibs; }
    int AddIncludeLib(const char* pszName) { return AddName(m_coIncludeLibs, pszName); }
    // Custom classes: (class, second name), sorted by class name.
    const std::vector<std::pair<TString, TString>>& GetCustomClasses() const { return m_coCustomClasses; }
    void AddCustomClass(const char* pszClass, const char* pszSecond);

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    int NotifyReadBegin() override;
    void WriteData(TFile& coFile) const override;

private:
    static int AddName(std::vector<TString>& coNames, const char* pszName);

    TString m_coDescription;
    TString m_coCopyright;
    TString m_coSourcePath;
    std::vector<TString> m_coIncludeProjects;
    std::vector<TString> m_coIncludeLibs;
    TString m_coMainWndId;
    TString m_coAppHppFile;
    TString m_coAppCppFile;
    TString m_coAppClassName;
    TString m_coAppVar;
    TString m_coAppClassDesc;
    short m_nMainParams { 0 };
    std::vector<std::pair<TString, TString>> m_coCustomClasses;
    TString m_coDefFontTable;
};
