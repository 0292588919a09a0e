# KV720 service tool: `make` builds both sides, `make test` runs every test, `make demo` runs the
# program under Wine against the simulator, `make bench` prints the speed figures.
BUILD   := build
NATIVE  := $(BUILD)/native
WIN     := $(BUILD)/win
BENCH   := $(BUILD)/bench
JOBS    ?= 2
CMAKE_GEN := -G Ninja

.PHONY: all setup native win test bench demo clean

all: native win

setup:
	@bash scripts/setup.sh

native: setup
	cmake -S . -B $(NATIVE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKV720_WIN_BUILD_DIR=$(abspath $(WIN))
	cmake --build $(NATIVE) -j $(JOBS)

win: setup
	cmake -S . -B $(WIN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=$(abspath cmake/mingw-w64.cmake)
	cmake --build $(WIN) -j $(JOBS)

test: all
	cd $(NATIVE) && ctest --output-on-failure -j 1

bench: setup
	cmake -S . -B $(BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKV720_SANITIZE=OFF
	cmake --build $(BENCH) -j $(JOBS) --target kv720-bench kv720-sim
	$(BENCH)/kv720-bench

demo: all
	@bash scripts/demo.sh $(abspath $(BUILD))

clean:
	rm -rf $(BUILD)
