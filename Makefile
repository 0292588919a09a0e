# KV720 service tool: `make` builds both sides, `make test` runs every test, `make demo` runs the
# program under Wine against the simulator, `make bench` prints the speed figures, `make dist`
# builds the release packages in dist/ and tries each as a fitter would, `make fuzz` runs every
# fuzz target for FUZZ_SECONDS each.
BUILD   := build
NATIVE  := $(BUILD)/native
WIN     := $(BUILD)/win
BENCH   := $(BUILD)/bench
RELEASE := $(BUILD)/dist-native
DIST    := dist
FUZZ    := $(BUILD)/fuzz
FUZZ_SECONDS ?= 120
JOBS    ?= 2
CMAKE_GEN := -G Ninja

.PHONY: all setup native win fuzz-build test bench demo dist fuzz clean

all: native win fuzz-build

setup:
	@bash scripts/setup.sh

native: setup
	cmake -S . -B $(NATIVE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKV720_WIN_BUILD_DIR=$(abspath $(WIN)) \
	  -DKV720_FUZZ_BUILD_DIR=$(abspath $(FUZZ))
	cmake --build $(NATIVE) -j $(JOBS)

win: setup
	cmake -S . -B $(WIN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=$(abspath cmake/mingw-w64.cmake)
	cmake --build $(WIN) -j $(JOBS)

# libFuzzer needs clang; ctest runs each target briefly (fuzz/CMakeLists.txt).
fuzz-build: setup
	cmake -S fuzz -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ) -j $(JOBS)

fuzz: fuzz-build
	@for target in $(FUZZ)/*_fuzz; do bash fuzz/run.sh $$target $(FUZZ_SECONDS) || exit 1; done

# The packages' own tests (label dist) run with make dist. Every test runs once: a test that
# fails once has found something. The e2e files wait on Wine more than they compute, so more
# tests run side by side than there are cores.
TEST_JOBS ?= 3
test: all
	cd $(NATIVE) && ctest --output-on-failure -j $(TEST_JOBS) -LE dist

# The native kv720-cli of the .deb: optimised, no sanitizers, only the C library shared.
dist: all
	@bash scripts/setup.sh --dist
	cmake -S . -B $(RELEASE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKV720_SANITIZE=OFF \
	  "-DCMAKE_EXE_LINKER_FLAGS=-static-libstdc++ -static-libgcc"
	cmake --build $(RELEASE) -j $(JOBS) --target kv720-cli
	python3 packaging/dist.py --win $(WIN) --native $(RELEASE) --out $(DIST)
	cd $(NATIVE) && ctest --output-on-failure -j 1 -L dist

bench: setup
	cmake -S . -B $(BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKV720_SANITIZE=OFF
	cmake --build $(BENCH) -j $(JOBS) --target kv720-bench kv720-sim kv720-cli
	$(BENCH)/kv720-bench
	python3 bench/plot_bench.py --cli $(BENCH)/kv720-cli --work $(BENCH)/plot

demo: all
	@bash scripts/demo.sh $(abspath $(BUILD))

clean:
	rm -rf $(BUILD) $(DIST)
