# make demo: install what is missing, build, render the demo phrase.
# make test: install what is missing, build all four ways, run every test,
#            make tsan first, then make test-windows.
# make install: build, then install the plug-in, voltara, the factory content and the LV2
#   bundle under PREFIX (default /usr/local; DESTDIR stages them elsewhere) and record
#   the content folder in the installing user's registry store. make uninstall: remove them.
# make tsan: build the rack's tests with ThreadSanitizer and run those that drive it from several threads.
# make soak: a random session of SOAK_SECONDS seconds (default 600) as a hostile host.
# make fuzz: build, then run every fuzz target FUZZ_SECONDS seconds (default 180).
# make install-lv2: build, then copy the LV2 bundle to ~/.lv2 (or $LV2_INSTALL_DIR).
# make bench: the benchmarks, the rack against sox and against the peer LV2 plug-ins
#             (installed when missing), Kestrelwave against FLAC, ten minutes of voltara live on JACK.
# make test-windows: install Wine and what is missing, build the Windows DLLs and
#                    the release, run them under Wine against the Linux build.
# make release: build the Windows installer and the zip of the same files into out/.

SHELL := /bin/bash
JOBS ?= $(shell nproc)

# What each target needs, and nothing more: the Linux build (the plug-in, the
# tool, the LV2 bundle) for native, demo, install and install-lv2; the tests,
# the 32-bit and the Windows builds add theirs.
LINUX_PACKAGES := cmake ninja-build g++ pkg-config libsndfile1-dev libfreetype-dev libpng-dev lv2-dev \
                  libx11-dev libxext-dev libjack-jackd2-dev fonts-dejavu-core fonts-dejavu-extra fonts-liberation2 zenity
TEST_PACKAGES := googletest libgtest-dev libbenchmark-dev clang clang-format flac sox lilv-utils serdi sordi libcairo2-dev \
                 liblilv-dev jalv jackd2 xvfb xauth xdotool imagemagick
M32_PACKAGES := g++-multilib qemu-user googletest libfreetype-dev:i386 libpng-dev:i386
WIN32_PACKAGES := g++-mingw-w64-i686 binutils-mingw-w64-i686
ARTWORK_PACKAGES := libcairo2-dev

# The plug-ins the benchmarks time the modules against.
BENCH_PACKAGES := guitarix-lv2 calf-plugins

# The Windows checks: Wine (its 32-bit half only where 32-bit programs can
# run), a virtual X server for it, the 64-bit mingw-w64 toolchain, unzip for
# the release the installer check opens.
WINDOWS_PACKAGES := wine wine64 xvfb xauth g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 unzip \
                    $$(tests/scripts/runs-32bit.sh && echo wine32:i386)
# The Windows release: NSIS for the installer, zip for the archive.
RELEASE_PACKAGES := nsis zip

NATIVE := build
ASAN   := build-asan
M32    := build-m32
WIN32  := build-win32
WIN64  := build-win64
TSAN   := build-tsan

LV2_INSTALL_DIR ?= $(HOME)/.lv2
PREFIX ?= /usr/local
DESTDIR ?=
CONTENT_DIR = $(PREFIX)/share/voltara/content

FUZZ_SECONDS ?= 180
SOAK_SECONDS ?= 600

.PHONY: all deps deps-test deps-m32 deps-win32 deps-artwork deps-windows deps-release deps-bench native asan m32 \
        win32 win64 test test-windows release demo bench artwork install uninstall install-lv2 clean fuzz tsan soak

all: native

# Installs the packages of $(1) that are missing when run as root, else prints
# the line that would.
define install_missing
	@missing=$$(for p in $(1); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    if [ "$$(id -u)" = 0 ]; then \
	        echo "installing:" $$missing; \
	        case " $$missing" in *:i386*) \
	            dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386;; esac; \
	        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	    else \
	        echo "missing packages; run as root:"; \
	        case " $$missing" in *:i386*) echo "  dpkg --add-architecture i386";; esac; \
	        echo "  apt-get update && apt-get install -y" $$missing; exit 1; \
	    fi; \
	fi
endef

deps:
	$(call install_missing,$(LINUX_PACKAGES))

deps-test: deps
	$(call install_missing,$(TEST_PACKAGES))

deps-m32: deps
	$(call install_missing,$(M32_PACKAGES))

deps-win32: deps
	$(call install_missing,$(WIN32_PACKAGES))

deps-artwork: deps
	$(call install_missing,$(ARTWORK_PACKAGES))

deps-windows: deps-win32
	$(call install_missing,$(WINDOWS_PACKAGES))

deps-release: deps-windows
	$(call install_missing,$(RELEASE_PACKAGES))

deps-bench: deps
	$(call install_missing,$(BENCH_PACKAGES))

NATIVE_CONFIGURE := cmake -S . -B $(NATIVE) -G Ninja -DVOLTARA_WIN32_DLL=$(CURDIR)/$(WIN32)/voltara_fx.dll

native: deps
	$(NATIVE_CONFIGURE)
	cmake --build $(NATIVE) -j $(JOBS)

asan: deps-test
	cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOLTARA_SANITIZE=ON \
	    -DVOLTARA_BUILD_BENCH=OFF
	cmake --build $(ASAN) -j $(JOBS)

m32: deps-m32
	cmake -S . -B $(M32) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/m32.cmake \
	    -DVOLTARA_GTEST_SOURCE=/usr/src/googletest \
	    -DVOLTARA_BUILD_TOOLS=OFF -DVOLTARA_BUILD_BENCH=OFF -DVOLTARA_BUILD_FUZZ=OFF
	cmake --build $(M32) -j $(JOBS)

