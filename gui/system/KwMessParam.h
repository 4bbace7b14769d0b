#pragma once

#include "Kw25Api.h"

// The parameters of one message of the window system. Handlers that want
// the window procedure to answer a particular value set the result.
class KW25_API KwMessParam {
public:
    virtual ~KwMessParam() = default;
};

// One message as the framework's handlers see it, whatever the window
// system: window, message number, the word and the long parameter at the
// width of a pointer (they carry pointers and handles), and the result the
// handler asks for. The adapter fills it from the system's own message
// (on Win32 from the window procedure's arguments, under the adapter's
// own name for it) and answers with its result.
class KW25_API KwMessage : public KwMessParam {
public:
    KwMessage() = default;
    KwMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam)
        : m_hWnd(hWnd), m_unMsg(unMsg), m_wParam(wParam), m_lParam(lParam) {}

    // Refills the message and clears the result.
    void Set(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam);

    // Message
    KwHandle GetHandle() const { return m_hWnd; }
    unsigned GetMessage() const { return m_unMsg; }
    std::uintptr_t GetWParam() const { return m_wParam; }
    std::intptr_t GetLParam() const { return m_lParam; }
    void SetWParam(std::uintptr_t wParam) { m_wParam = wParam; }
    // The words of the parameters: low and high 16 bits, unsigned and signed.
    unsigned short LowWParam() const { return static_cast<unsigned short>(m_wParam & 0xFFFF); }
    unsigned short HighWParam() const { return static_cast<unsigned short>((m_wParam >> 16) & 0xFFFF); }
    unsigned short LowLParam() const { return static_cast<unsigned short>(static_cast<std::uintptr_t>(m_lParam) & 0xFFFF); }
    unsigned short HighLParam() const { return static_cast<unsigned short>((static_cast<std::uintptr_t>(m_lParam) >> 16) & 0xFFFF); }
    short SignedLowLParam() const { return static_cast<short>(LowLParam()); }
    short SignedHighLParam() const { return static_cast<short>(HighLParam()); }

    // Result
    int IsResultSet() const { return m_nResultSet; }
    std::intptr_t GetResult() const { return m_lResult; }
    void SetResult(std::intptr_t lResult) { m_nResultSet = 1; m_lResult = lResult; }
    void ClearResult() { m_nResultSet = 0; m_lResult = 0; }

private:
    KwHandle m_hWnd { 0 };
    unsigned m_unMsg { 0 };
    std::uintptr_t m_wParam { 0 };
    std::intptr_t m_lParam { 0 };
    int m_nResultSet { 0 };
    std::intptr_t m_lResult { 0 };
};

inline void KwMessage::Set(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam)
{
    m_hWnd = hWnd;
    m_unMsg = unMsg;
    m_wParam = wParam;
    m_lParam = lParam;
    ClearResult();
}
