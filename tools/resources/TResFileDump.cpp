#include "TResFileDump.h"

#include "TCrt.h"
#include "TFileHeader.h"
#include "TResVar.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr uint16_t kEndMark = 30;
constexpr uint32_t kMaxBlockWords = 32767;
constexpr size_t kValuesPerLine = 8;
constexpr size_t kHexPerLine = 16;

const char* VariableName(uint16_t unCode)
{
    switch (unCode) {
    case TResVar::TypeChar: return "char";
    case TResVar::TypeShort: return "short";
    case TResVar::TypeLong: return "long";
    case TResVar::TypeFloat: return "float";
    case TResVar::TypeDouble: return "double";
    default: return "string";
    }
}

// A read position inside [begin, end) of the bytes; nothing outside is
// ever touched.
class TByteReader {
public:
    TByteReader(const uint8_t* pb, size_t nBegin, size_t nEnd) : m_pb(pb), m_nPos(nBegin), m_nEnd(nEnd) {}

    size_t Pos() const { return m_nPos; }
    size_t End() const { return m_nEnd; }
    size_t Left() const { return m_nEnd - m_nPos; }
    void Rewind(size_t nPos) { m_nPos = nPos; }
    const uint8_t* At(size_t nPos) const { return m_pb + nPos; }

    bool Take(size_t n, const uint8_t*& pb)
    {
        if (Left() < n)
            return false;
        pb = m_pb + m_nPos;
        m_nPos += n;
        return true;
    }
    bool U16(uint16_t& un)
    {
        const uint8_t* pb;
        if (!Take(2, pb))
            return false;
        un = static_cast<uint16_t>(pb[0] | pb[1] << 8);
        return true;
    }
    bool U32(uint32_t& ul)
    {
        const uint8_t* pb;
        if (!Take(4, pb))
            return false;
        ul = static_cast<uint32_t>(pb[0]) | static_cast<uint32_t>(pb[1]) << 8 | static_cast<uint32_t>(pb[2]) << 16
            | static_cast<uint32_t>(pb[3]) << 24;
        return true;
    }
    bool U64(uint64_t& ull)
    {
        uint32_t ulLow, ulHigh;
        if (Left() < 8 || !U32(ulLow) || !U32(ulHigh))
            return false;
        ull = static_cast<uint64_t>(ulHigh) << 32 | ulLow;
        return true;
    }

    // A counted string: a u16 length, then that many characters and a zero
    // byte (nothing for length 0, which reads as absent).
    struct TText {
        const char* pszWhy { "" };   // why it could not be read, or ""
        bool bAbsent { true };
        const uint8_t* pb { nullptr };
        size_t n { 0 };

        bool Ok() const { return !*pszWhy; }
    };
    TText Text()
    {
        TText text;
        uint16_t unLength;
        if (!U16(unLength)) {
            text.pszWhy = "ends past the end of the data";
            return text;
        }
        text.bAbsent = unLength == 0;
        text.n = unLength;
        if (text.bAbsent)
            return text;
        if (!Take(text.n + 1u, text.pb))
            text.pszWhy = "ends past the end of the data";
        else if (text.pb[text.n] != 0)
            text.pszWhy = "lacks its zero byte";
        return text;
    }

private:
    const uint8_t* m_pb;
    size_t m_nPos;
    size_t m_nEnd;
};

// Values of one statement: a new line begins after every nPerLine values
// (also before the first one when bFirstApart), continuation lines are
// indented by two more blanks.
class TWrappedLines {
public:
    TWrappedLines(std::string strHead, size_t nPerLine, bool bFirstApart = false)
        : m_strLine(std::move(strHead)), m_nPerLine(nPerLine), m_bFirstApart(bFirstApart)
    {
    }

