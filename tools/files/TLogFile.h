#pragma once

#include "KwtlApi.h"
#include "TString.h"

#include <cstdint>
#include <memory>

// The stream through which every binary file of the system is read and
// written: positioning, block transfer, and typed values in one fixed
// encoding, little-endian without padding:
//   char 1 byte, short 2, int and long 4 (also where long is wider), double
//   8 (IEEE 754), float 8 (written widened to a double);
//   a text: u16 character count (0 for an absent or empty text), then the
//   characters and one zero byte when the count is not 0;
//   a memory block: u16 length (0 for absent data), then the bytes.
// A typed read either delivers a whole value or, when fewer bytes arrive
// than it needs (a short or damaged file), 0 or none; it never reads beyond
// what it allocated. Typed writes answer 1 when every byte was written.
class KWTL_API TLogFile {
public:
    // Seek modes
    enum : unsigned short {
        FromBegin = 1,
        FromCurrent = 2,
        FromEnd = 3,
    };
    // The longest text and memory block the u16 length can describe.
    static constexpr unsigned long MaxCounted = 0xFFFF;

    TLogFile() = default;
    virtual ~TLogFile();

    // Positioning and block transfer
    virtual int Seek(int64_t llPosition, unsigned short unMode) = 0;
    virtual int64_t Tell() = 0;
    virtual int64_t Size() = 0;
    // Transfers size x count bytes; answers the bytes transferred.
    virtual uint32_t Read(void* pvBuffer, uint32_t ulSize, uint32_t ulCount) = 0;
    virtual uint32_t Write(const void* pvBuffer, uint32_t ulSize, uint32_t ulCount) = 0;

    // Typed reads
    virtual char Rchar();
    virtual unsigned char Ruchar();
    virtual short Rshort();
    virtual unsigned short Rushort();
    virtual int Rint();
    virtual unsigned int Ruint();
    virtual long Rlong();
    virtual unsigned long Rulong();
    virtual float Rfloat();
    virtual double Rdouble();
    virtual TString RTString();
    // A malloc buffer with the text and its zero byte; none for an empty
    // text. The caller frees it.
    virtual char* Rstr();
    // A malloc buffer with the block; none for an empty one. The length goes
    // to punLength when given (0 with none). The caller frees it.
    virtual void* Rmem(unsigned short* punLength);

    // Typed writes
    virtual int Wchar(char chValue);
    virtual int Wuchar(unsigned char uchValue);
    virtual int Wshort(short nValue);
    virtual int Wushort(unsigned short unValue);
    virtual int Wint(int nValue);
    virtual int Wuint(unsigned int unValue);
    // The low 32 bits; Rlong gives them back sign-extended.
    virtual int Wlong(long lValue);
    virtual int Wulong(unsigned long ulValue);
    virtual int Wfloat(float fValue);
    virtual int Wdouble(double dValue);
    // A text longer than MaxCounted characters is written cut to that
    // length, so the stream stays readable, and the answer is 0.
    virtual int Wstr(const char* pszText);
    virtual int WTString(const TString& coText);
    virtual int Wmem(const void* pvData, unsigned short unLength);

    // Single bytes
    uint32_t Read(void* pvBuffer, uint32_t ulCount) { return Read(pvBuffer, 1, ulCount); }
    uint32_t Write(const void* pvBuffer, uint32_t ulCount) { return Write(pvBuffer, 1, ulCount); }

private:
    // Reads exactly nCount bytes into pbBytes; false (and zeros) otherwise.
    bool ReadExactly(uint8_t* pbBytes, uint32_t nCount);
    uint64_t ReadLittleEndian(uint32_t nBytes);
    int WriteLittleEndian(uint64_t ullValue, uint32_t nBytes);
};

// A stream on an open operating-system file handle that it does not own.
// Without a handle (below 0) every operation does nothing and answers 0.
class KWTL_API TRealFile : public TLogFile {
public:
    explicit TRealFile(int nHandle = -1) : m_nHandle(nHandle) {}

    int GetHandle() const { return m_nHandle; }
    void SetHandle(int nHandle) { m_nHandle = nHandle; }

    // Modes 1, 2, 3 (any other value: from the beginning); a position
    // before the start of the file is refused and the position stays.
    int Seek(int64_t llPosition, unsigned short unMode) override;
    int64_t Tell() override;
    int64_t Size() override;
    uint32_t Read(void* pvBuffer, uint32_t ulSize, uint32_t ulCount) override;
    uint32_t Write(const void* pvBuffer, uint32_t ulSize, uint32_t ulCount) override;
    using TLogFile::Read;
    using TLogFile::Write;

private:
    int m_nHandle { -1 };
};

// Reads one byte range of a file into memory at construction, in blocks,
// and then reads from memory; it never reads outside the range and cannot
// write. The range starts at the handle's position; when the file ends
// before the range does, or memory runs out, the range ends with the bytes
// that were read. Block sizes are at least the minimum, which is at least
// 256; a range that would need more than 65535 blocks gets larger blocks.
class KWTL_API TCacheFile : public TLogFile {
public:
    TCacheFile(int nHandle, uint32_t ulLength, unsigned short unBlockSize, unsigned short unMinBlockSize);
    ~TCacheFile() override;
    TCacheFile(const TCacheFile&) = delete;
    TCacheFile& operator=(const TCacheFile&) = delete;

    uint32_t GetRangeLength() const { return m_ulLength; }
    unsigned short GetBlockSize() const { return m_unBlockSize; }
    unsigned short GetBlockCount() const { return m_unBlockCount; }

    // Positions within the range, 0 to its length.
    int Seek(int64_t llPosition, unsigned short unMode) override;
    int64_t Tell() override { return m_lPosition; }
    // The length of the whole file behind the handle.
    int64_t Size() override;
    // Reads at most to the end of the range; 0 for 0 bytes or 65536 and more.
    uint32_t Read(void* pvBuffer, uint32_t ulSize, uint32_t ulCount) override;
    uint32_t Write(const void* pvBuffer, uint32_t ulSize, uint32_t ulCount) override;
    using TLogFile::Read;
    using TLogFile::Write;

private:
    void Fill();

    int m_nHandle;
    uint32_t m_ulLength;
    unsigned short m_unBlockSize;
    unsigned short m_unMinBlockSize;
    unsigned short m_unBlockCount { 0 };
    std::unique_ptr<std::unique_ptr<char[]>[]> m_ppchBlocks;    // owned blocks
    int64_t m_lPosition { 0 };
};
