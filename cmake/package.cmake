# The installable package: `cmake --install <build> --prefix <dir>` puts the library (libgfx.a
# and libgfx_core.a), its headers (include/graphics/...), the run-time JPEG module, a CMake
# package and a pkg-config file under the prefix. Another project then links it with
#
#     find_package(gfx CONFIG REQUIRED)
#     target_link_libraries(app PRIVATE gfx::gfx)
#
# (zlib is found for it as the package's dependency), or with `pkg-config --cflags --libs gfx`.
# The JPEG module is loaded at run time from the program's folder: gfx_place_jpeg_module(<target>)
# of the CMake package copies it there.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(GFX_PACKAGE_VERSION 0.9.0)
set(GFX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/gfx)

install(TARGETS gfx gfx_core EXPORT gfxTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The module is a plugin, not a link dependency: on Windows its DLL goes to bin/ like any DLL.
install(TARGETS zd_jpeg EXPORT gfxTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Headers are included from the installed root as from the repository's ("graphics/image/...").
# The platform backends' own headers are private to their sources.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/graphics/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/graphics
        FILES_MATCHING PATTERN "*.h"
        PATTERN "posix" EXCLUDE PATTERN "win32" EXCLUDE)

install(EXPORT gfxTargets NAMESPACE gfx:: DESTINATION ${GFX_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/gfxConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/package/gfxConfig.cmake
                              INSTALL_DESTINATION ${GFX_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/gfxConfigVersion.cmake
                                 VERSION ${GFX_PACKAGE_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/gfxConfig.cmake
              ${CMAKE_BINARY_DIR}/package/gfxConfigVersion.cmake
        DESTINATION ${GFX_CMAKE_DIR})

# pkg-config: the prefix is found from the file's own place, so the tree can be moved.
set(GFX_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH GFX_PC_TO_PREFIX /prefix/${GFX_PC_DIR} /prefix)
string(REGEX REPLACE "/$" "" GFX_PC_TO_PREFIX "${GFX_PC_TO_PREFIX}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/gfx.pc.in ${CMAKE_BINARY_DIR}/package/gfx.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/gfx.pc DESTINATION ${GFX_PC_DIR})
