#include "KwFileSelProgressState.h"

#include "KwFileSelCopySettings.h"

#include <cstdio>
#include <memory>

namespace {

const std::string s_strNoLine;

} // namespace

KwFileSelProgressState::KwFileSelProgressState(KwCopyEngine& coEngine) : m_coEngine(coEngine) {}

KwFileSelProgressState::~KwFileSelProgressState()
{
    if (m_ePhase != Running && m_ePhase != Cancelling)
        return;
    // A worker that got far ahead of the window waits for room in the
    // queue: let it go on without a reader, or it would never end.
    m_coEngine.Cancel();
    m_coEngine.Queue().Release();
    m_coEngine.WaitUntilEnded();
}

// Buttons

int KwFileSelProgressState::PressStart(Clock::time_point coNow)
{
    return StartRun(0, coNow);
}

int KwFileSelProgressState::PressListOnly(Clock::time_point coNow)
{
    return StartRun(1, coNow);
}

int KwFileSelProgressState::StartRun(int nListOnly, Clock::time_point coNow)
{
    if (!CanStart() || m_coEngine.IsRunning())
        return 0;
    m_coEngine.Options().m_nListOnly = nListOnly;
    m_nListOnly = nListOnly;
    m_vecLines.assign(1, TLine { KwFileSelCopySettings::Describe(m_coEngine.Options()), KwCopyRecord::Info });
    m_nPercent = 0;
    m_coCounts = KwCopyCounts();
    m_coResult = KwCopySummary();
    m_strSummary.clear();
    m_eBar = BarRunning;
    m_coStarted = m_coLastProgress = coNow;
    m_tStarted = std::time(nullptr);
    if (!m_coEngine.Start())
        return 0;
    m_ePhase = Running;
    return 1;
}

int KwFileSelProgressState::PressCancel()
{
    if (m_ePhase != Running)
        return 0;
    m_coEngine.Cancel();
    m_ePhase = Cancelling;
    return 1;
}

int KwFileSelProgressState::RequestClose()
{
    if (m_ePhase == Running)
        PressCancel();
    return CanClose();
}

// Records

size_t KwFileSelProgressState::Pump(Clock::time_point coNow)
{
    m_vecDrained.clear();
    const size_t nCount = m_coEngine.Queue().Drain(m_vecDrained);
    for (const KwCopyRecord& coRecord : m_vecDrained)
        Apply(coRecord, coNow);
    m_vecDrained.clear();
    return nCount;
}

void KwFileSelProgressState::Apply(const KwCopyRecord& coRecord, Clock::time_point coNow)
{
    switch (coRecord.GetKind()) {
    case KwCopyRecord::LineAdded:
        // The engine numbers its lines from 0 in the order it adds them;
        // they follow the line of the options.
        if (coRecord.GetLine() + HeadLines == LineCount())
            m_vecLines.push_back(TLine { coRecord.GetText(), coRecord.GetOutcome() });
        break;
    case KwCopyRecord::LineEnded:
        if (coRecord.GetLine() >= 0 && coRecord.GetLine() + HeadLines < LineCount()) {
            TLine& coLine = m_vecLines[static_cast<size_t>(coRecord.GetLine() + HeadLines)];
            coLine.m_strText += coRecord.GetText();
            coLine.m_eOutcome = coRecord.GetOutcome();
        }
        break;
    case KwCopyRecord::Progress:
        if (coRecord.GetPercent() > m_nPercent)
            m_nPercent = coRecord.GetPercent();
        if (coRecord.GetCounts().m_ullBytesDone != m_coCounts.m_ullBytesDone)
            m_coLastProgress = coNow;
        m_coCounts = coRecord.GetCounts();
        break;
    case KwCopyRecord::Finished:
        Finish();
        break;
    }
}

void KwFileSelProgressState::Finish()
{
    // The worker wrote its summary before it queued Finished, and writes
    // nothing after it.
    m_coResult = m_coEngine.GetSummary();
    m_strSummary = LineCount() > HeadLines ? m_vecLines.back().m_strText : std::string();
    m_ePhase = Finished;
    if (m_coResult.m_nFatal)
        m_eBar = BarRefused;
    else if (m_coResult.m_nCanceled)
        m_eBar = BarCanceled;
    else if (m_coResult.m_lFailed > 0)
        m_eBar = BarFailed;
    else
        m_eBar = BarDone;
}

// Lines

const std::string& KwFileSelProgressState::Line(long lLine) const
{
    if (lLine < 0 || lLine >= LineCount())
        return s_strNoLine;
    return m_vecLines[static_cast<size_t>(lLine)].m_strText;
}

KwCopyRecord::Outcome KwFileSelProgressState::LineOutcome(long lLine) const
{
    if (lLine < 0 || lLine >= LineCount())
        return KwCopyRecord::None;
    return m_vecLines[static_cast<size_t>(lLine)].m_eOutcome;
}

int KwFileSelProgressState::LineColour(long lLine) const
{
    return ColourOf(LineOutcome(lLine));
}

int KwFileSelProgressState::ColourOf(KwCopyRecord::Outcome eOutcome)
{
    switch (eOutcome) {
    case KwCopyRecord::None:
        return ColourWaiting;
    case KwCopyRecord::Ok:
    case KwCopyRecord::Skipped:
    case KwCopyRecord::Listed:
    case KwCopyRecord::Info:
        return ColourOk;
    case KwCopyRecord::Failed:
    case KwCopyRecord::Canceled:
    case KwCopyRecord::Warning:
    case KwCopyRecord::Fatal:
        break;
    }
    return ColourFailed;
}

