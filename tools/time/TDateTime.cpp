#include "TDateTime.h"

#include "TCrt.h"
#include "TFile.h"
#include "TOpSystem.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

constexpr int64_t kDaySeconds = 86400;
// 400 Gregorian years: 146097 days, a whole number of weeks.
constexpr int64_t kCycleSeconds = 146097 * kDaySeconds;
constexpr int64_t kSeconds2000 = 946684800;     // 1 January 2000 00:00 UTC
// Far beyond every date a TDateF holds; larger values do not convert.
constexpr int64_t kSecondsLimit = int64_t(1) << 50;
constexpr int kFirstYear = 1;
constexpr int kLastYear = SHRT_MAX;

const char* const s_apszDays[] = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" };
const char* const s_apszMonths[] = { "January", "February", "March", "April", "May", "June",
                                     "July", "August", "September", "October", "November", "December" };

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0)))
        --q;
    return q;
}

int64_t FloorMod(int64_t a, int64_t b)
{
    return a - FloorDiv(a, b) * b;
}

bool IsLeapYear(int64_t llYear)
{
    return (llYear % 4 == 0 && llYear % 100 != 0) || llYear % 400 == 0;
}

int MaxDay(int nMonth, int64_t llYear)
{
    static const int s_anDays[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (nMonth < 1 || nMonth > 12)
        return 0;
    return nMonth == 2 && IsLeapYear(llYear) ? 29 : s_anDays[nMonth - 1];
}

// Days since 1 January 1970 of a date of the Gregorian calendar (month 1-12),
// counted through whole 400-year cycles.
int64_t DaysFromCivil(int64_t llYear, int nMonth, int nDay)
{
    llYear -= nMonth <= 2 ? 1 : 0;
    const int64_t llEra = FloorDiv(llYear, 400);
    const int64_t llYearOfEra = llYear - llEra * 400;
    const int64_t llDayOfYear = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
    const int64_t llDayOfEra = llYearOfEra * 365 + llYearOfEra / 4 - llYearOfEra / 100 + llDayOfYear;
    return llEra * 146097 + llDayOfEra - 719468;
}

struct TCivilDate {
    int64_t m_llYear;
    int m_nMonth;          // 1-12
    int m_nDay;
};

TCivilDate CivilFromDays(int64_t llDays)
{
    llDays += 719468;
    const int64_t llEra = FloorDiv(llDays, 146097);
    const int64_t llDayOfEra = llDays - llEra * 146097;
    const int64_t llYearOfEra = (llDayOfEra - llDayOfEra / 1460 + llDayOfEra / 36524 - llDayOfEra / 146096) / 365;
    const int64_t llDayOfYear = llDayOfEra - (365 * llYearOfEra + llYearOfEra / 4 - llYearOfEra / 100);
    const int64_t llMonthShifted = (5 * llDayOfYear + 2) / 153;
    TCivilDate coDate;
    coDate.m_nDay = static_cast<int>(llDayOfYear - (153 * llMonthShifted + 2) / 5 + 1);
    coDate.m_nMonth = static_cast<int>(llMonthShifted < 10 ? llMonthShifted + 3 : llMonthShifted - 9);
    coDate.m_llYear = llYearOfEra + llEra * 400 + (coDate.m_nMonth <= 2 ? 1 : 0);
    return coDate;
}

// The local zone's offset (local minus UTC) at an instant, and whether it is
// summer time. Where the run-time library cannot convert the instant, the
// same moment of the calendar 400 years nearer to 2000 answers.
bool LocalOffset(int64_t llSeconds, int64_t& llOffset, bool& bDst)
{
    if (llSeconds > kSecondsLimit || llSeconds < -kSecondsLimit)
        return false;
    std::tm coTime;
    int64_t llProbe = llSeconds;
    if (!CrtLocalTime(llProbe, &coTime)) {
        llProbe = kSeconds2000 + FloorMod(llSeconds - kSeconds2000, kCycleSeconds);
        if (!CrtLocalTime(llProbe, &coTime))
            return false;
    }
    const int64_t llLocal = DaysFromCivil(coTime.tm_year + 1900LL, coTime.tm_mon + 1, coTime.tm_mday) * kDaySeconds
        + coTime.tm_hour * 3600LL + coTime.tm_min * 60LL + coTime.tm_sec;
    llOffset = llLocal - llProbe;
    bDst = coTime.tm_isdst > 0;
    return true;
}

// A local date and time.
struct TLocalTime {
    int64_t m_llYear;
    int m_nMonth;          // 1-12
    int m_nDay;
    int m_nHour;
    int m_nMinute;
    int m_nSecond;
    bool m_bDst;
};

bool ToLocal(int64_t llSeconds, TLocalTime& coLocal)
{
    int64_t llOffset;
    bool bDst;
    if (!LocalOffset(llSeconds, llOffset, bDst))
        return false;
    const int64_t llLocal = llSeconds + llOffset;
    const int64_t llDays = FloorDiv(llLocal, kDaySeconds);
    const int64_t llOfDay = llLocal - llDays * kDaySeconds;
    const TCivilDate coDate = CivilFromDays(llDays);
    coLocal.m_llYear = coDate.m_llYear;
    coLocal.m_nMonth = coDate.m_nMonth;
    coLocal.m_nDay = coDate.m_nDay;
    coLocal.m_nHour = static_cast<int>(llOfDay / 3600);
    coLocal.m_nMinute = static_cast<int>(llOfDay / 60 % 60);
    coLocal.m_nSecond = static_cast<int>(llOfDay % 60);
    coLocal.m_bDst = bDst;
    return true;
}

// The instant at which the local clock shows llLocal (seconds of a local
// date and time counted like UTC seconds). Where the clock is turned back
// and shows it twice, the earlier instant; where it jumps over it, the
// instant the jump ends at, as if the clock had not jumped yet.
bool FromLocal(int64_t llLocal, int64_t& llSeconds)
{
    if (llLocal > kSecondsLimit || llLocal < -kSecondsLimit)
        return false;
    // No zone is a day away from UTC, so the offsets of the day before and
    // the day after are the only ones that can apply.
    int64_t llBefore;
    int64_t llAfter;
    bool bDst;
    if (!LocalOffset(llLocal - kDaySeconds, llBefore, bDst) || !LocalOffset(llLocal + kDaySeconds, llAfter, bDst))
        return false;
    bool bFound = false;
    for (const int64_t llOffset : { llBefore, llAfter }) {
        const int64_t llCandidate = llLocal - llOffset;
        int64_t llActual;
        if (!LocalOffset(llCandidate, llActual, bDst) || llActual != llOffset)
            continue;
        if (!bFound || llCandidate < llSeconds)
            llSeconds = llCandidate;
        bFound = true;
    }
    if (!bFound)
        llSeconds = llLocal - llBefore;
    return true;
}

int64_t Now()
{
    return static_cast<int64_t>(std::time(nullptr));
}

// Like atoi over the characters [psz, pszEnd): white space, a sign, digits.
// Values beyond the range of a short give SHRT_MIN, which no field accepts.
int ParseNumber(const char* psz, const char* pszEnd)
{
    while (psz < pszEnd && std::isspace(static_cast<unsigned char>(*psz)))
        ++psz;
    bool bNegative = false;
    if (psz < pszEnd && (*psz == '+' || *psz == '-'))
        bNegative = *psz++ == '-';
    long lValue = 0;
    for (; psz < pszEnd && *psz >= '0' && *psz <= '9'; ++psz) {
        lValue = lValue * 10 + (*psz - '0');
        if (lValue > SHRT_MAX)
            return SHRT_MIN;
    }
    return static_cast<int>(bNegative ? -lValue : lValue);
}

// Texts that depend on the language code
const char* ShortDateFormat(short nLanguage)
{
    switch (nLanguage) {
    case 1:
    case 3:
        return "%02d.%02d.%4d";
    case 2:
        return "%02d/%02d/%4d";
    default:
        return nullptr;
    }
}

bool DayBeforeMonth(short nLanguage)
{
    return nLanguage != 2;
}

const char* DayWord(short nLanguage)
{
    switch (nLanguage) {
    case 1: return "Tag(e) ";
    case 2: return "Day(s) ";
    case 3: return "Jour(s) ";
    default: return " ";
    }
}

// Copies a name into the caller's buffer, cut to its size; null for an
// empty name.
char* CopyName(const char* pszName, char* pszBuffer, size_t nSize)
{
    if (!pszBuffer || nSize == 0)
        return nullptr;
    std::snprintf(pszBuffer, nSize, "%s", pszName ? pszName : "");
    return pszName ? pszBuffer : nullptr;
}

bool AddChecked(int64_t a, int64_t b, int64_t& llSum)
{
    return !__builtin_add_overflow(a, b, &llSum);
}

bool SubtractChecked(int64_t a, int64_t b, int64_t& llDifference)
{
    return !__builtin_sub_overflow(a, b, &llDifference);
}

int64_t Saturated(int64_t a, int64_t b)
{
    int64_t llSum;
    if (AddChecked(a, b, llSum))
        return llSum;
    return b > 0 ? INT64_MAX : INT64_MIN;
}

int64_t SaturatedProduct(int64_t a, int64_t b)
{
    int64_t llProduct;
    if (!__builtin_mul_overflow(a, b, &llProduct))
        return llProduct;
    return (a < 0) != (b < 0) ? INT64_MIN : INT64_MAX;
}

} // namespace

