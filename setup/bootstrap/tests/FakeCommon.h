#pragma once

// Helpers of the two stand-ins that the end-to-end tests put in place of the
// setup runtime archive and the setup program.

#include "BootWindows.h"

#include <cstddef>

// The value of an environment variable, or an empty text.
void FakeGetEnv(const char* pszName, char* pszValue, size_t nSize);
int FakeGetEnvInt(const char* pszName, int nDefault);
// Appends "key=value\n" to the record file named by pszFileVariable.
void FakeRecord(const char* pszFileVariable, const char* pszKey, const char* pszValue);
void FakeRecordNumber(const char* pszFileVariable, const char* pszKey, unsigned long long ullValue);
// The bootstrap window of the process that started this one, or null.
HWND FakeFindParentWindow();
// Copies the tree below pszSource into pszTarget (which exists); 1 on success.
int FakeCopyTree(const char* pszSource, const char* pszTarget);
// Makes pszLink a link (reparse point) to the directory pszTarget; under
// Wine, whose CreateSymbolicLink makes none, a Unix symbolic link. 1 on success.
int FakeMakeDirectoryLink(const char* pszLink, const char* pszTarget);
