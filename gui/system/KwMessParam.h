#pragma once

#include "Kw25Api.h"

// The parameters of one message of the window system. Handlers that want
// the window procedure to answer a particular value set the result.
class KW25_API KwMessParam {
public:
    virtual ~KwMessParam() = default;
};

// The Win32 form: window, message number, both parameters at the width of
// the platform (WPARAM and LPARAM are pointer-sized on 64-bit Windows) and
// the result the handler asks for.
class KW25_API KwMessParamWinNT : public KwMessParam {
public:
    KwMessParamWinNT() = default;
    KwMessParamWinNT(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam)
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

inline void KwMessParamWinNT::Set(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam)
{
    m_hWnd = hWnd;
    m_unMsg = unMsg;
    m_wParam = wParam;
    m_lParam = lParam;
    ClearResult();
}
