# The two commands of the project: `make run` and `make test`.
.PHONY: run test deps build build-test clean

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

test: build-test
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf build build-test