// Free functions

short GetMaxDay(short nMonth, short nYear)
{
    return static_cast<short>(MaxDay(nMonth, nYear));
}

int TmValid(const std::tm* pcoTime)
{
    if (!pcoTime)
        return 0;
    const std::tm& t = *pcoTime;
    return t.tm_mon >= 0 && t.tm_mon <= 11 && t.tm_year >= 70 && t.tm_mday >= 1
            && t.tm_mday <= MaxDay(t.tm_mon + 1, t.tm_year + 1900LL) && t.tm_hour >= 0 && t.tm_hour < 24
            && t.tm_min >= 0 && t.tm_min < 60 && t.tm_sec >= 0 && t.tm_sec < 60
        ? 1
        : 0;
}

void DestroyDefault(void* pvBlock)
{
    std::free(pvBlock);
}

// TDateF

TDateF::TDateF(short nDay, short nMonth, short nYear)
{
    Set(nDay, static_cast<short>(nMonth - 1), nYear);
}

TDateF::TDateF(const char* pszText)
{
    if (!pszText)
        return;
    const char* pszFirst = std::strchr(pszText, '.');
    const char* pszSecond = pszFirst ? std::strchr(pszFirst + 1, '.') : nullptr;
    if (!pszSecond)
        return;
    const int nDay = ParseNumber(pszText, pszFirst);
    const int nMonth = ParseNumber(pszFirst + 1, pszSecond);
    int nYear = ParseNumber(pszSecond + 1, pszSecond + 1 + std::strlen(pszSecond + 1));
    if (nYear < 0)
        return;
    if (nYear < 100)
        nYear += nYear + 1900 < 1970 ? 2000 : 1900;
    if (nDay < SHRT_MIN || nDay > SHRT_MAX || nMonth < 1 || nMonth > 12)
        return;
    Set(static_cast<short>(nDay), static_cast<short>(nMonth - 1), static_cast<short>(nYear));
}

