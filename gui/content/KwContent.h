#pragma once

#include "Kw25Api.h"
#include "KwPair.h"
#include "KwRect.h"
#include "KwRes.h"
#include "TString.h"

class KwDC;
class KwFont;
class KwWnd;

// What a window shows inside its border (a caption, a text, a picture),
// kept apart from the window class and linked to one window at a time. The
// base shows nothing; the content library supplies the concrete kinds.
//
// Alignment flags: horizontal 1 left, 2 centred, 4 right; vertical 16 top,
// 32 centred, otherwise bottom.
class KW25_API KwContent : public KwRes {
    KW_DYNAMIC_CLASS(KwContent, KwRes)
public:
    enum : unsigned short { StateGrayed = 0x0100 };
    enum : unsigned short { VarAlign = 2001, VarMoveX = 2002, VarMoveY = 2003 };

    KwContent() = default;
    // With a window the content links itself to it at once.
    explicit KwContent(unsigned short unAlign, KwWnd* pcoWnd = nullptr);
    // Copies alignment, move and state, never the window.
    KwContent(const KwContent& coOther);
    KwContent& operator=(const KwContent& coOther);
    ~KwContent() override;

    KwWnd* GetWindow() const { return m_pcoWnd; }
    unsigned short GetCenter() const { return m_unAlign; }
    void SetCenter(unsigned short unAlign, int nRedraw);
    KwPoint GetMove() const { return m_coMove; }
    void SetMove(const KwPoint& coMove, int nRedraw);
    int IsGrayed() const { return (m_unState & StateGrayed) ? 1 : 0; }
    // 1 when the state changed.
    int SetGrayed(int nGrayed, int nRedraw);
    // Told by the window when it links (a window) or unlinks (null) this
    // content.
    void LinkWindow(KwWnd* pcoWnd);

    // Overridables, with the base behaviour.
    virtual KwContent* Copy() const { return new KwContent(*this); }
    virtual int Paint(KwDC& coDC, const KwRect* pcoRect) { return 0; }
    virtual KwRect CalcCurrentRect(KwDC& coDC) const;
    virtual KwSize CalcCurrentSize(KwDC& coDC) const { return KwSize(); }
    virtual KwRect CalcFocusRect(KwDC& coDC) const { return CalcCurrentRect(coDC); }
    virtual int SetContent(const char* pszContent) { return 0; }
    virtual int SetContent(const KwRes* pcoContent) { return 0; }
    virtual void EmptyContent() {}
    virtual TString GetTextContent() const { return TString(); }
    virtual const KwRes* GetContent() const { return nullptr; }
    virtual const KwFont* GetUsedFont() const;
    virtual char GetCharUnderlined() const { return 0; }
    virtual void NotifyLink(KwWnd* pcoWnd) {}
    virtual void NotifyUnlink(KwWnd* pcoWnd) {}
    using KwRes::SysCreate;

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    void WriteData(TFile& coFile) const override;

private:
    KwWnd* m_pcoWnd { nullptr };     // not owned; the window owns the content
    unsigned short m_unAlign { 0 };
    KwPoint m_coMove;
    unsigned short m_unState { 0 };
};

// The placeholder content of the application object (content type 129).
class KW25_API KwDummyContent : public KwContent {
    KW_DYNAMIC_CLASS(KwDummyContent, KwContent)
public:
    enum : unsigned short { ContentType = 129 };

    KwDummyContent() = default;
    KwContent* Copy() const override { return new KwDummyContent(*this); }
    void InitDefault();
};
