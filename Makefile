# make demo: install what is missing, build, render the demo phrase.
# make test: install what is missing, build all four ways, run every test.
# make install-lv2: build, then copy the LV2 bundle to ~/.lv2 (or $LV2_INSTALL_DIR).

SHELL := /bin/bash
JOBS ?= $(shell nproc)

PACKAGES := cmake ninja-build g++ g++-multilib g++-mingw-w64-i686 binutils-mingw-w64-i686 \
            googletest libgtest-dev libbenchmark-dev libsndfile1-dev libfreetype-dev \
            libpng-dev pkg-config clang flac sox qemu-user \
            libcairo2-dev fonts-dejavu-core fonts-dejavu-extra fonts-liberation2 \
            lv2-dev lilv-utils serdi sordi \
            libfreetype-dev:i386 libpng-dev:i386

NATIVE := build
ASAN   := build-asan
M32    := build-m32
WIN32  := build-win32

LV2_INSTALL_DIR ?= $(HOME)/.lv2

.PHONY: all deps native asan m32 win32 test demo bench artwork install-lv2 clean

all: native

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    if [ "$$(id -u)" = 0 ]; then \
	        echo "installing:" $$missing; \
	        dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386; \
	        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	    else \
	        echo "missing packages; run as root:"; \
	        echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y" $$missing; exit 1; \
	    fi; \
	fi

native: deps
	cmake -S . -B $(NATIVE) -G Ninja -DVOLTARA_WIN32_DLL=$(CURDIR)/$(WIN32)/voltara_fx.dll
	cmake --build $(NATIVE) -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOLTARA_SANITIZE=ON \
	    -DVOLTARA_BUILD_BENCH=OFF
	cmake --build $(ASAN) -j $(JOBS)

m32: deps
	cmake -S . -B $(M32) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/m32.cmake \
	    -DVOLTARA_GTEST_SOURCE=/usr/src/googletest \
	    -DVOLTARA_BUILD_TOOLS=OFF -DVOLTARA_BUILD_BENCH=OFF -DVOLTARA_BUILD_FUZZ=OFF
	cmake --build $(M32) -j $(JOBS)

win32: deps
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	    -DVOLTARA_BUILD_TESTS=OFF -DVOLTARA_BUILD_TOOLS=OFF -DVOLTARA_BUILD_BENCH=OFF
	cmake --build $(WIN32) -j $(JOBS)

test: win32 native m32 asan
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)
	cd $(M32) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN) && ctest --output-on-failure -j $(JOBS)

demo: native
	@bash tools/demo.sh $(NATIVE)

# Redraws the editor's bitmaps into resources/bitmaps and a preview of the
# editor into out/preview.png.
artwork: deps
	cmake -S . -B $(NATIVE) -G Ninja -DVOLTARA_WIN32_DLL=$(CURDIR)/$(WIN32)/voltara_fx.dll
	cmake --build $(NATIVE) -j $(JOBS) --target voltara_artwork
	$(NATIVE)/voltara_artwork generate resources/bitmaps
	mkdir -p out
	$(NATIVE)/voltara_artwork preview resources/bitmaps out/preview.png

bench: native
	$(NATIVE)/voltara_bench

install-lv2: native
	mkdir -p "$(LV2_INSTALL_DIR)"
	rm -rf "$(LV2_INSTALL_DIR)/voltara.lv2"
	cp -r $(NATIVE)/voltara.lv2 "$(LV2_INSTALL_DIR)/"
	@echo "installed $(LV2_INSTALL_DIR)/voltara.lv2"

clean:
	rm -rf $(NATIVE) $(ASAN) $(M32) $(WIN32) out
