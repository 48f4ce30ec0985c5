# Lyrabox: make deps | make build | make test | make demo | make dist
# Builds: build/host (native tools and host tests), build/win64 (the tested
# Windows target), build/win32 (must keep building).

SHELL := /bin/bash
JOBS ?= $(shell nproc)
PACKAGES := cmake ninja-build g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 xvfb xauth \
            googletest libgtest-dev libbenchmark-dev fonts-wqy-microhei imagemagick \
            g++-i686-linux-gnu qemu-user
CMAKE_ARGS ?=
DPI ?= 96

.PHONY: deps build build-host build-win64 build-win32 test stress demo dist clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -z "$$missing" ]; then exit 0; fi; \
	if [ "$$(id -u)" != 0 ]; then \
		echo "Missing packages. Run as root:"; \
		echo "  apt-get update && apt-get install -y --no-install-recommends $$missing"; \
		exit 1; \
	fi; \
	echo "Installing: $$missing"; \
	apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing

build-host: deps
	cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Debug $(CMAKE_ARGS)
	cmake --build build/host -j $(JOBS)

build-win64: deps build-host
	cmake -S . -B build/win64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
		-DLYRABOX_HOST_BUILD_DIR=$(CURDIR)/build/host $(CMAKE_ARGS)
	cmake --build build/win64 -j $(JOBS)

build-win32: deps build-host
	cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake \
		-DLYRABOX_HOST_BUILD_DIR=$(CURDIR)/build/host $(CMAKE_ARGS)
	cmake --build build/win32 -j $(JOBS)

build: build-host build-win64 build-win32

test: build
	cd build/host && ctest --output-on-failure -j $(JOBS)
	cd build/win64 && ctest --output-on-failure -LE stress
	@tools/test-summary.sh

# Long loops beside make test: the closing-during-a-fill scenario 60 times.
stress: build-host build-win64
	cd build/win64 && ctest --output-on-failure -L stress

# DPI=144 (or 120, 192, ...) shows the demo at another display DPI.
demo: build-host build-win64
	LYRABOX_DPI=$(DPI) tools/demo.sh

# Release packages of both targets: build/dist/lyrabox-VERSION-win64.zip, -win32.zip.
dist: deps build-host
	tools/dist.sh $(JOBS) $(CMAKE_ARGS)

clean:
	rm -rf build
