#!/usr/bin/env bash
# Which Debian packages each make target asks for: building and installing
# for use (native, demo, install, install-lv2) needs the Linux build's alone,
# so a user without the test toolchains can install; make test asks for the
# test, 32-bit and Windows toolchains too. Every package counts as installed
# (dpkg-query answers so and notes the question) and cmake does nothing, so
# no target builds or installs anything here.
# Usage: check-make-packages.sh SOURCE_DIR SCRATCH_DIR
set -euo pipefail

source_dir=$1
scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch/bin"
fail() { echo "FAILED: $*"; exit 1; }

cat > "$scratch/bin/dpkg-query" <<'END'
#!/usr/bin/env bash
echo "${@: -1}" >> "$ASKED"
echo "install ok installed"
END
printf '#!/usr/bin/env bash\nexit 0\n' > "$scratch/bin/cmake"
chmod +x "$scratch/bin/dpkg-query" "$scratch/bin/cmake"

asked_by() { # TARGET: the packages make TARGET asks for, one a line
    export ASKED=$scratch/asked-$1
    : > "$ASKED"
    PATH=$scratch/bin:$PATH make -s -C "$source_dir" "$1" NATIVE="$scratch/build" ASAN="$scratch/asan" \
        M32="$scratch/m32" WIN32="$scratch/win32" WIN64="$scratch/win64" TSAN="$scratch/tsan" \
        DESTDIR="$scratch/stage" LV2_INSTALL_DIR="$scratch/lv2" > "$scratch/make-$1.log" 2>&1 || true
    sort -u "$ASKED"
}

toolchains='googletest|libgtest-dev|libbenchmark-dev|clang|qemu-user|g\+\+-multilib|mingw|wine|:i386'
for target in native demo install install-lv2; do
    asked=$(asked_by $target)
    [[ $asked == *libsndfile1-dev* ]] || fail "make $target does not ask for the Linux build's packages"
    extra=$(grep -E "$toolchains" <<< "$asked" || true)
    [[ -z $extra ]] || fail "make $target asks for" $extra
done
asked=$(asked_by test)
for package in libgtest-dev clang qemu-user g++-multilib libpng-dev:i386 g++-mingw-w64-i686; do
    grep -qxF -- "$package" <<< "$asked" || fail "make test does not ask for $package"
done
echo "make packages: 5 passed, 0 failed"
