# The 32-bit Linux build that proves the byte layouts of the host records.
# Kernels without 32-bit support cannot start these programs, so tests run
# them through qemu's user-mode emulator. Float arithmetic goes through SSE so
# that every sample is rounded to 32 bits exactly as on 64-bit builds (the x87
# unit would keep extra precision in registers).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(FIND_LIBRARY_USE_LIB32_PATHS ON)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
# pkg-config answers for the 32-bit libraries (FreeType).
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
