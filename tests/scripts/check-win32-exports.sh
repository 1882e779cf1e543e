#!/bin/sh
# The Windows plug-in must export its entries under their plain names, must
# not need the compiler's runtime DLLs beside it, draws through the system's
# own GDI and USER32 (with OLE32 and SHELL32 for drops), and looks the
# imaging library (msimg32) up only at run time.
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
for system in GDI32.dll USER32.dll OLE32.dll SHELL32.dll; do
    if ! printf '%s\n' "$table" | grep -qi "DLL Name: $system"; then
        echo "does not import $system" >&2
        status=1
    fi
done
if printf '%s\n' "$table" | grep -qi "DLL Name: msimg32.dll"; then
    echo "imports msimg32.dll; it must be loaded at run time" >&2
    status=1
fi
[ $status -eq 0 ] && echo "exports and imports of $dll: ok"
exit $status
