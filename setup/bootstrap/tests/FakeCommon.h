#pragma once

// What the stand-ins for the setup runtime archive and the setup program
// share.

#include "BootWindows.h"

#include <string>

// The value of an environment variable, or an empty text.
std::string FakeGetEnv(const char* pszName);
// Appends "key=value" to the record file named by FAKE_LOG. A key that
// begins with "#" holds a number that differs from run to run (a process
// id, a tick count).
void FakeRecord(const char* pszKey, const std::string& coValue);
