#pragma once

// Resource files of the GUI tests, written as the text that kwtmake
// compiles (every position "auto"): a reader of a test sees what each
// file holds.

#include <functional>
#include <string>
#include <vector>

namespace kw25test {

// One record: its id, the class of its index entry and the record's text
// from its "resource" line to its final "end".
struct TKwtRecord {
    std::string strId;
    std::string strClass;
    std::string strText;
};

// The whole text of a file of the GUI core's handler (description
// "ZORVIK Brackenholt", version "V3.00.17") holding the records, its index
// sorted by id.
std::string KwtText(const std::vector<TKwtRecord>& coRecords);

// Compiles the text into the file; "" when that worked, else why not.
std::string WriteKwt(const std::string& strFile, const std::string& strText);

// A window record: the class, the id and the variables (lines of text),
// with the children's records after them.
std::string WindowRecord(const std::string& strClass, const std::string& strId, const std::string& strVariables,
                         const std::string& strChildren = std::string());

// A 16-colour picture record (class KwDib) of the size: the colours as RGB
// values (red in the lowest byte), fnIndex the colour index of each pixel
// (x to the right, y downwards).
std::string DibRecord(const std::string& strId, int nWidth, int nHeight, const std::vector<unsigned long>& coColors,
                      const std::function<int(int, int)>& fnIndex);

// The test programs' own standard resource file: the message dialog
// "DLG_GER_MESSAGE" (a KwWFrame with the KwPushButton children BT_PUSH1 to
// BT_PUSH3, the KwStatic BMP_INFO and the KwStatic MESSAGE) and
// round pictures BMP_MBSTOP (red), BMP_MBQUEST (blue), BMP_MBEXCLAM
// (yellow), BMP_MBINFO (light blue), BMP_ZORVIK and BMP_KWDEFAULTICON, all
// with magenta (0xFF00FF) as background.
std::vector<TKwtRecord> StandardRecords();
// The RGB value of the round picture of the id.
unsigned long StandardPictureColor(const std::string& strId);

} // namespace kw25test
