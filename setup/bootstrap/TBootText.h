#pragma once

#include <cstddef>

// Bounded text handling for the setup starter. Every buffer of the program
// has a fixed size; these functions never write past it. Each answers 1 when
// the whole result fitted and 0 when it did not; a result that does not fit
// leaves an empty text behind, never a cut-off one that could name another
// file or directory.

int BootCopy(char* pszTarget, size_t nSize, const char* pszSource);
int BootAppend(char* pszTarget, size_t nSize, const char* pszSource);
int BootFormat(char* pszTarget, size_t nSize, const char* pszFormat, ...)
    __attribute__((format(printf, 3, 4)));
// Joins a directory and a name with one backslash between them.
int BootJoin(char* pszTarget, size_t nSize, const char* pszDir, const char* pszName);