TDateF::TDateF(const TDateF& coOther)
    : m_nDay(coOther.m_nDay)
    , m_nMonth(coOther.m_nMonth)
    , m_nYear(coOther.m_nYear)
{
}

void TDateF::Set(short nDay, short nMonthIndex, short nYear)
{
    m_nDay = nDay;
    m_nMonth = nMonthIndex;
    m_nYear = nYear;
    if (!Valid())
        Invalidate();
}

int TDateF::SetDay(short nDay)
{
    Set(nDay, m_nMonth, m_nYear);
    return Valid();
}

int TDateF::SetMonth(short nMonth)
{
    Set(m_nDay, static_cast<short>(nMonth - 1), m_nYear);
    return Valid();
}

int TDateF::SetYear(short nYear)
{
    Set(m_nDay, m_nMonth, nYear);
    return Valid();
}

int TDateF::Valid() const
{
    return m_nYear >= kFirstYear && m_nMonth >= 0 && m_nMonth <= 11 && m_nDay >= 1
            && m_nDay <= MaxDay(m_nMonth + 1, m_nYear)
        ? 1
        : 0;
}

void TDateF::Invalidate()
{
    m_nDay = m_nMonth = m_nYear = 0;
}

int TDateF::IsExtraDayYear() const
{
    return Valid() && IsLeapYear(m_nYear) ? 1 : 0;
}

int TDateF::IsDaylightSavingTime() const
{
    if (!Valid())
        return 0;
    int64_t llStart;
    TLocalTime coLocal;
    if (!FromLocal(DaysFromCivil(m_nYear, m_nMonth + 1, m_nDay) * kDaySeconds, llStart) || !ToLocal(llStart, coLocal))
        return 0;
    return coLocal.m_bDst ? 1 : 0;
}

int TDateF::WeekDay() const
{
    if (!Valid())
        return -1;
    // 1 January 1970 was a Thursday.
    return static_cast<int>(FloorMod(DaysFromCivil(m_nYear, m_nMonth + 1, m_nDay) + 4, 7));
}

TSeconds TDateF::TotalSeconds() const
{
    if (!Valid() || m_nYear < 1970)
        return 0;
    int64_t llSeconds;
    return FromLocal(DaysFromCivil(m_nYear, m_nMonth + 1, m_nDay) * kDaySeconds, llSeconds) ? llSeconds : 0;
}

void TDateF::FromSeconds(TSeconds llSeconds)
{
    Invalidate();
    TLocalTime coLocal;
    if (!ToLocal(llSeconds == -1 ? Now() : llSeconds, coLocal))
        return;
    if (coLocal.m_llYear < kFirstYear || coLocal.m_llYear > kLastYear)
        return;
    Set(static_cast<short>(coLocal.m_nDay), static_cast<short>(coLocal.m_nMonth - 1),
        static_cast<short>(coLocal.m_llYear));
}