    // The line the next value is appended to.
    std::string& Next()
    {
        if (m_nValues % m_nPerLine == 0 && (m_nValues > 0 || m_bFirstApart)) {
            m_vecLines.push_back(m_strLine);
            m_strLine = "  ";
        } else {
            m_strLine += ' ';
        }
        ++m_nValues;
        return m_strLine;
    }

    const std::vector<std::string>& Lines()
    {
        m_vecLines.push_back(m_strLine);
        m_strLine.clear();
        return m_vecLines;
    }

private:
    std::string m_strLine;
    size_t m_nPerLine;
    bool m_bFirstApart;
    size_t m_nValues { 0 };
    std::vector<std::string> m_vecLines;
};

void AppendNumber(std::string& str, long long ll)
{
    char ach[24];
    std::snprintf(ach, sizeof ach, "%lld", ll);
    str += ach;
}

void AppendHexWord(std::string& str, uint32_t ul)
{
    char ach[16];
    std::snprintf(ach, sizeof ach, "0x%08lx", static_cast<unsigned long>(ul));
    str += ach;
}

void AppendQuoted(std::string& str, const uint8_t* pb, size_t n)
{
    static const char kHex[] = "0123456789abcdef";
    str += '"';
    for (size_t i = 0; i < n; ++i) {
        const uint8_t b = pb[i];
        switch (b) {
        case '"': str += "\\\""; continue;
        case '\\': str += "\\\\"; continue;
        case '\n': str += "\\n"; continue;
        case '\r': str += "\\r"; continue;
        case '\t': str += "\\t"; continue;
        default: break;
        }
        if (b >= 0x20 && b < 0x7f) {
            str += static_cast<char>(b);
            continue;
        }
        str += "\\x";
        str += kHex[b >> 4];
        str += kHex[b & 15];
    }
    str += '"';
}

void AppendText(std::string& str, const TByteReader::TText& text)
{
    if (text.bAbsent)
        str += "absent";
    else
        AppendQuoted(str, text.pb, text.n);
}

template <class TReal, class TBits>
void AppendReal(std::string& str, TBits bits)
{
    TReal r;
    std::memcpy(&r, &bits, sizeof r);
    if (std::isnan(r)) {
        char ach[32];
        std::snprintf(ach, sizeof ach, "nan:0x%0*llx", static_cast<int>(2 * sizeof bits),
                      static_cast<unsigned long long>(bits));
        str += ach;
        return;
    }
    if (std::isinf(r)) {
        str += r < 0 ? "-inf" : "inf";
        return;
    }
    char ach[64];
    const auto res = std::to_chars(ach, ach + sizeof ach, r);
    str.append(ach, res.ptr);
}

// A zero-filled text field of an index entry: the text when the field is
// one, else its bytes in hex.
void AppendField(std::string& str, const char* pszName, const uint8_t* pb, size_t nSize)
{
    const auto* pbZero = static_cast<const uint8_t*>(std::memchr(pb, 0, nSize));
    const bool bCanonical = pbZero && std::all_of(pbZero, pb + nSize, [](uint8_t b) { return b == 0; });
    str += pszName;
    if (bCanonical) {
        str += ' ';
        AppendQuoted(str, pb, static_cast<size_t>(pbZero - pb));
        return;
    }
    static const char kHex[] = "0123456789abcdef";
    str += "-raw ";
    for (size_t i = 0; i < nSize; ++i) {
        str += kHex[pb[i] >> 4];
        str += kHex[pb[i] & 15];
    }
}

std::string FieldText(const uint8_t* pb, size_t nSize)
{
    const auto* pbZero = static_cast<const uint8_t*>(std::memchr(pb, 0, nSize));
    return std::string(reinterpret_cast<const char*>(pb), pbZero ? static_cast<size_t>(pbZero - pb) : nSize);
}

std::string ErrorLine(size_t nOffset, const std::string& strText)
{
    std::string str = "# error at ";
    AppendNumber(str, static_cast<long long>(nOffset));
    return str + ": " + strText;
}

