# Cross build for 32-bit Windows with MinGW-w64 (the posix-thread compilers: GoogleTest needs std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZUMARO_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZUMARO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZUMARO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZUMARO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZUMARO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# 32-bit Windows programs cannot run here: the tests are built, not run.
set(ZUMARO_WINE_TESTS OFF)
