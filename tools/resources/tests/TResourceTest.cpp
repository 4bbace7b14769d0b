#include "ResTestSupport.h"

#include "TArray.h"
#include "TResReadHdl.h"

#include <algorithm>
#include <cmath>
#include <memory>

using namespace restest;

namespace {

// A resource that, as a parent, answers from the child's LParam: bit 0
// takes the child over when its variables are read, bit 1 keeps it when it
// is complete. It owns what it takes or keeps.
class TRecRes : public TResource {
    KW_DYNAMIC_CLASS(TRecRes, TResource)
public:
    TRecRes() = default;

    int NotifyChildReadFinished(TResource* pcoChild, unsigned long ulIndex) override
    {
        if (!(pcoChild->GetLParam() & 1))
            return 0;
        m_coKept.Add(pcoChild);
        return 1;
    }
    int NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex) override
    {
        if (!(pcoChild->GetLParam() & 2))
            return 0;
        // A dummy is deleted by the reader whatever the answer.
        if (!pcoChild->IsDummyResource())
            m_coKept.Add(pcoChild);
        return 1;
    }

    TArray m_coKept { 4, TResource::Destroy, nullptr };
};

KW_IMPLEMENT_DYNAMIC_CLASS(TRecRes, TResource, "test")

// A handler that records its messages.
class TRecHdl : public TFileHdl {
public:
    void DisplayMessage(const char* pszText) override { m_messages.push_back(pszText); }
    std::vector<std::string> m_messages;
};

Bytes& Head(Bytes& b, const std::string& cls, uint32_t lParam = 0)
{
    return b.U16(31).Str(cls).Str("").U16(0).U32(lParam);
}
Bytes& IdVar(Bytes& b, const std::string& id) { return b.U16(11).U16(1).U16(21).Str(id); }
Bytes& LongVar(Bytes& b, uint16_t id, uint32_t v) { return b.U16(7).U16(1).U16(id).U32(v); }

// What the reader made of a record, read to its end; the objects it left
// are deleted (ASan finds leaks).
struct ReadResult {
    int nDamaged { 0 };
    int nCalls { 0 };
    int nObject { 0 };
    int nDummy { 0 };
};

ReadResult ReadAll(TFileHdl* pcoHdl, const std::string& bytes)
{
    MemoryLog coLog(bytes);
    TResReadHdl coReader(pcoHdl, 0);
    ReadResult result;
    while (!coReader.ReadDataResource(&coLog, nullptr, nullptr)) {
        if (++result.nCalls > 1000000)
            break;
    }
    result.nDamaged = coReader.IsDamaged();
    TResource* pcoObject = coReader.GetResourceObject();
    if (pcoObject) {
        result.nObject = 1;
        result.nDummy = pcoObject->IsDummyResource();
        pcoObject->Destroy();
    }
    return result;
}

class TResFile : public ScratchTest {
};

// A variable and an empty one of its kind to read into.
using TVarPair = std::pair<std::shared_ptr<TResVar>, std::shared_ptr<TResVar>>;
template <class TVar, class... TArgs> TVarPair Kind(TArgs... args)
{
    return { std::make_shared<TVar>(args...), std::make_shared<TVar>() };
}

} // namespace

// Variables

