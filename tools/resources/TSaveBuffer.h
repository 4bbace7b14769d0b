#pragma once

#include "KwtlApi.h"

#include <cstdint>

class TLogFile;

// Appends byte ranges of other files to the end of an output file through
// one buffer the caller owns, so that a save of many small records writes
// in pieces of the buffer's size instead of once per record. While the
// buffer is in use nothing else may write to the output or move a source;
// Flush writes what is still held.
class KWTL_API TSaveBuffer {
public:
    // The output must be positioned at its end.
    TSaveBuffer(TLogFile& coOutput, char* pchBuffer, uint32_t ulSize);
    TSaveBuffer(const TSaveBuffer&) = delete;
    TSaveBuffer& operator=(const TSaveBuffer&) = delete;

    // The output offset the next appended byte will have; -1 when the
    // output's position could not be told.
    int64_t Tell() const { return m_llStart < 0 ? -1 : m_llStart + m_ulFill; }
    // Appends ulLength bytes of coSource from llFrom on; non-zero when all
    // of them were read. After a failure the buffer takes nothing more.
    int Append(TLogFile& coSource, int64_t llFrom, uint32_t ulLength);
    // Writes the buffered bytes; non-zero when everything appended so far
    // is in the output.
    int Flush();
    int IsFailed() const { return m_bFailed ? 1 : 0; }

private:
    TLogFile& m_coOutput;
    char* m_pchBuffer;
    uint32_t m_ulSize;
    uint32_t m_ulFill { 0 };
    int64_t m_llStart;                       // output offset of the buffer's first byte
    // Where the last source read stopped, so that records lying one behind
    // the other are read without seeking.
    const TLogFile* m_pcoSource { nullptr };
    int64_t m_llSourcePos { -1 };
    bool m_bFailed { false };
};
