#pragma once

// Symbols of the file selector are exported from qa32flsl.dll and imported
// by everything that links against it. The native build is an ordinary
// shared object with default visibility.
#if defined(_WIN32)
#  if defined(QA32FLSL_BUILD)
#    define FLSL_API __declspec(dllexport)
#  else
#    define FLSL_API __declspec(dllimport)
#  endif
#else
#  define FLSL_API __attribute__((visibility("default")))
#endif