struct TEntry {
    size_t nOffset;
    std::string strId;   // the id as the handler sees it
    int32_t lDataPos;
    int32_t lEndPos;
};

// The header and the index as lines of text, read from one start offset;
// kept apart from the output so that a file can be tried with and without
// a description.
struct THeaderParse {
    std::vector<std::string> vecLines;
    std::vector<std::pair<size_t, std::string>> vecErrors;
    std::vector<TEntry> vecEntries;
    bool bSignature { false };
    bool bComplete { false };   // header and index read to their end
    size_t nPos { 0 };          // where reading stopped: the data area when complete

    void Error(size_t nOffset, const std::string& strText)
    {
        vecLines.push_back(ErrorLine(nOffset, strText));
        vecErrors.emplace_back(nOffset, strText);
    }
};

class THeaderReader {
public:
    THeaderReader(const uint8_t* pb, size_t nSize) : m_pb(pb), m_nSize(nSize) {}

    THeaderParse Read(const std::string* pstrDescription)
    {
        THeaderParse parse;
        TByteReader in(m_pb, 0, m_nSize);
        if (pstrDescription && !ReadDescription(in, *pstrDescription, parse))
            return parse;
        if (ReadFields(in, parse) && ReadBlocks(in, parse) && ReadIndex(in, parse)) {
            CheckEntries(in.Pos(), parse);
            parse.bComplete = true;
        }
        parse.nPos = in.Pos();
        return parse;
    }

private:
    bool ReadDescription(TByteReader& in, const std::string& strDescription, THeaderParse& parse)
    {
        const uint8_t* pb;
        if (!in.Take(strDescription.size() + 1, pb) || std::memcmp(pb, strDescription.data(), strDescription.size()) != 0
            || pb[strDescription.size()] != 0) {
            in.Rewind(0);
            std::string str = "the file does not start with the description ";
            AppendQuoted(str, reinterpret_cast<const uint8_t*>(strDescription.data()), strDescription.size());
            parse.Error(0, str);
            return false;
        }
        std::string str = "description ";
        AppendQuoted(str, pb, strDescription.size());
        parse.vecLines.push_back(str);
        return true;
    }

    bool Text(TByteReader& in, THeaderParse& parse, const char* pszName, std::string* pstrValue = nullptr,
              bool* pbAbsent = nullptr)
    {
        const size_t nStart = in.Pos();
        const TByteReader::TText text = in.Text();
        if (!text.Ok()) {
            in.Rewind(nStart);
            parse.Error(nStart, std::string(pszName) + " " + text.pszWhy);
            return false;
        }
        std::string str = pszName;
        str += ' ';
        AppendText(str, text);
        parse.vecLines.push_back(str);
        if (pstrValue && !text.bAbsent)
            pstrValue->assign(reinterpret_cast<const char*>(text.pb), text.n);
        if (pbAbsent)
            *pbAbsent = text.bAbsent;
        return true;
    }

    bool Triple(TByteReader& in, THeaderParse& parse, const char* pszName)
    {
        const size_t nStart = in.Pos();
        uint16_t aun[3];
        if (in.Left() < 6 || !in.U16(aun[0]) || !in.U16(aun[1]) || !in.U16(aun[2])) {
            in.Rewind(nStart);
            parse.Error(nStart, std::string(pszName) + " ends past the end of the file");
            return false;
        }
        std::string str = pszName;
        for (uint16_t un : aun) {
            str += ' ';
            AppendNumber(str, static_cast<int16_t>(un));
        }
        parse.vecLines.push_back(str);
        return true;
    }

    bool Word(TByteReader& in, THeaderParse& parse, const char* pszName, uint32_t& ul, size_t nBytes)
    {
        const size_t nStart = in.Pos();
        uint16_t un = 0;
        if (!(nBytes == 2 ? in.U16(un) : in.U32(ul))) {
            in.Rewind(nStart);
            parse.Error(nStart, std::string(pszName) + " ends past the end of the file");
            return false;
        }
        if (nBytes == 2)
            ul = un;
        return true;
    }

