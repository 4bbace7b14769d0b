# Programs of the project that the build itself runs. A native build runs
# its own targets; a cross build builds them once more for the build
# machine (sdk/*/host), since its own programs cannot run there (the
# i686 programs not even under Wine).
#
# kw_host_tool(<var> <name>): <var> names the program to run in a
# custom command, and <var>_DEPENDS what the command must depend on.
include(ExternalProject)

function(kw_host_tool var name)
    if(NOT CMAKE_CROSSCOMPILING)
        set(${var} $<TARGET_FILE:${name}> PARENT_SCOPE)
        set(${var}_DEPENDS ${name} PARENT_SCOPE)
        return()
    endif()
    set(dir ${CMAKE_BINARY_DIR}/host/${name})
    if(NOT TARGET ${name}-host)
        set(launcher)
        if(CMAKE_CXX_COMPILER_LAUNCHER)
            set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
        endif()
        ExternalProject_Add(${name}-host
            SOURCE_DIR ${PROJECT_SOURCE_DIR}/sdk/${name}/host
            BINARY_DIR ${dir}
            CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release ${launcher}
            INSTALL_COMMAND ""
            BUILD_ALWAYS ON
            BUILD_BYPRODUCTS ${dir}/${name})
    endif()
    set(${var} ${dir}/${name} PARENT_SCOPE)
    set(${var}_DEPENDS ${name}-host PARENT_SCOPE)
endfunction()

# kw_compile_kwt(<text> <file>): the resource file from its text.
function(kw_compile_kwt text file)
    kw_host_tool(kwtmake_command kwtmake)
    add_custom_command(OUTPUT ${file}
        COMMAND ${kwtmake_command} ${text} ${file}
        DEPENDS ${text} ${kwtmake_command_DEPENDS}
        COMMENT "Compiling ${file}"
        VERBATIM)
endfunction()