bool TDateF::MoveDays(int64_t llDays)
{
    if (!Valid() || TotalSeconds() < 1)
        return false;
    const TCivilDate coTarget = CivilFromDays(DaysFromCivil(m_nYear, m_nMonth + 1, m_nDay) + llDays);
    if (coTarget.m_llYear < kFirstYear || coTarget.m_llYear > kLastYear)
        return false;
    const TDateF coMoved(static_cast<short>(coTarget.m_nDay), static_cast<short>(coTarget.m_nMonth),
                         static_cast<short>(coTarget.m_llYear));
    if (coMoved.TotalSeconds() < 1)
        return false;
    *this = coMoved;
    return true;
}

int TDateF::IncDay(short nDays)
{
    return MoveDays(nDays) ? Valid() : 0;
}

int TDateF::IncYear(short nYears)
{
    if (!Valid())
        return 0;
    const int nYear = m_nYear + nYears;
    if (nYear < kFirstYear || nYear > kLastYear) {
        Invalidate();
        return 0;
    }
    short nDay = m_nDay;
    if (m_nMonth == 1 && nDay == 29 && !IsLeapYear(nYear))
        nDay = 28;
    Set(nDay, m_nMonth, static_cast<short>(nYear));
    return Valid();
}

int TDateF::IncMonth(short nMonths)
{
    if (!Valid())
        return 0;
    if (nMonths / 12 != 0 && !IncYear(static_cast<short>(nMonths / 12)))
        return 0;
    int nIndex = m_nMonth + nMonths % 12;
    int nYear = m_nYear;
    if (nIndex >= 12) {
        nIndex -= 12;
        ++nYear;
    } else if (nIndex < 0) {
        nIndex += 12;
        --nYear;
    }
    if (nYear < kFirstYear || nYear > kLastYear) {
        Invalidate();
        return 0;
    }
    const int nLast = MaxDay(nIndex + 1, nYear);
    Set(static_cast<short>(m_nDay > nLast ? nLast : m_nDay), static_cast<short>(nIndex), static_cast<short>(nYear));
    return Valid();
}

TDateF::operator const char*() const
{
    if (!Valid())
        return nullptr;
    const short nLanguage = GetLanguage();
    const char* pszFormat = ShortDateFormat(nLanguage);
    if (!pszFormat)
        m_coText.Empty();
    else if (DayBeforeMonth(nLanguage))
        m_coText.SetText(pszFormat, m_nDay, m_nMonth + 1, m_nYear);
    else
        m_coText.SetText(pszFormat, m_nMonth + 1, m_nDay, m_nYear);
    return m_coText;
}

char* TDateF::DayString(char* pszBuffer, size_t nSize) const
{
    const int nDay = WeekDay();
    return CopyName(nDay >= 0 ? s_apszDays[nDay] : nullptr, pszBuffer, nSize);
}

char* TDateF::MonthString(char* pszBuffer, size_t nSize) const
{
    return CopyName(Valid() ? s_apszMonths[m_nMonth] : nullptr, pszBuffer, nSize);
}

char* TDateF::DayStringDup() const
{
    const int nDay = WeekDay();
    return nDay >= 0 ? Strdup(s_apszDays[nDay]) : nullptr;
}

char* TDateF::MonthStringDup() const
{
    return Valid() ? Strdup(s_apszMonths[m_nMonth]) : nullptr;
}

const char* TDateF::StringLong(char* pszBuffer, size_t nSize) const
{
    if (pszBuffer && nSize > 0)
        pszBuffer[0] = 0;
    if (!Valid())
        return nullptr;
    TString coText;
    coText.SetText("%s, %02d. %s %4d", s_apszDays[WeekDay()], m_nDay, s_apszMonths[m_nMonth], m_nYear);
    if (!pszBuffer) {
        m_coText = coText;
        return m_coText;
    }
    if (nSize == 0)
        return nullptr;
    std::snprintf(pszBuffer, nSize, "%s", static_cast<const char*>(coText));
    return pszBuffer;
}

TDateF& TDateF::operator=(const TDateF& coOther)
{
    m_nDay = coOther.m_nDay;
    m_nMonth = coOther.m_nMonth;
    m_nYear = coOther.m_nYear;
    return *this;
}

TDateF TDateF::operator+(int nDays) const
{
    TDateF coMoved(*this);
    coMoved += nDays;
    return coMoved;
}

TDateF TDateF::operator-(int nDays) const
{
    TDateF coMoved(*this);
    coMoved -= nDays;
    return coMoved;
}

TDateF& TDateF::operator+=(int nDays)
{
    MoveDays(nDays);
    return *this;
}

TDateF& TDateF::operator-=(int nDays)
{
    MoveDays(-static_cast<int64_t>(nDays));
    return *this;
}

