# The same programs and tests as 64-bit Windows executables, for running the
# Windows tests under wine64 on machines whose kernel cannot execute 32-bit code.
set(KYN_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
