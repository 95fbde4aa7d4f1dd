# The shipped build: 32-bit Windows programs.
set(KYN_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