int TDateF::Write(TFile& coFile) const
{
    const int nDay = coFile->Wshort(m_nDay);
    const int nMonth = coFile->Wshort(m_nMonth);
    const int nYear = coFile->Wshort(m_nYear);
    return nDay && nMonth && nYear ? 1 : 0;
}

int TDateF::Read(TFile& coFile)
{
    const short nDay = coFile->Rshort();
    const short nMonth = coFile->Rshort();
    const short nYear = coFile->Rshort();
    Set(nDay, nMonth, nYear);
    return Valid();
}

// TTimeF

TTimeF::TTimeF(short nHour, short nMinutes, short nSeconds)
    : m_nHour(nHour)
    , m_nMinutes(nMinutes)
    , m_nSeconds(nSeconds)
{
    if (!Valid())
        Invalidate();
}

TTimeF::TTimeF(const TTimeF& coOther)
    : m_nHour(coOther.m_nHour)
    , m_nMinutes(coOther.m_nMinutes)
    , m_nSeconds(coOther.m_nSeconds)
{
}

int TTimeF::SetHour(short nHour)
{
    m_nHour = nHour;
    if (!Valid())
        Invalidate();
    return Valid();
}

int TTimeF::SetMinutes(short nMinutes)
{
    m_nMinutes = nMinutes;
    if (!Valid())
        Invalidate();
    return Valid();
}

int TTimeF::SetSeconds(short nSeconds)
{
    m_nSeconds = nSeconds;
    if (!Valid())
        Invalidate();
    return Valid();
}

int TTimeF::Valid() const
{
    return m_nHour >= 0 && m_nMinutes >= 0 && m_nMinutes <= 59 && m_nSeconds >= 0 && m_nSeconds <= 59 ? 1 : 0;
}

void TTimeF::Invalidate()
{
    m_nHour = m_nMinutes = m_nSeconds = -1;
}

TSeconds TTimeF::TotalSeconds() const
{
    return Valid() ? m_nHour * 3600LL + m_nMinutes * 60LL + m_nSeconds : -1;
}

TTimeF::operator const char*() const
{
    if (!Valid())
        return nullptr;
    m_coText.SetText("%02d:%02d:%02d", m_nHour, m_nMinutes, m_nSeconds);
    return m_coText;
}

void TTimeF::FromSeconds(TSeconds llSeconds)
{
    Invalidate();
    TLocalTime coLocal;
    if (!ToLocal(llSeconds == -1 ? Now() : llSeconds, coLocal))
        return;
    m_nHour = static_cast<short>(coLocal.m_nHour);
    m_nMinutes = static_cast<short>(coLocal.m_nMinute);
    m_nSeconds = static_cast<short>(coLocal.m_nSecond);
}

void TTimeF::SetTotal(TSeconds llTotal)
{
    Invalidate();
    if (llTotal < 0 || llTotal / 3600 > SHRT_MAX)
        return;
    m_nHour = static_cast<short>(llTotal / 3600);
    m_nMinutes = static_cast<short>(llTotal / 60 % 60);
    m_nSeconds = static_cast<short>(llTotal % 60);
}

void TTimeF::Move(TSeconds llSeconds)
{
    const TSeconds llOld = TotalSeconds();
    int64_t llNew;
    if (llOld < 0 || !AddChecked(llOld, llSeconds, llNew))
        Invalidate();
    else
        SetTotal(llNew);
}

void TTimeF::MoveBack(TSeconds llSeconds)
{
    const TSeconds llOld = TotalSeconds();
    int64_t llNew;
    if (llOld < 0 || !SubtractChecked(llOld, llSeconds, llNew))
        Invalidate();
    else
        SetTotal(llNew);
}

TTimeF& TTimeF::operator=(const TTimeF& coOther)
{
    m_nHour = coOther.m_nHour;
    m_nMinutes = coOther.m_nMinutes;
    m_nSeconds = coOther.m_nSeconds;
    return *this;
}

TTimeF TTimeF::operator+(const TTimeF& coOther) const
{
    TTimeF coSum(*this);
    return coSum += coOther;
}

TTimeF TTimeF::operator-(const TTimeF& coOther) const
{
    TTimeF coDifference(*this);
    return coDifference -= coOther;
}

TTimeF& TTimeF::operator+=(const TTimeF& coOther)
{
    if (coOther.Valid())
        Move(coOther.TotalSeconds());
    else
        Invalidate();
    return *this;
}

TTimeF& TTimeF::operator-=(const TTimeF& coOther)
{
    if (coOther.Valid())
        MoveBack(coOther.TotalSeconds());
    else
        Invalidate();
    return *this;
}

int TTimeF::Write(TFile& coFile) const
{
    const int nHour = coFile->Wshort(m_nHour);
    const int nMinutes = coFile->Wshort(m_nMinutes);
    const int nSeconds = coFile->Wshort(m_nSeconds);
    return nHour && nMinutes && nSeconds ? 1 : 0;
}

