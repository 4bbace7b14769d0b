#include "KwCopyCommandLine.h"

#include <cctype>
#include <cstdlib>

namespace {

std::string Upper(const std::string& strText)
{
    std::string strUpper;
    for (char ch : strText)
        strUpper += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return strUpper;
}

// A whole decimal number from lMin to lMax, and nothing else.
bool NumberIn(const std::string& strValue, long lMin, long lMax, long& lNumber)
{
    char* pszEnd = nullptr;
    lNumber = std::strtol(strValue.c_str(), &pszEnd, 10);
    return !strValue.empty() && !*pszEnd && lNumber >= lMin && lNumber <= lMax;
}

} // namespace

const char* KwCopyCommandLine::Usage()
{
    return "usage: gandrelcopy SOURCE TARGET [options]\n"
           "       gandrelcopy /FILES TARGET FILE... [options]\n"
           "Copies the directory SOURCE with everything in it under TARGET (as TARGET\\NAME),\n"
           "or the FILEs into TARGET, with times, attributes, streams and access rights.\n"
           "Under Windows a FILE whose last name holds * or ? copies every file that matches.\n"
           "options:\n"
           "  /L                  list only: show what would be done, change nothing\n"
           "  /LOG:file           also write every line and the summary to file\n"
           "  /SEC:ALL|DACL|NONE  rights copied: group, DACL and SACL (ALL, the default),\n"
           "                      the DACL only, or none\n"
           "  /OWNER              also the owner, when the privilege allows\n"
           "  /XO                 skip a target file that is newer than its source\n"
           "  /XN                 skip target files that exist\n"
           "  /VERIFY             read every copy back; compare its bytes and rights\n"
           "  /MT[:n]             copy n files at once (1 to 64; /MT alone: one for each\n"
           "                      processor)\n"
           "  /IPG:n              rest n milliseconds (0 to 60000) between the pieces of\n"
           "                      a file, to leave a slow line to others\n"
           "exit code (bits): 0 nothing to do, 1 something copied, 8 some entry failed,\n"
           "the copy was cancelled or the log is incomplete, 16 fatal (bad arguments,\n"
           "source missing, two files of one name, a copy into its own source)\n";
}

int KwCopyCommandLine::Refuse(const std::string& strError)
{
    if (m_strError.empty())
        m_strError = strError;
    return 0;
}

int KwCopyCommandLine::TakeOption(const std::string& strArgument, int nPosixPaths)
{
    if (strArgument.size() < 2 || (strArgument[0] != '/' && strArgument[0] != '-'))
        return 0;
    const std::string strOption = Upper(strArgument.substr(1));
    const size_t nColon = strOption.find(':');
    const std::string strName = strOption.substr(0, nColon);
    const std::string strValue = nColon == std::string::npos ? std::string() : strArgument.substr(nColon + 2);
    const bool bValue = nColon != std::string::npos;
    static const char* const s_apszFlags[] = { "?", "L", "OWNER", "XO", "XN", "VERIFY", "FILES" };
    for (const char* pszFlag : s_apszFlags) {
        if (strName != pszFlag)
            continue;
        if (bValue) {
            Refuse("the option /" + strName + " takes no value");
            return 1;
        }
        if (strName == "?")
            m_nHelp = 1;
        else if (strName == "L")
            m_coOptions.m_nListOnly = 1;
        else if (strName == "OWNER")
            m_coOptions.m_nOwner = 1;
        else if (strName == "XO" || strName == "XN") {
            m_coOptions.m_eExisting = strName == "XO" ? KwCopyOptions::SkipNewer : KwCopyOptions::SkipExisting;
            ++m_nExistingRules;
        }
        else if (strName == "VERIFY")
            m_coOptions.m_nVerify = 1;
        else
            m_nSelection = 1;
        return 1;
    }
    if (strName == "LOG") {
        if (strValue.empty())
            Refuse("/LOG: needs a file name");
        m_strLog = strValue;
        return 1;
    }
    if (strName == "MT") {
        long lWorkers = 0;
        if (bValue && !NumberIn(strValue, 1, KwCopyOptions::MaxWorkers, lWorkers))
            Refuse("/MT: takes a number of files to copy at once from 1 to 64, not \"" + strValue + "\"");
        m_coOptions.m_nWorkers = KwCopyOptions::WorkersFor(static_cast<int>(lWorkers));
        return 1;
    }
    if (strName == "IPG") {
        long lGap = 0;
        if (!NumberIn(strValue, 0, static_cast<long>(KwCopyOptions::MaxPieceGap), lGap))
            Refuse("/IPG: takes the milliseconds to rest between pieces from 0 to 60000, not \"" + strValue + "\"");
        m_coOptions.m_ulPieceGap = static_cast<uint32_t>(lGap);
        return 1;
    }
    if (strName == "SEC") {
        const std::string strWhich = Upper(strValue);
        if (strWhich == "ALL")
            m_coOptions.m_eSecurity = KwCopyOptions::SecurityAll;
        else if (strWhich == "DACL")
            m_coOptions.m_eSecurity = KwCopyOptions::SecurityDacl;
        else if (strWhich == "NONE")
            m_coOptions.m_eSecurity = KwCopyOptions::SecurityNone;
        else
            Refuse("/SEC: takes ALL, DACL or NONE, not \"" + strValue + "\"");
        return 1;
    }
    if (nPosixPaths && strArgument[0] == '/')
        return 0;
    Refuse("unknown option " + strArgument);
    return 1;
}

int KwCopyCommandLine::Parse(const std::vector<std::string>& vecArguments, int nPosixPaths)
{
    std::vector<std::string> vecPaths;
    for (const std::string& strArgument : vecArguments)
        if (!TakeOption(strArgument, nPosixPaths))
            vecPaths.push_back(strArgument);
    if (m_nHelp)
        return 1;
    if (!m_strError.empty())
        return 0;
    if (m_nExistingRules > 1)
        return Refuse("/XO and /XN exclude each other");
    if (m_nSelection) {
        if (vecPaths.size() < 2)
            return Refuse("/FILES needs a target and at least one file");
        m_strTarget = vecPaths[0];
        m_vecFiles.assign(vecPaths.begin() + 1, vecPaths.end());
        return 1;
    }
    if (vecPaths.size() != 2)
        return Refuse(vecPaths.size() < 2 ? "a source and a target are needed" : "more than one source and target");
    m_strSource = vecPaths[0];
    m_strTarget = vecPaths[1];
    return 1;
}
