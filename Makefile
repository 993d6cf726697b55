# Jumbla: the two commands a newcomer needs are `make run` and `make test`.
# Each installs what is missing, builds and does its job.

JOBS        ?= $(shell nproc)
NATIVE      := build/native
WINDOWS     := build/windows
BENCH       := build/bench
WINEPREFIX  := $(CURDIR)/$(WINDOWS)/wineprefix
export WINEPREFIX

.PHONY: all deps build native windows wine-setup test test-native test-windows run bench dist clean

all: build

deps:
	@tools/install-deps.sh

$(NATIVE)/CMakeCache.txt:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug

$(WINDOWS)/CMakeCache.txt:
	cmake -S . -B $(WINDOWS) -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake

native: deps $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

windows: deps $(WINDOWS)/CMakeCache.txt
	cmake --build $(WINDOWS) -j $(JOBS)

build: native windows

wine-setup: deps
	@tools/wine-setup.sh $(CURDIR)/build $(WINEPREFIX)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS) --output-junit junit.xml

# Windows tests run through Wine on a virtual display of their own; the
# display and the wineserver are stopped afterwards.
test-windows: windows wine-setup
	tools/with-xvfb.sh sh -c 'cd $(WINDOWS) && ctest --output-on-failure -j $(JOBS) --output-junit junit.xml'

# Both halves run even when the first fails; the exit status reports either.
test: build
	@rc=0; rm -f $(NATIVE)/junit.xml $(WINDOWS)/junit.xml; \
	$(MAKE) --no-print-directory test-native || rc=1; \
	$(MAKE) --no-print-directory test-windows || rc=1; \
	$(MAKE) --no-print-directory fuzz-smoke || rc=1; \
	tools/test-summary.sh $(NATIVE)/junit.xml $(WINDOWS)/junit.xml || rc=1; \
	exit $$rc

run: build wine-setup
	tools/demo.sh

bench: deps wine-setup
	cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DJUMBLA_SANITIZE=OFF -DJUMBLA_TESTS=OFF -DJUMBLA_BENCH=ON
	cmake --build $(BENCH) -j $(JOBS)
	cmake -S . -B $(BENCH)-windows -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	      -DJUMBLA_TESTS=OFF -DJUMBLA_BENCH=ON
	cmake --build $(BENCH)-windows -j $(JOBS) --target playlist_bench_win title_bench_win
	bench/run.sh $(BENCH) $(BENCH)-windows

# A zip for Windows users: the program and a short read-me.
dist: windows
	rm -f build/jumbla-1.0.zip
	cd build && rm -rf dist && mkdir dist && \
	  cp windows/app/jumbla.exe ../dist/README-Windows.txt dist/ && \
	  cd dist && zip -q ../jumbla-1.0.zip jumbla.exe README-Windows.txt
	@echo "build/jumbla-1.0.zip"

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
