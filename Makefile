# Jumbla: the two commands a newcomer needs are `make run` and `make test`.
# Each installs what is missing, builds and does its job.

JOBS        ?= $(shell nproc)
NATIVE      := build/native
# The program users get is 32-bit (it runs on 32- and 64-bit Windows and in
# both kinds of Wine prefix); the 64-bit build is a second, tested target.
WIN32       := build/win32
WIN64       := build/win64
BENCH       := build/bench

.PHONY: all deps build native win32 win64 wine-setup test test-native test-win32 test-win64 run bench dist clean

all: build

deps:
	@tools/install-deps.sh

$(NATIVE)/CMakeCache.txt:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug

$(WIN32)/CMakeCache.txt:
	cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake

$(WIN64)/CMakeCache.txt:
	cmake -S . -B $(WIN64) -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

native: deps $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

win32: deps $(WIN32)/CMakeCache.txt
	cmake --build $(WIN32) -j $(JOBS)

win64: deps $(WIN64)/CMakeCache.txt
	cmake --build $(WIN64) -j $(JOBS)

build: native win32 win64

# Each Windows tree has a Wine prefix of its own width.
wine-setup: deps
	@tools/wine-setup.sh $(CURDIR)/build $(CURDIR)/$(WIN32)/wineprefix win32
	@tools/wine-setup.sh $(CURDIR)/build $(CURDIR)/$(WIN64)/wineprefix win64

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS) --output-junit junit.xml

# Windows tests run through Wine on a virtual display of their own; the
# display and the tree's wineserver are stopped afterwards.
test-win32 test-win64: test-%: % wine-setup
	WINEPREFIX=$(CURDIR)/build/$*/wineprefix tools/with-xvfb.sh \
	  sh -c 'cd build/$* && ctest --output-on-failure -j $(JOBS) --output-junit junit.xml'

# Every part runs even when one fails; the exit status reports any.
test: build
	@rc=0; rm -f $(NATIVE)/junit.xml $(WIN32)/junit.xml $(WIN64)/junit.xml; \
	$(MAKE) --no-print-directory test-native || rc=1; \
	$(MAKE) --no-print-directory test-win32 || rc=1; \
	$(MAKE) --no-print-directory test-win64 || rc=1; \
	$(MAKE) --no-print-directory fuzz-smoke || rc=1; \
	tools/test-summary.sh $(NATIVE)/junit.xml $(WIN32)/junit.xml $(WIN64)/junit.xml || rc=1; \
	exit $$rc

run: native win32
	tools/demo.sh

bench: deps wine-setup
	cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DJUMBLA_SANITIZE=OFF -DJUMBLA_TESTS=OFF -DJUMBLA_BENCH=ON
	cmake --build $(BENCH) -j $(JOBS)
	cmake -S . -B $(BENCH)-windows -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	      -DJUMBLA_TESTS=OFF -DJUMBLA_BENCH=ON
	cmake --build $(BENCH)-windows -j $(JOBS) --target playlist_bench_win title_bench_win
	WINEPREFIX=$(CURDIR)/$(WIN64)/wineprefix bench/run.sh $(BENCH) $(BENCH)-windows

# A zip for Windows users: the stripped 32-bit program and a short read-me,
# with its .sha256 beside it and the debug information in
# build/jumbla.exe.debug. The same commit gives the same bytes.
dist: win32
	tools/make_dist.py $(WIN32) build

clean:
	rm -rf build

# libFuzzer targets (clang) in build/fuzz: FUZZ_SECONDS each (default 60);
# new corpus entries are kept under tests/fuzz/corpus.
.PHONY: fuzz fuzz-smoke
fuzz:
	tests/fuzz/run.sh

# A short run that leaves the corpus alone, skipped where clang is missing.
fuzz-smoke:
	@if command -v clang++ >/dev/null; then tests/fuzz/run.sh --smoke; \
	else echo "fuzz-smoke: clang++ not found, skipped"; fi
