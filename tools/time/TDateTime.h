#pragma once

#include "KwtlApi.h"
#include "TString.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <type_traits>

class TFile;
class TTimeVec;

// Calendar dates, times of day, date-and-time values, points in time and
// durations.
//
// Seconds count from 1 January 1970 00:00 UTC (the time_t scale) and are
// 64-bit throughout, so dates up to the year 32767 convert. A date's seconds
// are the start of that day in the machine's local time zone, and seconds
// turn back into the local date and time, so both directions agree in every
// zone (in Central European time 1 January 1970 is -3600). Where the
// run-time library cannot convert an instant (the Microsoft one stops at the
// year 3000 and knows nothing before 1970) the zone's rule is taken from the
// same date 400 years nearer: the Gregorian calendar repeats itself, weekdays
// included, every 400 years. Day arithmetic is calendar arithmetic, so a
// summer-time change never moves a date to a neighbouring day.
//
// The text conversions write into the object's own buffer and return a
// pointer into it, valid until the next conversion or assignment of that
// object; copies get their own empty buffer.

using TSeconds = int64_t;

// Seconds are taken from any integer type: the overloads that take days
// (an int) and seconds then stay apart the way they do with int and long.
template <class T>
using KwIfInteger = std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int>;
template <class T>
using KwIfLongInteger = std::enable_if_t<std::is_same_v<T, long> || std::is_same_v<T, unsigned long>
                                             || std::is_same_v<T, long long> || std::is_same_v<T, unsigned long long>,
                                         int>;

// Days of a month (1 to 12) of a year of the Gregorian calendar; 0 for any
// other month.
KWTL_API short GetMaxDay(short nMonth, short nYear);
// Whether a run-time library time structure holds a valid date from 1970 on
// and a valid time of day.
KWTL_API int TmValid(const std::tm* pcoTime);
// Destroy function for arrays of malloc blocks (Strdup copies, the Dup texts
// of this file).
KWTL_API void DestroyDefault(void* pvBlock);

// A calendar date: day, month and year; the invalid date is all 0. Valid
// years run from 1 to 32767.
class KWTL_API TDateF {
public:
    // Buffer sizes the texts need, terminating zero included.
    static constexpr size_t NameSize = 10;         // "Wednesday", "September"
    static constexpr size_t StringLongSize = 32;   // "Wednesday, 30. September 32767"

    TDateF() = default;
    // Month 1 to 12; an impossible date gives the invalid date.
    TDateF(short nDay, short nMonth, short nYear);
    // "day.month.year"; a year below 100 is 1970 to 2069. Any other text
    // gives the invalid date.
    TDateF(const char* pszText);
    // The local date of an instant; -1 means now.
    template <class T, KwIfInteger<T> = 0>
    TDateF(T llSeconds) { FromSeconds(static_cast<TSeconds>(llSeconds)); }
    TDateF(const TDateF& coOther);

    // Fields; the setters validate and invalidate the whole date when the
    // result is no date (answer 0).
    short Day() const { return m_nDay; }
    short Month() const { return static_cast<short>(m_nMonth + 1); }
    short Year() const { return m_nYear; }
    int SetDay(short nDay);
    int SetMonth(short nMonth);
    int SetYear(short nYear);

    // Moving; 1 when the date moved and is valid. IncDay and the day
    // operators keep to dates from the start of 1970 on (seconds of 1 and
    // more): a date before that, or a move to one, changes nothing.
    int IncDay(short nDays);
    // 29 February becomes 28 February in a year without it.
    int IncYear(short nYears);
    // Whole years first, then the months; a day past the end of the new
    // month becomes its last day. Negative counts move backwards.
    int IncMonth(short nMonths);

    // State
    int Valid() const;
    void Invalidate();
    int IsExtraDayYear() const;
    // Whether summer time applies at the start of the day.
    int IsDaylightSavingTime() const;
    // 0 Sunday to 6 Saturday; -1 for the invalid date.
    int WeekDay() const;
    static short GetLanguage() { return 2; }
    static void SetLanguage(short) {}

