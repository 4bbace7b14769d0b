#pragma once

// Symbols of the interaction utilities are exported from qa32kuti.dll and
// imported by everything that links against it. The native build is an
// ordinary shared object with default visibility.
#if defined(_WIN32)
#  if defined(QA32KUTI_BUILD)
#    define KUTI_API __declspec(dllexport)
#  else
#    define KUTI_API __declspec(dllimport)
#  endif
#else
#  define KUTI_API __attribute__((visibility("default")))
#endif
