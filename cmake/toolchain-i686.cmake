# Cross toolchain: 32-bit Windows (the shipped deliverables).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Doubles in SSE2 registers, as the x86_64 build computes them: the x87 unit
# under MinGW keeps a 64-bit significand between operations and rounds only on
# stores, so the 32-bit build's figures differed from the 64-bit build's in the
# last bits. Needs a processor with SSE2 (Pentium 4, Athlon 64 or later). The
# stack is realigned on entry, as hosts may call in with 4-byte alignment.
# Compile options rather than CMAKE_CXX_FLAGS_INIT, which a tree configured
# before would never see.
add_compile_options(-msse2 -mfpmath=sse -mstackrealign)
