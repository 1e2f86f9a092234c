# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
# The programs link the GCC runtime statically, so they run under Wine or on a bare Windows
# without extra DLLs beside them; tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KEYLOOM_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix flavour: std::thread and std::mutex need its threading model.
set(CMAKE_C_COMPILER ${KEYLOOM_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KEYLOOM_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KEYLOOM_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KEYLOOM_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static also takes in winpthread, which the posix flavour's libstdc++ needs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(KEYLOOM_WINE NAMES wine wine64)
if(KEYLOOM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KEYLOOM_WINE})
endif()
