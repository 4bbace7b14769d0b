// kwtcheck: checks a resource file offline against what a program binds
// (KwCheckCommand).

#include "KwCheckCommand.h"

#include <cstdio>

int main(int argc, char** argv)
{
    return KwCheckCommand(argc, argv, stdout, stderr);
}
