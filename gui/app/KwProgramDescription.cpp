#include "KwProgramDescription.h"

#include "KwApp.h"
#include "TDynBase.h"
#include "TDynTab.h"
#include "TMvc.h"
#include "TMvcEventTable.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string Lower(const char* psz)
{
    std::string str(psz ? psz : "");
    for (char& ch : str)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return str;
}

// A name as a token of the text: quoted when it would not read back alone.
std::string Token(const std::string& str)
{
    if (!str.empty() && str.find_first_of(" \t\r\n#\"\\") == std::string::npos)
        return str;
    std::string strQuoted = "\"";
    for (char ch : str) {
        if (ch == '"' || ch == '\\')
            strQuoted += '\\';
        strQuoted += ch;
    }
    return strQuoted + "\"";
}

// Splits one line into tokens; false for an unterminated quote or a bad
// escape.
bool Tokens(const std::string& strLine, std::vector<std::string>& vecTokens)
{
    size_t i = 0;
    while (i < strLine.size()) {
        const char ch = strLine[i];
        if (ch == '#')
            return true;
        if (ch == ' ' || ch == '\t' || ch == '\r') {
            ++i;
            continue;
        }
        std::string strToken;
        if (ch != '"') {
            while (i < strLine.size() && !std::strchr(" \t\r#\"", strLine[i]))
                strToken += strLine[i++];
            vecTokens.push_back(strToken);
            continue;
        }
        for (++i;; ++i) {
            if (i >= strLine.size())
                return false;
            if (strLine[i] == '"')
                break;
            if (strLine[i] == '\\') {
                if (++i >= strLine.size() || (strLine[i] != '"' && strLine[i] != '\\'))
                    return false;
            }
            strToken += strLine[i];
        }
        ++i;
        vecTokens.push_back(strToken);
    }
    return true;
}

std::vector<const KwMemberLinkArray*>& DeclaredTables()
{
    static std::vector<const KwMemberLinkArray*> s_vecTables;
    return s_vecTables;
}

constexpr int MaxDepth = 256;   // bases followed before a chain counts as broken

} // namespace

// Building

void KwProgramDescription::AddClass(const char* pszClass, const char* pszBase)
{
    if (!pszClass || !*pszClass)
        return;
    m_mapClasses[Lower(pszClass)] = TClass { pszClass, pszBase ? pszBase : "" };
}

void KwProgramDescription::AddEvent(const char* pszClass, const char* pszEvent)
{
    if (pszClass && *pszClass && pszEvent && *pszEvent)
        m_setEvents.emplace(Lower(pszClass), Lower(pszEvent));
}

void KwProgramDescription::AddLink(const char* pszTarget, const char* pszFunction)
{
    if (!pszTarget || !pszFunction)
        return;
    const std::pair<std::string, std::string> coLink(pszTarget, pszFunction);
    if (std::find(m_vecLinks.begin(), m_vecLinks.end(), coLink) == m_vecLinks.end())
        m_vecLinks.push_back(coLink);
}

void KwProgramDescription::AddTable(const KwMemberLinkArray* pcoTable)
{
    for (const KwMemberLinkArray* pcoEntry = pcoTable; pcoEntry && pcoEntry->pszLinkFunction; ++pcoEntry)
        AddLink(pcoEntry->pszTarget, pcoEntry->pszLinkFunction);
}

void KwProgramDescription::Add(const KwProgramDescription& coOther)
{
    for (const auto& [strKey, coClass] : coOther.m_mapClasses)
        m_mapClasses[strKey] = coClass;
    m_setEvents.insert(coOther.m_setEvents.begin(), coOther.m_setEvents.end());
    for (const auto& [strTarget, strFunction] : coOther.m_vecLinks)
        AddLink(strTarget.c_str(), strFunction.c_str());
}

KwProgramDescription KwProgramDescription::FromProcess()
{
    KwProgramDescription coOut;
    for (short i = 0; i < TDynBase::VTableCount(); ++i) {
        const TDynTab* pcoTab = TDynBase::VTableFromIndex(i);
        const TDynTab* pcoBase = pcoTab ? pcoTab->BaseVTable() : nullptr;
        if (pcoTab)
            coOut.AddClass(pcoTab->GetClass(), pcoBase ? pcoBase->GetClass() : "");
    }
    for (short i = 0; i < TMvc::GetEventTableCount(); ++i) {
        const TMvcEventTable* pcoTable = TMvc::GetEventTable(i);
        for (short n = 0; pcoTable && n < pcoTable->GetEventTypeCount(); ++n)
            coOut.AddEvent(pcoTable->GetOwnerClass(), pcoTable->GetEventType(n).GetEventType());
    }
    for (const KwMemberLinkArray* pcoTable : KwLinkTableDeclaration::Tables())
        coOut.AddTable(pcoTable);
    return coOut;
}

// The text

TString KwProgramDescription::Text() const
{
    std::string strText = "# What a program binds to resource files (kwtcheck)\n";
    for (const auto& [strKey, coClass] : m_mapClasses)
        strText += "class " + Token(coClass.strName) + " " + (coClass.strBase.empty() ? "-" : Token(coClass.strBase)) + "\n";
    for (const auto& [strClass, strEvent] : m_setEvents) {
        const TClass* pcoClass = FindClass(strClass.c_str());
        strText += "event " + Token(pcoClass ? pcoClass->strName : strClass) + " " + Token(strEvent) + "\n";
    }
    for (const auto& [strTarget, strFunction] : m_vecLinks)
        strText += "link " + Token(strTarget) + " " + Token(strFunction) + "\n";
    return TString(strText.c_str());
}