    bool ReadFields(TByteReader& in, THeaderParse& parse)
    {
        if (!Text(in, parse, "custom-version"))
            return false;
        uint32_t ulNumber = 0;
        if (!Word(in, parse, "custom-number", ulNumber, 4))
            return false;
        parse.vecLines.push_back("custom-number " + std::to_string(ulNumber));

        const size_t nSignature = in.Pos();
        std::string strSignature;
        bool bAbsent = true;
        if (!Text(in, parse, "signature", &strSignature, &bAbsent))
            return false;
        parse.bSignature = strSignature == TFileHeader::Signature();
        if (bAbsent)
            parse.Error(nSignature, "no signature: this is not a resource file");
        else if (!parse.bSignature)
            parse.Error(nSignature, "the signature is not that of a resource file");

        if (!Text(in, parse, "format-version") || !Text(in, parse, "user-created")
            || !Triple(in, parse, "date-created") || !Triple(in, parse, "time-created")
            || !Text(in, parse, "user-changed") || !Triple(in, parse, "date-changed")
            || !Triple(in, parse, "time-changed"))
            return false;
        const size_t nProtection = in.Pos();
        if (!Word(in, parse, "protection", m_ulProtection, 2))
            return false;
        parse.vecLines.push_back("protection " + std::to_string(m_ulProtection));
        if (m_ulProtection & ~3u)
            parse.Error(nProtection, "protection flags other than read (1) and write (2)");
        return true;
    }

    bool ReadBlocks(TByteReader& in, THeaderParse& parse)
    {
        if ((m_ulProtection & TFileHeader::ReadProtected) && !Block(in, parse, "read-password-block"))
            return false;
        return !(m_ulProtection & TFileHeader::WriteProtected) || Block(in, parse, "write-password-block");
    }

    bool Block(TByteReader& in, THeaderParse& parse, const char* pszName)
    {
        const size_t nStart = in.Pos();
        uint32_t ulFirst = 0;
        if (!Word(in, parse, pszName, ulFirst, 4))
            return false;
        const uint32_t ulWords = (ulFirst >> 8) + 2;
        if (ulWords > kMaxBlockWords) {
            in.Rewind(nStart);
            parse.Error(nStart, std::string(pszName) + " of " + std::to_string(ulWords)
                                    + " words is longer than 32767 words");
            return false;
        }
        if (in.Left() < (ulWords - 1) * size_t { 4 }) {
            in.Rewind(nStart);
            parse.Error(nStart, std::string(pszName) + " of " + std::to_string(ulWords)
                                    + " words ends past the end of the file");
            return false;
        }
        in.Rewind(nStart);
        TWrappedLines lines(pszName, kValuesPerLine);
        for (uint32_t i = 0; i < ulWords; ++i) {
            uint32_t ul = 0;
            in.U32(ul);
            AppendHexWord(lines.Next(), ul);
        }
        for (const std::string& strLine : lines.Lines())
            parse.vecLines.push_back(strLine);
        return true;
    }

    bool ReadIndex(TByteReader& in, THeaderParse& parse)
    {
        uint32_t ulCount = 0;
        const size_t nStart = in.Pos();
        if (!Word(in, parse, "entry count", ulCount, 2))
            return false;
        const auto sCount = static_cast<int16_t>(ulCount);
        if (sCount < 0) {
            in.Rewind(nStart);
            parse.Error(nStart, "negative entry count " + std::to_string(sCount));
            return false;
        }
        parse.vecLines.push_back("index " + std::to_string(sCount));
        for (int16_t i = 0; i < sCount; ++i) {
            const size_t nEntry = in.Pos();
            const uint8_t* pb;
            if (!in.Take(TFileIndex::DiskSize, pb)) {
                parse.Error(nEntry, "the index of " + std::to_string(sCount) + " entries ends past the end of the file");
                return false;
            }
            parse.vecLines.push_back("  " + EntryLine(pb));
            parse.vecEntries.push_back(MakeEntry(nEntry, pb));
        }
        return true;
    }

