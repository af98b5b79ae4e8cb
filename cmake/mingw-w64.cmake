# Cross-compiles for 64-bit Windows with Debian's mingw-w64, win32 thread
# model (no winpthreads DLL to ship). Our own libraries (freeglut, GoogleTest)
# are looked for under CUBE_WINDOWS_DEPS, which scripts/windows fills:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCUBE_WINDOWS_DEPS=DIR ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-win32)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-win32)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

# try_compile projects read this file again: pass the prefix on to them.
set(CUBE_WINDOWS_DEPS "" CACHE PATH "Prefix of the cross-built freeglut and GoogleTest")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CUBE_WINDOWS_DEPS)

# Headers, libraries and CMake packages come from the target's roots only;
# programs run at build time come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple} ${CUBE_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

