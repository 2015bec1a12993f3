# The whole Windows program, cross-built on Linux: MinGW-w64 (mingw-w64-x86_64.cmake) with the
# Qt 6.4.2 kit for MinGW-w64, which is unpacked once into the build folder. Qt's own toolchain file
# adds the kit to the find root and chain-loads ours; the build machine's Qt 6.4.2 supplies the host
# tools (moc, rcc, uic). Used by `cmake --preset windows`.
#
# VORNIK_QT_KIT_ARCHIVE: the kit's tarball (default: ../shared/windows/ beside the source tree).
# VORNIK_QT_KIT_DIR: where it is unpacked (default: the build folder; the kit lands in qt6-mingw/).

# A toolchain file is read again for every try_compile, in another binary folder: the first reading
# fixes the paths and hands them on through the environment.
if(DEFINED ENV{_VORNIK_QT_KIT_DIR})
    set(VORNIK_QT_KIT_DIR "$ENV{_VORNIK_QT_KIT_DIR}")
    set(VORNIK_QT_KIT_ARCHIVE "$ENV{_VORNIK_QT_KIT_ARCHIVE}")
else()
    set(VORNIK_QT_KIT_ARCHIVE "${CMAKE_CURRENT_LIST_DIR}/../../shared/windows/qt6.4.2-mingw-w64-x86_64.tar.xz"
        CACHE FILEPATH "The Qt 6.4.2 kit for MinGW-w64 (a .tar.xz holding qt6-mingw/)")
    set(VORNIK_QT_KIT_DIR "${CMAKE_BINARY_DIR}" CACHE PATH "Where the Qt kit is unpacked")
    get_filename_component(VORNIK_QT_KIT_ARCHIVE "${VORNIK_QT_KIT_ARCHIVE}" ABSOLUTE)
    set(ENV{_VORNIK_QT_KIT_DIR} "${VORNIK_QT_KIT_DIR}")
    set(ENV{_VORNIK_QT_KIT_ARCHIVE} "${VORNIK_QT_KIT_ARCHIVE}")
endif()

set(_vornik_qt "${VORNIK_QT_KIT_DIR}/qt6-mingw")
if(NOT EXISTS "${_vornik_qt}/lib/cmake/Qt6/qt.toolchain.cmake")
    if(NOT EXISTS "${VORNIK_QT_KIT_ARCHIVE}")
        message(FATAL_ERROR "No Qt kit for MinGW-w64 at ${VORNIK_QT_KIT_ARCHIVE}. It is made by build-kit.sh "
                            "(kept beside it) from Debian's qt6-base sources; pass its place as "
                            "-DVORNIK_QT_KIT_ARCHIVE=FILE.")
    endif()
    message(STATUS "Unpacking ${VORNIK_QT_KIT_ARCHIVE} into ${VORNIK_QT_KIT_DIR}")
    file(ARCHIVE_EXTRACT INPUT "${VORNIK_QT_KIT_ARCHIVE}" DESTINATION "${VORNIK_QT_KIT_DIR}")
endif()

set(QT_CHAINLOAD_TOOLCHAIN_FILE "${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake")
set(QT_HOST_PATH /usr CACHE PATH "The build machine's Qt 6 (its moc, rcc and uic)")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "The build machine's Qt 6 CMake files")
include("${_vornik_qt}/lib/cmake/Qt6/qt.toolchain.cmake")
