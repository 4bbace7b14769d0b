#include "KwRunProgram.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <process.h>
#include <string>

int KwRunProgram(const char* pszProgram, const char* pszVariable, const char* pszValue, TString* pcoError)
{
    // The child inherits the C run-time's environment (_putenv changes
    // that one and the system's); the run-time joins the arguments with
    // blanks, so the program's own name is quoted.
    const char* pszOld = std::getenv(pszVariable);
    const std::string strRestore = std::string(pszVariable) + "=" + (pszOld ? pszOld : "");
    const std::string strSetting = std::string(pszVariable) + "=" + pszValue;
    const std::string strQuoted = "\"" + std::string(pszProgram) + "\"";
    _putenv(strSetting.c_str());
    const intptr_t nResult = _spawnl(_P_WAIT, pszProgram, strQuoted.c_str(), static_cast<const char*>(nullptr));
    const int nError = errno;
    _putenv(strRestore.c_str());
    if (nResult == -1 && pcoError)
        *pcoError = std::strerror(nError);
    return static_cast<int>(nResult);
}
