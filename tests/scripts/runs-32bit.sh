#!/bin/sh
# Exits 0 when this machine can start 32-bit x86 programs (some kernels are
# built without it and answer "Exec format error").
set -u
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'int main(void) { return 0; }\n' > "$probe/probe.c"
gcc -m32 "$probe/probe.c" -o "$probe/probe" 2>/dev/null && "$probe/probe" 2>/dev/null
