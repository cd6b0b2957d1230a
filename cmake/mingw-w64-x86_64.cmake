# Cross-compiles Runebin for 64-bit Windows with the MinGW-w64 toolchain (POSIX thread model, so
# that std::thread and std::mutex work), and runs the built programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs carry their runtime (libstdc++, libgcc, winpthread) inside, so an .exe runs
# without any DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs (and test discovery) run through Wine.
find_program(RUNEBIN_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(RUNEBIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RUNEBIN_WINE})
endif()

# -O2 rather than -O3 for release builds: the Windows stage of CI builds quicker, and the programs
# are not measured there.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of release builds")
