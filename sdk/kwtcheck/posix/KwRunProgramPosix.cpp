#include "KwRunProgram.h"

#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

int KwRunProgram(const char* pszProgram, const char* pszVariable, const char* pszValue, TString* pcoError)
{
    // The child's environment: this one's with the variable set.
    const std::string strSetting = std::string(pszVariable) + "=" + pszValue;
    const size_t nName = std::strlen(pszVariable) + 1;
    std::vector<char*> vecEnvironment;
    for (char** ppsz = environ; *ppsz; ++ppsz) {
        if (std::strncmp(*ppsz, strSetting.c_str(), nName) != 0)
            vecEnvironment.push_back(*ppsz);
    }
    vecEnvironment.push_back(const_cast<char*>(strSetting.c_str()));
    vecEnvironment.push_back(nullptr);
    char* apszArgs[] = { const_cast<char*>(pszProgram), nullptr };
    pid_t nPid = 0;
    const int nError = posix_spawn(&nPid, pszProgram, nullptr, nullptr, apszArgs, vecEnvironment.data());
    int nStatus = 0;
    if (nError != 0 || waitpid(nPid, &nStatus, 0) != nPid) {
        if (pcoError)
            *pcoError = std::strerror(nError ? nError : errno);
        return -1;
    }
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
}
