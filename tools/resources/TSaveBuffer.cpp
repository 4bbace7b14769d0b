#include "TSaveBuffer.h"

#include "TLogFile.h"

TSaveBuffer::TSaveBuffer(TLogFile& coOutput, char* pchBuffer, uint32_t ulSize)
    : m_coOutput(coOutput), m_pchBuffer(pchBuffer), m_ulSize(pchBuffer ? ulSize : 0), m_llStart(coOutput.Tell())
{
    m_bFailed = m_llStart < 0 || m_ulSize == 0;
}

int TSaveBuffer::Append(TLogFile& coSource, int64_t llFrom, uint32_t ulLength)
{
    if (m_bFailed || llFrom < 0)
        return 0;
    if (m_pcoSource != &coSource || m_llSourcePos != llFrom) {
        m_pcoSource = nullptr;
        if (!coSource.Seek(llFrom, TLogFile::FromBegin)) {
            m_bFailed = true;
            return 0;
        }
    }
    uint32_t ulLeft = ulLength;
    while (ulLeft > 0) {
        if (m_ulFill == m_ulSize && !Flush())
            return 0;
        const uint32_t ulRoom = m_ulSize - m_ulFill;
        const uint32_t ulPiece = ulLeft < ulRoom ? ulLeft : ulRoom;
        if (coSource.Read(m_pchBuffer + m_ulFill, 1, ulPiece) != ulPiece) {
            m_bFailed = true;
            m_pcoSource = nullptr;
            return 0;
        }
        m_ulFill += ulPiece;
        ulLeft -= ulPiece;
    }
    m_pcoSource = &coSource;
    m_llSourcePos = llFrom + ulLength;
    return 1;
}

int TSaveBuffer::Flush()
{
    if (m_bFailed)
        return 0;
    if (m_ulFill > 0 && m_coOutput.Write(m_pchBuffer, 1, m_ulFill) != m_ulFill) {
        m_bFailed = true;
        return 0;
    }
    m_llStart += m_ulFill;
    m_ulFill = 0;
    return 1;
}