    static int32_t I32(const uint8_t* pb)
    {
        return static_cast<int32_t>(static_cast<uint32_t>(pb[0]) | static_cast<uint32_t>(pb[1]) << 8
                                    | static_cast<uint32_t>(pb[2]) << 16 | static_cast<uint32_t>(pb[3]) << 24);
    }

    static std::string EntryLine(const uint8_t* pb)
    {
        std::string str = "entry ";
        AppendField(str, "id", pb, TFileIndex::IdSize);
        str += ' ';
        AppendField(str, "class", pb + 32, TFileIndex::ClassSize);
        str += " type " + std::to_string(pb[96] | pb[97] << 8);
        str += " wparam " + std::to_string(pb[98] | pb[99] << 8);
        str += " lparam " + std::to_string(static_cast<uint32_t>(I32(pb + 100)));
        str += " data " + std::to_string(I32(pb + 104));
        str += " end " + std::to_string(I32(pb + 108));
        return str;
    }

    static TEntry MakeEntry(size_t nOffset, const uint8_t* pb)
    {
        // The handler keeps at most 31 characters of an id.
        return TEntry { nOffset, FieldText(pb, TFileIndex::IdSize - 1), I32(pb + 104), I32(pb + 108) };
    }

    // What the handler refuses when it opens the file: two entries of one
    // id and records outside the data area.
    void CheckEntries(size_t nDataPos, THeaderParse& parse) const
    {
        std::vector<const TEntry*> vecSorted;
        for (const TEntry& entry : parse.vecEntries)
            vecSorted.push_back(&entry);
        std::stable_sort(vecSorted.begin(), vecSorted.end(), [](const TEntry* a, const TEntry* b) {
            return CrtStricmp(a->strId.c_str(), b->strId.c_str()) < 0;
        });
        for (size_t i = 1; i < vecSorted.size(); ++i) {
            if (CrtStricmp(vecSorted[i - 1]->strId.c_str(), vecSorted[i]->strId.c_str()) == 0)
                parse.Error(vecSorted[i]->nOffset, "a second entry of the id " + Quoted(vecSorted[i]->strId));
        }
        for (const TEntry& entry : parse.vecEntries) {
            if (entry.lDataPos == -1)
                continue;
            if (entry.lDataPos < 0 || static_cast<size_t>(entry.lDataPos) < nDataPos || entry.lEndPos < entry.lDataPos
                || static_cast<size_t>(entry.lEndPos) > m_nSize)
                parse.Error(entry.nOffset, "the record of " + Quoted(entry.strId) + " from "
                                               + std::to_string(entry.lDataPos) + " to " + std::to_string(entry.lEndPos)
                                               + " lies outside the data area (" + std::to_string(nDataPos) + " to "
                                               + std::to_string(m_nSize) + ")");
        }
    }

    static std::string Quoted(const std::string& str)
    {
        std::string strOut;
        AppendQuoted(strOut, reinterpret_cast<const uint8_t*>(str.data()), str.size());
        return strOut;
    }

    const uint8_t* m_pb;
    size_t m_nSize;
    uint32_t m_ulProtection { 0 };
};

} // namespace

// Prints one dump: the header chosen, then the data area record by record.
class TResFileDumpWriter {
public:
    TResFileDumpWriter(TResFileDump& coDump, const uint8_t* pb, size_t nSize)
        : m_coDump(coDump), m_strOut(coDump.m_strText), m_pb(pb), m_nSize(nSize)
    {
    }

