# The two commands of the README: `make test` and `make demo`.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
# The 32-bit Windows DLL (Arvoline.dll), cross-compiled with mingw-w64.
WIN32_BUILD ?= build-win32
# The libFuzzer targets (clang). `make test` runs each for 30 s with seed 1;
# `make fuzz FUZZ_SECONDS=N` runs each for N seconds with a new seed.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
# Release packages: arvoline_VERSION_amd64.deb, Arvoline-VERSION-win32.zip and
# Arvoline-VERSION-win32-debug.zip.
DIST ?= dist

.PHONY: test test-win32 demo deps build build-asan build-win32 build-fuzz fuzz bench clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DARVOLINE_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

build-win32: deps
	cmake -S . -B $(WIN32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WIN32_BUILD) -j $(JOBS)

build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=Fuzz -DARVOLINE_FUZZ=ON \
	  -DARVOLINE_FUZZ_SECONDS=30 -DARVOLINE_FUZZ_SEED=1
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target arvoline_fuzz_targets

test: build build-asan build-win32 build-fuzz
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(WIN32_BUILD) && ctest --output-on-failure
	cd $(FUZZ_BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-packages

fuzz: build-fuzz
	cmake -S . -B $(FUZZ_BUILD) -DARVOLINE_FUZZ_SECONDS=$(FUZZ_SECONDS) -DARVOLINE_FUZZ_SEED=0
	cd $(FUZZ_BUILD) && ctest --output-on-failure -j $(JOBS) -L fuzz

# The Windows suite alone: the DLL's tables and code checked by objdump, and
# the DLL run under 32-bit wine (native, else emulated; see the README).
test-win32: build-win32
	cd $(WIN32_BUILD) && ctest --output-on-failure

demo: build
	cmake --build $(BUILD) --target demo

bench: build
	cmake --build $(BUILD) --target bench

# The release packages, made by CPack from the Linux and the Windows builds.
.PHONY: package package-files test-packages
package: build build-win32
	$(MAKE) package-files

package-files:
	rm -rf $(DIST)
	cd $(BUILD) && cpack -G DEB -B $(abspath $(DIST))
	cd $(WIN32_BUILD) && cpack -G ZIP -B $(abspath $(DIST))
	rm -rf $(DIST)/_CPack_Packages

# The packages of the binaries the suites above tested: the DLL's digest is
# taken before packaging, and the zip must hold that very DLL.
test-packages:
	tested=$$(sha256sum < $(WIN32_BUILD)/Arvoline.dll | cut -d' ' -f1) && \
	$(MAKE) package-files && \
	bash tests/package/check_packages.sh --deb $(DIST)/arvoline_*_amd64.deb --zip $(DIST)/Arvoline-*-win32.zip \
	  --debug-zip $(DIST)/Arvoline-*-win32-debug.zip --tested-dll-sha256 $$tested --writer $(BUILD)/make-access-db \
	  --fake-dao $(WIN32_BUILD)/tests/win32/fake_dao.dll

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WIN32_BUILD) $(FUZZ_BUILD) $(DIST)