TEST_F(TResFile, EveryKindWritesItsExactBytesAndReadsThemBack)
{
    const char achChars[] = { 'a', 'b', 'c' };
    const short anShorts[] = { -1, 2 };
    const long alLongs[] = { -2, 70000, 3 };
    const float afFloats[] = { 1.5f, -2.0f, 0.25f };
    const double adDoubles[] = { 0.5, -8.0 };
    const char* apszTexts[] = { "xy", nullptr };
    // Code word, count and id of a variable.
    auto Var = [](uint16_t unType, uint16_t unCount, uint16_t unId) {
        return Bytes().U16(unType).U16(unCount).U16(unId);
    };
    struct { const char* pszWhat; TVarPair vars; std::string bytes; } const aCases[] = {
        { "char", Kind<TResChar>(5, 'Z'), Var(1, 1, 5).U8('Z').str() },
        { "chars", Kind<TResChar>(5, achChars, 3), Var(1, 3, 5).Raw("abc").str() },
        { "short", Kind<TResShort>(6, -3), Var(3, 1, 6).U16(0xFFFD).str() },
        { "shorts", Kind<TResShort>(6, anShorts, 2), Var(3, 2, 6).U16(0xFFFF).U16(2).str() },
        { "long", Kind<TResLong>(7, -5L), Var(7, 1, 7).U32(0xFFFFFFFB).str() },
        { "longs", Kind<TResLong>(7, alLongs, 3), Var(7, 3, 7).U32(0xFFFFFFFE).U32(70000).U32(3).str() },
        // One float is widened to 8 bytes, an array keeps 4 per element.
        { "float", Kind<TResFloat>(8, 1.5f), Var(9, 1, 8).F64(1.5).str() },
        { "floats", Kind<TResFloat>(8, afFloats, 3), Var(9, 3, 8).F32(1.5f).F32(-2.0f).F32(0.25f).str() },
        { "double", Kind<TResDouble>(9, 0.1), Var(10, 1, 9).F64(0.1).str() },
        { "doubles", Kind<TResDouble>(9, adDoubles, 2), Var(10, 2, 9).F64(0.5).F64(-8.0).str() },
        { "string", Kind<TResString>(10, "abc"), Var(11, 1, 10).Str("abc").str() },
        { "absent string", Kind<TResString>(10, static_cast<const char*>(nullptr)), Var(11, 1, 10).U16(0).str() },
        { "empty string", Kind<TResString>(10, ""), Var(11, 1, 10).U16(0).str() },
        { "strings", Kind<TResString>(10, apszTexts, 2), Var(11, 2, 10).Str("xy").U16(0).str() },
        { "count 0", Kind<TResLong>(7, alLongs, 0), Var(7, 0, 7).U32(0).str() },
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        const std::string bytes = Written([&](TFile& f) { EXPECT_EQ(c.vars.first->Write(f), 1); });
        EXPECT_EQ(bytes, c.bytes);
        // The code word is the caller's; the rest reads back into a fresh
        // variable of the kind and writes the same bytes again.
        MemoryLog coLog(bytes.substr(2));
        TResVar* pcoCopy = c.vars.second.get();
        EXPECT_EQ(pcoCopy->Read(&coLog), 1);
        EXPECT_EQ(coLog.Tell(), coLog.Size());
        EXPECT_EQ(Written([&](TFile& f) { pcoCopy->Write(f); }), c.bytes);
    }
}

TEST(TResVar, ConversionsIndexingAndCopies)
{
    const TResDouble coDouble(1, -2.7);
    EXPECT_EQ(static_cast<long>(coDouble) + static_cast<int>(coDouble) + static_cast<char>(coDouble), -6);
    EXPECT_EQ(static_cast<unsigned char>(coDouble), 254);
    EXPECT_FLOAT_EQ(static_cast<float>(coDouble), -2.7f);
    EXPECT_TRUE(!static_cast<void*>(coDouble) && !static_cast<const char*>(coDouble));
    // Out of range and not a number: defined answers, not undefined ones.
    EXPECT_EQ(static_cast<int>(TResDouble(1, 1e300)), static_cast<int>(static_cast<int64_t>(INT64_MAX)));
    EXPECT_EQ(static_cast<long>(TResDouble(1, std::nan(""))), 0);
    EXPECT_EQ(static_cast<int>(TResChar(2, static_cast<char>(0xFF))), -1);
    const char achChars[] = { 'p', 'q' };
    EXPECT_EQ(std::string(static_cast<const char*>(TResChar(2, achChars, 2)), 2), "pq");
    const TResString coText(3, "42");
    EXPECT_STREQ(static_cast<const char*>(coText), "42");
    EXPECT_EQ(static_cast<long>(coText) + static_cast<double>(coText), 0.0);

    // An element is filled only in range; out of range the same element
    // comes back as it was.
    const long alValues[] = { 10, 20, 30 };
    const TResLong coArray(44, alValues, 3);
    const TResVar& coOne = coArray[1];
    EXPECT_EQ(static_cast<long>(coOne) * 100 + coOne.MyId() * 10 + coOne.GetCount(), 2441);
    EXPECT_EQ(&coArray[5], &coOne);
    EXPECT_EQ(static_cast<long>(coArray[-1]), 20);
    EXPECT_EQ(static_cast<long>(coArray[static_cast<unsigned short>(2)]), 30);
    EXPECT_EQ(static_cast<long>(TResLong(45, alValues, 3)[7]), 0);

    // Copies are deep; Set releases the old values.
    const char* apszTexts[] = { "alpha", nullptr, "three" };
    auto* pcoOriginal = new TResString(3, apszTexts, 3);
    EXPECT_EQ(static_cast<const char*>(*pcoOriginal), nullptr);
    TResString coCopy(*pcoOriginal);
    TResString coAssigned;
    coAssigned = *pcoOriginal;
    delete pcoOriginal;
    EXPECT_STREQ(static_cast<const char*>(coCopy[2]), "three");
    EXPECT_EQ(static_cast<const char*>(coCopy[1]), nullptr);
    EXPECT_STREQ(coAssigned.GetValue(0), "alpha");
    coAssigned.Set(4, "single");
    EXPECT_EQ(coAssigned.GetValue(0), nullptr);
    EXPECT_STREQ(static_cast<const char*>(coAssigned), "single");
    const double adValues[] = { 1, 2, 3 };
    auto* pcoDoubles = new TResDouble(8, adValues, 3);
    const TResDouble coDoubles(*pcoDoubles);
    delete pcoDoubles;
    EXPECT_EQ(static_cast<double>(coDoubles[2]), 3.0);
    TResDouble coSet(1, adValues, 3);
    coSet.Set(2, 7.5);
    EXPECT_EQ(coSet.GetCount() + (coSet.GetValues() == nullptr), 2);
    coSet.Set(2, adValues, 1);
    EXPECT_EQ(static_cast<double>(coSet), 1.0);
    // The base copy takes id and count only.
    const TResVar coBase(coDoubles);
    EXPECT_EQ(coBase.MyId() * 10 + coBase.GetCount() + static_cast<double>(coBase), 83.0);
}

