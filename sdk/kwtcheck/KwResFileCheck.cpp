#include "KwResFileCheck.h"

#include "KwDib.h"
#include "KwPictureCheck.h"
#include "TCrt.h"
#include "TOpSystem.h"
#include "TResVar.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

namespace {

const char ProjectInfoId[] = "__KwProjectInfo";
enum : unsigned short {
    VarLink = 22,
    VarIncludeProjects = 29,
    VarIncludeLibraries = 9959,
};

std::string Lower(std::string str)
{
    for (char& ch : str)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return str;
}

// The name after the last directory separator or drive colon.
std::string BaseName(const std::string& strName)
{
    const size_t n = strName.find_last_of("\\/:");
    return n == std::string::npos ? strName : strName.substr(n + 1);
}

bool Exists(const std::string& strPath)
{
    std::FILE* pFile = std::fopen(strPath.c_str(), "rb");
    if (pFile)
        std::fclose(pFile);
    return pFile != nullptr;
}

std::string Join(const std::string& strDirectory, const std::string& strName)
{
    if (strDirectory.empty())
        return strName;
    const char chLast = strDirectory.back();
    if (chLast == '\\' || chLast == '/' || chLast == CrtPathSeparator())
        return strDirectory + strName;
    return strDirectory + CrtPathSeparator() + strName;
}

// The texts of the string variables of one id, in order, without empties.
std::vector<std::string> Texts(const KwCheckRecord& coRecord, unsigned short unId)
{
    std::vector<std::string> vec;
    for (const KwCheckVariable& coVar : coRecord.GetVariables()) {
        if (coVar.unId != unId || coVar.unType != TResVar::TypeString)
            continue;
        for (const std::string& str : coVar.vecTexts) {
            if (!str.empty())
                vec.push_back(str);
        }
    }
    return vec;
}

bool HasVariableIn(const KwCheckRecord& coRecord, unsigned short unFirst, unsigned short unLast)
{
    const auto& vecVars = coRecord.GetVariables();
    return std::any_of(vecVars.begin(), vecVars.end(),
                       [&](const KwCheckVariable& coVar) { return coVar.unId >= unFirst && coVar.unId <= unLast; });
}

std::string Quoted(const std::string& str)
{
    return "\"" + str + "\"";
}

} // namespace

struct KwResFileCheck::TFile {
    std::string strName;   // as named: the checked file or an include name
    std::string strBase;   // lower-case base name: the identity of an installation
    std::vector<std::unique_ptr<KwCheckRecord>> vecRecords;
    std::vector<std::string> vecIncludes;
    std::vector<std::string> vecLibraries;
};

// One record in its file and tree while it is checked.
struct KwResFileCheck::TPlace {
    const TFile& coFile;
    const KwCheckRecord& coRecord;
    std::string strPath;
    std::vector<const KwCheckRecord*> vecAncestors;   // from the top-level record down to the parent
};

std::string KwResFileCheck::TFinding::Line() const
{
    return strFile + ": " + (strPath.empty() ? "" : strPath + ": ") + strText;
}

KwResFileCheck::KwResFileCheck() = default;

KwResFileCheck::~KwResFileCheck() = default;

void KwResFileCheck::AddDescription(const KwProgramDescription& coDescription)
{
    m_coGiven.Add(coDescription);
    m_bTablesGiven = true;
}

size_t KwResFileCheck::GetFileCount() const
{
    return m_vecInstalled.size();
}

void KwResFileCheck::Add(const std::string& strFile, const std::string& strPath, const std::string& strText)
{
    m_vecFindings.push_back({ strFile, strPath, strText });
}

std::string KwResFileCheck::Find(const std::string& strName) const
{
    if (strName.empty())
        return std::string();
    if (Exists(strName))
        return strName;
    const std::string strBase = BaseName(strName);
    for (const std::string& strDirectory : m_vecDirectories) {
        if (Exists(Join(strDirectory, strBase)))
            return Join(strDirectory, strBase);
    }
    const std::string strSearch = static_cast<const char*>(CurrentOS().GetEnvVar("PATH"));
    for (size_t nBegin = 0; nBegin <= strSearch.size();) {
        size_t nEnd = strSearch.find(CrtPathListSeparator(), nBegin);
        if (nEnd == std::string::npos)
            nEnd = strSearch.size();
        const std::string strDirectory = strSearch.substr(nBegin, nEnd - nBegin);
        if (!strDirectory.empty() && Exists(Join(strDirectory, strBase)))
            return Join(strDirectory, strBase);
        nBegin = nEnd + 1;
    }
    return std::string();
}

// Loading and installing

