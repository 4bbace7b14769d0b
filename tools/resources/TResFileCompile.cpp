#include "TResFileCompile.h"

#include "TFileHeader.h"
#include "TResVar.h"

#include <charconv>
#include <functional>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <utility>

namespace {

constexpr uint16_t kEndMark = 30;
constexpr uint32_t kMaxBlockWords = 32767;
constexpr unsigned kMaxDepth = 64;

struct TToken {
    enum Kind { Word, Quoted, None } eKind { None };
    std::string strText;   // a quoted text without its escapes
    size_t nLine { 0 };
};

// Words, quoted texts and nothing else: blanks and line breaks separate,
// "#" starts a comment up to the end of its line.
class TTokenizer {
public:
    TTokenizer(const char* pch, size_t n) : m_pch(pch), m_nSize(n) {}

    // False with a reason for a quoted text that does not end or has a bad
    // escape.
    bool Next(TToken& token, std::string& strWhy)
    {
        SkipBlanks();
        token = TToken();
        token.nLine = m_nLine;
        if (m_nPos >= m_nSize)
            return true;
        if (m_pch[m_nPos] == '"')
            return Quoted(token, strWhy);
        token.eKind = TToken::Word;
        while (m_nPos < m_nSize && !IsBlank(m_pch[m_nPos]) && m_pch[m_nPos] != '"')
            token.strText += m_pch[m_nPos++];
        return true;
    }

private:
    static bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

    void SkipBlanks()
    {
        while (m_nPos < m_nSize) {
            const char ch = m_pch[m_nPos];
            if (ch == '#') {
                while (m_nPos < m_nSize && m_pch[m_nPos] != '\n')
                    ++m_nPos;
                continue;
            }
            if (!IsBlank(ch))
                return;
            if (ch == '\n')
                ++m_nLine;
            ++m_nPos;
        }
    }

    static int HexDigit(char ch)
    {
        if (ch >= '0' && ch <= '9')
            return ch - '0';
        if (ch >= 'a' && ch <= 'f')
            return ch - 'a' + 10;
        if (ch >= 'A' && ch <= 'F')
            return ch - 'A' + 10;
        return -1;
    }

    bool Quoted(TToken& token, std::string& strWhy)
    {
        token.eKind = TToken::Quoted;
        ++m_nPos;
        while (m_nPos < m_nSize && m_pch[m_nPos] != '"' && m_pch[m_nPos] != '\n') {
            const char ch = m_pch[m_nPos++];
            if (ch != '\\') {
                token.strText += ch;
                continue;
            }
            if (!Escape(token, strWhy))
                return false;
        }
        if (m_nPos >= m_nSize || m_pch[m_nPos] != '"') {
            strWhy = "a quoted text does not end on its line";
            return false;
        }
        ++m_nPos;
        return true;
    }

    bool Escape(TToken& token, std::string& strWhy)
    {
        const char ch = m_nPos < m_nSize ? m_pch[m_nPos++] : 0;
        switch (ch) {
        case '"': token.strText += '"'; return true;
        case '\\': token.strText += '\\'; return true;
        case 'n': token.strText += '\n'; return true;
        case 'r': token.strText += '\r'; return true;
        case 't': token.strText += '\t'; return true;
        case 'x': break;
        default:
            strWhy = "unknown escape in a quoted text";
            return false;
        }
        const int nHigh = m_nPos < m_nSize ? HexDigit(m_pch[m_nPos]) : -1;
        const int nLow = m_nPos + 1 < m_nSize ? HexDigit(m_pch[m_nPos + 1]) : -1;
        if (nHigh < 0 || nLow < 0) {
            strWhy = "\\x needs two hex digits";
            return false;
        }
        m_nPos += 2;
        token.strText += static_cast<char>(nHigh << 4 | nLow);
        return true;
    }

