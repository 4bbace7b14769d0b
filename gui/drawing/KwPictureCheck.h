#pragma once

#include "Kw25Api.h"
#include "TString.h"

#include <cstddef>

// Whether the stored form of a picture fits together, before anything is
// handed to the system or copied: the sizes, planes, bits per pixel, row
// size, image size and colour-table count of a picture record against the
// bytes the record carries. A record that does not fit must leave its
// picture empty; the answer says why, in one line, for the one report.
//
// The fields are filled from the record's variables with Take (numbers),
// AddColor and AddBits, as a reader meets them; a new id variable starts
// the picture again (Clear). Check answers an empty text when the picture
// fits, and also when the record carries no picture data at all (a
// picture named by its file only). Pure logic: the same rules serve the
// reading of pictures, kwtcheck and the fuzz programs.

// The values a colour or bit variable of a picture record carries, as
// every reader counts them (the picture classes, kwtcheck, the checks
// below): none when it is not of the kind the field is stored as (longs
// for colours, characters for bits), one below a count of 2, else its
// count.
KW25_API size_t KwPictureValueCount(unsigned short unType, unsigned short unCount, unsigned short unStoredType);

// A device-dependent bitmap record: variable 1000 the file name, then,
// when the bits are stored, 1020 type, 1021 width, 1022 height, 1023 bytes
// per row, 1024 planes, 1025 bits per pixel and the bits as 1026.
class KW25_API KwBitmapRecordCheck {
public:
    enum : unsigned short {
        VarFile = 1000,
        VarType = 1020,
        VarWidth = 1021,
        VarHeight = 1022,
        VarRowBytes = 1023,
        VarPlanes = 1024,
        VarBitsPixel = 1025,
        VarBits = 1026,
    };

    void Clear() { *this = KwBitmapRecordCheck(); }
    // A number variable 1020 to 1025; 1 when the id is one of them.
    int Take(unsigned short unId, long lValue);
    void AddBits(size_t nBytes) { m_nBits += nBytes; }

    TString Check() const;
    int HasPictureData() const { return m_unPresent != 0 || m_nBits != 0; }
    // The row size the system expects: rows are aligned to 16 bits; -1
    // for a size or depth that is not accepted.
    static long long RowBytesFor(long long llWidth, long long llBitsPixel);

    long GetField(unsigned short unId) const { return Has(unId) ? m_alValue[unId - VarType] : 0; }
    size_t GetBitBytes() const { return m_nBits; }

private:
    int Has(unsigned short unId) const { return unId >= VarType && unId < VarBits && (m_unPresent & (1u << (unId - VarType))); }

    unsigned m_unPresent { 0 };
    long m_alValue[6] {};
    size_t m_nBits { 0 };
};

// A device-independent bitmap record: variable 6001 the file name, then,
// when the bits are stored, the fields of the bitmap information header
// as 6005 to 6015, one 6016 per colour-table entry and the bits as 6017.
// Only uncompressed pictures (and bit-field masks, carried as the first
// three colour entries) of 1, 4, 8, 16, 24 or 32 bits per pixel with at
// most 32767 pixels in each direction are accepted; the image size may
// exceed what the rows need (padding), never fall short, and the bits
// must be exactly the image size.
class KW25_API KwDibRecordCheck {
public:
    enum : unsigned short {
        VarFile = 6001,
        VarHeaderSize = 6005,
        VarWidth = 6006,
        VarHeight = 6007,
        VarPlanes = 6008,
        VarBitCount = 6009,
        VarCompression = 6010,
        VarImageSize = 6011,
        VarXPelsPerMeter = 6012,
        VarYPelsPerMeter = 6013,
        VarClrUsed = 6014,
        VarClrImportant = 6015,
        VarColor = 6016,
        VarBits = 6017,
    };
    enum : unsigned long { HeaderSize = 40, CompressionRGB = 0, CompressionBitFields = 3 };

    void Clear() { *this = KwDibRecordCheck(); }
    // A number variable 6005 to 6015; 1 when the id is one of them.
    int Take(unsigned short unId, long lValue);
    void AddColors(size_t nEntries) { m_nColors += nEntries; }
    void AddBits(size_t nBytes) { m_nBits += nBytes; }

    TString Check() const;
    int HasPictureData() const { return m_unPresent != 0 || m_nColors != 0 || m_nBits != 0; }
    // The colour-table entries a header asks for (bit-field masks
    // included), and the bytes the rows need (rows are aligned to 32
    // bits); -1 for a size or depth that is not accepted.
    static long long ColorsFor(long long llBitCount, long long llClrUsed, long long llCompression);
    static long long ImageBytesFor(long long llWidth, long long llHeight, long long llBitCount);

    long GetField(unsigned short unId) const { return Has(unId) ? m_alValue[unId - VarHeaderSize] : 0; }
    size_t GetColorCount() const { return m_nColors; }
    size_t GetBitBytes() const { return m_nBits; }

private:
    int Has(unsigned short unId) const
    {
        return unId >= VarHeaderSize && unId < VarColor && (m_unPresent & (1u << (unId - VarHeaderSize)));
    }
    TString CheckHeader() const;

    unsigned m_unPresent { 0 };
    long m_alValue[11] {};
    size_t m_nColors { 0 };
    size_t m_nBits { 0 };
};