int TTimeF::Read(TFile& coFile)
{
    m_nHour = coFile->Rshort();
    m_nMinutes = coFile->Rshort();
    m_nSeconds = coFile->Rshort();
    if (!Valid())
        Invalidate();
    return Valid();
}

// TDateTimeF

TDateTimeF::TDateTimeF(short nDay, short nMonth, short nYear, short nHour, short nMinutes, short nSeconds)
    : m_coDate(nDay, nMonth, nYear)
    , m_coTime(nHour, nMinutes, nSeconds)
{
}

TDateTimeF::TDateTimeF(const TDateF& coDate, const TTimeF& coTime)
    : m_coDate(coDate)
    , m_coTime(coTime)
{
}

TDateTimeF::TDateTimeF(const char* pszText)
    : m_coDate(pszText)
{
}

TDateTimeF::TDateTimeF(const TDateTimeF& coOther)
    : m_coDate(coOther.m_coDate)
    , m_coTime(coOther.m_coTime)
{
}

int TDateTimeF::Valid() const
{
    return m_coDate.Valid() && m_coTime.Valid() && m_coTime.Hour() < 24 ? 1 : 0;
}

void TDateTimeF::Invalidate()
{
    m_coDate.Invalidate();
    m_coTime.Invalidate();
}

TSeconds TDateTimeF::TotalSeconds() const
{
    if (!m_coDate.Valid() || !m_coTime.Valid())
        return -1;
    const int64_t llLocal =
        DaysFromCivil(m_coDate.Year(), m_coDate.Month(), m_coDate.Day()) * kDaySeconds + m_coTime.TotalSeconds();
    int64_t llSeconds;
    return FromLocal(llLocal, llSeconds) ? llSeconds : -1;
}

TSeconds TDateTimeF::Diff(const TDateTimeF& coOther) const
{
    const TSeconds llDifference = TotalSeconds() - coOther.TotalSeconds();
    return llDifference < 0 ? -llDifference : llDifference;
}

TDateTimeF::operator const char*() const
{
    if (!Valid())
        return nullptr;
    const char* pszDate = m_coDate;
    const char* pszTime = m_coTime;
    m_coText.SetText("%s  %s", pszDate ? pszDate : "", pszTime ? pszTime : "");
    return m_coText;
}

void TDateTimeF::FromSeconds(TSeconds llSeconds)
{
    Invalidate();
    TLocalTime coLocal;
    if (!ToLocal(llSeconds == -1 ? Now() : llSeconds, coLocal) || coLocal.m_llYear < kFirstYear
        || coLocal.m_llYear > kLastYear)
        return;
    m_coDate = TDateF(static_cast<short>(coLocal.m_nDay), static_cast<short>(coLocal.m_nMonth),
                      static_cast<short>(coLocal.m_llYear));
    m_coTime = TTimeF(static_cast<short>(coLocal.m_nHour), static_cast<short>(coLocal.m_nMinute),
                      static_cast<short>(coLocal.m_nSecond));
    if (!Valid())
        Invalidate();
}

TDateTimeF& TDateTimeF::operator=(const TDateF& coDate)
{
    if (coDate.Valid())
        m_coDate = coDate;
    return *this;
}

TDateTimeF& TDateTimeF::operator=(const TTimeF& coTime)
{
    if (coTime.Valid() && coTime.Hour() < 24)
        m_coTime = coTime;
    return *this;
}

TDateTimeF& TDateTimeF::operator=(const TDateTimeF& coOther)
{
    m_coDate = coOther.m_coDate;
    m_coTime = coOther.m_coTime;
    return *this;
}

TDateTimeF& TDateTimeF::operator+=(int nDays)
{
    m_coDate += nDays;
    if (!Valid())
        Invalidate();
    return *this;
}

TDateTimeF& TDateTimeF::operator-=(int nDays)
{
    m_coDate -= nDays;
    if (!Valid())
        Invalidate();
    return *this;
}

TDateTimeF TDateTimeF::operator+(int nDays) const
{
    TDateTimeF coMoved(*this);
    return coMoved += nDays;
}

TDateTimeF TDateTimeF::operator-(int nDays) const
{
    TDateTimeF coMoved(*this);
    return coMoved -= nDays;
}

void TDateTimeF::MoveSeconds(TSeconds llSeconds)
{
    if (!Valid())
        return;
    int64_t llNew;
    if (!AddChecked(TotalSeconds(), llSeconds, llNew) || llNew < 0)
        Invalidate();
    else
        FromSeconds(llNew);
}

