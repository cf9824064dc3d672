# Build and test entry points; see README.md.
SHELL := /bin/bash
BUILD := build
WIN_BUILD := $(BUILD)/windows
NATIVE_BUILD := $(BUILD)/native
JOBS ?= 2

.PHONY: all deps build native test test-windows test-windows-build test-native demo dist reproducible clean

all: build

deps:
	@tools/install-deps

$(WIN_BUILD)/build.ninja: | deps
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

$(NATIVE_BUILD)/build.ninja: | deps
	cmake -S . -B $(NATIVE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	      -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DPATCH_INSTALLER_SANITIZE=ON

build: deps $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS) --target patch_installer patch_remove patch_check

native: deps $(NATIVE_BUILD)/build.ninja
	cmake --build $(NATIVE_BUILD) -j $(JOBS)

test-windows-build: deps $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS)

test-windows: test-windows-build
	cd $(WIN_BUILD) && ctest --output-on-failure

test-native: native
	cd $(NATIVE_BUILD) && ctest --output-on-failure

test: test-native test-windows

demo: build
	cmake --build $(WIN_BUILD) -j $(JOBS) --target box_reader
	tools/demo $(WIN_BUILD)

# dist/patch_installer.zip, the kit for patch authors. SIGN_PFX=cert.pfx signs
# both executables (password in the environment variable SIGN_PASSWORD);
# SIGN_TIMESTAMP_URL adds a time stamp. See tools/make-dist.
export SIGN_PFX SIGN_TIMESTAMP_URL
dist: build
	python3 tools/make-dist $(WIN_BUILD) dist/patch_installer.zip

# Builds the current commit twice, in two throwaway folders one after the
# other, and compares the executables and the unsigned zip byte for byte.
reproducible: deps
	tools/reproducible

clean:
	rm -rf $(BUILD)

# Fuzzes the Steam file reader for FUZZ_SECONDS (native clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer), starting from the seeds
# in tests/acf/corpus. Findings land in build/fuzz/findings.
FUZZ_BUILD := $(BUILD)/fuzz
FUZZ_SECONDS ?= 300
.PHONY: fuzz
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
	      -DPATCH_INSTALLER_TESTS=OFF -DPATCH_INSTALLER_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target read_acf_fuzz
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/findings
	$(FUZZ_BUILD)/read_acf_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=10 \
	    -artifact_prefix=$(FUZZ_BUILD)/findings/ $(FUZZ_BUILD)/corpus tests/acf/corpus

# The benchmarks; each prints ratios against a baseline measured in the same
# run. Installs the peer readers it compares with (Debian's python3-vdf, npm
# packages under build/bench/node).
BENCH_BUILD := $(BUILD)/bench
BENCHES ?= parse copy run
.PHONY: bench
bench: deps
	tools/install-deps --bench
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DPATCH_INSTALLER_TESTS=OFF -DPATCH_INSTALLER_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target acf_bench
	[ -d $(BENCH_BUILD)/node/node_modules/@node-steam/vdf ] || \
	    npm install --silent --no-audit --no-fund --prefix $(BENCH_BUILD)/node vdf simple-vdf @node-steam/vdf
	$(MAKE) --no-print-directory test-windows-build
	python3 bench/run_bench.py $(BENCH_BUILD) $(WIN_BUILD) $(BENCHES)
