# What both MinGW-w64 toolchains share; the including file sets
# VSU_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first. The posix thread model
# gives the standard library its threads; the program links it statically.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VSU_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VSU_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VSU_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VSU_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
