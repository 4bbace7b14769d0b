#pragma once

// Helpers of the stand-ins for the setup runtime archive and the setup
// program, shared with the tests that start them.

#include "BootWindows.h"

#include <cstddef>
#include <string>

// The value of an environment variable, or an empty text.
void FakeGetEnv(const char* pszName, char* pszValue, size_t nSize);
int FakeGetEnvInt(const char* pszName, int nDefault);
// Appends "key=value\n" to the record file named by pszFileVariable.
void FakeRecord(const char* pszFileVariable, const char* pszKey, const std::string& coValue);
// The bootstrap window, or null. The runs of a test program, which hold
// the desktop alone, start one bootstrap at a time.
HWND FakeFindBootstrapWindow();
// Copies the tree below pszSource into pszTarget (which exists); 1 on success.
int FakeCopyTree(const char* pszSource, const char* pszTarget);

bool FakeIsWine();
// Wine only: the Unix path of a Windows path, or an empty text.
std::string FakeUnixPath(const std::string& coPath);
// Starts a command line and waits up to 20 seconds until coDonePath
// exists, or has vanished when bGone: under Wine a Unix process's handle
// cannot be waited for, its result can.
bool FakeRunUntil(std::string coLine, const std::string& coDonePath, bool bGone);
// Makes pszLink a link (reparse point) to the directory pszTarget; under
// Wine, whose CreateSymbolicLink makes none, a Unix symbolic link. 1 on success.
int FakeMakeDirectoryLink(const char* pszLink, const char* pszTarget);
