# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads).
# Pass -DWINDOWS_PREFIXES="/path/to/qt6;/path/to/deps": the unpacked Qt and the
# libraries scripts/windows/build-deps.sh made.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${WINDOWS_PREFIXES})
set(CMAKE_PREFIX_PATH ${WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config answers for the Windows libraries only, never for Linux ones.
set(_pc_dirs "")
foreach(p IN LISTS WINDOWS_PREFIXES)
    list(APPEND _pc_dirs "${p}/lib/pkgconfig")
endforeach()
string(REPLACE ";" ":" _pc_dirs "${_pc_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${_pc_dirs}")
set(ENV{PKG_CONFIG_PATH} "")
# Qt's host tools (moc, rcc, uic) come from Debian's qt6-base-dev of the same version.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
# Tests run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/windows/wine-run.sh")
