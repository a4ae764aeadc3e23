# The two commands of the project: `make run` and `make test`; `make windows` for the Windows
# package; and `make bench`, `make fuzz`, `make e2e` for the proofs at scale, under fuzzing and as
# a person works.
.PHONY: run test test-linux test-windows deps build build-test clean bench fuzz e2e windows

JOBS ?= $(shell nproc 2>/dev/null || echo 2)

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQOR_BUILD_TESTS=OFF
	cmake --build build -j $(JOBS)

run: build
	@bash scripts/run-client.sh build/bin/QorClient

build-test: deps
	cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQOR_SANITIZE=ON -DQOR_BUILD_TESTS=ON
	cmake --build build-test -j $(JOBS)

test: test-linux test-windows

test-linux: build-test
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The Windows package cross-built with MinGW-w64 and a Qt built once from Debian's source
# (scripts/build-qt-mingw.sh, cached under ~/.cache/QorClient): build-windows/QorClient-*-win64.zip.
windows: deps
	JOBS=$(JOBS) bash scripts/windows.sh package

# The same build with its tests, run under Wine.
test-windows: deps
	JOBS=$(JOBS) bash scripts/windows.sh test

# The benchmark, from a Release build: every figure next to its baseline, and their curve over
# 100 to 1 000 000 cards in build-bench/bench.csv and bench.png (docs/PERFORMANCE.md).
bench:
	@bash scripts/install-deps.sh bench
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQOR_BUILD_TESTS=OFF -DQOR_BUILD_BENCH=ON
	cmake --build build-bench -j $(JOBS) --target bench_qorclient
	build-bench/bin/bench_qorclient --out build-bench $(BENCH_SIZES)

# The fuzz targets under libFuzzer (clang), each for FUZZ_SECONDS, from a copy of the seed corpus;
# what they find is left in build-fuzz/findings.
FUZZ_SECONDS ?= 60
fuzz:
	@bash scripts/install-deps.sh fuzz
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQOR_FUZZ=ON -DQOR_BUILD_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS) --target fuzz_cardfile fuzz_settingsfile
	@bash scripts/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS) cardfile settingsfile

# The clerk's session end to end: the real program under Xvfb, driven by the keyboard.
e2e: build-test
	cd build-test && ctest -L e2e --output-on-failure

clean:
	rm -rf build build-test build-bench build-fuzz build-windows
