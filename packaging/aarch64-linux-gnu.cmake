# SPDX-License-Identifier: GPL-3.0-or-later
# Cross build for 64-bit ARM (Debian's arm64: Raspberry Pi OS and other Debian 12 arm64
# systems) with Debian's cross compiler and Qt from the arm64 multiarch packages:
#   apt-get install crossbuild-essential-arm64 qt6-base-dev qt6-base-dev:arm64 \
#       qt6-svg-dev:arm64 libgl-dev:arm64 qemu-user-static
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=packaging/aarch64-linux-gnu.cmake ...
# The arm64 packages install beside this machine's own (multiarch), so there is no sysroot:
# the target's libraries are found under /usr/lib/aarch64-linux-gnu by the architecture
# below, and the programs Qt runs while building (moc, rcc, uic) are this machine's.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

# Qt's build tools come from the building machine's qt6-base-dev. Its multiarch directory
# is named after the processor for amd64 and arm64 hosts alike (x86_64-linux-gnu).
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${CMAKE_HOST_SYSTEM_PROCESSOR}-linux-gnu/cmake)

# The icons are drawn by the aarch64 icon-export at build time, so it runs through qemu's
# user-mode emulator; the arm64 loader and libraries are where it looks for them. Without
# qemu, give the build an icon-export of this machine (-DLESSONS_ICON_EXPORT=...).
find_program(LESSONS_QEMU_AARCH64 NAMES qemu-aarch64-static qemu-aarch64)
if(LESSONS_QEMU_AARCH64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${LESSONS_QEMU_AARCH64})
endif()
