# GoogleTest is built from the Debian source package for each configuration.
set(KW_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${KW_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# kw_add_test(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>])
# One test program per class family; under a cross build CTest runs it
# through CMAKE_CROSSCOMPILING_EMULATOR (Wine).
function(kw_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    kw_add_program(${name} SOURCES ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()

# kw_add_gui_test(<name> SOURCES <files...> [LIBS <targets...>] [MAIN <target>]
#                 [TIMEOUT <s>] [WATCHDOG <s>])
# A test program that opens windows. It links the GUI test support
# (gui/testsupport) and, unless MAIN names another, its main, which runs the
# tests under the watchdog: a test that takes longer than WATCHDOG seconds
# (60), or a program that takes longer than nine tenths of TIMEOUT (300),
# ends the program with failure, a report and a screenshot of the desktop,
# before CTest's own TIMEOUT would. GUI test programs run one at a time:
# windows of parallel programs fight over the foreground, the mouse and the
# keyboard. Screenshots go to build/screenshots/<name>/ of the source tree.
set(KW_DESKTOP_LOCK kw-desktop)
function(kw_add_gui_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT;WATCHDOG;MAIN" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    if(NOT ARG_WATCHDOG)
        set(ARG_WATCHDOG 60)
    endif()
    if(NOT ARG_MAIN)
        set(ARG_MAIN kwguitest_main)
    endif()
    kw_add_program(${name} SOURCES ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${ARG_MAIN} kwguitest GTest::gtest GTest::gmock)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    math(EXPR deadline "${ARG_TIMEOUT} * 9 / 10")
    set(shots ${PROJECT_SOURCE_DIR}/build/screenshots/${name})
    if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
        set(shots "Z:${shots}") # Wine's drive of the Unix root
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} RESOURCE_LOCK ${KW_DESKTOP_LOCK}
        ENVIRONMENT "KW_SCREENSHOT_DIR=${shots};KW_GUI_WATCHDOG=${ARG_WATCHDOG};KW_GUI_DEADLINE=${deadline}")
endfunction()
