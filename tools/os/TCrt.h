#pragma once

#include "KwtlApi.h"

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <ctime>

// The few run-time library functions whose names or existence differ between
// the Microsoft C run-time and POSIX. The comparisons are implemented once
// for every platform so that the sort orders are the same everywhere.

// Case-insensitive comparison like _stricmp: both texts are lowered and
// compared as unsigned characters. Returns <0, 0 or >0.
KWTL_API int CrtStricmp(const char* pszA, const char* pszB);
// Like _strnicmp: compares at most nCount characters.
KWTL_API int CrtStrnicmp(const char* pszA, const char* pszB, size_t nCount);
// Like _strrev: reverses the text in place and returns it.
KWTL_API char* CrtStrrev(char* pszText);
// The process id as the C run-time reports it (_getpid or getpid).
KWTL_API int CrtProcessId();
// The calling thread's id, never 0 and unique among the running threads.
KWTL_API unsigned long CrtThreadId();
// Like _fdopen: a stream over a file handle of the operating-system object
// (OpenFile); closing the stream closes the handle. Null on failure.
KWTL_API FILE* CrtFdopen(int nHandle, const char* pszMode);
// Streams of whole files for copying: opened without being inherited by
// child processes where the run-time library can say so, the length of an
// open stream's file (-1 for a directory or on failure), a seek to a
// 64-bit position (0 on success), and whether a name denotes the very file
// a stream has open (so that writing it would destroy the stream's data).
KWTL_API FILE* CrtOpenStream(const char* pszName, const char* pszMode);
KWTL_API int64_t CrtStreamLength(FILE* pStream);
KWTL_API int CrtSeekStream(FILE* pStream, int64_t llPosition);
KWTL_API int CrtIsSameFile(FILE* pStream, const char* pszName);
// Like _access: 0 when the path allows the access (4 read, 2 write, 0 exists).
KWTL_API int CrtAccess(const char* pszPath, int nMode);
// The separator of directory names ('\\' on Windows, '/' elsewhere) and
// of the entries of a search list such as PATH (';' or ':').
KWTL_API char CrtPathSeparator();
KWTL_API char CrtPathListSeparator();
// The run-time library's local time of calendar seconds, into the caller's
// structure; 0 where the library cannot convert the value (the Microsoft
// run-time converts neither negative values nor ones after the year 3000).
KWTL_API int CrtLocalTime(int64_t llSeconds, std::tm* pcoTime);
