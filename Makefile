# Front door: `make run` and `make test` work on a fresh Debian 12 machine.
BUILD_DIR       ?= build
ASAN_BUILD_DIR  ?= build-asan
TSAN_BUILD_DIR  ?= build-tsan
BUILD_TYPE      ?= RelWithDebInfo
CMAKE_EXTRA     ?=
JOBS            ?= $(shell nproc)
CTEST_ARGS      ?=

ifeq ($(CI),true)
  CMAKE_EXTRA += -DKESTROVA_WERROR=ON
endif

.PHONY: deps build run test test-sanitize test-tsan bench demo clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_EXTRA)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@bash scripts/run-window.sh $(BUILD_DIR)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTROVA_SANITIZE=address,undefined \
	  -DKESTROVA_BUILD_BENCH=OFF $(CMAKE_EXTRA)
	cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD_DIR) --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# The tests that run threads, built with ThreadSanitizer.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTROVA_SANITIZE=thread \
	  -DKESTROVA_BUILD_BENCH=OFF $(CMAKE_EXTRA)
	cmake --build $(TSAN_BUILD_DIR) -j $(JOBS)
	ctest --test-dir $(TSAN_BUILD_DIR) --output-on-failure -j $(JOBS) -L threads $(CTEST_ARGS)

demo: build
	@bash scripts/demo.sh $(BUILD_DIR)

bench: build
	$(BUILD_DIR)/bench/kestrova_bench

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(TSAN_BUILD_DIR)
