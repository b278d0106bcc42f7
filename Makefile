# DeskTally: `make test` and `make run` install what is missing, configure,
# build, and then test or start the console.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all setup configure build test run package check-package format format-check asan-test tsan-test bench fuzz clean

all: build

setup:
	@scripts/setup

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: setup $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run-console $(BUILD)

# The Debian package, $(BUILD)/desktally_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

# The package checked as a distribution would: menu entry, metadata, lintian,
# and an install into a scratch root that must load the demo site.
check-package:
	@scripts/check-package $(BUILD)

# The core once more, under AddressSanitizer and UndefinedBehaviorSanitizer.
asan-test: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DDESKTALLY_SANITIZE=ON -DDESKTALLY_CORE_ONLY=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS)

# The loading tests under ThreadSanitizer: the load's worker threads parse
# files while the loading thread applies their results. ThreadSanitizer
# brings its own allocator, so mimalloc stays out.
TSAN_BUILD ?= build-tsan
TSAN_FLAGS = -fsanitize=thread -fno-omit-frame-pointer
tsan-test: setup
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDESKTALLY_CORE_ONLY=ON \
	  -DDESKTALLY_BENCH=OFF -DDESKTALLY_MIMALLOC=OFF -DCMAKE_CXX_FLAGS="$(TSAN_FLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_loadpath
	cd $(TSAN_BUILD)/tests/run_loadpath && TSAN_OPTIONS=halt_on_error=1 ../test_loadpath

# Every fuzz target under libFuzzer with the sanitizers, FUZZ_SECONDS each.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	@DESKTALLY_SETUP_FUZZ=1 scripts/setup
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DDESKTALLY_FUZZ=ON -DDESKTALLY_SANITIZE=ON -DDESKTALLY_CORE_ONLY=ON -DDESKTALLY_BENCH=OFF
	cmake --build $(FUZZ_BUILD) --target fuzz_all -j $(JOBS)
	fuzz/run-all $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && echo "== $$b" && "$$b"; done; true

format:
	git ls-files '*.cpp' '*.h' | xargs -r clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