    void Write()
    {
        m_strOut = "kwtdump 1\nheader\n";
        THeaderParse parse = ChooseHeader();
        for (const std::string& strLine : parse.vecLines)
            Line(1, strLine);
        for (const auto& error : parse.vecErrors)
            m_coDump.AddError(error.first, error.second);
        if (!parse.bComplete) {
            Hex(1, "unread", parse.nPos, m_nSize);
        } else {
            Line(0, "data " + std::to_string(parse.nPos));
            DataArea(parse);
        }
        Line(0, "end");
    }

private:
    THeaderParse ChooseHeader()
    {
        THeaderReader reader(m_pb, m_nSize);
        if (m_coDump.m_bFixedDescription)
            return reader.Read(m_coDump.m_strDescription.empty() ? nullptr : &m_coDump.m_strDescription);
        THeaderParse parse = reader.Read(nullptr);
        if (parse.bSignature)
            return parse;
        // A description is a text and its zero byte: the first zero byte of
        // the file ends it.
        const size_t nLimit = std::min(m_nSize, size_t { TResFileDump::MaxDescription + 1 });
        const auto* pbZero = static_cast<const uint8_t*>(std::memchr(m_pb, 0, nLimit));
        if (!pbZero || pbZero == m_pb)
            return parse;
        const std::string strDescription(reinterpret_cast<const char*>(m_pb), static_cast<size_t>(pbZero - m_pb));
        THeaderParse described = THeaderReader(m_pb, m_nSize).Read(&strDescription);
        return described.bSignature ? described : parse;
    }

    struct TRecord {
        size_t nBegin;
        size_t nEnd;
        std::string strId;
    };

    void DataArea(const THeaderParse& parse)
    {
        std::vector<TRecord> vecRecords;
        for (const TEntry& entry : parse.vecEntries) {
            if (entry.lDataPos < 0 || entry.lEndPos <= entry.lDataPos || static_cast<size_t>(entry.lDataPos) < parse.nPos
                || static_cast<size_t>(entry.lEndPos) > m_nSize)
                continue;
            vecRecords.push_back(TRecord { static_cast<size_t>(entry.lDataPos), static_cast<size_t>(entry.lEndPos),
                                           entry.strId });
        }
        std::stable_sort(vecRecords.begin(), vecRecords.end(),
                         [](const TRecord& a, const TRecord& b) { return a.nBegin < b.nBegin; });
        size_t nCursor = parse.nPos;
        for (const TRecord& record : vecRecords) {
            if (record.nBegin > nCursor)
                Hex(1, "unused", nCursor, record.nBegin);
            else if (record.nBegin < nCursor)
                Line(1, "# note: this record shares bytes with the one before");
            Record(record);
            nCursor = std::max(nCursor, record.nEnd);
        }
        if (nCursor < m_nSize)
            Hex(1, "unused", nCursor, m_nSize);
    }

    void Record(const TRecord& record)
    {
        std::string str = "record ";
        AppendQuoted(str, reinterpret_cast<const uint8_t*>(record.strId.data()), record.strId.size());
        Line(1, str + " at " + std::to_string(record.nBegin));
        TByteReader in(m_pb, record.nBegin, record.nEnd);
        uint16_t unCode = 0;
        if (!in.U16(unCode)) {
            Error(2, record.nBegin, "the record is shorter than a type code");
            Hex(2, "unread", record.nBegin, record.nEnd);
            return;
        }
        if (TResVar::IsVariableType(unCode) || unCode == kEndMark) {
            Error(2, record.nBegin, "the record does not start with a resource");
            Hex(2, "unread", record.nBegin, record.nEnd);
            return;
        }
        if (!Resource(in, unCode, 0, 2)) {
            Hex(2, "unread", in.Pos(), record.nEnd);
            return;
        }
        if (in.Left() > 0)
            Hex(2, "unused", in.Pos(), record.nEnd);
    }

