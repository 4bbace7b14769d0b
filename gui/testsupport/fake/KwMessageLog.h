#pragma once

// The messages the framework shows during a test, taken instead of shown.

#include "TOpSystem.h"

#include <string>
#include <vector>

namespace kw25test {

// While it lives, every message goes into Shown(): its text, or
// "caption: text" when made with captions. One log at a time.
class TMessageLog {
public:
    explicit TMessageLog(bool bCaptions = false)
        : m_bCaptions(bCaptions), m_pfnOld(TOpSystem::SetMessageHandler(Record))
    {
        Active() = this;
    }
    ~TMessageLog()
    {
        TOpSystem::SetMessageHandler(m_pfnOld);
        Active() = nullptr;
    }
    TMessageLog(const TMessageLog&) = delete;
    TMessageLog& operator=(const TMessageLog&) = delete;

    std::vector<std::string>& Shown() { return m_vecShown; }

private:
    static TMessageLog*& Active()
    {
        static TMessageLog* s_pcoActive = nullptr;
        return s_pcoActive;
    }
    static void Record(const char* pszText, const char* pszCaption)
    {
        TMessageLog* pcoLog = Active();
        if (!pcoLog)
            return;
        const std::string strText = pszText ? pszText : "";
        pcoLog->m_vecShown.push_back(pcoLog->m_bCaptions ? std::string(pszCaption ? pszCaption : "") + ": " + strText
                                                         : strText);
    }

    bool m_bCaptions;
    TOpSystem::MessageHandler m_pfnOld;
    std::vector<std::string> m_vecShown;
};

} // namespace kw25test
