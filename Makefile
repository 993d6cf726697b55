# Jumbla: the two commands a newcomer needs are `make run` and `make test`.
# Each installs what is missing, builds and does its job.

JOBS        ?= $(shell nproc)
NATIVE      := build/native
# The program users get is 32-bit (it runs on 32- and 64-bit Windows and in
# both kinds of Wine prefix); the 64-bit build is a second, tested target.
WIN32       := build/win32
WIN64       := build/win64
BENCH       := build/bench
# The load's tests again under ThreadSanitizer.
TSAN        := build/tsan

.PHONY: all deps build native win32 win64 wine-setup-win32 wine-setup-win64 test test-native test-tsan test-win32 test-win64 test-wine10 soak run bench dist clean

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

# Each Windows tree has a Wine prefix of its own width, made on its own: a
# failure in one never stops the other. Exit 77 is a host that cannot run
# that width (tools/host32.sh); the tree's suite still runs, and each test
# that needs Wine reports itself skipped.
wine-setup-win32 wine-setup-win64: wine-setup-%: deps
	@tools/wine-setup.sh $(CURDIR)/build $(CURDIR)/build/$*/wineprefix $* || [ $$? -eq 77 ]

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS) --output-junit junit.xml

# The playlist engine's tests, the load's threads and the queue's order
# among them, under ThreadSanitizer: a tree of their own, that program alone.
test-tsan: deps
	cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=Debug -DJUMBLA_TSAN=ON > /dev/null
	cmake --build $(TSAN) -j $(JOBS) --target playlist_core_tests
	cd $(TSAN) && TSAN_OPTIONS=halt_on_error=1 JUMBLA_MODEL_SEQUENCES=300 JUMBLA_MODEL_REAL_SEQUENCES=300 ctest --output-on-failure -R '^playlist_core_tests$$' --output-junit junit.xml

# Windows tests run through Wine on a virtual display of their own; the
# display and the tree's wineserver are stopped afterwards. The 32-bit suite
# runs in a virtual machine where this host runs no 32-bit code
# (tests/wine-suite.sh).
wine_suite = JOBS=$(JOBS) tests/wine-suite.sh $(1) $(2)

test-win32 test-win64: test-%: % deps
	$(call wine_suite,$*,junit.xml)

# The 32-bit tree's tests that need no Wine, where its Wine tests ran in a
# virtual machine: a report of their own.
win32_host_report = $$(ls $(WIN32)/junit-host.xml 2>/dev/null)

# The shell helper the Wine scripts share (tools/lib.sh), for a recipe line.
lib = jumbla_tools=tools; . tools/lib.sh

# The one line that says what a host without 32-bit code left out, where no
# virtual machine could run the 32-bit suite either.
skip_note = $(lib); [ ! -f $(WIN32)/vm32-skipped ] || { host32_check; \
	echo "Skipped: the 32-bit Windows suite under Wine, as $$host32_why and $$(cat $(WIN32)/vm32-skipped). The 32-bit build was compiled and its import and header checks ran; the native suite, the 64-bit Windows suite and the fuzz smoke ran in full."; }

# Every part runs even when one fails; the exit status reports any.
test: build
	@rc=0; rm -f $(NATIVE)/junit.xml $(TSAN)/junit.xml $(WIN32)/junit.xml $(WIN32)/junit-host.xml $(WIN64)/junit.xml; \
	$(MAKE) --no-print-directory test-native || rc=1; \
	$(MAKE) --no-print-directory test-tsan || rc=1; \
	$(MAKE) --no-print-directory test-win32 || rc=1; \
	$(MAKE) --no-print-directory test-win64 || rc=1; \
	$(MAKE) --no-print-directory fuzz-smoke || rc=1; \
	$(skip_note); \
	tests/test-summary.sh $(NATIVE)/junit.xml $(TSAN)/junit.xml $(WIN32)/junit.xml $(win32_host_report) $(WIN64)/junit.xml || rc=1; \
	exit $$rc

# The Windows suites again under Debian 13's Wine 10, from a Debian 13 root
# that tools/wine10.sh makes once outside the clone: the 64-bit suite, and
# the 32-bit one (in a virtual machine where this host runs no 32-bit code).
test-wine10: win32 win64
	@root=$$(tools/wine10.sh) || exit 1; export JUMBLA_WINE_ROOT=$$root; rc=0; \
	rm -f $(WIN32)/junit-wine10.xml $(WIN64)/junit-wine10.xml; \
	for tree in win32 win64; do \
	  $(call wine_suite,$$tree,junit-wine10.xml wine) || rc=1; \
	done; \
	$(skip_note); \
	tests/test-summary.sh $(WIN32)/junit-wine10.xml $(WIN64)/junit-wine10.xml || rc=1; \
	exit $$rc

# The long soak, whose figures docs/robustness.md keeps (make test runs a
# short one): the 64-bit program, and the 32-bit one where this host runs
# 32-bit code.
soak: win32 win64 wine-setup-win32 wine-setup-win64
	@$(lib); rc=0; for tree in win64 win32; do \
	  if [ $$tree = win32 ] && ! host32_check; then echo "soak: no 32-bit soak: $$host32_why"; continue; fi; \
	  JUMBLA_SOAK=long WINEPREFIX=$(CURDIR)/build/$$tree/wineprefix tools/with-xvfb.sh --wine-session \
	    tools/wine-run.sh build/$$tree/tests/robustness/robustness_soak_tests.exe || rc=1; \
	done; exit $$rc

# The demo runs the 32-bit program users get, or the 64-bit one where this
# host runs no 32-bit code (tools/demo.sh says which).
# Its sample generator and driver are built for it alone.
run: native
	cmake --build $(NATIVE) -j $(JOBS) --target make_samples
	@$(lib); if host32_check; then tree=win32; else tree=win64; fi; \
	$(MAKE) --no-print-directory $$tree && cmake --build build/$$tree -j $(JOBS) --target demo_driver
	tools/demo.sh

bench: deps wine-setup-win64
	cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DJUMBLA_SANITIZE=OFF -DJUMBLA_TESTS=OFF -DJUMBLA_BENCH=ON
	cmake --build $(BENCH) -j $(JOBS)
	cmake -S . -B $(BENCH)-windows -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	      -DJUMBLA_TESTS=OFF -DJUMBLA_BENCH=ON
	cmake --build $(BENCH)-windows -j $(JOBS) --target playlist_bench_win title_bench_win
	WINEPREFIX=$(CURDIR)/$(WIN64)/wineprefix bench/run.sh $(BENCH) $(BENCH)-windows

# A zip for Windows users: the stripped 32-bit program and a short read-me
# that names the commit and the toolchain, with its .sha256 beside it and the
# debug information in build/jumbla.exe.debug. Built from HEAD in a release
# tree of its own (build/dist-tree), never from build/win32, and the program
# in the zip is checked as users get it. The same commit gives the same bytes.
dist: deps
	JOBS=$(JOBS) tools/make_dist.py build

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