std::unique_ptr<KwResFileCheck::TFile> KwResFileCheck::Load(const std::string& strPath, const std::string& strName,
                                                            std::string& strError)
{
    KwCheckFileHdl coHdl;
    const unsigned short unCode = coHdl.OpenRead(strPath.c_str(), 0, nullptr);
    if (unCode != TFileHdl::Success) {
        strError = static_cast<const char*>(TFileHdl::GetError(unCode, strPath.c_str()));
        return nullptr;
    }
    auto pcoFile = std::make_unique<TFile>();
    pcoFile->strName = strName;
    pcoFile->strBase = Lower(BaseName(strName));
    const TFileHeader& coHeader = coHdl.GetHeader();
    for (short i = 0; i < coHeader.GetIndexCount(); ++i) {
        const std::string strId = static_cast<const char*>(coHdl.GetResInfo(static_cast<unsigned short>(i)).GetId());
        if (!coHeader[i]->HasData()) {
            Add(strName, strId, "the index names a record that the file does not hold");
            continue;
        }
        std::vector<std::string> vecMessages;
        std::unique_ptr<KwCheckRecord> pcoRecord = coHdl.Load(i, vecMessages);
        for (const std::string& strMessage : vecMessages)
            Add(strName, strId, "the record cannot be read: " + strMessage);
        if (!pcoRecord && vecMessages.empty())
            Add(strName, strId, "the record names no class; the reader skips it");
        if (!pcoRecord)
            continue;
        if (pcoRecord->HasResId(ProjectInfoId)) {
            pcoFile->vecIncludes = Texts(*pcoRecord, VarIncludeProjects);
            pcoFile->vecLibraries = Texts(*pcoRecord, VarIncludeLibraries);
        }
        pcoFile->vecRecords.push_back(std::move(pcoRecord));
    }
    return pcoFile;
}

// Installs the file's include files first, as the resource manager does,
// each file once; a file that is being installed and named again closes a
// cycle.
void KwResFileCheck::Install(std::unique_ptr<TFile> pcoFile, std::vector<std::string>& vecStack)
{
    vecStack.push_back(pcoFile->strName);
    for (const std::string& strInclude : pcoFile->vecIncludes) {
        const std::string strBase = Lower(BaseName(strInclude));
        const auto itOpen = std::find_if(vecStack.begin(), vecStack.end(),
                                         [&](const std::string& str) { return Lower(BaseName(str)) == strBase; });
        if (itOpen != vecStack.end()) {
            std::string strCycle;
            for (auto it = itOpen; it != vecStack.end(); ++it)
                strCycle += *it + " -> ";
            Add(pcoFile->strName, ProjectInfoId, "include cycle: " + strCycle + strInclude);
            continue;
        }
        const bool bDone = std::any_of(m_vecInstalled.begin(), m_vecInstalled.end(),
                                       [&](const std::unique_ptr<TFile>& pco) { return pco->strBase == strBase; });
        if (bDone || std::find(m_vecUnreadable.begin(), m_vecUnreadable.end(), strBase) != m_vecUnreadable.end())
            continue;
        const std::string strPath = Find(strInclude);
        std::string strError;
        std::unique_ptr<TFile> pcoInclude = strPath.empty() ? nullptr : Load(strPath, strInclude, strError);
        if (!pcoInclude) {
            m_vecUnreadable.push_back(strBase);
            Add(pcoFile->strName, ProjectInfoId,
                "include file " + Quoted(strInclude) + (strPath.empty() ? " is not found" : " cannot be read: " + strError));
            continue;
        }
        Install(std::move(pcoInclude), vecStack);
    }
    vecStack.pop_back();
    m_vecInstalled.push_back(std::move(pcoFile));
}

void KwResFileCheck::LoadLibraries()
{
    std::vector<std::string> vecLoaded;
    for (const auto& pcoFile : m_vecInstalled) {
        for (const std::string& strLibrary : pcoFile->vecLibraries) {
            if (std::find(vecLoaded.begin(), vecLoaded.end(), Lower(strLibrary)) != vecLoaded.end())
                continue;
            vecLoaded.push_back(Lower(strLibrary));
            if (!CurrentOS().ModuleManager().Load(strLibrary.c_str()))
                Add(pcoFile->strName, ProjectInfoId, "include library " + Quoted(strLibrary) + " cannot be loaded");
        }
    }
}