    // A resource whose type code was read; on failure the reader stands at
    // the start of the item that could not be read.
    bool Resource(TByteReader& in, uint16_t unType, unsigned nDepth, int nIndent)
    {
        const size_t nStart = in.Pos() - 2;
        std::string str = "resource " + std::to_string(unType);
        if (!HeadText(in, str, " class ", nIndent) || !HeadText(in, str, " cpp ", nIndent)) {
            in.Rewind(nStart);
            return false;
        }
        uint16_t unWParam = 0;
        uint32_t ulLParam = 0;
        if (!in.U16(unWParam) || !in.U32(ulLParam)) {
            Error(nIndent, nStart, "the resource's head ends past the end of its record");
            in.Rewind(nStart);
            return false;
        }
        Line(nIndent, str + " wparam " + std::to_string(unWParam) + " lparam " + std::to_string(ulLParam));
        for (;;) {
            const size_t nItem = in.Pos();
            uint16_t unCode = 0;
            if (!in.U16(unCode)) {
                Error(nIndent + 1, nItem, "the resource ends without its end mark");
                return false;
            }
            if (unCode == kEndMark) {
                Line(nIndent, "end");
                return true;
            }
            if (TResVar::IsVariableType(unCode)) {
                if (!Variable(in, unCode, nIndent + 1)) {
                    in.Rewind(nItem);
                    return false;
                }
                continue;
            }
            if (nDepth + 1 > TResFileDump::MaxDepth) {
                Error(nIndent + 1, nItem, "children nest deeper than " + std::to_string(TResFileDump::MaxDepth));
                in.Rewind(nItem);
                return false;
            }
            if (!Resource(in, unCode, nDepth + 1, nIndent + 1))
                return false;
        }
    }

    bool HeadText(TByteReader& in, std::string& str, const char* pszName, int nIndent)
    {
        const size_t nStart = in.Pos();
        const TByteReader::TText text = in.Text();
        if (!text.Ok()) {
            Error(nIndent, nStart, std::string("the resource's") + pszName + "name " + text.pszWhy);
            return false;
        }
        str += pszName;
        AppendText(str, text);
        return true;
    }

    bool Variable(TByteReader& in, uint16_t unType, int nIndent)
    {
        const size_t nStart = in.Pos() - 2;
        uint16_t unCount = 0, unId = 0;
        if (!in.U16(unCount) || !in.U16(unId)) {
            Error(nIndent, nStart, "the variable's head ends past the end of its record");
            return false;
        }
        std::string str = std::string(VariableName(unType)) + " " + std::to_string(unId);
        const bool bArray = unCount >= 2;
        if (unCount == 0)
            str += " (0)";
        else if (bArray)
            str += " [" + std::to_string(unCount) + "]";
        const size_t nValues = bArray ? unCount : 1;
        if (unType == TResVar::TypeString)
            return Strings(in, str, nStart, unId, nValues, bArray, nIndent);
        const size_t nElement = ElementSize(unType, bArray);
        if (in.Left() < nValues * nElement) {
            Error(nIndent, nStart, std::string(VariableName(unType)) + " variable " + std::to_string(unId) + ": "
                                       + std::to_string(nValues) + " values end past the end of the record");
            return false;
        }
        TWrappedLines lines(str, kValuesPerLine);
        for (size_t i = 0; i < nValues; ++i)
            Value(in, unType, bArray, lines.Next());
        for (const std::string& strLine : lines.Lines())
            Line(nIndent, strLine);
        return true;
    }

    static size_t ElementSize(uint16_t unType, bool bArray)
    {
        switch (unType) {
        case TResVar::TypeChar: return 1;
        case TResVar::TypeShort: return 2;
        case TResVar::TypeLong: return 4;
        case TResVar::TypeFloat: return bArray ? 4 : 8;
        default: return 8;
        }
    }

