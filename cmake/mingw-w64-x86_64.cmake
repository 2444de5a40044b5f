# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix thread
# model: std::thread, std::mutex and friends work). Programs are linked
# statically so that a bare .exe runs on any Windows without extra DLLs.
# Tests run under Wine through the emulator script beside this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

# Look for libraries, headers and CMake packages only in the MinGW sysroot
# and in the prefix holding the cross-built GoogleTest and the header-only
# packages (RAILFMT_WINDOWS_DEPS, set by the preset); never in /usr, whose
# libraries and C headers are Linux ones. Build tools still come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
if(RAILFMT_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH "${RAILFMT_WINDOWS_DEPS}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No libgcc/libstdc++/libwinpthread DLLs beside the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest, gtest_discover_tests and add_custom_command run target .exe files
# through this.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
