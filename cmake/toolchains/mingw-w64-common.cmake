# The part of the mingw-w64 toolchains that both processors share; the including file sets
# CMAKE_SYSTEM_PROCESSOR and ORVEX_MINGW_TRIPLE. Debian's compilers of the posix thread
# model (std::thread and std::mutex over winpthreads).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ORVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVEX_MINGW_TRIPLE}-windres)
set(CMAKE_NM ${ORVEX_MINGW_TRIPLE}-nm)
set(CMAKE_OBJDUMP ${ORVEX_MINGW_TRIPLE}-objdump)
set(ORVEX_WIDL ${ORVEX_MINGW_TRIPLE}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime libraries go into each program and DLL, so nothing but the system's own
# DLLs has to be found beside them (under Wine or on a real machine).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
