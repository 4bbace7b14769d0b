# kw_add_program(<name> [WIN32] SOURCES <files...> [LIBS <targets...>])
#
# A program of the framework: add_executable with the manifest every
# Kwillet program carries (program/kwillet.manifest: the UTF-8 code page,
# long paths, the common controls, DPI and the supported Windows versions).
# A program that links qa32kw25main, the framework's entry point, has the
# manifest from there; any other (a console program, a test) gets it here.
# Installed with the package config: find_package(Kwillet) provides it too.
set(KW_MANIFEST_RC ${CMAKE_CURRENT_LIST_DIR}/program/KwManifest.rc)

function(kw_add_program name)
    cmake_parse_arguments(ARG "WIN32" "" "SOURCES;LIBS" ${ARGN})
    set(kind)
    if(ARG_WIN32)
        set(kind WIN32)
    endif()
    add_executable(${name} ${kind} ${ARG_SOURCES})
    if(ARG_LIBS)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    endif()
    if(NOT WIN32)
        return()
    endif()
    # One manifest per program: a second one fails the link.
    foreach(lib ${ARG_LIBS})
        if(lib MATCHES "(^|::)qa32kw25main$")
            return()
        endif()
    endforeach()
    target_sources(${name} PRIVATE ${KW_MANIFEST_RC})
endfunction()