// A character array holds no terminating zero: its text ends with its
// count (or a zero byte before it), never beyond.
TEST(TResVar, AsTextReadsNoFurtherThanTheVariableHolds)
{
    const char achText[] = { 't', 'e', 'x', 't' };
    const char achZero[] = { 'a', 0, 'b' };
    const char* apszTexts[] = { "one", "two" };
    const double adValues[] = { 1, 2 };
    const struct {
        const char* pszKind;
        TResVar* pcoVar;
        const char* pszText;
    } cases[] = {
        { "string", new TResString(1, "words"), "words" },
        { "absent string", new TResString(1, nullptr), "" },
        { "texts", new TResString(1, apszTexts, 2), "" },
        { "characters", new TResChar(1, achText, 4), "text" },
        { "zero inside", new TResChar(1, achZero, 3), "a" },
        { "one character", new TResChar(1, 'c'), "c" },
        { "no character", new TResChar(1, achText, 0), "" },
        { "number", new TResLong(1, 42), "" },
        { "numbers", new TResDouble(1, adValues, 2), "" },
    };
    for (const auto& coCase : cases) {
        EXPECT_EQ(std::string(coCase.pcoVar->AsText()), coCase.pszText) << coCase.pszKind;
        delete coCase.pcoVar;
    }
    // Only as far as the count, whether a zero follows or not.
    const std::unique_ptr<char[]> pchHeap(new char[3] { 'x', 'y', 'z' });
    EXPECT_STREQ(TString().Strncpy(pchHeap.get(), 3), "xyz");
    EXPECT_STREQ(TString().Strncpy("abcdef", 2), "ab");
}

TEST(TResVar, ShortOrHostileBytesReadAsFailureWithoutLargeAllocations)
{
    struct {
        const char* pszWhat;
        TResVar* pcoVar;
        std::string bytes;   // behind the code word
    } const aCases[] = {
        { "no head", new TResLong, Bytes().U16(1).str() },
        { "value cut", new TResLong, Bytes().U16(1).U16(1).U16(0x1234).str() },
        { "65535 longs in 8 bytes", new TResLong, Bytes().U16(65535).U16(1).U32(1).U32(2).str() },
        { "65535 doubles", new TResDouble, Bytes().U16(65535).U16(1).F64(1).str() },
        { "65535 strings", new TResString, Bytes().U16(65535).U16(1).Str("a").str() },
        { "string longer than the rest", new TResString, Bytes().U16(1).U16(1).U16(60000).Raw("abc").str() },
        { "string without zero byte", new TResString, Bytes().U16(1).U16(1).U16(3).Raw("abcd").str() },
        { "array element string cut", new TResString, Bytes().U16(2).U16(1).Str("ab").U16(5).Raw("x").str() },
        { "chars cut", new TResChar, Bytes().U16(4).U16(1).Raw("ab").str() },
    };
    for (const auto& c : aCases) {
        MemoryLog coLog(c.bytes);
        EXPECT_EQ(c.pcoVar->Read(&coLog), 0) << c.pszWhat;
        EXPECT_LE(coLog.Tell(), coLog.Size()) << c.pszWhat;
        delete c.pcoVar;
    }
    // A limit inside the stream is respected as the stream's end.
    const std::string bytes = Bytes().U16(1).U16(1).U32(7).U32(8).str();
    MemoryLog coLog(bytes);
    TResLong coLong;
    EXPECT_EQ(coLong.Read(&coLog, 7), 0);
    MemoryLog coAgain(bytes);
    EXPECT_EQ(coLong.Read(&coAgain, 8), 1);
    EXPECT_EQ(static_cast<long>(coLong), 7);
}

