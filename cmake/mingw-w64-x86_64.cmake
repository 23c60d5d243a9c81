# Cross build for 64-bit Windows with Debian's mingw-w64 compilers. The posix
# thread model is the one whose libstdc++ has std::thread, std::jthread and
# std::atomic::wait; the win32 model has none of them.
#
# TARVEL_WIN64_PREFIX names the libraries built for Windows by
# scripts/windows-deps.sh (libpng, assimp, minizip, GoogleTest and a header
# directory holding CLI11, stb and utf8cpp). Left empty, the prefix that script
# last built is used.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARVEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARVEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVEL_MINGW_TRIPLE}-windres)

if(NOT TARVEL_WIN64_PREFIX)
  if(DEFINED ENV{TARVEL_WIN64_PREFIX} AND NOT "$ENV{TARVEL_WIN64_PREFIX}" STREQUAL "")
    set(TARVEL_WIN64_PREFIX "$ENV{TARVEL_WIN64_PREFIX}")
  else()
    if(DEFINED ENV{TARVEL_DEPS_CACHE} AND NOT "$ENV{TARVEL_DEPS_CACHE}" STREQUAL "")
      set(_tarvel_cache "$ENV{TARVEL_DEPS_CACHE}")
    elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
      set(_tarvel_cache "$ENV{XDG_CACHE_HOME}/tarvel")
    else()
      set(_tarvel_cache "$ENV{HOME}/.cache/tarvel")
    endif()
    set(TARVEL_WIN64_PREFIX "${_tarvel_cache}/win64")
  endif()
endif()
# try_compile projects read this file again; they see the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARVEL_WIN64_PREFIX)

# Only the Windows sysroot and the prefix: the host's /usr/include and
# /usr/lib hold Linux builds, which must never reach the cross compiler.
set(CMAKE_FIND_ROOT_PATH /usr/${TARVEL_MINGW_TRIPLE} ${TARVEL_WIN64_PREFIX})
set(CMAKE_PREFIX_PATH ${TARVEL_WIN64_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Both libz.a and its import library live in the sysroot; the static one keeps
# the executables free of zlib1.dll.
set(ZLIB_LIBRARY /usr/${TARVEL_MINGW_TRIPLE}/lib/libz.a CACHE FILEPATH "")
set(ZLIB_INCLUDE_DIR /usr/${TARVEL_MINGW_TRIPLE}/include CACHE PATH "")

# libstdc++, libgcc and winpthread linked in, so that an .exe runs on a bare
# Windows with no MinGW DLLs beside it. assimp's package names minizip as a
# bare -lminizip, which the prefix's lib directory resolves.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -L${TARVEL_WIN64_PREFIX}/lib")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -L${TARVEL_WIN64_PREFIX}/lib")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -L${TARVEL_WIN64_PREFIX}/lib")