int KwResFileCheck::Check(const char* pszFile)
{
    m_vecInstalled.clear();
    m_vecUnreadable.clear();
    m_vecFindings.clear();
    m_strError.clear();
    m_nRecords = 0;
    const std::string strName = pszFile ? pszFile : "";
    std::unique_ptr<TFile> pcoMain = Load(strName, strName, m_strError);
    if (!pcoMain)
        return 0;
    std::vector<std::string> vecStack;
    Install(std::move(pcoMain), vecStack);
    LoadLibraries();
    // Known once the libraries are loaded: what this process registered
    // and what the program declares.
    m_coKnown = KwProgramDescription::FromProcess();
    m_coKnown.Add(m_coGiven);

    std::map<std::string, const TFile*> mapFirst;   // lower-case id: the file the manager finds it in
    for (const auto& pcoFile : m_vecInstalled) {
        for (const auto& pcoRecord : pcoFile->vecRecords) {
            const std::string strId = static_cast<const char*>(pcoRecord->GetResId());
            const auto [it, bNew] = mapFirst.emplace(Lower(strId), pcoFile.get());
            // Every file has project information of its own.
            if (!bNew && !strId.empty() && !pcoRecord->HasResId(ProjectInfoId))
                Add(pcoFile->strName, strId, "hidden by the record of the same id in " + it->second->strName
                                                 + ", which is installed first");
            CheckRecord({ *pcoFile, *pcoRecord, pcoRecord->PathName(0), {} });
        }
    }
    return 1;
}

// Records

std::string KwResFileCheck::MadeClass(const KwCheckRecord& coRecord) const
{
    const char* pszCpp = coRecord.GetCppClass();
    if (pszCpp && *pszCpp && m_coKnown.HasClass(pszCpp))
        return m_coKnown.ClassName(pszCpp);
    const char* pszClass = m_coKnown.ClassName(coRecord.GetClass().c_str());
    return pszClass ? pszClass : coRecord.GetClass();
}

void KwResFileCheck::CheckRecord(const TPlace& coPlace)
{
    ++m_nRecords;
    const KwCheckRecord& coRecord = coPlace.coRecord;
    if (coRecord.GetClass().empty()) {
        Add(coPlace.coFile.strName, coPlace.strPath, "the record names no class; the reader skips it and its children");
        return;
    }
    // The project information is read into the handler's own object, so
    // its class is never made.
    if (!coPlace.vecAncestors.empty() || !coRecord.HasResId(ProjectInfoId))
        CheckClass(coPlace);
    CheckPicture(coPlace);
    for (const KwCheckVariable& coVar : coRecord.GetVariables()) {
        if (coVar.unId == VarLink && coVar.unType == TResVar::TypeString && coVar.unCount <= 1 && !coVar.vecTexts[0].empty())
            CheckLink(coPlace, coVar.vecTexts[0]);
    }
    std::vector<const KwCheckRecord*> vecAncestors = coPlace.vecAncestors;
    vecAncestors.push_back(&coRecord);
    for (size_t i = 0; i < coRecord.GetChildCount(); ++i) {
        const KwCheckRecord& coChild = coRecord.GetChild(i);
        CheckRecord({ coPlace.coFile, coChild, coPlace.strPath + "/" + coChild.PathName(i + 1), vecAncestors });
    }
}

void KwResFileCheck::CheckClass(const TPlace& coPlace)
{
    const std::string& strClass = coPlace.coRecord.GetClass();
    if (!m_coKnown.HasClass(strClass.c_str()))
        Add(coPlace.coFile.strName, coPlace.strPath, "class " + Quoted(strClass) + " is not registered");
    else if (m_coKnown.IsChainKnown(strClass.c_str()) && !m_coKnown.IsClassFamily(strClass.c_str(), "TResource"))
        Add(coPlace.coFile.strName, coPlace.strPath, "class " + Quoted(strClass) + " is no resource class");
}

void KwResFileCheck::CheckPicture(const TPlace& coPlace)
{
    const KwCheckRecord& coRecord = coPlace.coRecord;
    const std::string strClass = MadeClass(coRecord);
    const bool bBitmap = m_coKnown.IsClassFamily(strClass.c_str(), "KwBitmap");
    const bool bDib = m_coKnown.IsClassFamily(strClass.c_str(), "KwDib");
    if (!bBitmap && !bDib)
        return;
    const TString coFault = bBitmap ? coRecord.CheckBitmap() : coRecord.CheckDib();
    if (!coFault.IsEmpty()) {
        Add(coPlace.coFile.strName, coPlace.strPath, std::string("the picture does not fit its data: ") + static_cast<const char*>(coFault));
        return;
    }
    // A picture without data of its own is read from its file.
    const unsigned short unFile = bBitmap ? static_cast<unsigned short>(KwBitmapRecordCheck::VarFile)
                                         : static_cast<unsigned short>(KwDibRecordCheck::VarFile);
    const bool bData = bBitmap ? HasVariableIn(coRecord, KwBitmapRecordCheck::VarType, KwBitmapRecordCheck::VarBits)
                               : HasVariableIn(coRecord, KwDibRecordCheck::VarHeaderSize, KwDibRecordCheck::VarBits);
    const std::vector<std::string> vecFiles = Texts(coRecord, unFile);
    if (bData || vecFiles.empty())
        return;
    const std::string strPath = Find(vecFiles.back());
    KwDib coDib;
    if (strPath.empty())
        Add(coPlace.coFile.strName, coPlace.strPath, "picture file " + Quoted(vecFiles.back()) + " is not found");
    else if (!coDib.SysCreate(strPath.c_str()))
        Add(coPlace.coFile.strName, coPlace.strPath, "picture file " + Quoted(vecFiles.back()) + " is no bitmap file of the accepted kinds");
}

