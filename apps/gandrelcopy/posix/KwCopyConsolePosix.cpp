#include "KwCopyConsole.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t s_nInterrupted = 0;

void OnInterrupt(int)
{
    s_nInterrupted = 1;
}

} // namespace

std::vector<std::string> KwCopyConsole::Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void KwCopyConsole::Write(FILE* pStream, const std::string& strText)
{
    std::fwrite(strText.data(), 1, strText.size(), pStream);
    std::fflush(pStream);
}

FILE* KwCopyConsole::OpenLog(const std::string& strPath)
{
    return std::fopen(strPath.c_str(), "wb");
}

const char* KwCopyConsole::NewLine()
{
    return "\n";
}

void KwCopyConsole::Prepare()
{
    struct sigaction coAction {};
    coAction.sa_handler = OnInterrupt;
    sigemptyset(&coAction.sa_mask);
    sigaction(SIGINT, &coAction, nullptr);
    sigaction(SIGTERM, &coAction, nullptr);
    sigaction(SIGHUP, &coAction, nullptr);
}

void KwCopyConsole::RunEnded()
{
}

int KwCopyConsole::Interrupted()
{
    return s_nInterrupted;
}
