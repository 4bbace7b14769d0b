#include "ResTestSupport.h"

#include "TArray.h"
#include "TFileHdl.h"
#include "TResReadHdl.h"
#include "TResVar.h"
#include "TResource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using restest::Bytes;
using restest::MemoryLog;

namespace {

std::vector<std::string>& Log()
{
    static std::vector<std::string> s_log;
    return s_log;
}

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
    void DisplayMessage(const char* pszText) override { Log().push_back(std::string("msg:") + pszText); }
};

// Record framing
Bytes& Head(Bytes& b, const std::string& cls, uint32_t lParam = 0, const std::string& cpp = "", uint16_t type = 31,
            uint16_t wParam = 0)
{
    return b.U16(type).Str(cls).Str(cpp).U16(wParam).U32(lParam);
}
Bytes& IdVar(Bytes& b, const std::string& id) { return b.U16(11).U16(1).U16(21).Str(id); }
Bytes& LongVar(Bytes& b, uint16_t id, uint32_t v) { return b.U16(7).U16(1).U16(id).U32(v); }

struct ReadResult {
    TResource* pcoObject { nullptr };
    int nDamaged { 0 };
    int nCalls { 0 };
};

ReadResult ReadAll(TFileHdl* pcoHdl, const std::string& bytes, TResource* pcoTarget = nullptr, int nCustom = 0)
{
    MemoryLog coLog(bytes);
    TResReadHdl coReader(pcoHdl, nCustom);
    ReadResult result;
    while (!coReader.ReadDataResource(&coLog, pcoTarget, nullptr)) {
        if (++result.nCalls > 1000000)
            break;
    }
    result.pcoObject = coReader.GetResourceObject();
    result.nDamaged = coReader.IsDamaged();
    return result;
}

class TResFile : public restest::ScratchTest {
};

} // namespace

// Variables

TEST_F(TResFile, EveryKindWritesItsExactBytes)
{
    const char achChars[] = { 'a', 'b', 'c' };
    const short anShorts[] = { -1, 2 };
    const long alLongs[] = { -2, 70000, 3 };
    const float afFloats[] = { 1.5f, -2.0f, 0.25f };
    const double adDoubles[] = { 0.5, -8.0 };
    const char* apszTexts[] = { "xy", nullptr };
    struct { const char* pszWhat; std::shared_ptr<TResVar> coVar; std::string bytes; } const aCases[] = {
        { "char", std::make_shared<TResChar>(5, 'Z'), Bytes().U16(1).U16(1).U16(5).U8('Z').str() },
        { "chars", std::make_shared<TResChar>(5, achChars, 3), Bytes().U16(1).U16(3).U16(5).Raw("abc").str() },
        { "short", std::make_shared<TResShort>(6, -3), Bytes().U16(3).U16(1).U16(6).U16(0xFFFD).str() },
        { "shorts", std::make_shared<TResShort>(6, anShorts, 2), Bytes().U16(3).U16(2).U16(6).U16(0xFFFF).U16(2).str() },
        { "long", std::make_shared<TResLong>(7, -5L), Bytes().U16(7).U16(1).U16(7).U32(0xFFFFFFFB).str() },
        { "longs", std::make_shared<TResLong>(7, alLongs, 3), Bytes().U16(7).U16(3).U16(7).U32(0xFFFFFFFE).U32(70000).U32(3).str() },
        // One float is widened to 8 bytes (14 in all), an array keeps 4 per
        // element (18 for three).
        { "float", std::make_shared<TResFloat>(8, 1.5f), Bytes().U16(9).U16(1).U16(8).F64(1.5).str() },
        { "floats", std::make_shared<TResFloat>(8, afFloats, 3), Bytes().U16(9).U16(3).U16(8).F32(1.5f).F32(-2.0f).F32(0.25f).str() },
        { "double", std::make_shared<TResDouble>(9, 0.1), Bytes().U16(10).U16(1).U16(9).F64(0.1).str() },
        { "doubles", std::make_shared<TResDouble>(9, adDoubles, 2), Bytes().U16(10).U16(2).U16(9).F64(0.5).F64(-8.0).str() },
        { "string", std::make_shared<TResString>(10, "abc"), Bytes().U16(11).U16(1).U16(10).Str("abc").str() },
        { "absent string", std::make_shared<TResString>(10, static_cast<const char*>(nullptr)), Bytes().U16(11).U16(1).U16(10).U16(0).str() },
        { "empty string", std::make_shared<TResString>(10, ""), Bytes().U16(11).U16(1).U16(10).U16(0).str() },
        { "strings", std::make_shared<TResString>(10, apszTexts, 2), Bytes().U16(11).U16(2).U16(10).Str("xy").U16(0).str() },
        { "count 0", std::make_shared<TResLong>(7, alLongs, 0), Bytes().U16(7).U16(0).U16(7).U32(0).str() },
    };
    for (const auto& c : aCases) {
        const std::string bytes = Written([&](TFile& f) { EXPECT_EQ(c.coVar->Write(f), 1) << c.pszWhat; });
        EXPECT_EQ(bytes, c.bytes) << c.pszWhat;
        // The code word is the caller's; the rest reads back into a fresh
        // variable of the kind and writes the same bytes again.
        MemoryLog coLog(bytes.substr(2));
        TResVar* pcoCopy = nullptr;
        switch (c.coVar->MyType()) {
        case 1: pcoCopy = new TResChar; break;
        case 3: pcoCopy = new TResShort; break;
        case 7: pcoCopy = new TResLong; break;
        case 9: pcoCopy = new TResFloat; break;
        case 10: pcoCopy = new TResDouble; break;
        default: pcoCopy = new TResString; break;
        }
        EXPECT_EQ(pcoCopy->Read(&coLog), 1) << c.pszWhat;
        EXPECT_EQ(coLog.Tell(), coLog.Size()) << c.pszWhat;
        EXPECT_EQ(Written([&](TFile& f) { pcoCopy->Write(f); }), c.bytes) << c.pszWhat;
        delete pcoCopy;
    }
}

