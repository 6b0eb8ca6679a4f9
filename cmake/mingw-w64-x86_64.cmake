# Cross-build for 64-bit Windows with Debian's mingw-w64 (posix threads, for std::thread).
# The libraries built for Windows (pugixml, GoogleTest) are found under QM_WINDOWS_DEPS;
# test programs run under Wine through wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT DEFINED QM_WINDOWS_DEPS AND DEFINED ENV{QM_WINDOWS_DEPS})
  set(QM_WINDOWS_DEPS "$ENV{QM_WINDOWS_DEPS}")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${QM_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: every .exe runs on its own, on Windows and under Wine, with no DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# One Wine prefix per build folder, made on first use.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;--prefix;${CMAKE_BINARY_DIR}/wineprefix")