    // Seconds: the start of the day; 0 for the invalid date and before 1970.
    TSeconds TotalSeconds() const;
    operator TSeconds() const { return TotalSeconds(); }

    // Texts
    // The short date ("01/05/1998"); null when invalid.
    operator const char*() const;
    // The day and month names into the caller's buffer (NameSize bytes, or
    // nSize); an empty text when invalid, and then null is answered.
    char* DayString(char* pszBuffer) const { return DayString(pszBuffer, NameSize); }
    char* DayString(char* pszBuffer, size_t nSize) const;
    char* MonthString(char* pszBuffer) const { return MonthString(pszBuffer, NameSize); }
    char* MonthString(char* pszBuffer, size_t nSize) const;
    // malloc copies of the names; null when invalid.
    char* DayStringDup() const;
    char* MonthStringDup() const;
    // "Monday, 05. January 1998", into the caller's buffer (StringLongSize
    // bytes, or nSize; emptied first) or, without one, into the object's own
    // buffer; null when invalid.
    const char* StringLong(char* pszBuffer = nullptr) const { return StringLong(pszBuffer, StringLongSize); }
    const char* StringLong(char* pszBuffer, size_t nSize) const;

    // Assignment and arithmetic; the day operators change nothing when the
    // date or the result is before 1970 (see IncDay).
    TDateF& operator=(const TDateF& coOther);
    template <class T, KwIfInteger<T> = 0>
    TDateF& operator=(T llSeconds) { FromSeconds(static_cast<TSeconds>(llSeconds)); return *this; }
    TDateF operator+(int nDays) const;
    TDateF operator-(int nDays) const;
    TDateF& operator+=(int nDays);
    TDateF& operator-=(int nDays);

    // Streams: day, month index (0 to 11) and year as three 16-bit values.
    int Write(TFile& coFile) const;
    // Reads the three values; invalid unless they make a date.
    int Read(TFile& coFile);

private:
    void FromSeconds(TSeconds llSeconds);
    bool MoveDays(int64_t llDays);
    void Set(short nDay, short nMonthIndex, short nYear);

    short m_nDay { 0 };
    short m_nMonth { 0 };          // 0 January to 11 December
    short m_nYear { 0 };
    mutable TString m_coText;
};

// A time of day or a duration: hours have no upper bound. The invalid time
// is all -1.
class KWTL_API TTimeF {
public:
    TTimeF() = default;
    TTimeF(short nHour, short nMinutes, short nSeconds);
    // The local time of day of an instant; -1 means now.
    template <class T, KwIfInteger<T> = 0>
    TTimeF(T llSeconds) { FromSeconds(static_cast<TSeconds>(llSeconds)); }
    TTimeF(const TTimeF& coOther);

    // Fields; the setters validate as TDateF's do.
    short Hour() const { return m_nHour; }
    short Minutes() const { return m_nMinutes; }
    short Seconds() const { return m_nSeconds; }
    int SetHour(short nHour);
    int SetMinutes(short nMinutes);
    int SetSeconds(short nSeconds);

    // State: hours from 0, minutes and seconds 0 to 59.
    int Valid() const;
    void Invalidate();

    // hours x 3600 + minutes x 60 + seconds; -1 when invalid.
    TSeconds TotalSeconds() const;
    operator TSeconds() const { return TotalSeconds(); }
    // "%02d:%02d:%02d"; null when invalid.
    operator const char*() const;

