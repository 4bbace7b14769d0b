#pragma once

#include "KwWChild.h"
#include "XctlApi.h"

// A child window that shows the progress of a long operation: a bar filled
// from the left in the fill colour (a colour number of the application's
// table), with the percentage written over it by the window's content
// object when show-percent is on. It reports the start, every change, the
// end and a cancellation of the operation through its links, each a
// KwEventWnd carrying the indicator and a value:
//   "EXTCTRL_LINK_PROGRESSSTARTED"   the start value
//   "EXTCTRL_LINK_PROGRESSCHANGED"   the new progress
//   "EXTCTRL_LINK_PROGRESSENDED"     0, when the progress reaches 100
//   "EXTCTRL_LINK_PROGRESSCANCELED"  the progress at the cancellation
//
// While running, the progress never goes back. The content's text is set
// only when the value changes, never while painting: a text content
// repaints its window whenever its text changes.
class XCTL_API KwProgressIndicator : public KwWChild {
    KW_DYNAMIC_CLASS(KwProgressIndicator, KwWChild)
    KW_MVC_CLASS(KwProgressIndicator, KwWChild)
public:
    enum : unsigned short { VarFillColor = 140, VarShowPercent = 141 };
    enum : short { DefaultFillColor = 12 };
    enum : unsigned short { Complete = 100 };

    KwProgressIndicator();
    explicit KwProgressIndicator(const char* pszName);
    KwProgressIndicator(const char* pszName, const KwPoint& coPos, const KwSize& coSize, short nColBord,
                        short nColBack, short nColFore);
    ~KwProgressIndicator() override = default;

    // Each sends its link and answers the link's result (0 without link).
    virtual int EvProgressStarted(unsigned short unStart);
    virtual int EvProgressEnded();
    virtual int EvProgressChanged(unsigned short unProgress);
    virtual int EvProgressCanceled(unsigned short unProgress);
    // 0 when already started. Otherwise the bar starts over at 0, the start
    // (at most 100) is reported, and the bar moves to it as UpdateProgress
    // moves it. Answers 1.
    virtual int Start(unsigned short unPercent);
    // 0 when not started; otherwise stops, reports the progress it stopped
    // at (the bar keeps it) and answers 1.
    virtual int Cancel();
    // 0 when not started or when the value (at most 100) is not beyond the
    // progress. Otherwise stores it, repaints at once, reports it and, at
    // 100, stops and reports the end. Answers 1.
    virtual int UpdateProgress(unsigned short unPercent);
    virtual int IncProgress(unsigned short unDelta);
    // 0 while started; otherwise back to 0, repainted. Answers 1.
    virtual int ResetProgress();

    unsigned short GetProgress() const { return m_unProgress; }
    int IsStarted() const { return m_nStarted; }
    void SetFillColor(short nColor, int nRedraw);
    short GetFillColor() const { return m_nFillColor; }
    void SetShowPercentAsText(int nShow, int nRedraw);
    int GetShowPercentAsText() const { return m_nShowPercent; }
    // The width of the filled part of a client area this wide.
    static short FilledWidth(short nWidth, unsigned short unProgress);

    // Overrides
    KwWnd* Copy() const override { return new KwProgressIndicator(*this); }
    int SysCreate(KwWnd* pcoParent) override;
    int EvPaint(KwPaintDC& coDC) override;
    int EvSize(unsigned short unCode, const KwSize& coSize) override;
    void NotifyContentLinked(KwContent& coContent) override;
    int NotifyReadBegin() override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    // A copy takes the fill colour and the text flag; it starts at 0, idle.
    KwProgressIndicator(const KwProgressIndicator& coOther);

    void WriteData(TFile& coFile) const override;

private:
    // Stores the progress and, when it changed, gives the content its text
    // and repaints at once.
    void SetProgress(unsigned short unProgress);
    void ShowPercentText();
    int FireProgress(const char* pszName, unsigned short unValue);

    short m_nFillColor { DefaultFillColor };
    int m_nShowPercent { 1 };
    unsigned short m_unProgress { 0 };
    int m_nStarted { 0 };
};
