# The two commands of the README:
#   make run    installs what is missing, builds everything and starts the program
#   make test   installs what is missing, builds with the sanitizers and runs every test
#
# BUILD_DIR and JOBS may be set on the command line.

JOBS ?= $(shell nproc)
RELEASE_DIR ?= build/release
TEST_DIR ?= build/asan
CMAKE_LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

.PHONY: run test deps build build-test clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_LAUNCHER)
	cmake --build $(RELEASE_DIR) -j $(JOBS)

run: build
	@scripts/run.sh $(RELEASE_DIR)

build-test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRZ_SANITIZE=ON $(CMAKE_LAUNCHER)
	cmake --build $(TEST_DIR) -j $(JOBS)

test: build-test
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 600

clean:
	rm -rf build
