#pragma once

#include "KwCopyOptions.h"

#include <string>
#include <vector>

// The command line of gandrelcopy:
//   gandrelcopy SOURCE TARGET [options]
//   gandrelcopy /FILES TARGET FILE... [options]
// Options begin with "/" (or "-") and are known without regard to case.
// Where paths begin with "/" (nPosixPaths), an argument that is no known
// option is a path; elsewhere it is a wrong option.
class KwCopyCommandLine {
public:
    // 1 when the arguments make a run (or ask for help); otherwise 0 and
    // GetError() says what is wrong.
    int Parse(const std::vector<std::string>& vecArguments, int nPosixPaths);

    int IsHelp() const { return m_nHelp; }
    int IsSelection() const { return m_nSelection; }
    const std::string& GetSource() const { return m_strSource; }
    const std::string& GetTarget() const { return m_strTarget; }
    const std::vector<std::string>& GetFiles() const { return m_vecFiles; }
    const std::string& GetLog() const { return m_strLog; }
    const KwCopyOptions& GetOptions() const { return m_coOptions; }
    const std::string& GetError() const { return m_strError; }

    static const char* Usage();

private:
    // 1 when the argument was an option (taken or refused), 0 for a path.
    int TakeOption(const std::string& strArgument, int nPosixPaths);
    // Keeps the first error; 0.
    int Refuse(const std::string& strError);

    int m_nHelp { 0 };
    int m_nSelection { 0 };
    int m_nExistingRules { 0 };        // /XO and /XN given
    std::string m_strSource;
    std::string m_strTarget;
    std::vector<std::string> m_vecFiles;
    std::string m_strLog;
    KwCopyOptions m_coOptions;
    std::string m_strError;
};