TEST(TResVar, ConversionsFollowCAndTheKind)
{
    const TResDouble coDouble(1, -2.7);
    EXPECT_EQ(static_cast<long>(coDouble) + static_cast<int>(coDouble) + static_cast<char>(coDouble), -6);
    EXPECT_EQ(static_cast<unsigned char>(coDouble), 254);
    EXPECT_FLOAT_EQ(static_cast<float>(coDouble), -2.7f);
    EXPECT_TRUE(!static_cast<void*>(coDouble) && !static_cast<const char*>(coDouble));
    // Out of range and not a number: defined answers, not undefined ones.
    EXPECT_EQ(static_cast<int>(TResDouble(1, 1e300)), static_cast<int>(static_cast<int64_t>(INT64_MAX)));
    EXPECT_EQ(static_cast<long>(TResDouble(1, std::nan(""))), 0);

    const TResChar coChar(2, static_cast<char>(0xFF));
    EXPECT_EQ(static_cast<int>(coChar), -1);
    EXPECT_EQ(static_cast<unsigned int>(static_cast<unsigned char>(coChar)), 255u);
    const char achChars[] = { 'p', 'q' };
    const TResChar coChars(2, achChars, 2);
    EXPECT_EQ(std::string(static_cast<const char*>(coChars), 2), "pq");

    const TResString coText(3, "42");
    EXPECT_STREQ(static_cast<const char*>(coText), "42");
    EXPECT_EQ(static_cast<long>(coText) + static_cast<double>(coText), 0.0);
    const char* apszTwo[] = { "a", "b" };
    EXPECT_EQ(static_cast<const char*>(TResString(3, apszTwo, 2)), nullptr);

}

TEST(TResVar, IndexedAccessFillsTheElementOnlyInRange)
{
    const long alValues[] = { 10, 20, 30 };
    const TResLong coArray(44, alValues, 3);
    const TResVar& coOne = coArray[1];
    EXPECT_EQ(static_cast<long>(coOne), 20);
    EXPECT_EQ(coOne.MyId() * 10 + coOne.GetCount(), 441);
    // Out of range: the element as it was, the same object.
    EXPECT_EQ(&coArray[5], &coOne);
    EXPECT_EQ(static_cast<long>(coArray[-1]), 20);
    EXPECT_EQ(static_cast<long>(coArray[static_cast<unsigned short>(2)]), 30);
    // A fresh variable's element is 0 until an in-range access.
    EXPECT_EQ(static_cast<long>(TResLong(45, alValues, 3)[7]), 0);

    const char* apszTexts[] = { "one", nullptr, "three" };
    const TResString coTexts(50, apszTexts, 3);
    EXPECT_STREQ(static_cast<const char*>(coTexts[2]), "three");
    EXPECT_EQ(static_cast<const char*>(coTexts[1]), nullptr);
    EXPECT_EQ(coTexts[0].MyId(), 50);
}