// The bar

std::string KwFileSelProgressState::BarText() const
{
    char szText[64];
    switch (m_ePhase == Finished ? m_eBar : BarRunning) {
    case BarRunning:
    case BarDone:
        std::snprintf(szText, sizeof(szText), "%d %%", m_nPercent);
        break;
    case BarFailed:
        std::snprintf(szText, sizeof(szText), "%d %%, %ld failed", m_nPercent, m_coResult.m_lFailed);
        break;
    case BarCanceled:
        std::snprintf(szText, sizeof(szText), "Canceled at %d %%", m_nPercent);
        break;
    case BarRefused:
        return "Refused";
    }
    return szText;
}

int KwFileSelProgressState::BarFillColour() const
{
    return m_ePhase != Finished || m_eBar == BarDone ? ColourBar : ColourFailed;
}

double KwFileSelProgressState::BytesPerSecond() const
{
    if (m_ePhase == Finished)
        return m_coResult.m_dSeconds > 0 ? static_cast<double>(m_coResult.m_ullBytes) / m_coResult.m_dSeconds : 0.0;
    const double dSeconds = std::chrono::duration<double>(m_coLastProgress - m_coStarted).count();
    if (dSeconds <= 0 || m_coCounts.m_ullBytesDone == 0)
        return 0.0;
    return static_cast<double>(m_coCounts.m_ullBytesDone) / dSeconds;
}

long KwFileSelProgressState::SecondsLeft() const
{
    if (m_ePhase == Finished)
        return 0;
    const double dSpeed = BytesPerSecond();
    if (dSpeed <= 0 || m_coCounts.m_ullBytesDone > m_coCounts.m_ullBytesAll)
        return -1;
    const double dLeft = static_cast<double>(m_coCounts.m_ullBytesAll - m_coCounts.m_ullBytesDone) / dSpeed;
    return static_cast<long>(dLeft + 0.5);
}

std::string KwFileSelProgressState::CountsText() const
{
    char szText[160];
    std::snprintf(szText, sizeof(szText), "Files: %ld of %ld   Bytes: %s of %s", m_coCounts.m_lEntriesDone,
                  m_coCounts.m_lEntriesAll, BytesText(m_coCounts.m_ullBytesDone).c_str(),
                  BytesText(m_coCounts.m_ullBytesAll).c_str());
    return szText;
}

std::string KwFileSelProgressState::SpeedText() const
{
    const double dSpeed = BytesPerSecond();
    std::string strText = dSpeed > 0 ? BytesText(static_cast<uint64_t>(dSpeed)) + "/s" : std::string("-");
    if (m_ePhase == Running) {
        const long lLeft = SecondsLeft();
        strText += lLeft < 0 ? std::string(", time left unknown") : ", " + DurationText(lLeft) + " left";
    }
    return strText;
}

std::string KwFileSelProgressState::BytesText(uint64_t ullBytes)
{
    static const char* const s_apszUnits[] = { "KB", "MB", "GB", "TB" };
    char szText[32];
    if (ullBytes < 1024) {
        std::snprintf(szText, sizeof(szText), "%u bytes", static_cast<unsigned>(ullBytes));
        return szText;
    }
    double dValue = static_cast<double>(ullBytes) / 1024.0;
    size_t nUnit = 0;
    while (dValue >= 1024.0 && nUnit + 1 < sizeof(s_apszUnits) / sizeof(s_apszUnits[0])) {
        dValue /= 1024.0;
        ++nUnit;
    }
    std::snprintf(szText, sizeof(szText), "%.1f %s", dValue, s_apszUnits[nUnit]);
    return szText;
}

std::string KwFileSelProgressState::DurationText(long lSeconds)
{
    char szText[32];
    if (lSeconds < 0)
        lSeconds = 0;
    if (lSeconds >= 3600)
        std::snprintf(szText, sizeof(szText), "%ld:%02ld:%02ld", lSeconds / 3600, lSeconds / 60 % 60, lSeconds % 60);
    else
        std::snprintf(szText, sizeof(szText), "%ld:%02ld", lSeconds / 60, lSeconds % 60);
    return szText;
}

// The log

int KwFileSelProgressState::SaveLog(const std::string& strPath, std::string& strError) const
{
    KwCopyFileSystem& coFs = KwCopyFileSystem::Platform();
    KwCopyError coError;
    const std::string strTemporary = strPath + ".kwtmp";
    coFs.DeleteFile(strTemporary, coError);
    std::unique_ptr<KwCopyStream> pcoFile = coFs.CreateTarget(strTemporary, nullptr, 0, coError);
    if (!pcoFile) {
        strError = "cannot create " + strTemporary + ": " + coFs.ErrorText(coError.m_ulCode);
        return 0;
    }
    std::string strLog;
    for (const TLine& coLine : m_vecLines)
        strLog += coLine.m_strText + "\r\n";
    if (pcoFile->Write(strLog.data(), static_cast<long>(strLog.size()), coError) < 0) {
        strError = "cannot write " + strTemporary + ": " + coFs.ErrorText(coError.m_ulCode);
        pcoFile->Abandon();
        return 0;
    }
    if (!pcoFile->Commit(strPath, 1, coError)) {
        strError = "cannot replace " + strPath + ": " + coFs.ErrorText(coError.m_ulCode);
        pcoFile->Abandon();
        return 0;
    }
    if (!pcoFile->Close(coError)) {
        strError = "cannot write " + strPath + ": " + coFs.ErrorText(coError.m_ulCode);
        return 0;
    }
    return 1;
}