    // Assignment and arithmetic: an invalid operand, a negative result or
    // more hours than the field holds give the invalid time.
    TTimeF& operator=(const TTimeF& coOther);
    template <class T, KwIfInteger<T> = 0>
    TTimeF& operator=(T llSeconds) { FromSeconds(static_cast<TSeconds>(llSeconds)); return *this; }
    template <class T, KwIfInteger<T> = 0>
    TTimeF operator+(T llSeconds) const { TTimeF coMoved(*this); coMoved.Move(static_cast<TSeconds>(llSeconds)); return coMoved; }
    template <class T, KwIfInteger<T> = 0>
    TTimeF operator-(T llSeconds) const { TTimeF coMoved(*this); coMoved.MoveBack(static_cast<TSeconds>(llSeconds)); return coMoved; }
    template <class T, KwIfInteger<T> = 0>
    TTimeF& operator+=(T llSeconds) { Move(static_cast<TSeconds>(llSeconds)); return *this; }
    template <class T, KwIfInteger<T> = 0>
    TTimeF& operator-=(T llSeconds) { MoveBack(static_cast<TSeconds>(llSeconds)); return *this; }
    TTimeF operator+(const TTimeF& coOther) const;
    TTimeF operator-(const TTimeF& coOther) const;
    TTimeF& operator+=(const TTimeF& coOther);
    TTimeF& operator-=(const TTimeF& coOther);

    // Streams: hour, minutes and seconds as three 16-bit values.
    int Write(TFile& coFile) const;
    int Read(TFile& coFile);

private:
    friend class TDateTimeF;
    void FromSeconds(TSeconds llSeconds);
    void Move(TSeconds llSeconds);
    void MoveBack(TSeconds llSeconds);
    void SetTotal(TSeconds llTotal);

    short m_nHour { -1 };
    short m_nMinutes { -1 };
    short m_nSeconds { -1 };
    mutable TString m_coText;
};

// A date with a time of day; valid when both are and the hour is below 24.
class KWTL_API TDateTimeF {
public:
    TDateTimeF() = default;
    TDateTimeF(short nDay, short nMonth, short nYear, short nHour, short nMinutes, short nSeconds);
    TDateTimeF(const TDateF& coDate, const TTimeF& coTime);
    // The date as TDateF parses it; the time stays invalid.
    TDateTimeF(const char* pszText);
    // The local date and time of an instant; -1 means now.
    template <class T, KwIfInteger<T> = 0>
    TDateTimeF(T llSeconds) { FromSeconds(static_cast<TSeconds>(llSeconds)); }
    TDateTimeF(const TDateTimeF& coOther);

    // Parts and fields
    const TDateF& Date() const { return m_coDate; }
    const TTimeF& Time() const { return m_coTime; }
    short Day() const { return m_coDate.Day(); }
    short Month() const { return m_coDate.Month(); }
    short Year() const { return m_coDate.Year(); }
    short Hour() const { return m_coTime.Hour(); }
    short Minutes() const { return m_coTime.Minutes(); }
    short Seconds() const { return m_coTime.Seconds(); }
    int SetDay(short nDay) { return m_coDate.SetDay(nDay); }
    int SetMonth(short nMonth) { return m_coDate.SetMonth(nMonth); }
    int SetYear(short nYear) { return m_coDate.SetYear(nYear); }
    int SetHour(short nHour) { return m_coTime.SetHour(nHour); }
    int SetMinutes(short nMinutes) { return m_coTime.SetMinutes(nMinutes); }
    int SetSeconds(short nSeconds) { return m_coTime.SetSeconds(nSeconds); }
    int IncYear() { return m_coDate.IncYear(1); }

    // The date's properties
    int IsExtraDayYear() const { return m_coDate.IsExtraDayYear(); }
    int IsDaylightSavingTime() const { return m_coDate.IsDaylightSavingTime(); }
    int WeekDay() const { return m_coDate.WeekDay(); }
    char* DayString(char* pszBuffer) const { return m_coDate.DayString(pszBuffer); }
    char* MonthString(char* pszBuffer) const { return m_coDate.MonthString(pszBuffer); }
    char* DayStringDup() const { return m_coDate.DayStringDup(); }
    char* MonthStringDup() const { return m_coDate.MonthStringDup(); }
    const char* StringLong(char* pszBuffer = nullptr) const { return m_coDate.StringLong(pszBuffer); }
    static short GetLanguage() { return TDateF::GetLanguage(); }
    static void SetLanguage(short nLanguage) { TDateF::SetLanguage(nLanguage); }

    // State
    int Valid() const;
    void Invalidate();