void TDateTimeF::MoveSecondsBack(TSeconds llSeconds)
{
    if (!Valid())
        return;
    int64_t llNew;
    if (!SubtractChecked(TotalSeconds(), llSeconds, llNew) || llNew < 0)
        Invalidate();
    else
        FromSeconds(llNew);
}

int TDateTimeF::Write(TFile& coFile) const
{
    const int nDate = m_coDate.Write(coFile);
    const int nTime = m_coTime.Write(coFile);
    return nDate && nTime ? 1 : 0;
}

int TDateTimeF::Read(TFile& coFile)
{
    const int nDate = m_coDate.Read(coFile);
    const int nTime = m_coTime.Read(coFile);
    if (nDate && nTime)
        return 1;
    Invalidate();
    return 0;
}

int TDateTimeF::SetLocalTime() const
{
    return CurrentOS().SetLocalTime(*this);
}

int TDateTimeF::SetLocalTime(const TDateTimeF& coDateTime) const
{
    return CurrentOS().SetLocalTime(coDateTime);
}

// TTime

TTime::TTime(const std::tm* pcoTime)
{
    if (!pcoTime)
        return;
    const int64_t llYear = pcoTime->tm_year + 1900LL;
    const int nMonth = pcoTime->tm_mon + 1;
    if (llYear < kFirstYear || llYear > kLastYear || pcoTime->tm_mday < SHRT_MIN || pcoTime->tm_mday > SHRT_MAX
        || pcoTime->tm_hour < SHRT_MIN || pcoTime->tm_hour > SHRT_MAX || pcoTime->tm_min < SHRT_MIN
        || pcoTime->tm_min > SHRT_MAX || pcoTime->tm_sec < SHRT_MIN || pcoTime->tm_sec > SHRT_MAX || nMonth < 1
        || nMonth > 12)
        return;
    FromDateTime(TDateTimeF(static_cast<short>(pcoTime->tm_mday), static_cast<short>(nMonth),
                            static_cast<short>(llYear), static_cast<short>(pcoTime->tm_hour),
                            static_cast<short>(pcoTime->tm_min), static_cast<short>(pcoTime->tm_sec)));
}

TTime::TTime(short nDay, short nMonth, short nYear, short nHour, short nMinutes, short nSeconds)
{
    FromDateTime(TDateTimeF(nDay, nMonth, nYear, nHour, nMinutes, nSeconds));
}

TTime::TTime(const TDateF& coDate, const TTimeF& coTime)
{
    FromDateTime(TDateTimeF(coDate, coTime));
}

void TTime::FromDateTime(const TDateTimeF& coDateTime)
{
    SetRaw(coDateTime.Valid() ? coDateTime.TotalSeconds() : -1);
}

void TTime::FromSeconds(TSeconds llSeconds)
{
    SetRaw(llSeconds == -1 ? Now() : llSeconds);
}

int TTime::IsDaylightSavingTime() const
{
    TLocalTime coLocal;
    return Valid() && ToLocal(m_llSeconds, coLocal) && coLocal.m_bDst ? 1 : 0;
}

int TTime::IsExtraDayYear() const
{
    TLocalTime coLocal;
    return Valid() && ToLocal(m_llSeconds, coLocal) && IsLeapYear(coLocal.m_llYear) ? 1 : 0;
}

TTime::operator const char*() const
{
    if (!Valid())
        return nullptr;
    const TDateTimeF coDateTime(m_llSeconds);
    const char* pszText = coDateTime;
    if (!pszText)
        return nullptr;
    m_coText = pszText;
    return m_coText;
}

TTime& TTime::operator=(const TTime& coOther)
{
    m_llSeconds = coOther.m_llSeconds;
    return *this;
}

TSeconds TTime::Plus(TSeconds llSeconds) const
{
    int64_t llSum;
    return Valid() && AddChecked(m_llSeconds, llSeconds, llSum) ? llSum : -1;
}

TSeconds TTime::Minus(TSeconds llSeconds) const
{
    int64_t llDifference;
    return Valid() && SubtractChecked(m_llSeconds, llSeconds, llDifference) ? llDifference : -1;
}

TSeconds TTime::operator+(const TTimeVec& coVec) const
{
    return Plus(coVec.GetSeconds());
}

TSeconds TTime::operator-(const TTimeVec& coVec) const
{
    return Minus(coVec.GetSeconds());
}

TTime& TTime::operator+=(const TTimeVec& coVec)
{
    SetRaw(Plus(coVec.GetSeconds()));
    return *this;
}

TTime& TTime::operator-=(const TTimeVec& coVec)
{
    SetRaw(Minus(coVec.GetSeconds()));
    return *this;
}

TSeconds TTime::Diff(TSeconds llSeconds) const
{
    int64_t llDifference;
    if (!SubtractChecked(m_llSeconds, llSeconds, llDifference))
        return INT64_MAX;
    return llDifference < 0 ? (llDifference == INT64_MIN ? INT64_MAX : -llDifference) : llDifference;
}

