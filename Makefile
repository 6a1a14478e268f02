# QUENMAR — build, play and test.
BUILD ?= build
SANBUILD ?= build-sanitize
FUZZBUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DQUENMAR_WERROR=ON
endif

.PHONY: all deps build run test test-sanitize fuzz package bench balance clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DQUENMAR_GUI=ON $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-game $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 900
	@$(MAKE) --no-print-directory test-sanitize

# The rules and their tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SANBUILD) -DQUENMAR_SANITIZE=ON -DQUENMAR_GUI=OFF -DQUENMAR_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(SANBUILD) -j $(JOBS)
	cd $(SANBUILD) && ctest --output-on-failure -j $(JOBS) --timeout 900

# Every file reader under libFuzzer (clang), FUZZ_SECONDS each; not part of make test.
fuzz: deps
	cmake -S . -B $(FUZZBUILD) -DCMAKE_CXX_COMPILER=clang++ -DQUENMAR_FUZZ=ON -DQUENMAR_GUI=OFF -DQUENMAR_BENCH=OFF
	cmake --build $(FUZZBUILD) -j $(JOBS) --target fuzz_targets
	scripts/run-fuzz $(FUZZBUILD) $(FUZZ_SECONDS)

# A Debian package of the installed game (prefix /usr), in $(BUILD)/.
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

# Plays seeded games of the bundled content at every level and prints how they end, what
# each building type earns and how often it is built, and how the raids go.
# BALANCE_ARGS passes options on, e.g. BALANCE_ARGS="--seeds 10" or "--trace 1 1007".
balance: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target quenmar-balance
	$(BUILD)/bench/quenmar-balance $(BALANCE_ARGS)

clean:
	rm -rf $(BUILD) $(SANBUILD) $(FUZZBUILD)