win32: deps-win32
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	    -DVOLTARA_BUILD_TESTS=OFF -DVOLTARA_BUILD_TOOLS=OFF -DVOLTARA_BUILD_BENCH=OFF
	cmake --build $(WIN32) -j $(JOBS)

# The same sources for 64-bit Windows: the Windows checks run this build where
# the machine cannot start 32-bit programs.
win64: deps-windows
	cmake -S . -B $(WIN64) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	    -DVOLTARA_BUILD_TESTS=OFF -DVOLTARA_BUILD_TOOLS=OFF -DVOLTARA_BUILD_BENCH=OFF
	cmake --build $(WIN64) -j $(JOBS)

# The tests that drive the rack from several threads at once; the others
# run on one thread.
tsan: deps-test
	cmake -S . -B $(TSAN) -G Ninja -DVOLTARA_TSAN=ON \
	    -DVOLTARA_BUILD_TOOLS=OFF -DVOLTARA_BUILD_BENCH=OFF -DVOLTARA_BUILD_FUZZ=OFF
	cmake --build $(TSAN) -j $(JOBS) --target plugin_tests editor_tests
	TSAN_OPTIONS=halt_on_error=1 $(TSAN)/tests/plugin_tests --gtest_filter='RackThreads.*'
	TSAN_OPTIONS=halt_on_error=1 $(TSAN)/tests/editor_tests --gtest_filter='ThreadsTest.*'

test: deps-test win32 native m32 asan tsan
	cd $(NATIVE) && ctest --output-on-failure --no-tests=error -j $(JOBS)
	cd $(M32) && ctest --output-on-failure --no-tests=error -j $(JOBS)
	cd $(ASAN) && ctest --output-on-failure --no-tests=error -j $(JOBS)
	$(MAKE) test-windows

# The installer (out/VoltaraSetup-VERSION.exe) and the zip of the same files.
release: deps-release win32 win64
	bash installer/build.sh $(WIN32) $(WIN64) out

# Of the native build only the command-line host, which prepares what Windows
# must match, and the comparer of the editor pictures.
test-windows: deps-windows win32 win64 release
	$(NATIVE_CONFIGURE)
	cmake --build $(NATIVE) -j $(JOBS) --target voltara voltara_capture_compare
	bash tests/scripts/test-windows.sh $(NATIVE) $(WIN64) $(WIN32) out

demo: native
	@bash tools/demo.sh $(NATIVE)

# Redraws the editor's bitmaps into resources/bitmaps and a preview of the
# editor into out/preview.png.
artwork: deps-artwork
	$(NATIVE_CONFIGURE)
	cmake --build $(NATIVE) -j $(JOBS) --target voltara_artwork
	$(NATIVE)/voltara_artwork generate resources/bitmaps
	mkdir -p out
	$(NATIVE)/voltara_artwork preview resources/bitmaps out/preview.png

fuzz: deps-test
	cmake -S . -B $(NATIVE) -G Ninja -DVOLTARA_WIN32_DLL=$(CURDIR)/$(WIN32)/voltara_fx.dll \
	    -DVOLTARA_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build $(NATIVE) -j $(JOBS) --target fuzz_long

soak: deps-test native
	cd $(NATIVE) && VOLTARA_SOAK_SECONDS=$(SOAK_SECONDS) ctest -R '^Soak\.' -V --timeout $$(($(SOAK_SECONDS) + 300))

bench: deps-test deps-bench native
	$(NATIVE)/voltara_bench
	bash bench/vs-peers.sh $(NATIVE)
	bash bench/vs-peers-lv2.sh $(NATIVE)
	bash bench/jack-live.sh $(NATIVE)
	bash bench/kfr-vs-flac.sh $(NATIVE)

# A staged install (DESTDIR) records nothing: the files are not in place yet.
install: native
	DESTDIR="$(DESTDIR)" cmake --install $(NATIVE) --prefix "$(PREFIX)"
	@if [ -z "$(DESTDIR)" ]; then "$(PREFIX)/bin/voltara" content set "$(CONTENT_DIR)"; fi

# The recorded content folder goes only while it is still the installed one.
uninstall:
	@if [ -z "$(DESTDIR)" ] && [ -x "$(PREFIX)/bin/voltara" ]; then \
	    "$(PREFIX)/bin/voltara" content unset --if "$(CONTENT_DIR)"; fi
	rm -f "$(DESTDIR)$(PREFIX)/bin/voltara"
	rm -rf "$(DESTDIR)$(PREFIX)/lib/voltara" "$(DESTDIR)$(PREFIX)/share/voltara" \
	    "$(DESTDIR)$(PREFIX)/lib/lv2/voltara.lv2"
	rmdir --ignore-fail-on-non-empty "$(DESTDIR)$(PREFIX)/lib/lv2" 2>/dev/null || true

install-lv2: native
	mkdir -p "$(LV2_INSTALL_DIR)"
	rm -rf "$(LV2_INSTALL_DIR)/voltara.lv2"
	cp -r $(NATIVE)/lv2-bundles/voltara.lv2 "$(LV2_INSTALL_DIR)/"
	@echo "installed $(LV2_INSTALL_DIR)/voltara.lv2"

clean:
	rm -rf $(NATIVE) $(ASAN) $(M32) $(WIN32) $(WIN64) out
