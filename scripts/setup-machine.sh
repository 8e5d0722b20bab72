#!/bin/sh
# Installs what the build and the tests need on a Debian 12 machine (run as root).
# Safe to run again: it only installs what is missing.
set -eu

packages="cmake g++ clang libclang-rt-14-dev googletest \
  g++-mingw-w64-i686 wine wine32:i386 wine64 wine32-preloader:i386 \
  xvfb x11-utils x11-apps imagemagick fonts-wqy-microhei qemu-user-static locales-all"

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

# Some kernels run no 32-bit x86 code (no IA-32 compat segment). There the
# i386 Wine loader runs under qemu's user-mode emulator, registered with
# binfmt_misc so that Wine can start its own helper processes too.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/qemu-i386" ]; then
    # The "-binfmt-P" name tells qemu that argv[0] is preserved (flag P).
    mkdir -p /usr/local/libexec/qemu-binfmt
    ln -sf /usr/bin/qemu-i386-static /usr/local/libexec/qemu-binfmt/i386-binfmt-P
    printf '%s' ':qemu-i386:M::\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/local/libexec/qemu-binfmt/i386-binfmt-P:OPF' > "$binfmt/register"
  fi
  /usr/lib/wine/wine --version >/dev/null
fi
