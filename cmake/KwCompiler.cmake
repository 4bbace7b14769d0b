# Compiler and linker settings shared by every configuration.

set(KW_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
if(KW_WERROR)
    list(APPEND KW_WARNINGS -Werror)
endif()
add_compile_options(${KW_WARNINGS})

if(WIN32)
    set(KW_PLATFORM WinNT)
    # The runtime libraries are linked statically: the programs run without
    # libgcc, libstdc++ or winpthread DLLs beside them.
    add_link_options(-static -static-libgcc -static-libstdc++)
    add_compile_definitions(WIN32_LEAN_AND_MEAN)
else()
    set(KW_PLATFORM Posix)
    # "thread" gives the ThreadSanitizer build of the thread tests; an empty
    # value an uninstrumented build (for the benchmarks and the coverage).
    set(KW_SANITIZERS "address,undefined" CACHE STRING "Sanitizers of the native build")
    if(KW_SANITIZERS)
        set(KW_SANITIZE -fsanitize=${KW_SANITIZERS} -fno-sanitize-recover=all -fno-omit-frame-pointer)
        add_compile_options(${KW_SANITIZE})
        add_link_options(${KW_SANITIZE})
    endif()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()

# With KW_FUZZ the native build (clang) also instruments everything for
# libFuzzer's coverage and builds the fuzz programs beside the tests, so
# that one build of the library under ASan and UBSan serves both; only the
# fuzz programs link the fuzzer itself (-fsanitize=fuzzer, tools/fuzz).
if(KW_FUZZ)
    if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang" OR NOT KW_SANITIZERS MATCHES "address")
        message(FATAL_ERROR "KW_FUZZ needs the native build with clang and AddressSanitizer")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
