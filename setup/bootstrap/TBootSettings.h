#pragma once

#include <cstddef>

// The installation's settings, read once from section "Installation" of the
// information file "setup.ini" on the installation medium.
class TBootSettings {
public:
    static constexpr size_t kMaxResource = 512;     // characters of "SetupResource"
    static constexpr size_t kMaxCustomClass = 128;  // characters of "CustomClass"

    // Result of Read
    enum EReadResult {
        kReadOk = 0,
        kBadResource = 103,        // the Internal Setup Error numbers shown for them
        kCustomClassTooLong = 104,
    };

    TBootSettings() = default;

    // Reading; pszIniFile is a full path (a bare name would be looked up in
    // the Windows directory). A missing file or key gives the default.
    EReadResult Read(const char* pszIniFile);

    // Settings
    int GetPeekTimeOut() const { return m_nPeekTimeOut; }
    const char* GetSetupResource() const { return m_szSetupResource; }
    const char* GetCustomClass() const { return m_szCustomClass; }
    int GetNeedSpaceMBTemp() const { return m_nNeedSpaceMBTemp; }

    // The project file name as the setup program expects it: ".plv" appended
    // when the name holds no dot, then lower case. Answers 0 when the result
    // does not fit or the name is not a plain file name (a path would copy
    // the project file out of the temporary directory).
    static int CompleteResourceName(char* pszName, size_t nSize);

private:
    // A string key of at most nMax characters; 0 when the stored value is longer.
    static int ReadString(const char* pszIniFile, const char* pszKey, const char* pszDefault, char* pszValue,
                          size_t nMax);

    int m_nPeekTimeOut { 10 };
    char m_szSetupResource[kMaxResource + sizeof(".plv")] { "plvsetup.plv" };
    char m_szCustomClass[kMaxCustomClass + 1] { "StProject" };
    int m_nNeedSpaceMBTemp { 1 };
};