TEST(TResVar, CopiesAreDeepAndSetReleasesTheOldValues)
{
    const char* apszTexts[] = { "alpha", "beta" };
    auto* pcoOriginal = new TResString(3, apszTexts, 2);
    TResString coCopy(*pcoOriginal);
    TResString coAssigned;
    coAssigned = *pcoOriginal;
    delete pcoOriginal;
    EXPECT_STREQ(coCopy.GetValue(1), "beta");
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
    EXPECT_EQ(coSet.GetCount(), 1);
    EXPECT_EQ(coSet.GetValues(), nullptr);
    coSet.Set(2, adValues, 1);
    EXPECT_EQ(static_cast<double>(coSet), 1.0);
    // The base copy takes id and count only.
    const TResVar coBase(coDoubles);
    EXPECT_EQ(coBase.MyId() * 10 + coBase.GetCount() + static_cast<double>(coBase), 83.0);
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

TEST(TResource, IdentifierComparisons)
{
    TResource coA;
    EXPECT_EQ(coA.HasResId("x"), 0);
    coA.SetResId("Window");
    EXPECT_EQ(coA.HasResId("WINDOW") * 10 + coA.HasResId("Windows") + coA.HasResId(nullptr), 10);
    TResource coB;
    coB.SetResId("apple");
    TResource coEmpty;
    EXPECT_LT(TResource::CompareById(&coB, &coA), 0);
    EXPECT_GT(TResource::CompareById(&coA, &coB), 0);
    EXPECT_LT(TResource::CompareById(&coEmpty, &coB), 0);
    TResource coUpper;
    coUpper.SetResId("APPLE");
    EXPECT_EQ(TResource::CompareById(&coB, &coUpper), 0);
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
    Head(good, "TRecRes");
    IdVar(good, "Top");
    Head(good, "TRecRes", 1);
    IdVar(good, "Taken");
    Head(good, "TRecRes", 2);
    IdVar(good, "Kept");
    LongVar(good, 1, 4);
    good.U16(30).U16(30);
    Head(good, "TNoSuchClass");
    IdVar(good, "D").U16(30).U16(30);
    TRecHdl coHdl;
    const std::string bytes = good.str();
    // Every cut of the record ends, reports damage once and leaves at most
    // the top-level object, which the caller deletes (ASan finds leaks).
    for (size_t n = 0; n < bytes.size(); ++n) {
        Log().clear();
        const ReadResult result = ReadAll(&coHdl, bytes.substr(0, n));
        EXPECT_EQ(result.nDamaged, 1) << n;
        EXPECT_LT(result.nCalls, 100) << n;
        long lMessages = 0;
        for (const auto& line : Log())
            lMessages += line == "msg:Resource file is damaged!";
        EXPECT_EQ(lMessages, 1) << n;
        if (result.pcoObject)
            result.pcoObject->Destroy();
    }
    // Flipped bytes: any answer, but bounded and clean.
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (uint8_t bMask : { 0x01, 0x80, 0xFF }) {
            std::string bad = bytes;
            bad[i] = static_cast<char>(bad[i] ^ bMask);
            Log().clear();
            const ReadResult result = ReadAll(&coHdl, bad);
            EXPECT_LT(result.nCalls, 1000) << i;
            // A dummy at the top goes at its end; only damage leaves one.
            if (result.pcoObject && !result.nDamaged) {
                EXPECT_FALSE(result.pcoObject->IsDummyResource()) << i;
            }
            if (result.pcoObject)
                result.pcoObject->Destroy();
        }
    }
    // Children nested deeper than the limit are damage, not a stack overflow.
    Bytes deep;
    for (int i = 0; i < 200; ++i)
        Head(deep, "TResource");
    for (int i = 0; i < 200; ++i)
        deep.U16(30);
    const ReadResult result = ReadAll(nullptr, deep.str());
    EXPECT_EQ(result.nDamaged, 1);
    if (result.pcoObject)
        result.pcoObject->Destroy();
    // At the limit itself the record reads.
    Bytes limit;
    for (int i = 0; i <= TResReadHdl::MaxDepth; ++i)
        Head(limit, "TResource");
    for (int i = 0; i <= TResReadHdl::MaxDepth; ++i)
        limit.U16(30);
    const ReadResult atLimit = ReadAll(nullptr, limit.str());
    EXPECT_EQ(atLimit.nDamaged, 0);
    ASSERT_NE(atLimit.pcoObject, nullptr);
    atLimit.pcoObject->Destroy();
}
