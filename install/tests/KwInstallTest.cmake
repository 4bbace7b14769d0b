# The installation tests, run by CTest with cmake -P:
#   MODE=consumer  installs the build into a fresh prefix, then configures
#                  and builds a small application against it with
#                  find_package(Kwillet) and runs it from the prefix's bin/;
#                  its programs must carry the manifest (MANIFEST_CHECK)
#   MODE=zip       packs the Runtime ZIP, unpacks it and runs gandrelcopy.exe
#                  from it in another directory: a small tree is copied; with
#                  OPEN_CHECK (GdvStartTest.exe), the unpacked Gandrel.exe is
#                  started with the unpacked resource files: its main window
#                  must open and, closed, end it with 0
# Variables: MODE, BUILD_DIR, WORK, SOURCE_DIR, TOOLCHAIN, EMULATOR, OPEN_CHECK,
# MANIFEST_CHECK.

function(kw_run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "failed (${result}): ${ARGN}\n${output}")
    endif()
endfunction()

function(kw_expect_file path)
    if(NOT EXISTS ${path})
        message(FATAL_ERROR "missing: ${path}")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

if(MODE STREQUAL "consumer")
    kw_run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK}/prefix)
    foreach(file bin/qa32kwtl.dll bin/qa32kw25.dll bin/zorvik30.ini include/kwillet/TString.h
            include/kwillet/KwRect.h lib/cmake/Kwillet/KwilletConfig.cmake lib/cmake/Kwillet/KwilletTargets.cmake)
        kw_expect_file(${WORK}/prefix/${file})
    endforeach()
    kw_run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/consumer -B ${WORK}/build -G Ninja -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DCMAKE_PREFIX_PATH=${WORK}/prefix)
    kw_run(${CMAKE_COMMAND} --build ${WORK}/build)
    # Windows finds the DLLs in the current directory.
    execute_process(COMMAND ${EMULATOR} ${WORK}/build/kwconsumer.exe WORKING_DIRECTORY ${WORK}/prefix/bin
        RESULT_VARIABLE result OUTPUT_VARIABLE output)
    if(NOT result EQUAL 0 OR NOT output MATCHES "^Kwillet consumer 100 x 50, code page 65001")
        message(FATAL_ERROR "kwconsumer.exe: result ${result}, output: ${output}")
    endif()
    # Both of the author's programs carry the manifest: the one made with
    # kw_add_program, the one that links the framework's entry point.
    set(z)
    if(CMAKE_HOST_UNIX)
        set(z "Z:") # Wine's drive of the Unix root
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env KW_PROGRAM_DIR=${z}${WORK}/build
            KW_PROGRAMS_EXPECTED=kwconsumer.exe,kwconsumerwin.exe ${EMULATOR} ${MANIFEST_CHECK}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "the consumer's manifests: result ${result}\n${output}")
    endif()
elseif(MODE STREQUAL "zip")
    kw_run(cpack --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK}/package)
    file(GLOB zips ${WORK}/package/*.zip)
    list(LENGTH zips count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "expected one ZIP, found: ${zips}")
    endif()
    file(ARCHIVE_EXTRACT INPUT ${zips} DESTINATION ${WORK}/unpacked)
    file(GLOB bin LIST_DIRECTORIES true ${WORK}/unpacked/*/bin)
    kw_expect_file(${bin}/gandrelcopy.exe)
    kw_expect_file(${bin}/qa32kwtl.dll)
    kw_expect_file(${bin}/zorvik30.ini)
    # The resource files the build made go along.
    file(GLOB resources RELATIVE ${BUILD_DIR}/bin ${BUILD_DIR}/bin/zorvik30.kwt ${BUILD_DIR}/bin/gandrel.kwt)
    foreach(resource ${resources})
        kw_expect_file(${bin}/${resource})
    endforeach()
    file(GLOB headers ${WORK}/unpacked/*/include)
    if(headers)
        message(FATAL_ERROR "the ZIP holds the development files: ${headers}")
    endif()
    # A tree to copy, in a directory of its own.
    file(WRITE ${WORK}/run/src/a.txt "alpha")
    file(WRITE ${WORK}/run/src/sub/b.txt "beta")
    execute_process(COMMAND ${EMULATOR} ${bin}/gandrelcopy.exe src dst /SEC:NONE WORKING_DIRECTORY ${WORK}/run
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    # Exit code 1: something was copied, nothing failed.
    if(NOT result EQUAL 1)
        message(FATAL_ERROR "gandrelcopy.exe from the ZIP: result ${result}\n${output}")
    endif()
    file(READ ${WORK}/run/dst/src/sub/b.txt copied)
    if(NOT copied STREQUAL "beta")
        message(FATAL_ERROR "the copy of sub/b.txt holds '${copied}'")
    endif()
    if(OPEN_CHECK)
        kw_expect_file(${bin}/Gandrel.exe)
        kw_expect_file(${bin}/gandrel.kwt)
        kw_expect_file(${bin}/qa32flsl.dll)
        # The test copies the resource files of GDV_PROGRAM_DIR into a
        # directory of its own and starts Gandrel.exe from there; the path
        # is a Windows program's: Wine's drive Z: is the Unix root.
        set(z)
        if(CMAKE_HOST_UNIX)
            set(z "Z:")
        endif()
        execute_process(COMMAND ${CMAKE_COMMAND} -E env GDV_PROGRAM_DIR=${z}${bin}
                ${EMULATOR} ${OPEN_CHECK} --gtest_filter=GdvStartTest.OpensItsMainWindowAndEndsWhenItCloses
            RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
        if(NOT result EQUAL 0 OR NOT output MATCHES "PASSED.*1 test")
            message(FATAL_ERROR "Gandrel.exe from the ZIP: result ${result}\n${output}")
        endif()
    endif()
else()
    message(FATAL_ERROR "unknown MODE '${MODE}'")
endif()