    // Seconds: the instant this local date and time names (the earlier one
    // where the clock is turned back); -1 when a part is invalid.
    TSeconds TotalSeconds() const;
    operator TSeconds() const { return TotalSeconds(); }
    TSeconds Diff(const TDateTimeF& coOther) const;
    // Short date, two spaces, time; null when invalid.
    operator const char*() const;

    // Assignment
    template <class T, KwIfInteger<T> = 0>
    TDateTimeF& operator=(T llSeconds) { FromSeconds(static_cast<TSeconds>(llSeconds)); return *this; }
    // Only a valid date, and only a valid time below 24 hours, is taken.
    TDateTimeF& operator=(const TDateF& coDate);
    TDateTimeF& operator=(const TTimeF& coTime);
    TDateTimeF& operator=(const TDateTimeF& coOther);

    // Arithmetic: an int counts days (moved on the date, as TDateF does),
    // a long counts seconds (an invalid value stays invalid, a result before
    // 1970 invalidates).
    TDateTimeF& operator+=(int nDays);
    TDateTimeF& operator-=(int nDays);
    template <class T, KwIfLongInteger<T> = 0>
    TDateTimeF& operator+=(T llSeconds) { MoveSeconds(static_cast<TSeconds>(llSeconds)); return *this; }
    template <class T, KwIfLongInteger<T> = 0>
    TDateTimeF& operator-=(T llSeconds) { MoveSecondsBack(static_cast<TSeconds>(llSeconds)); return *this; }
    TDateTimeF operator+(int nDays) const;
    TDateTimeF operator-(int nDays) const;
    template <class T, KwIfLongInteger<T> = 0>
    TDateTimeF operator+(T llSeconds) const { TDateTimeF coMoved(*this); return coMoved += llSeconds; }
    template <class T, KwIfLongInteger<T> = 0>
    TDateTimeF operator-(T llSeconds) const { TDateTimeF coMoved(*this); return coMoved -= llSeconds; }

    // Streams: the date, then the time.
    int Write(TFile& coFile) const;
    int Read(TFile& coFile);

    // The system clock, through the operating-system object.
    int SetLocalTime() const;
    int SetLocalTime(const TDateTimeF& coDateTime) const;

private:
    void FromSeconds(TSeconds llSeconds);
    void MoveSeconds(TSeconds llSeconds);
    void MoveSecondsBack(TSeconds llSeconds);

    TDateF m_coDate;
    TTimeF m_coTime;
    mutable TString m_coText;
};

// A point in time: seconds since 1970, -1 (any negative value) invalid.
class KWTL_API TTime {
public:
    TTime() = default;
    // -1 means now; any other negative value is invalid.
    template <class T, KwIfInteger<T> = 0>
    TTime(T llSeconds) { FromSeconds(static_cast<TSeconds>(llSeconds)); }
    // Month field 0 to 11, year field from 1900, as the run-time library has them.
    TTime(const std::tm* pcoTime);
    TTime(short nDay, short nMonth, short nYear, short nHour, short nMinutes, short nSeconds);
    TTime(const TDateF& coDate, const TTimeF& coTime);
    TTime(const TTime& coOther) : m_llSeconds(coOther.m_llSeconds) {}

    int Valid() const { return m_llSeconds >= 0; }
    int IsDaylightSavingTime() const;
    int IsExtraDayYear() const;
    TSeconds GetSeconds() const { return m_llSeconds; }
    operator TSeconds() const { return m_llSeconds; }
    // The date-and-time text of the instant; null when invalid.
    operator const char*() const;

