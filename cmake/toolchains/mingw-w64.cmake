# Windows x64 from Linux with Debian's mingw-w64 (scripts/deps.sh windows):
#   cmake -S . -B build/windows -G Ninja -DDTU_BUILD_GUI=OFF \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64.cmake
# The posix thread model, since the win32 one has no std::thread; linked
# statically, so that one .exe runs on a Windows machine with nothing
# installed. scripts/windows.sh runs them here under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DTU_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DTU_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DTU_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DTU_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DTU_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
