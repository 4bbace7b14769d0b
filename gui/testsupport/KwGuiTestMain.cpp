#include "KwGuiTestRun.h"

int main(int argc, char** argv)
{
    return kwtest::RunGuiTests(argc, argv);
}