    TTime& operator=(const TTime& coOther);
    template <class T, KwIfInteger<T> = 0>
    TTime& operator=(T llSeconds) { FromSeconds(static_cast<TSeconds>(llSeconds)); return *this; }
    // Moved seconds values; -1 for an invalid point.
    template <class T, KwIfInteger<T> = 0>
    TSeconds operator+(T llSeconds) const { return Plus(static_cast<TSeconds>(llSeconds)); }
    template <class T, KwIfInteger<T> = 0>
    TSeconds operator-(T llSeconds) const { return Minus(static_cast<TSeconds>(llSeconds)); }
    TSeconds operator+(const TTimeVec& coVec) const;
    TSeconds operator-(const TTimeVec& coVec) const;
    template <class T, KwIfInteger<T> = 0>
    TTime& operator+=(T llSeconds) { SetRaw(Plus(static_cast<TSeconds>(llSeconds))); return *this; }
    template <class T, KwIfInteger<T> = 0>
    TTime& operator-=(T llSeconds) { SetRaw(Minus(static_cast<TSeconds>(llSeconds))); return *this; }
    TTime& operator+=(const TTimeVec& coVec);
    TTime& operator-=(const TTimeVec& coVec);
    TSeconds Diff(TSeconds llSeconds) const;

private:
    void FromSeconds(TSeconds llSeconds);
    void SetRaw(TSeconds llSeconds) { m_llSeconds = llSeconds < 0 ? -1 : llSeconds; }
    TSeconds Plus(TSeconds llSeconds) const;
    TSeconds Minus(TSeconds llSeconds) const;
    void FromDateTime(const TDateTimeF& coDateTime);

    TSeconds m_llSeconds { -1 };
    mutable TString m_coText;
};

// A signed duration in seconds.
class KWTL_API TTimeVec {
public:
    TTimeVec() = default;
    TTimeVec(int nDays, TSeconds llSeconds);
    TTimeVec(short nDays, TSeconds llSeconds);
    TTimeVec(TSeconds llDays, TSeconds llHours, TSeconds llMinutes, TSeconds llSeconds);
    TTimeVec(TSeconds llHours, TSeconds llMinutes, TSeconds llSeconds);
    TTimeVec(const TTimeVec& coOther) : m_llSeconds(coOther.m_llSeconds) {}

    // Assignment: a long counts seconds, an int or short days.
    TTimeVec& operator=(const TTimeVec& coOther);
    template <class T, KwIfLongInteger<T> = 0>
    TTimeVec& operator=(T llSeconds) { m_llSeconds = static_cast<TSeconds>(llSeconds); return *this; }
    TTimeVec& operator=(int nDays);
    TTimeVec& operator=(short nDays);

    // Arithmetic in seconds; results beyond the 64-bit range stop at its ends.
    template <class T, KwIfInteger<T> = 0>
    TTimeVec& operator+=(T llSeconds) { Add(static_cast<TSeconds>(llSeconds)); return *this; }
    template <class T, KwIfInteger<T> = 0>
    TTimeVec& operator-=(T llSeconds) { Subtract(static_cast<TSeconds>(llSeconds)); return *this; }
    template <class T, KwIfInteger<T> = 0>
    TTimeVec operator+(T llSeconds) const { TTimeVec coSum(*this); return coSum += llSeconds; }
    template <class T, KwIfInteger<T> = 0>
    TTimeVec operator-(T llSeconds) const { TTimeVec coSum(*this); return coSum -= llSeconds; }
    TSeconds GetSeconds() const { return m_llSeconds; }
    operator TSeconds() const { return m_llSeconds; }

    // Parts
    double Days() const { return static_cast<double>(m_llSeconds) / 86400.0; }
    double Hours() const { return static_cast<double>(m_llSeconds) / 3600.0; }
    double Minutes() const { return static_cast<double>(m_llSeconds) / 60.0; }
    // The split by truncating division: every part has the duration's sign.
    void GetF(TSeconds* pllDays, TSeconds* pllHours, TSeconds* pllMinutes, TSeconds* pllSeconds) const;
    void GetF(TSeconds* pllHours, TSeconds* pllMinutes, TSeconds* pllSeconds) const;

    // Texts of the absolute value, "- " before a negative one:
    // total hours, minutes and seconds ("25:01:01", at least two digits of
    // hours, more for longer durations) ...
    operator const char*() const;
    // ... and days, the day word and the time of the day ("1 Day(s) 01:01:01").
    const char* StringLong() const;

private:
    void Add(TSeconds llSeconds);
    void Subtract(TSeconds llSeconds);

    TSeconds m_llSeconds { 0 };
    mutable TString m_coText;
};
