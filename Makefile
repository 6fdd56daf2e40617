# make run   installs what is missing, builds, prepares the runtime files (VN.dll and a starting
#            config.ini, when they are absent) and starts the player
# make test  installs what is missing, builds with sanitizers and runs every test
# make bench builds and runs the benchmarks
JOBS ?= $(shell nproc)
BUILD := build
TEST_BUILD := build-test
BENCH_BUILD := build-bench

.PHONY: setup build run test bench clean

setup:
	@scripts/setup

build: setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTROVEL_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/mkdb $(BUILD)/bin
	@if [ -x $(BUILD)/bin/ostrovel ]; then exec $(BUILD)/bin/ostrovel; \
	 else echo "run: the player is not built yet"; exit 1; fi

test: setup
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTROVEL_SANITIZE=ON -DOSTROVEL_TESTS=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: setup
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTROVEL_TESTS=OFF -DOSTROVEL_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@for b in $(BENCH_BUILD)/bin/bench_*; do [ -x "$$b" ] && "$$b"; done; true

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(BENCH_BUILD)
