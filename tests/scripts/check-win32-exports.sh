#!/bin/sh
# The Windows plug-in must export its entries under their plain names, and
# must not need the compiler's runtime DLLs beside it.
set -eu
dll=$1
table=$(i686-w64-mingw32-objdump -p "$dll")
status=0
for name in main FIO_InitPlugin; do
    if ! printf '%s\n' "$table" | grep -Eq "^[[:space:]]*\[[[:space:]]*[0-9]+\][[:space:]]+(\+base\[[[:space:]]*[0-9]+\][[:space:]]+[0-9a-f]+[[:space:]]+)?$name\$"; then
        echo "missing export: $name" >&2
        status=1
    fi
done
for runtime in libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll; do
    if printf '%s\n' "$table" | grep -qi "DLL Name: $runtime"; then
        echo "depends on $runtime" >&2
        status=1
    fi
done
[ $status -eq 0 ] && echo "exports of $dll: ok"
exit $status