    // One value of a fixed size; its bytes were checked before.
    static void Value(TByteReader& in, uint16_t unType, bool bArray, std::string& str)
    {
        uint16_t un = 0;
        uint32_t ul = 0;
        uint64_t ull = 0;
        const uint8_t* pb = nullptr;
        switch (unType) {
        case TResVar::TypeChar:
            in.Take(1, pb);
            AppendNumber(str, pb[0]);
            return;
        case TResVar::TypeShort:
            in.U16(un);
            AppendNumber(str, static_cast<int16_t>(un));
            return;
        case TResVar::TypeLong:
            in.U32(ul);
            AppendNumber(str, static_cast<int32_t>(ul));
            return;
        case TResVar::TypeFloat:
            if (bArray) {
                in.U32(ul);
                AppendReal<float>(str, ul);
                return;
            }
            break;
        default:
            break;
        }
        in.U64(ull);
        AppendReal<double>(str, ull);
    }

    // String values; an array puts each element on a line of its own.
    bool Strings(TByteReader& in, std::string& str, size_t nStart, uint16_t unId, size_t nValues, bool bArray,
                 int nIndent)
    {
        TWrappedLines lines(str, 1, bArray);
        for (size_t i = 0; i < nValues; ++i) {
            const size_t nValue = in.Pos();
            const TByteReader::TText text = in.Text();
            if (!text.Ok()) {
                Error(nIndent, nStart, "string variable " + std::to_string(unId) + ": value " + std::to_string(i)
                                           + " at " + std::to_string(nValue) + " " + text.pszWhy);
                return false;
            }
            AppendText(lines.Next(), text);
        }
        for (const std::string& strLine : lines.Lines())
            Line(nIndent, strLine);
        return true;
    }

    void Line(int nIndent, const std::string& str)
    {
        m_strOut.append(static_cast<size_t>(2 * nIndent), ' ');
        m_strOut += str;
        m_strOut += '\n';
    }

    void Error(int nIndent, size_t nOffset, const std::string& str)
    {
        Line(nIndent, ErrorLine(nOffset, str));
        m_coDump.AddError(nOffset, str);
    }

    // Unused bytes are printed only where there are some; unread bytes
    // always, since they also mark where reading stopped.
    void Hex(int nIndent, const char* pszWhat, size_t nBegin, size_t nEnd)
    {
        if (nBegin >= nEnd && std::strcmp(pszWhat, "unread") != 0)
            return;
        Line(nIndent, std::string(pszWhat) + " " + std::to_string(nEnd - nBegin) + " at " + std::to_string(nBegin));
        static const char kHex[] = "0123456789abcdef";
        std::string str;
        for (size_t i = nBegin; i < nEnd; ++i) {
            if (!str.empty())
                str += ' ';
            str += kHex[m_pb[i] >> 4];
            str += kHex[m_pb[i] & 15];
            if ((i - nBegin) % kHexPerLine == kHexPerLine - 1 || i + 1 == nEnd) {
                Line(nIndent + 1, str);
                str.clear();
            }
        }
    }

    TResFileDump& m_coDump;
    std::string& m_strOut;
    const uint8_t* m_pb;
    size_t m_nSize;
};

TResFileDump::TResFileDump() = default;

TResFileDump::~TResFileDump() = default;

void TResFileDump::SetDescription(const char* pszDescription)
{
    m_strDescription = pszDescription ? pszDescription : "";
    m_bFixedDescription = true;
}

void TResFileDump::ClearDescription()
{
    m_strDescription.clear();
    m_bFixedDescription = false;
}

int TResFileDump::Dump(const void* pvData, size_t nSize)
{
    m_strText.clear();
    m_strFirstError.clear();
    m_nErrors = 0;
    static const uint8_t kNothing = 0;
    const auto* pb = pvData ? static_cast<const uint8_t*>(pvData) : &kNothing;
    TResFileDumpWriter(*this, pb, pvData ? nSize : 0).Write();
    return m_nErrors;
}

void TResFileDump::AddError(size_t nOffset, const std::string& strText)
{
    if (m_nErrors++ == 0)
        m_strFirstError = "at " + std::to_string(nOffset) + ": " + strText;
}
