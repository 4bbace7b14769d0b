#pragma once

#include <string>

// UTF-8 text of the copy engine and the UTF-16 text of the ...W calls.
std::wstring KwWideFromUtf8(const std::string& strText);
std::string KwUtf8FromWide(const wchar_t* pwszText, size_t nLength);
std::string KwUtf8FromWide(const std::wstring& wstrText);
// The form of a full path that the ...W calls take at any length: "C:\x"
// becomes "\\?\C:\x", "\\server\share\x" becomes "\\?\UNC\server\share\x".
std::wstring KwLongPath(const std::string& strFull);
// The system's text for a Win32 error, without the closing full stop.
std::string KwErrorText(unsigned long ulError);
