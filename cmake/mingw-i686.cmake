# Cross build for 32-bit Windows, the product's own architecture.
set(VSU_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
# The 32-bit toolchain unwinds exceptions with DWARF tables, which do not reach
# the cold parts GCC splits off functions: an exception passing through one
# aborts the program. Functions stay whole.
set(CMAKE_C_FLAGS_INIT "-fno-reorder-blocks-and-partition")
set(CMAKE_CXX_FLAGS_INIT "-fno-reorder-blocks-and-partition")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
