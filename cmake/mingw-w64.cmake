# Cross-building for 64-bit Windows on Debian with mingw-w64, its posix
# flavour (std::thread and the C++ library's synchronisation need it), the
# programs run under Wine for the tests.
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

# Static through and through: nothing to ship beside the programs but what
# every Windows has.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# The tests run under Wine.
find_program(TROVANE_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TROVANE_WINE})
