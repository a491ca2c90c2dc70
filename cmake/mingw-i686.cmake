# Cross-compiling toolchain: 32-bit Windows with the posix thread model.
# Only 64-bit Wine exists on the build machines, so these programs are built, not run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
