# Test registration shared by every tier.
#
# gfx_add_test_program(NAME SOURCES ... LIBS ...) builds a GoogleTest program and registers it as
# "<tier>.<NAME>" with the tier as its label. Windows programs run under Wine in one prefix per
# build, made once by the "windows.wine-prefix" fixture, each on a virtual display of its own so
# that tests which make windows run on any machine.

enable_testing()

if(WIN32)
    # GoogleTest is built from Debian's sources with the cross compiler.
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

    set(GFX_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
    set(GFX_WINE_ENV
        "WINEPREFIX=${GFX_WINE_PREFIX}"
        "WINEARCH=win32"
        "WINEDEBUG=-all"
        "WINEDLLOVERRIDES=mscoree,mshtml=")
    set(GFX_DISPLAY_RUNNER ${CMAKE_SOURCE_DIR}/cmake/run_on_virtual_display.sh)
    # Wine maps the root folder to drive Z:.
    set(GFX_TEST_DATA_FOR_TESTS "Z:${GFX_SHARED_DATA}")
    add_test(NAME windows.wine-prefix
             COMMAND sh -c "wineboot --init >/dev/null 2>&1; wineserver -w")
    set_tests_properties(windows.wine-prefix PROPERTIES
        LABELS windows FIXTURES_SETUP wine-prefix ENVIRONMENT "${GFX_WINE_ENV}")
else()
    find_package(GTest REQUIRED)
    set(GFX_TEST_DATA_FOR_TESTS "${GFX_SHARED_DATA}")
endif()

function(gfx_add_test_program name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    set(env "GFX_TEST_DATA=${GFX_TEST_DATA_FOR_TESTS}")
    if(WIN32)
        add_test(NAME ${GFX_TIER}.${name}
                 COMMAND ${GFX_DISPLAY_RUNNER} 24 $<TARGET_FILE:${name}>)
        list(APPEND env ${GFX_WINE_ENV})
        set_tests_properties(${GFX_TIER}.${name} PROPERTIES FIXTURES_REQUIRED wine-prefix)
    else()
        add_test(NAME ${GFX_TIER}.${name} COMMAND ${name})
    endif()
    set_tests_properties(${GFX_TIER}.${name} PROPERTIES LABELS ${GFX_TIER} ENVIRONMENT "${env}")
endfunction()
