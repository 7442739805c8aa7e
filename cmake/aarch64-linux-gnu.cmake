# 64-bit ARM Linux with Debian's cross compiler, against a sysroot of
# Debian's arm64 libraries (scripts/cross.sh makes build-arm64/sysroot and
# sets CMAKE_SYSROOT to it). Programs and tests built with it run on this
# machine under qemu's user-mode emulation, with their libraries from the
# sysroot.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
if(NOT CMAKE_SYSROOT)
  message(FATAL_ERROR "CMAKE_SYSROOT must name an arm64 sysroot: scripts/cross.sh makes one")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L ${CMAKE_SYSROOT})

# Libraries and headers from the sysroot only, never this machine's x86-64
# ones; pkg-config (through which GLUT is found) likewise.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${CMAKE_SYSROOT}/usr/lib/aarch64-linux-gnu/pkgconfig:${CMAKE_SYSROOT}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${CMAKE_SYSROOT})
