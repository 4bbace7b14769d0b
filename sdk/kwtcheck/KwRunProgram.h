#pragma once

#include "TString.h"

// Runs a program with one variable added to its environment and waits for
// it: its exit code, or -1 when it could not be started (*pcoError says
// why). kwtcheck starts framework programs so that they describe
// themselves (KwProgramDescription).
int KwRunProgram(const char* pszProgram, const char* pszVariable, const char* pszValue, TString* pcoError);