    const char* m_pch;
    size_t m_nSize;
    size_t m_nPos { 0 };
    size_t m_nLine { 1 };
};

bool ParseInteger(const std::string& str, long long llMin, long long llMax, long long& ll)
{
    const char* pchEnd = str.data() + str.size();
    const auto res = std::from_chars(str.data(), pchEnd, ll);
    return res.ec == std::errc() && res.ptr == pchEnd && ll >= llMin && ll <= llMax;
}

bool ParseHex(const std::string& str, size_t nDigits, unsigned long long& ull)
{
    if (str.size() != nDigits)
        return false;
    const char* pchEnd = str.data() + str.size();
    const auto res = std::from_chars(str.data(), pchEnd, ull, 16);
    return res.ec == std::errc() && res.ptr == pchEnd;
}

// A real as the dump prints it: shortest decimal form, inf, -inf, or
// nan:0x and its bits.
template <class TReal, class TBits>
bool ParseReal(const std::string& str, TBits& bits)
{
    TReal r;
    if (str == "inf" || str == "-inf") {
        r = str[0] == '-' ? -std::numeric_limits<TReal>::infinity() : std::numeric_limits<TReal>::infinity();
    } else if (str.compare(0, 6, "nan:0x") == 0) {
        unsigned long long ull = 0;
        if (!ParseHex(str.substr(6), 2 * sizeof bits, ull))
            return false;
        bits = static_cast<TBits>(ull);
        std::memcpy(&r, &bits, sizeof r);
        return r != r;
    } else {
        const char* pchEnd = str.data() + str.size();
        const auto res = std::from_chars(str.data(), pchEnd, r);
        if (res.ec != std::errc() || res.ptr != pchEnd)
            return false;
    }
    std::memcpy(&bits, &r, sizeof r);
    return true;
}

} // namespace

class TResFileCompiler {
public:
    TResFileCompiler(TResFileCompile& coCompile, const char* pch, size_t n)
        : m_coCompile(coCompile), m_vecOut(coCompile.m_vecBytes), m_tokenizer(pch, n)
    {
    }

    bool Compile()
    {
        if (!Advance() || !Keyword("kwtdump"))
            return false;
        long long ll = 0;
        if (!Integer("the version of the text", 1, 1, ll) || !Keyword("header"))
            return false;
        if (!Header())
            return false;
        if (!m_bStopped && !DataArea())
            return false;
        if (!Keyword("end"))
            return false;
        if (m_token.eKind != TToken::None)
            return Fail("text after the final end");
        return PatchAutoPositions();
    }

private:
    // Tokens

    bool Advance()
    {
        std::string strWhy;
        if (!m_tokenizer.Next(m_token, strWhy))
            return Fail(strWhy);
        return true;
    }

    bool Is(const char* pszWord) const { return m_token.eKind == TToken::Word && m_token.strText == pszWord; }

    std::string Found() const
    {
        if (m_token.eKind == TToken::None)
            return "the end of the text";
        if (m_token.eKind == TToken::Quoted)
            return "a quoted text";
        return "\"" + m_token.strText.substr(0, 40) + "\"";
    }

    bool Fail(const std::string& strWhy)
    {
        if (m_coCompile.m_strError.empty())
            m_coCompile.m_strError = "line " + std::to_string(m_token.nLine) + ": " + strWhy;
        return false;
    }

    bool Expected(const std::string& strWhat) { return Fail("expected " + strWhat + ", found " + Found()); }

    bool Keyword(const char* pszWord)
    {
        if (!Is(pszWord))
            return Expected(std::string("\"") + pszWord + "\"");
        return Advance();
    }

    // The integer of the current token, which stays current.
    bool PeekInteger(const char* pszWhat, long long llMin, long long llMax, long long& ll)
    {
        if (m_token.eKind != TToken::Word || !ParseInteger(m_token.strText, llMin, llMax, ll))
            return Expected(std::string(pszWhat) + " from " + std::to_string(llMin) + " to " + std::to_string(llMax));
        return true;
    }

    bool Integer(const char* pszWhat, long long llMin, long long llMax, long long& ll)
    {
        return PeekInteger(pszWhat, llMin, llMax, ll) && Advance();
    }

    // Output: bytes go to the write position, which is the end of what was
    // compiled unless a record shares bytes with the one before.

    void Put(const void* pv, size_t n)
    {
        const auto* pb = static_cast<const unsigned char*>(pv);
        for (size_t i = 0; i < n; ++i, ++m_nWrite) {
            if (m_nWrite < m_vecOut.size())
                m_vecOut[m_nWrite] = pb[i];
            else
                m_vecOut.push_back(pb[i]);
        }
    }

