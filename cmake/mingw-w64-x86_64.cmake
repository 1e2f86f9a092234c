# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
# Programs without Qt link the GCC runtime statically (see the top-level CMakeLists.txt), so they
# run under Wine or on a bare Windows without extra DLLs beside them; tests run through Wine.
#
# KEYLOOM_QT_WINDOWS_PREFIX names a Qt built for Windows (scripts/build-qt-windows.sh); with it
# the editor, the dialogs and KeyTest are built too. A cross build of Qt also needs the build
# machine's Qt of the same version for its tools: -DQT_HOST_PATH=/usr
# -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KEYLOOM_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix flavour: std::thread and std::mutex need its threading model.
set(CMAKE_C_COMPILER ${KEYLOOM_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KEYLOOM_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KEYLOOM_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KEYLOOM_MINGW_TRIPLE})
# find_package looks below the root paths only, so Qt's prefix must be one of them.
if(KEYLOOM_QT_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${KEYLOOM_QT_WINDOWS_PREFIX})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KEYLOOM_QT_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(KEYLOOM_WINE NAMES wine wine64)
if(KEYLOOM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KEYLOOM_WINE})
endif()
