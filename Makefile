# The two commands of the README:
#   make run    installs what building and running need, builds the program and starts it
#   make test   installs that and what the tests need, builds with the sanitizers and runs every test
#
# BUILD_DIR and JOBS may be set on the command line.

JOBS ?= $(shell nproc)
RELEASE_DIR ?= build/release
TEST_DIR ?= build/asan
CMAKE_LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

.PHONY: run test deps deps-test build build-test clean

# The two parts of scripts/debian-packages.txt.
deps:
	@scripts/install-deps.sh run

deps-test:
	@scripts/install-deps.sh test

# Without the tests: their libraries belong to the test part.
build: deps
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRZ_BUILD_TESTS=OFF $(CMAKE_LAUNCHER)
	cmake --build $(RELEASE_DIR) -j $(JOBS)

run: build
	@scripts/run.sh $(RELEASE_DIR)

build-test: deps-test
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRZ_SANITIZE=ON $(CMAKE_LAUNCHER)
	cmake --build $(TEST_DIR) -j $(JOBS)

test: build-test
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 600

clean:
	rm -rf build
