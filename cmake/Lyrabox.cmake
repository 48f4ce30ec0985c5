# Compile settings shared by every target of the project.

# The program's texts are GBK bytes; wide literals stay UTF-16.
set(LYRABOX_PROGRAM_FLAGS -fexec-charset=GBK -finput-charset=UTF-8)
set(LYRABOX_WARNING_FLAGS -Wall -Wextra -Werror -Wno-missing-field-initializers)

function(lyrabox_program_target target)
    target_compile_options(${target} PRIVATE ${LYRABOX_PROGRAM_FLAGS} ${LYRABOX_WARNING_FLAGS})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    if(WIN32)
        target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    endif()
endfunction()

# Windows executables link statically so they need no DLL beside them.
function(lyrabox_windows_executable target)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()

# A GoogleTest program compiled for Windows and run under Wine by CTest.
function(lyrabox_wine_test target)
    lyrabox_windows_executable(${target})
    target_link_libraries(${target} PRIVATE GTest::gtest_main_win)
    if(LYRABOX_RUN_WINE_TESTS)
        add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
        set_tests_properties(${target} PROPERTIES LABELS wine TIMEOUT 600 FIXTURES_REQUIRED wine_session
            ENVIRONMENT "LYRABOX_BUILD_DIR=${CMAKE_BINARY_DIR}")
    endif()
endfunction()

# The same test program run once more with the VBScript library switched
# off for its process (and the processes it starts), as on a Windows without
# the VBScript feature. Further arguments go to the program.
function(lyrabox_wine_test_without_vbscript target)
    if(LYRABOX_RUN_WINE_TESTS)
        add_test(NAME ${target}_without_vbscript COMMAND ${target} --gtest_color=no ${ARGN})
        set_tests_properties(${target}_without_vbscript PROPERTIES LABELS wine TIMEOUT 600
            FIXTURES_REQUIRED wine_session
            ENVIRONMENT "LYRABOX_BUILD_DIR=${CMAKE_BINARY_DIR};LYRABOX_WINEDLLOVERRIDES=vbscript=")
    endif()
endfunction()
