# Cross build for 64-bit Windows with MinGW-w64 (the posix-thread compilers: GoogleTest needs std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZUMARO_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZUMARO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZUMARO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZUMARO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZUMARO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests of this build run under Wine; the wrapper picks the build tree's own prefix.
set(ZUMARO_WINE_TESTS ON)