    void PutU16(uint16_t un)
    {
        const unsigned char ab[2] = { static_cast<unsigned char>(un), static_cast<unsigned char>(un >> 8) };
        Put(ab, 2);
    }

    void PutU32(uint32_t ul)
    {
        PutU16(static_cast<uint16_t>(ul));
        PutU16(static_cast<uint16_t>(ul >> 16));
    }

    void PutU64(uint64_t ull)
    {
        PutU32(static_cast<uint32_t>(ull));
        PutU32(static_cast<uint32_t>(ull >> 32));
    }

    void PutText(bool bAbsent, const std::string& str)
    {
        PutU16(bAbsent ? 0 : static_cast<uint16_t>(str.size()));
        if (!bAbsent)
            Put(str.c_str(), str.size() + 1);
    }

    // Values

    bool Text(const char* pszWhat, bool& bAbsent, std::string& str)
    {
        bAbsent = Is("absent");
        if (bAbsent) {
            str.clear();
            return Advance();
        }
        if (m_token.eKind != TToken::Quoted)
            return Expected(std::string(pszWhat) + " as a quoted text or absent");
        if (m_token.strText.empty() || m_token.strText.size() > 65535)
            return Fail(std::string(pszWhat) + ": a stored text has 1 to 65535 characters");
        str = m_token.strText;
        return Advance();
    }

    bool PutTextValue(const char* pszWhat)
    {
        bool bAbsent = true;
        std::string str;
        if (!Text(pszWhat, bAbsent, str))
            return false;
        PutText(bAbsent, str);
        return true;
    }

    bool PutInteger(const char* pszWhat, long long llMin, long long llMax, size_t nBytes)
    {
        long long ll = 0;
        if (!Integer(pszWhat, llMin, llMax, ll))
            return false;
        if (nBytes == 1) {
            const auto b = static_cast<unsigned char>(ll);
            Put(&b, 1);
        } else if (nBytes == 2) {
            PutU16(static_cast<uint16_t>(ll));
        } else {
            PutU32(static_cast<uint32_t>(ll));
        }
        return true;
    }

    template <class TReal, class TBits>
    bool PutReal(const char* pszWhat)
    {
        TBits bits {};
        if (m_token.eKind != TToken::Word || !ParseReal<TReal>(m_token.strText, bits))
            return Expected(pszWhat);
        if (sizeof bits == 8)
            PutU64(bits);
        else
            PutU32(static_cast<uint32_t>(bits));
        return Advance();
    }

    // "<what> <n> at <pos>" and n bytes in hex.
    bool HexBlock()
    {
        const std::string strWhat = m_token.strText;
        if (!Advance())
            return false;
        long long llCount = 0, llPos = 0;
        if (!Integer("a byte count", 0, std::numeric_limits<int32_t>::max(), llCount) || !Keyword("at")
            || !Position(llPos))
            return false;
        for (long long i = 0; i < llCount; ++i) {
            unsigned long long ull = 0;
            if (m_token.eKind != TToken::Word || !ParseHex(m_token.strText, 2, ull))
                return Expected("byte " + std::to_string(i + 1) + " of " + std::to_string(llCount)
                                + " of " + strWhat + " as two hex digits");
            const auto b = static_cast<unsigned char>(ull);
            Put(&b, 1);
            if (!Advance())
                return false;
        }
        return true;
    }

    // A position must lie within or right behind what was compiled; "auto"
    // is the end of what was compiled.
    bool Position(long long& llPos)
    {
        if (Is("auto")) {
            llPos = static_cast<long long>(m_vecOut.size());
            m_nWrite = m_vecOut.size();
            return Advance();
        }
        if (!PeekInteger("a file position", 0, std::numeric_limits<int32_t>::max(), llPos))
            return false;
        if (static_cast<unsigned long long>(llPos) > m_vecOut.size())
            return Fail("position " + std::to_string(llPos) + " lies behind the " + std::to_string(m_vecOut.size())
                        + " bytes compiled so far");
        m_nWrite = static_cast<size_t>(llPos);
        return Advance();
    }

    // Ends the text where the dump could read no further.
    bool Unread()
    {
        m_bStopped = true;
        return HexBlock();
    }

    // Header

    // The next header field, or the unread rest of the file (which stops
    // the text).
    bool Field(const char* pszWord)
    {
        if (Is("unread"))
            return Unread();
        return Keyword(pszWord);
    }

