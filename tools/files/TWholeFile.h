#pragma once

// Reading a whole file into memory, as the command-line tools do. Header
// only: the build machine's own kwtmake (a cross build's) uses it without
// the tool library.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

struct TWholeFile {
    enum class TResult { Done, CannotOpen, CannotRead };

    // The file's bytes are appended to strBytes. With nDashIsStdin the name
    // "-" reads standard input. With pszProgram a failure is told on
    // standard error as "program: cannot open name: reason" or "program:
    // cannot read name"; after CannotOpen, errno tells why.
    static TResult Read(const char* pszName, std::string& strBytes, int nDashIsStdin = 0,
                        const char* pszProgram = nullptr)
    {
        if (!pszName)
            pszName = "";
        const bool bStdin = nDashIsStdin && std::strcmp(pszName, "-") == 0;
        std::FILE* pFile = bStdin ? stdin : std::fopen(pszName, "rb");
        if (!pFile) {
            if (pszProgram)
                std::fprintf(stderr, "%s: cannot open %s: %s\n", pszProgram, pszName, std::strerror(errno));
            return TResult::CannotOpen;
        }
        char ach[65536];
        size_t n;
        while ((n = std::fread(ach, 1, sizeof ach, pFile)) > 0)
            strBytes.append(ach, n);
        const bool bOk = !std::ferror(pFile);
        if (!bStdin)
            std::fclose(pFile);
        if (!bOk && pszProgram)
            std::fprintf(stderr, "%s: cannot read %s\n", pszProgram, pszName);
        return bOk ? TResult::Done : TResult::CannotRead;
    }
};