// TTimeVec

TTimeVec::TTimeVec(int nDays, TSeconds llSeconds)
    : m_llSeconds(Saturated(SaturatedProduct(nDays, kDaySeconds), llSeconds))
{
}

TTimeVec::TTimeVec(short nDays, TSeconds llSeconds)
    : m_llSeconds(Saturated(SaturatedProduct(nDays, kDaySeconds), llSeconds))
{
}

TTimeVec::TTimeVec(TSeconds llDays, TSeconds llHours, TSeconds llMinutes, TSeconds llSeconds)
    : m_llSeconds(Saturated(Saturated(Saturated(SaturatedProduct(llDays, kDaySeconds), SaturatedProduct(llHours, 3600)),
                                      SaturatedProduct(llMinutes, 60)),
                            llSeconds))
{
}

TTimeVec::TTimeVec(TSeconds llHours, TSeconds llMinutes, TSeconds llSeconds)
    : m_llSeconds(Saturated(Saturated(SaturatedProduct(llHours, 3600), SaturatedProduct(llMinutes, 60)), llSeconds))
{
}

TTimeVec& TTimeVec::operator=(const TTimeVec& coOther)
{
    m_llSeconds = coOther.m_llSeconds;
    return *this;
}

TTimeVec& TTimeVec::operator=(int nDays)
{
    m_llSeconds = nDays * kDaySeconds;
    return *this;
}

TTimeVec& TTimeVec::operator=(short nDays)
{
    m_llSeconds = nDays * kDaySeconds;
    return *this;
}

void TTimeVec::Add(TSeconds llSeconds)
{
    m_llSeconds = Saturated(m_llSeconds, llSeconds);
}

void TTimeVec::Subtract(TSeconds llSeconds)
{
    int64_t llDifference;
    if (SubtractChecked(m_llSeconds, llSeconds, llDifference))
        m_llSeconds = llDifference;
    else
        m_llSeconds = llSeconds > 0 ? INT64_MIN : INT64_MAX;
}

void TTimeVec::GetF(TSeconds* pllDays, TSeconds* pllHours, TSeconds* pllMinutes, TSeconds* pllSeconds) const
{
    if (pllDays)
        *pllDays = m_llSeconds / kDaySeconds;
    if (pllHours)
        *pllHours = m_llSeconds % kDaySeconds / 3600;
    if (pllMinutes)
        *pllMinutes = m_llSeconds % 3600 / 60;
    if (pllSeconds)
        *pllSeconds = m_llSeconds % 60;
}

void TTimeVec::GetF(TSeconds* pllHours, TSeconds* pllMinutes, TSeconds* pllSeconds) const
{
    if (pllHours)
        *pllHours = m_llSeconds / 3600;
    if (pllMinutes)
        *pllMinutes = m_llSeconds % 3600 / 60;
    if (pllSeconds)
        *pllSeconds = m_llSeconds % 60;
}

namespace {

const char* SignText(int64_t llSeconds)
{
    return llSeconds < 0 ? "- " : "";
}

uint64_t Magnitude(int64_t llSeconds)
{
    return llSeconds < 0 ? 0 - static_cast<uint64_t>(llSeconds) : static_cast<uint64_t>(llSeconds);
}

} // namespace

TTimeVec::operator const char*() const
{
    const uint64_t ullAbs = Magnitude(m_llSeconds);
    const auto ullHours = static_cast<unsigned long long>(ullAbs / 3600);
    const auto ullMinutes = static_cast<unsigned long long>(ullAbs / 60 % 60);
    const auto ullSeconds = static_cast<unsigned long long>(ullAbs % 60);
    const char* pszFormat = ullHours < 100 ? "%s%02llu:%02llu:%02llu"
        : ullHours < 1000                  ? "%s%03llu:%02llu:%02llu"
        : ullHours < 10000                 ? "%s%04llu:%02llu:%02llu"
        : ullHours < 100000                ? "%s%05llu:%02llu:%02llu"
                                           : "%s%06llu:%02llu:%02llu";
    m_coText.SetText(pszFormat, SignText(m_llSeconds), ullHours, ullMinutes, ullSeconds);
    return m_coText;
}

const char* TTimeVec::StringLong() const
{
    const uint64_t ullAbs = Magnitude(m_llSeconds);
    m_coText.SetText("%s%llu %s%02llu:%02llu:%02llu", SignText(m_llSeconds),
                     static_cast<unsigned long long>(ullAbs / 86400), DayWord(TDateF::GetLanguage()),
                     static_cast<unsigned long long>(ullAbs % 86400 / 3600),
                     static_cast<unsigned long long>(ullAbs / 60 % 60), static_cast<unsigned long long>(ullAbs % 60));
    return m_coText;
}