    bool TextField(const char* pszWord) { return Field(pszWord) && (m_bStopped || PutTextValue(pszWord)); }

    bool TripleField(const char* pszWord)
    {
        if (!Field(pszWord))
            return false;
        for (int i = 0; i < 3 && !m_bStopped; ++i) {
            if (!PutInteger(pszWord, -32768, 32767, 2))
                return false;
        }
        return true;
    }

    bool Header()
    {
        if (Is("description") && !Description())
            return false;
        const std::function<bool()> steps[] = {
            [this] { return TextField("custom-version"); },
            [this] { return Field("custom-number") && (m_bStopped || PutInteger("the custom number", 0, 0xffffffffLL, 4)); },
            [this] { return TextField("signature"); },
            [this] { return TextField("format-version"); },
            [this] { return TextField("user-created"); },
            [this] { return TripleField("date-created"); },
            [this] { return TripleField("time-created"); },
            [this] { return TextField("user-changed"); },
            [this] { return TripleField("date-changed"); },
            [this] { return TripleField("time-changed"); },
            [this] { return Protection(); },
            [this] { return !(m_unProtection & TFileHeader::ReadProtected) || Block("read-password-block"); },
            [this] { return !(m_unProtection & TFileHeader::WriteProtected) || Block("write-password-block"); },
            [this] { return Index(); },
        };
        for (const auto& step : steps) {
            if (!step())
                return false;
            if (m_bStopped)
                return true;
        }
        return true;
    }

    bool Description()
    {
        if (!Advance())
            return false;
        if (m_token.eKind != TToken::Quoted || m_token.strText.empty() || m_token.strText.find('\0') != std::string::npos)
            return Expected("the description as a quoted text without zero bytes");
        Put(m_token.strText.c_str(), m_token.strText.size() + 1);
        return Advance();
    }

    bool Protection()
    {
        if (!Field("protection") || m_bStopped)
            return !!m_bStopped;
        long long llFlags = 0;
        if (!Integer("the protection flags", 0, 65535, llFlags))
            return false;
        m_unProtection = static_cast<uint16_t>(llFlags);
        PutU16(m_unProtection);
        return true;
    }

    bool Block(const char* pszWord)
    {
        if (!Field(pszWord) || m_bStopped)
            return m_bStopped;
        uint32_t ulWords = 1;
        for (uint32_t i = 0; i < ulWords; ++i) {
            unsigned long long ull = 0;
            if (m_token.eKind != TToken::Word || m_token.strText.compare(0, 2, "0x") != 0
                || !ParseHex(m_token.strText.substr(2), 8, ull))
                return Expected(std::string("word ") + std::to_string(i + 1) + " of the " + pszWord + " as 0x and 8 hex digits");
            if (i == 0) {
                ulWords = static_cast<uint32_t>(ull >> 8) + 2;
                if (ulWords > kMaxBlockWords)
                    return Fail(std::string("the ") + pszWord + " is longer than 32767 words");
            }
            PutU32(static_cast<uint32_t>(ull));
            if (!Advance())
                return false;
        }
        return true;
    }

    bool Index()
    {
        if (!Field("index") || m_bStopped)
            return m_bStopped;
        long long llCount = 0;
        if (!Integer("the entry count", 0, 32767, llCount))
            return false;
        PutU16(static_cast<uint16_t>(llCount));
        for (long long i = 0; i < llCount; ++i) {
            if (Is("unread"))
                return Unread();
            if (!Keyword("entry") || !EntryField("id", 32) || !EntryField("class", 64))
                return false;
            if (!Keyword("type") || !PutInteger("the type", 0, 65535, 2) || !Keyword("wparam")
                || !PutInteger("the WParam", 0, 65535, 2) || !Keyword("lparam")
                || !PutInteger("the LParam", 0, 0xffffffffLL, 4) || !Keyword("data")
                || !PutEntryPosition("the data position", false) || !Keyword("end")
                || !PutEntryPosition("the end position", true))
                return false;
        }
        return !Is("unread") || Unread();
    }

