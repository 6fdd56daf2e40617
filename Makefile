# make run   installs what is missing, builds, prepares the runtime files (VN.dll and a starting
#            config.ini, when they are absent) and starts the player
# make test  installs what is missing, builds with sanitizers and runs every test
# make tsan  builds the tests of the threaded parts (backends, shell, media) with
#            ThreadSanitizer and runs them
# make bench builds and runs the benchmarks
# WERROR=ON (as CI does) makes every warning of our code an error.
JOBS ?= $(shell nproc)
WERROR ?= OFF
BUILD := build
TEST_BUILD ?= build-test
TSAN_BUILD := build-tsan
BENCH_BUILD := build-bench
TSAN_TESTS := platform/backends platform/shell platform/media

.PHONY: setup build run test tsan bench clean

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
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTROVEL_SANITIZE=ON -DOSTROVEL_TESTS=ON \
	      -DOSTROVEL_WERROR=$(WERROR)
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

tsan: setup
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTROVEL_TSAN=ON -DOSTROVEL_TESTS=ON \
	      -DOSTROVEL_WERROR=$(WERROR)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(subst /,_,$(addprefix test_,$(TSAN_TESTS)))
	for t in $(TSAN_TESTS); do ctest --test-dir $(TSAN_BUILD)/tests/$$t --output-on-failure -j $(JOBS) || exit 1; done

bench: setup
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTROVEL_TESTS=OFF -DOSTROVEL_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@for b in $(BENCH_BUILD)/bin/bench_*; do [ -x "$$b" ] && "$$b"; done; true

clean:
	rm -rf $(BUILD) build-*/
