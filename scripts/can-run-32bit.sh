#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 programs natively, so wine32 can
# run the shipped i686 build. Some kernels are built without 32-bit support;
# emulating it (qemu-user) makes Wine far too slow and unstable to test with.
set -u
if grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null; then
  exit 1
fi
timeout 60 /usr/lib/wine/wine --version >/dev/null 2>&1