    // "id" and a text, or "id-raw" and the field's bytes in hex.
    bool EntryField(const std::string& strName, size_t nSize)
    {
        if (Is((strName + "-raw").c_str())) {
            if (!Advance())
                return false;
            std::string strBytes;
            for (size_t i = 0; m_token.eKind == TToken::Word && i + 1 < m_token.strText.size(); i += 2) {
                unsigned long long ull = 0;
                if (!ParseHex(m_token.strText.substr(i, 2), 2, ull))
                    break;
                strBytes += static_cast<char>(ull);
            }
            if (strBytes.size() != nSize || m_token.strText.size() != 2 * nSize)
                return Expected(std::to_string(nSize) + " bytes of the " + strName + " field in hex");
            Put(strBytes.data(), nSize);
            return Advance();
        }
        if (!Keyword(strName.c_str()))
            return false;
        if (m_token.eKind != TToken::Quoted || m_token.strText.size() >= nSize
            || m_token.strText.find('\0') != std::string::npos)
            return Expected("the " + strName + " as a quoted text of at most " + std::to_string(nSize - 1)
                            + " characters");
        std::string strField = m_token.strText;
        if (strName == "id")
            m_strEntryId = strField;
        strField.resize(nSize, '\0');
        Put(strField.data(), nSize);
        return Advance();
    }

    // A position of an index entry, or "auto": the start or the end of the
    // record of the entry's id, filled in when the records are compiled.
    bool PutEntryPosition(const char* pszWhat, bool bEnd)
    {
        if (!Is("auto"))
            return PutInteger(pszWhat, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 4);
        m_vecAuto.push_back(TAutoPosition { m_nWrite, m_strEntryId, bEnd, m_token.nLine });
        PutU32(0);
        return Advance();
    }

    bool PatchAutoPositions()
    {
        for (const TAutoPosition& pos : m_vecAuto) {
            const auto it = m_mapRecords.find(pos.strId);
            if (it == m_mapRecords.end()) {
                m_token.nLine = pos.nLine;
                return Fail("no record \"" + pos.strId + "\" for the automatic position of its index entry");
            }
            const size_t nValue = pos.bEnd ? it->second.second : it->second.first;
            m_nWrite = pos.nAt;
            PutU32(static_cast<uint32_t>(nValue));
        }
        return true;
    }

    // Data area

    bool DataArea()
    {
        if (!Keyword("data"))
            return false;
        if (Is("auto")) {
            if (!Advance())
                return false;
            return Records();
        }
        long long llPos = 0;
        if (!PeekInteger("the data position", 0, std::numeric_limits<int32_t>::max(), llPos))
            return false;
        if (static_cast<size_t>(llPos) != m_vecOut.size())
            return Fail("the data area starts at " + std::to_string(m_vecOut.size()) + ", not at "
                        + std::to_string(llPos));
        if (!Advance())
            return false;
        return Records();
    }

    bool Records()
    {
        for (;;) {
            if (Is("unused")) {
                if (!HexBlock())
                    return false;
                continue;
            }
            if (!Is("record"))
                return true;
            if (!Record())
                return false;
        }
    }

    bool Record()
    {
        if (!Advance())
            return false;
        if (m_token.eKind != TToken::Quoted)
            return Expected("the record's id as a quoted text");
        const std::string strId = m_token.strText;
        long long llPos = 0;
        if (!Advance() || !Keyword("at") || !Position(llPos))
            return false;
        if (Is("unread"))
            return HexBlock();
        bool bAbandoned = false;
        if (!Resource(0, bAbandoned))
            return false;
        m_mapRecords.emplace(strId, std::make_pair(static_cast<size_t>(llPos), m_nWrite));
        return true;
    }

