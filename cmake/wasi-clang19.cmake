# WebAssembly through Debian's clang-19 and its WASI C/C++ libraries
# (packages clang-19 lld-19 libc++-19-dev-wasm32 libc++abi-19-dev-wasm32
# libclang-rt-19-dev-wasm32 wasi-libc). The result is a plain .wasm "reactor"
# (no main) that a small JavaScript loader instantiates.
# CMake 3.25 has no WASI platform: Generic, and WASI set as newer CMake does.
set(CMAKE_SYSTEM_NAME Generic)
set(WASI TRUE)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_C_COMPILER clang-19)
set(CMAKE_CXX_COMPILER clang++-19)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_SYSROOT /usr)
set(CMAKE_AR /usr/bin/llvm-ar-14 CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/llvm-ranlib-14 CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
# Debian's WASI C++ runtime has no exception support: a throw (bad_alloc
# included) has to become an abort, which the page sees as a trap.
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions")