int KwProgramDescription::Parse(const char* pchText, size_t nLength, TString* pcoError)
{
    const std::string strText(pchText ? pchText : "", pchText ? nLength : 0);
    size_t nLine = 0;
    for (size_t nBegin = 0; nBegin < strText.size();) {
        size_t nEnd = strText.find('\n', nBegin);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        ++nLine;
        std::vector<std::string> vecTokens;
        const bool bRead = Tokens(strText.substr(nBegin, nEnd - nBegin), vecTokens);
        nBegin = nEnd + 1;
        if (bRead && vecTokens.empty())
            continue;
        const char* pszFault = nullptr;
        if (!bRead)
            pszFault = "a quoted name does not end, or has an escape other than \\\" and \\\\";
        else if (vecTokens.size() != 3 || vecTokens[1].empty() || vecTokens[2].empty())
            pszFault = "an entry is a word and two names: class, event or link";
        else if (vecTokens[0] == "class")
            AddClass(vecTokens[1].c_str(), vecTokens[2] == "-" ? "" : vecTokens[2].c_str());
        else if (vecTokens[0] == "event")
            AddEvent(vecTokens[1].c_str(), vecTokens[2].c_str());
        else if (vecTokens[0] == "link")
            AddLink(vecTokens[1].c_str(), vecTokens[2].c_str());
        else
            pszFault = "an entry begins with class, event or link";
        if (pszFault) {
            if (pcoError)
                pcoError->SetText("line %lu: %s", static_cast<unsigned long>(nLine), pszFault);
            return 0;
        }
    }
    return 1;
}

int KwProgramDescription::WriteFile(const char* pszFile) const
{
    std::FILE* pFile = pszFile ? std::fopen(pszFile, "wb") : nullptr;
    if (!pFile)
        return 0;
    const TString coText = Text();
    const size_t nLength = static_cast<size_t>(coText.Strlen());
    const bool bWritten = std::fwrite(static_cast<const char*>(coText), 1, nLength, pFile) == nLength;
    return std::fclose(pFile) == 0 && bWritten ? 1 : 0;
}

// Queries

const KwProgramDescription::TClass* KwProgramDescription::FindClass(const char* pszClass) const
{
    const auto it = m_mapClasses.find(Lower(pszClass));
    return it == m_mapClasses.end() ? nullptr : &it->second;
}

const char* KwProgramDescription::ClassName(const char* pszClass) const
{
    const TClass* pcoClass = FindClass(pszClass);
    return pcoClass ? pcoClass->strName.c_str() : nullptr;
}

int KwProgramDescription::IsClassFamily(const char* pszClass, const char* pszFamily) const
{
    if (!pszFamily)
        return 0;
    const TClass* pcoClass = FindClass(pszClass);
    for (int i = 0; pcoClass && i < MaxDepth; ++i) {
        if (pcoClass->strName == pszFamily)
            return 1;
        pcoClass = pcoClass->strBase.empty() ? nullptr : FindClass(pcoClass->strBase.c_str());
    }
    return 0;
}

int KwProgramDescription::IsChainKnown(const char* pszClass) const
{
    const TClass* pcoClass = FindClass(pszClass);
    for (int i = 0; pcoClass && i < MaxDepth; ++i) {
        if (pcoClass->strBase.empty())
            return 1;
        pcoClass = FindClass(pcoClass->strBase.c_str());
    }
    return 0;
}

int KwProgramDescription::HasEvent(const char* pszClass, const char* pszEvent) const
{
    const std::string strEvent = Lower(pszEvent);
    const TClass* pcoClass = FindClass(pszClass);
    for (int i = 0; pcoClass && i < MaxDepth; ++i) {
        if (m_setEvents.count({ Lower(pcoClass->strName.c_str()), strEvent }))
            return 1;
        pcoClass = pcoClass->strBase.empty() ? nullptr : FindClass(pcoClass->strBase.c_str());
    }
    return 0;
}

int KwProgramDescription::HasLink(const char* pszTarget, const char* pszFunction) const
{
    if (!pszTarget || !pszFunction)
        return 0;
    return std::find(m_vecLinks.begin(), m_vecLinks.end(), std::make_pair(std::string(pszTarget), std::string(pszFunction)))
        != m_vecLinks.end();
}

std::vector<TString> KwProgramDescription::TargetsOf(const char* pszFunction) const
{
    std::vector<TString> vecTargets;
    for (const auto& [strTarget, strFunction] : m_vecLinks) {
        if (pszFunction && strFunction == pszFunction)
            vecTargets.emplace_back(strTarget.c_str());
    }
    return vecTargets;
}

// Declared tables

KwLinkTableDeclaration::KwLinkTableDeclaration(const KwMemberLinkArray* pcoTable)
    : m_pcoTable(pcoTable)
{
    DeclaredTables().push_back(pcoTable);
}

KwLinkTableDeclaration::~KwLinkTableDeclaration()
{
    auto& vecTables = DeclaredTables();
    const auto it = std::find(vecTables.begin(), vecTables.end(), m_pcoTable);
    if (it != vecTables.end())
        vecTables.erase(it);
}

std::vector<const KwMemberLinkArray*> KwLinkTableDeclaration::Tables()
{
    return DeclaredTables();
}

int KwDescribeProgramIfAsked(int* pnExitCode)
{
    const char* pszFile = std::getenv(KwProgramDescription::EnvironmentName());
    if (!pszFile || !*pszFile)
        return 0;
    const int nWritten = KwProgramDescription::FromProcess().WriteFile(pszFile);
    if (pnExitCode)
        *pnExitCode = nWritten ? 0 : 1;
    return 1;
}
