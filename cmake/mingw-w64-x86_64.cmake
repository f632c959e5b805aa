# Cross-builds for 64-bit Windows with Debian's mingw-w64 (posix threads, so std::thread works),
# against the static libraries that scripts/windows-deps.sh builds into one prefix:
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DFOTOLUN_WINDOWS_PREFIX="$(bash scripts/windows-deps.sh | tail -n 1)"
# Tests then run under Wine through scripts/windows/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FOTOLUN_MINGW_TRIPLET x86_64-w64-mingw32)
set(FOTOLUN_MINGW_SYSROOT /usr/${FOTOLUN_MINGW_TRIPLET})
set(CMAKE_C_COMPILER ${FOTOLUN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FOTOLUN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FOTOLUN_MINGW_TRIPLET}-windres)

# The prefix comes from the command line, from the environment, or is the script's default; the
# try_compile projects that CMake configures on the side get it passed on.
if(NOT FOTOLUN_WINDOWS_PREFIX)
  if(DEFINED ENV{FOTOLUN_WINDOWS_PREFIX})
    set(FOTOLUN_WINDOWS_PREFIX "$ENV{FOTOLUN_WINDOWS_PREFIX}")
  elseif(DEFINED ENV{FOTOLUN_WINDOWS_CACHE})
    set(FOTOLUN_WINDOWS_PREFIX "$ENV{FOTOLUN_WINDOWS_CACHE}/prefix")
  else()
    set(FOTOLUN_WINDOWS_PREFIX "$ENV{HOME}/.cache/fotolun-windows/prefix")
  endif()
endif()
set(FOTOLUN_WINDOWS_PREFIX "${FOTOLUN_WINDOWS_PREFIX}" CACHE PATH "Prefix of the Windows libraries")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FOTOLUN_WINDOWS_PREFIX)

# Libraries and headers come from the prefix and the mingw sysroot only, never from the build host;
# programs (code generators, pkg-config) do come from the host.
set(CMAKE_FIND_ROOT_PATH "${FOTOLUN_WINDOWS_PREFIX}" ${FOTOLUN_MINGW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees the prefix alone: its .pc files already list every static dependency.
set(ENV{PKG_CONFIG_LIBDIR} "${FOTOLUN_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
unset(ENV{PKG_CONFIG_SYSROOT_DIR})

# Debian's mingw zlib comes as a DLL import library and as an archive; FindZLIB would take the
# former, and the program would then need zlib1.dll beside it.
set(ZLIB_LIBRARY "${FOTOLUN_MINGW_SYSROOT}/lib/libz.a" CACHE FILEPATH "Static zlib")
set(ZLIB_INCLUDE_DIR "${FOTOLUN_MINGW_SYSROOT}/include" CACHE PATH "zlib headers")

# One .exe that needs no libstdc++, libgcc or winpthread DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs (gtest discovery, ctest) run under Wine.
get_filename_component(FOTOLUN_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/windows/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${FOTOLUN_WINE_RUN}")
