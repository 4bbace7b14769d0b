#pragma once

#include <string>

// The copy engine's text is UTF-8 whatever the system's code page; these
// are its one crossing to and from the UTF-16 of the ...W calls, for the
// engine's Windows sources and for the programs that hand it their
// command line and show its text (gandrelcopy). Windows only.
std::wstring KwWideFromUtf8(const std::string& strText);
std::string KwUtf8FromWide(const wchar_t* pwszText, size_t nLength);
std::string KwUtf8FromWide(const std::wstring& wstrText);
// The form of a full path that the ...W calls take at any length: "C:\x"
// becomes "\\?\C:\x", "\\server\share\x" becomes "\\?\UNC\server\share\x".
std::wstring KwLongPath(const std::string& strFull);
// The system's text for a Win32 error, without the closing full stop.
std::string KwErrorText(unsigned long ulError);