// Links: "event@Class::Function@view", split at the first two '@' as the
// reader does.
void KwResFileCheck::CheckLink(const TPlace& coPlace, const std::string& strLink)
{
    const std::string& strFile = coPlace.coFile.strName;
    const std::string strWhere = "link " + Quoted(strLink) + ": ";
    const size_t nFirst = strLink.find('@');
    const size_t nSecond = nFirst == std::string::npos ? nFirst : strLink.find('@', nFirst + 1);
    if (nFirst == 0 || nSecond == std::string::npos || nSecond == nFirst + 1 || nSecond + 1 == strLink.size()) {
        Add(strFile, coPlace.strPath, strWhere + "not event@handler@view; the reader ignores it");
        return;
    }
    const std::string strEvent = strLink.substr(0, nFirst);
    std::string strHandler = strLink.substr(nFirst + 1, nSecond - nFirst - 1);
    std::string strView = strLink.substr(nSecond + 1);
    strHandler.erase(0, strHandler.find_first_not_of(' '));
    strView.erase(0, strView.find_first_not_of(' '));

    const std::string strOwner = MadeClass(coPlace.coRecord);
    if (m_coKnown.IsChainKnown(strOwner.c_str()) && !m_coKnown.HasEvent(strOwner.c_str(), strEvent.c_str()))
        Add(strFile, coPlace.strPath, strWhere + Quoted(strEvent) + " is no event of " + strOwner);
    const size_t nScope = strHandler.find("::");
    if (nScope == std::string::npos || nScope == 0) {
        Add(strFile, coPlace.strPath, strWhere + "the handler " + Quoted(strHandler) + " names no class (Class::Function)");
        return;
    }
    const std::string strHandlerClass = strHandler.substr(0, nScope);
    const KwCheckRecord* pcoView = FindView(coPlace, strView);
    if (!pcoView) {
        Add(strFile, coPlace.strPath, strWhere + "no window " + Quoted(strView) + " in the installed files");
    } else {
        const std::string strViewClass = MadeClass(*pcoView);
        if (m_coKnown.IsChainKnown(strViewClass.c_str()) && !m_coKnown.IsClassFamily(strViewClass.c_str(), strHandlerClass.c_str()))
            Add(strFile, coPlace.strPath, strWhere + strView + " is a " + strViewClass + ", not a " + strHandlerClass
                                              + "; the link is not bound");
    }
    if (!m_bTablesGiven || m_coKnown.HasLink(strView.c_str(), strHandler.c_str()))
        return;
    std::string strText = strWhere + "no member link table lists " + strView + " with " + strHandler;
    const std::vector<TString> vecTargets = m_coKnown.TargetsOf(strHandler.c_str());
    for (size_t i = 0; i < vecTargets.size(); ++i)
        strText += (i ? ", " : " (only ") + std::string(static_cast<const char*>(vecTargets[i]));
    Add(strFile, coPlace.strPath, strText + (vecTargets.empty() ? "" : ")"));
}

// The view object as the binding looks for it: up from the record's
// parent, then anywhere in its top-level record's tree, then among the
// top-level records of every installed file (the windows that may exist
// when the record is loaded).
const KwCheckRecord* KwResFileCheck::FindView(const TPlace& coPlace, const std::string& strView) const
{
    for (auto it = coPlace.vecAncestors.rbegin(); it != coPlace.vecAncestors.rend(); ++it) {
        if ((*it)->HasResId(strView.c_str()))
            return *it;
    }
    const KwCheckRecord& coTop = coPlace.vecAncestors.empty() ? coPlace.coRecord : *coPlace.vecAncestors.front();
    std::vector<const KwCheckRecord*> vecOpen { &coTop };
    while (!vecOpen.empty()) {
        const KwCheckRecord* pcoRecord = vecOpen.back();
        vecOpen.pop_back();
        if (pcoRecord->HasResId(strView.c_str()))
            return pcoRecord;
        for (size_t i = 0; i < pcoRecord->GetChildCount(); ++i)
            vecOpen.push_back(&pcoRecord->GetChild(i));
    }
    for (const auto& pcoFile : m_vecInstalled) {
        for (const auto& pcoRecord : pcoFile->vecRecords) {
            if (pcoRecord->HasResId(strView.c_str()) && m_coKnown.IsClassFamily(MadeClass(*pcoRecord).c_str(), "KwWnd"))
                return pcoRecord.get();
        }
    }
    return nullptr;
}
