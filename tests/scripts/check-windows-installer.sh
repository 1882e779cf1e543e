#!/bin/bash
# Checks the Windows installer under Wine, in a fresh 64-bit prefix of its
# own: refusals that change nothing, a silent install that puts every file
# and the registry value where it says, the installed plug-ins loaded by the
# test host (factory bank through the registry, program 3 as on Linux, and a
# setup run while a host holds the plug-in refused), a silent uninstall that
# leaves the prefix as it was, and an upgrade from an earlier version that
# keeps a bank of the user's. The setup is a 32-bit program: it runs only
# where this machine can start 32-bit programs.
# Usage: check-windows-installer.sh SETUP WIN32_BUILD WIN64_BUILD WORK
# WORK holds what test-windows.sh prepared (programs.txt, plan.txt with the
# audio case "slow-phaser" and its files, reversed.fxb).
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
win32=$(cd "$2" && pwd)
win64=$(cd "$3" && pwd)
work=$(cd "$4" && pwd)
scripts=$source_dir/tests/scripts
version=$(basename "$setup" .exe)
version=${version#VoltaraSetup-}
prefix=$win64/installer-prefix
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

passed=0
failed=0
check() { # CONDITION-STATUS WHAT [DETAIL]
    if [ "$1" -eq 0 ]; then
        passed=$((passed + 1))
        echo "ok    $2"
    else
        failed=$((failed + 1))
        echo "FAIL  $2${3:+: $3}"
    fi
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Runs a Windows program to the end of every process it started (an
# uninstaller hands over to a copy of itself) and answers its exit code.
run() { # LOADER PROGRAM [ARGUMENT...]
    local loader=$1 code
    shift
    WINELOADER=$loader timeout --kill-after=10 300 "$loader" "$@" 2> "$work/installer-stderr.txt"
    code=$?
    timeout 300 "$(dirname "$loader")/wineserver" -w
    return $code
}

# The prefix as files ("TYPE PATH", a tab, the checksum of a file's bytes)
# and registry values, without the times Wine stamps on keys and on the
# display adapter at every start.
snapshot() { # OUT
    (cd "$prefix/drive_c" && find . | LC_ALL=C sort |
        while read -r path; do
            if [ -f "$path" ] && [ ! -L "$path" ]; then
                printf 'f %s\t%s\n' "$path" "$(md5sum < "$path" | cut -c1-32)"
            else
                printf '%s %s\n' "$(stat -c %F "$path" | cut -c1)" "$path"
            fi
        done) > "$1"
    for hive in system user userdef; do
        sed -E 's/^(\[.*\]) [0-9]+$/\1/; /^#time=/d; /^"DriverDateData"=/d' "$prefix/$hive.reg" | sed "s/^/$hive: /"
    done >> "$1"
}

# Differences from BEFORE to AFTER, one "+ line" or "- line" each.
changes() { # BEFORE AFTER
    diff "$1" "$2" | sed -n 's/^> /+ /p; s/^< /- /p'
}

# A value of a key in the machine hive, as stored ("text" or dword:...).
registry_value() { # KEY NAME
    awk -v key="[$1]" -v name="\"$2\"" '
        /^\[/ { inside = (substr($0, 1, length(key)) == key && (length($0) == length(key) || substr($0, length(key) + 1, 1) == " ")) }
        inside && index($0, name "=") == 1 { print substr($0, length(name) + 2); exit }' "$prefix/system.reg"
}
product_key='Software\\\\Wow6432Node\\\\Brenmark\\\\Axewright Voltara'
uninstall_key='Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Axewright Voltara'

# The uninstaller as Apps and Features runs it, from its registration.
uninstall() {
    local command
    command=$(registry_value "$uninstall_key" QuietUninstallString | sed 's/^"\\"\(.*\)\\" \/S"$/\1/; s/\\\\/\\/g')
    run $wine32 "$command" /S
}

# The uninstaller leaves its own copy in the Temp folder, marked to be
# deleted when Windows next starts; anything else left over is a fault.
without_uninstaller_copy() { # SNAPSHOT
    grep -v -e '/Temp/~nsu[^/]*\.tmp' -e '^system: "PendingFileRenameOperations"=.*~nsu[^\\]*\.tmp' "$1"
}

installed_plan() { # FILE [BUSY-LINE]
    {
        printf 'installed\tprograms.txt\n'
        grep -P '^audio\tslow-phaser\t' "$work/plan.txt"
        [ -n "${2:-}" ] && printf '%s\n' "$2"
    } > "$1"
}

# The installed plug-in of each build loaded by that build's test host.
run_hosts() { # 32-BIT-FOLDER 64-BIT-FOLDER (Windows paths in the prefix)
    installed_plan "$work/installed-x86_64.txt" \
        "$(printf 'busy\tis in use\t"%s" /S' "$(windows_path "$setup")")"
    installed_plan "$work/installed-i686.txt"
    "$scripts/run-under-wine.sh" $wine64 "$prefix" "$win64/voltara_winhost.exe" "$2\\voltara_fx.dll" \
        "$(windows_path "$work/installed-x86_64.txt")" > "$work/installed-x86_64.log" 2>&1
    check $? "the x86_64 test host with the installed $2\\voltara_fx.dll" "see $work/installed-x86_64.log"
    "$scripts/run-under-wine.sh" $wine32 "$prefix" "$win32/voltara_winhost.exe" "$1\\voltara_fx.dll" \
        "$(windows_path "$work/installed-i686.txt")" > "$work/installed-i686.log" 2>&1
    check $? "the i686 test host with the installed $1\\voltara_fx.dll" "see $work/installed-i686.log"
    sed -n 's/^FAIL/    FAIL/p' "$work/installed-x86_64.log" "$work/installed-i686.log"
}

echo "== the Windows installer ($(basename "$setup")) in a fresh Wine prefix ($prefix)"
rm -rf "$prefix"
WINEARCH=win64 run $wine64 wineboot -i > /dev/null 2>&1
run $wine32 cmd /c exit # Wine's first start finishes the prefix
snapshot "$work/fresh.txt"

# The files of the release: those in its zip, and the content of the checkout.
release=$work/release
rm -rf "$release"
mkdir -p "$release"
unzip -q "$(dirname "$setup")/$(basename "$setup" .exe | sed 's/^VoltaraSetup-\(.*\)/Voltara-\1-windows/').zip" -d "$release"
release=$(echo "$release"/Voltara-*-windows)

# Refused: a plug-in folder that cannot be made, after another was made.
run $wine32 "$setup" /S '/PLUGINS=C:\Hosts\Plug-ins' '/PLUGINS64=Q:\Plug-ins' '/D=C:\Voltara\Content'
check $(($? != 2)) "a plug-in folder that cannot be written: the setup refuses (exit code 2)"
grep -q 'cannot write to Q:\\Plug-ins\.' "$work/installer-stderr.txt"
check $? "and says why" "$(cat "$work/installer-stderr.txt")"
snapshot "$work/refused.txt"
check "$(changes "$work/fresh.txt" "$work/refused.txt" | grep -c .)" "and leaves the prefix as it was" \
    "$(changes "$work/fresh.txt" "$work/refused.txt" | head -5)"

# A silent install into chosen folders.
run $wine32 "$setup" /S '/PLUGINS=C:\Hosts\Plug-ins' '/PLUGINS64=C:\Hosts\Plug-ins64' '/D=C:\Voltara\Content'
check $? "silent install into chosen folders" "$(cat "$work/installer-stderr.txt")"
snapshot "$work/installed.txt"
sum() { md5sum < "$1" | cut -c1-32; }
cat > "$work/installed-expected.txt" << FILES
+ d ./Hosts
+ d ./Hosts/Plug-ins
+ f ./Hosts/Plug-ins/voltara_fx.dll	$(sum "$release/32-bit/voltara_fx.dll")
+ d ./Hosts/Plug-ins64
+ f ./Hosts/Plug-ins64/voltara_fx.dll	$(sum "$release/64-bit/voltara_fx.dll")
+ d ./Voltara
+ d ./Voltara/Content
+ f ./Voltara/Content/License.txt	$(sum "$release/License.txt")
+ d ./Voltara/Content/Players
+ f ./Voltara/Content/Players/Voltara.sty	$(sum "$source_dir/content/Players/Voltara.sty")
+ d ./Voltara/Content/Presets
+ f ./Voltara/Content/Presets/Default.fxb	$(sum "$source_dir/content/Presets/Default.fxb")
+ f ./Voltara/Content/ReadMe.txt	$(sum "$release/ReadMe.txt")
FILES
changes "$work/fresh.txt" "$work/installed.txt" | grep '^+ [df] ' | grep -v -P '/Uninstall.exe\t' > "$work/installed-files.txt"
diff -u "$work/installed-expected.txt" "$work/installed-files.txt" > "$work/installed-files.diff"
check $? "every file where the setup says, and no other" "$(cat "$work/installed-files.diff")"
grep -q -P '^\+ f ./Voltara/Content/Uninstall.exe\t' <(changes "$work/fresh.txt" "$work/installed.txt")
check $? "and its uninstaller beside the content"
value=$(registry_value "$product_key" "Install Path")
check $([ "$value" = '"C:\\Voltara\\Content"' ]; echo $?) \
    "Install Path in the registry's 32-bit view, where the plug-in reads it" "$value"
! grep -q '^\[Software\\\\Brenmark' "$prefix/system.reg"
check $? "and not in the 64-bit view"
value=$(registry_value "$uninstall_key" DisplayVersion)
check $([ "$value" = "\"$version\"" ]; echo $?) "registered in Apps and Features as version $version" "$value"

run_hosts 'C:\Hosts\Plug-ins' 'C:\Hosts\Plug-ins64'

# The same setup again: the folders are remembered, nothing else changes.
run $wine32 "$setup" /S
check $? "the setup run again, without options" "$(cat "$work/installer-stderr.txt")"
snapshot "$work/reinstalled.txt"
check "$(changes "$work/installed.txt" "$work/reinstalled.txt" | grep -c .)" \
    "remembers the chosen folders and leaves the installation as it was" \
    "$(changes "$work/installed.txt" "$work/reinstalled.txt" | head -5)"

uninstall
check $? "silent uninstall" "$(cat "$work/installer-stderr.txt")"
snapshot "$work/uninstalled.txt"
without_uninstaller_copy "$work/uninstalled.txt" > "$work/uninstalled-compared.txt"
check "$(changes "$work/fresh.txt" "$work/uninstalled-compared.txt" | grep -c .)" \
    "leaves the prefix as it was (files and registry)" \
    "$(changes "$work/fresh.txt" "$work/uninstalled-compared.txt" | head -5)"

# An upgrade from an earlier version, with another factory bank, installed
# into the default folders; the user saves a bank of their own beside it.
earlier=$work/earlier
rm -rf "$earlier"
mkdir -p "$earlier/content/Presets" "$earlier/content/Players"
cp "$work/reversed.fxb" "$earlier/content/Presets/Default.fxb"
cp "$source_dir/content/Players/Voltara.sty" "$earlier/content/Players/"
"$source_dir/installer/build.sh" "$win32" "$win64" "$earlier" 0.9 "$earlier/content" > /dev/null
run $wine32 "$earlier/VoltaraSetup-0.9.exe" /S
check $? "silent install of version 0.9 into the default folders" "$(cat "$work/installer-stderr.txt")"
content='C:\Program Files (x86)\Brenmark\Axewright Voltara'
linux_content="$prefix/drive_c/Program Files (x86)/Brenmark/Axewright Voltara"
cmp -s "$work/reversed.fxb" "$linux_content/Presets/Default.fxb"
check $? "its factory bank in $content\\Presets"
cp "$source_dir/content/Presets/Default.fxb" "$linux_content/Presets/My Bank.fxb"
printf '\x00' | dd of="$linux_content/Presets/My Bank.fxb" bs=1 seek=200 conv=notrunc status=none
cp "$linux_content/Presets/My Bank.fxb" "$work/user-bank.fxb"
snapshot "$work/earlier.txt"

run $wine32 "$setup" /S
check $? "the upgrade, silent, without options" "$(cat "$work/installer-stderr.txt")"
cmp -s "$work/user-bank.fxb" "$linux_content/Presets/My Bank.fxb"
check $? "keeps the user's bank"
cmp -s "$source_dir/content/Presets/Default.fxb" "$linux_content/Presets/Default.fxb"
check $? "replaces the factory bank"
snapshot "$work/upgraded.txt"
changes <(cut -f1 "$work/earlier.txt" | grep '^[df] ') <(cut -f1 "$work/upgraded.txt" | grep '^[df] ') \
    > "$work/upgraded-files.txt"
check "$(grep -c . "$work/upgraded-files.txt")" "in the folders 0.9 used, with no file added or removed" \
    "$(head -5 "$work/upgraded-files.txt")"
value=$(registry_value "$uninstall_key" DisplayVersion)
check $([ "$value" = "\"$version\"" ]; echo $?) "registered as version $version" "$value"

run_hosts 'C:\Program Files (x86)\Audio Plug-ins' 'C:\Program Files\Audio Plug-ins'

run $wine32 "$earlier/VoltaraSetup-0.9.exe" /S
check $(($? != 2)) "version 0.9 over the newer one: the setup refuses (exit code 2)"
grep -q 'newer than this setup (0.9)' "$work/installer-stderr.txt"
check $? "and says why" "$(cat "$work/installer-stderr.txt")"
snapshot "$work/downgrade-refused.txt"
check "$(changes "$work/upgraded.txt" "$work/downgrade-refused.txt" | grep -c .)" "and changes nothing" \
    "$(changes "$work/upgraded.txt" "$work/downgrade-refused.txt" | head -5)"

uninstall
check $? "silent uninstall after the upgrade" "$(cat "$work/installer-stderr.txt")"
snapshot "$work/uninstalled-upgrade.txt"
without_uninstaller_copy "$work/uninstalled-upgrade.txt" > "$work/uninstalled-upgrade-compared.txt"
cat > "$work/user-files.txt" << FILES
+ d ./Program Files (x86)/Brenmark
+ d ./Program Files (x86)/Brenmark/Axewright Voltara
+ d ./Program Files (x86)/Brenmark/Axewright Voltara/Presets
+ f ./Program Files (x86)/Brenmark/Axewright Voltara/Presets/My Bank.fxb	$(sum "$work/user-bank.fxb")
FILES
changes "$work/fresh.txt" "$work/uninstalled-upgrade-compared.txt" > "$work/uninstalled-upgrade-changes.txt"
diff -u "$work/user-files.txt" "$work/uninstalled-upgrade-changes.txt" > "$work/uninstalled-upgrade.diff"
check $? "leaves the user's bank and nothing else" "$(head -12 "$work/uninstalled-upgrade.diff")"

echo "installer: $passed passed, $failed failed"
[ $failed -eq 0 ]
