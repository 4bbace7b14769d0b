#pragma once

#include "KwCheckRecord.h"
#include "KwProgramDescription.h"

#include <memory>
#include <string>
#include <vector>

// kwtcheck's check of a resource file against what a program will bind,
// offline: the file with the include files it names (installed as the
// resource manager would: base files first, each once), their include
// libraries loaded, and every record of every file looked at.
//
// - every record's class is registered (by this process, its include
//   libraries or the given descriptions) and is a resource class;
// - every stored link "event@Class::Function@view" is well formed, its
//   event is one of the record's class, its view object is a window of
//   the installed files whose class is Class or derives from it, and (when
//   member link tables were given) a table lists the view with the
//   function;
// - every include file is found and readable, no file includes itself
//   through others, every include library loads;
// - every picture's stored data fits (KwPictureCheck), and a picture named
//   by its file finds a bitmap file there;
// - no record is damaged, and no id is hidden by the same id in a file
//   installed before.
//
// Include files and picture files are looked for as named, then in the
// include directories given, then along PATH.
class KwResFileCheck {
public:
    struct TFinding {
        std::string strFile;   // the file as it was named
        std::string strPath;   // the resource path ("FW_MAIN/CW_LIST"); empty for the file itself
        std::string strText;
        std::string Line() const;
    };

    KwResFileCheck();
    ~KwResFileCheck();
    KwResFileCheck(const KwResFileCheck&) = delete;
    KwResFileCheck& operator=(const KwResFileCheck&) = delete;

    // Options
    void AddIncludeDirectory(const char* pszDirectory) { m_vecDirectories.emplace_back(pszDirectory); }
    // What a program declares (member link tables, its own classes); once
    // one is given, links are compared with member link tables.
    void AddDescription(const KwProgramDescription& coDescription);

    // 0 when the file itself cannot be read (GetError says why); else 1,
    // and the findings are those of the file and all it installs.
    int Check(const char* pszFile);
    const std::vector<TFinding>& GetFindings() const { return m_vecFindings; }
    const std::string& GetError() const { return m_strError; }
    int LinksChecked() const { return m_bTablesGiven ? 1 : 0; }
    size_t GetFileCount() const;
    size_t GetRecordCount() const { return m_nRecords; }

    // A file looked for as include and picture files are; empty when it is
    // not found.
    std::string Find(const std::string& strName) const;

private:
    struct TFile;
    struct TPlace;

    std::unique_ptr<TFile> Load(const std::string& strPath, const std::string& strName, std::string& strError);
    void Install(std::unique_ptr<TFile> pcoFile, std::vector<std::string>& vecStack);
    void LoadLibraries();
    void CheckRecord(const TPlace& coPlace);
    void CheckClass(const TPlace& coPlace);
    void CheckPicture(const TPlace& coPlace);
    void CheckLink(const TPlace& coPlace, const std::string& strLink);
    const KwCheckRecord* FindView(const TPlace& coPlace, const std::string& strView) const;
    // The class an object of the record is made of: its C++ class when
    // that one is known, else its class.
    std::string MadeClass(const KwCheckRecord& coRecord) const;
    void Add(const std::string& strFile, const std::string& strPath, const std::string& strText);

    std::vector<std::string> m_vecDirectories;
    KwProgramDescription m_coGiven;
    KwProgramDescription m_coKnown;
    bool m_bTablesGiven { false };
    std::vector<std::unique_ptr<TFile>> m_vecInstalled;   // base files first
    std::vector<std::string> m_vecUnreadable;             // lower-case base names
    std::vector<TFinding> m_vecFindings;
    std::string m_strError;
    size_t m_nRecords { 0 };
};