    // A resource and its items; bAbandoned when its record breaks off
    // inside it (the rest of the record follows as unread bytes).
    bool Resource(unsigned nDepth, bool& bAbandoned)
    {
        long long llType = 0;
        if (!Keyword("resource") || !Integer("the resource type", 0, 65535, llType))
            return false;
        if (llType == kEndMark || TResVar::IsVariableType(static_cast<uint16_t>(llType)))
            return Fail("a resource type may not be 1, 3, 7, 9, 10, 11 or 30");
        PutU16(static_cast<uint16_t>(llType));
        if (!Keyword("class") || !PutTextValue("the class") || !Keyword("cpp") || !PutTextValue("the C++ class")
            || !Keyword("wparam") || !PutInteger("the WParam", 0, 65535, 2) || !Keyword("lparam")
            || !PutInteger("the LParam", 0, 0xffffffffLL, 4))
            return false;
        for (;;) {
            if (Is("end")) {
                PutU16(kEndMark);
                return Advance();
            }
            if (Is("unread")) {
                bAbandoned = true;
                return HexBlock();
            }
            if (Is("resource")) {
                if (nDepth + 1 > kMaxDepth)
                    return Fail("children nest deeper than " + std::to_string(kMaxDepth));
                if (!Resource(nDepth + 1, bAbandoned))
                    return false;
                if (bAbandoned)
                    return true;
                continue;
            }
            const uint16_t unVarType = VariableType();
            if (!unVarType)
                return Expected("a variable, a resource, end or unread");
            if (!Variable(unVarType))
                return false;
        }
    }

    uint16_t VariableType() const
    {
        static const struct {
            const char* pszName;
            uint16_t unType;
        } kTypes[] = { { "char", TResVar::TypeChar },     { "short", TResVar::TypeShort },
                       { "long", TResVar::TypeLong },     { "float", TResVar::TypeFloat },
                       { "double", TResVar::TypeDouble }, { "string", TResVar::TypeString } };
        for (const auto& type : kTypes) {
            if (Is(type.pszName))
                return type.unType;
        }
        return 0;
    }

    bool Variable(uint16_t unType)
    {
        if (!Advance())
            return false;
        long long llId = 0;
        if (!Integer("the variable id", 0, 65535, llId))
            return false;
        uint16_t unCount = 1;
        if (Is("(0)")) {
            unCount = 0;
            if (!Advance())
                return false;
        } else if (m_token.eKind == TToken::Word && m_token.strText.size() > 2 && m_token.strText.front() == '['
                   && m_token.strText.back() == ']') {
            long long llCount = 0;
            if (!ParseInteger(m_token.strText.substr(1, m_token.strText.size() - 2), 2, 65535, llCount))
                return Expected("an array count from [2] to [65535]");
            unCount = static_cast<uint16_t>(llCount);
            if (!Advance())
                return false;
        }
        PutU16(unType);
        PutU16(unCount);
        PutU16(static_cast<uint16_t>(llId));
        const bool bArray = unCount >= 2;
        for (unsigned i = 0; i < (bArray ? unCount : 1u); ++i) {
            if (!Value(unType, bArray))
                return false;
        }
        return true;
    }

    bool Value(uint16_t unType, bool bArray)
    {
        switch (unType) {
        case TResVar::TypeChar: return PutInteger("a char value", 0, 255, 1);
        case TResVar::TypeShort: return PutInteger("a short value", -32768, 32767, 2);
        case TResVar::TypeLong:
            return PutInteger("a long value", std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 4);
        case TResVar::TypeString: return PutTextValue("a string value");
        case TResVar::TypeFloat:
            if (bArray)
                return PutReal<float, uint32_t>("a float value");
            return PutReal<double, uint64_t>("a float value");
        default: return PutReal<double, uint64_t>("a double value");
        }
    }

    // An index position written as "auto".
    struct TAutoPosition {
        size_t nAt;
        std::string strId;
        bool bEnd;
        size_t nLine;
    };

    TResFileCompile& m_coCompile;
    std::vector<unsigned char>& m_vecOut;
    std::string m_strEntryId;
    std::vector<TAutoPosition> m_vecAuto;
    std::map<std::string, std::pair<size_t, size_t>> m_mapRecords;   // id: start and end of its first record
    TTokenizer m_tokenizer;
    TToken m_token;
    size_t m_nWrite { 0 };
    uint16_t m_unProtection { 0 };
    bool m_bStopped { false };
};

TResFileCompile::TResFileCompile() = default;

TResFileCompile::~TResFileCompile() = default;

int TResFileCompile::Compile(const char* pchText, size_t nLength)
{
    m_vecBytes.clear();
    m_strError.clear();
    if (!pchText)
        nLength = 0;
    if (TResFileCompiler(*this, pchText ? pchText : "", nLength).Compile())
        return 1;
    if (m_strError.empty())
        m_strError = "line 1: the text is not complete";
    m_vecBytes.clear();
    return 0;
}