// Resources

TEST(TResource, IdentifiersCompareWithoutCase)
{
    struct { const char* pszA; const char* pszB; int nSign; int nHas; } const aCases[] = {
        { "Window", "WINDOW", 0, 1 }, { "Window", "Windows", -1, 0 }, { "Window", nullptr, 1, 0 },
        { "apple", "Window", -1, 0 }, { nullptr, "apple", -1, 0 }, { nullptr, "x", -1, 0 },
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(std::string(c.pszA ? c.pszA : "null") + "/" + (c.pszB ? c.pszB : "null"));
        TResource coA;
        TResource coB;
        if (c.pszA)
            coA.SetResId(c.pszA);
        if (c.pszB)
            coB.SetResId(c.pszB);
        const int nCompare = TResource::CompareById(&coA, &coB);
        EXPECT_EQ((nCompare > 0) - (nCompare < 0), c.nSign);
        EXPECT_EQ(coA.HasResId(c.pszB), c.nHas);
    }
}

TEST_F(TResFile, AWriteProtectedResourceWritesNothing)
{
    TResource coRes;
    coRes.SetResId("Shut");
    coRes.SetWriteable(0);
    EXPECT_EQ(Written([&](TFile& f) { EXPECT_EQ(coRes.WriteResource(f), 1); }), "");
    coRes.SetWriteable(1);
    EXPECT_NE(Written([&](TFile& f) { coRes.WriteResource(f); }), "");
}

// Reading protocol

TEST(TResReadHdl, DamagedRecordsEndWithOneMessageAndNoLeaks)
{
    Bytes good;
    IdVar(Head(good, "TRecRes"), "Top");
    IdVar(Head(good, "TRecRes", 1), "Taken");
    IdVar(Head(good, "TRecRes", 2), "Kept");
    LongVar(good, 1, 4).U16(30).U16(30);
    IdVar(Head(good, "TNoSuchClass"), "D").U16(30).U16(30);
    TRecHdl coHdl;
    const std::string bytes = good.str();
    // Every cut of the record ends and reports damage once.
    for (size_t n = 0; n < bytes.size(); ++n) {
        coHdl.m_messages.clear();
        const ReadResult result = ReadAll(&coHdl, bytes.substr(0, n));
        EXPECT_EQ(result.nDamaged, 1) << n;
        EXPECT_LT(result.nCalls, 100) << n;
        EXPECT_EQ(std::count(coHdl.m_messages.begin(), coHdl.m_messages.end(), "Resource file is damaged!"), 1) << n;
    }
    // Flipped bytes: any answer, but bounded and clean; a dummy at the top
    // goes at its end, only damage leaves one.
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (uint8_t bMask : { 0x01, 0x80, 0xFF }) {
            std::string bad = bytes;
            bad[i] = static_cast<char>(bad[i] ^ bMask);
            const ReadResult result = ReadAll(&coHdl, bad);
            EXPECT_LT(result.nCalls, 1000) << i;
            EXPECT_FALSE(result.nDummy && !result.nDamaged) << i;
        }
    }
    // Children nested deeper than the limit are damage, not a stack
    // overflow; at the limit itself the record reads.
    for (int nDepth : { TResReadHdl::MaxDepth + 1, 200, TResReadHdl::MaxDepth + 0 }) {
        Bytes deep;
        for (int i = 0; i <= nDepth; ++i)
            Head(deep, "TResource");
        for (int i = 0; i <= nDepth; ++i)
            deep.U16(30);
        const ReadResult result = ReadAll(nullptr, deep.str());
        EXPECT_EQ(result.nDamaged, nDepth > TResReadHdl::MaxDepth) << nDepth;
        EXPECT_EQ(result.nObject || result.nDamaged, 1) << nDepth;
    }
}
