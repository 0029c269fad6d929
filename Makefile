.PHONY: run test test-asan check-format check-naming check-package package build fuzz
build:
	bash scripts/setup.sh

run: build
	bash scripts/run.sh

test: build
	cd build && ctest --output-on-failure -j2 --timeout 600

# The Debian package: build/varnok_<version>_<arch>.deb.
package: build
	cmake --build build --target package

# Builds the package and checks it: lintian, desktop entries, metainfo, and
# the programs run from it unpacked into a read-only folder.
check-package: build
	bash scripts/check_package.sh

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan/. Any report fails the test that caused it: ASan ends the
# process, UBSan too (-fno-sanitize-recover), and LeakSanitizer checks every
# process at exit (the suite is leak-free without suppressions).
ASAN_OPTIONS ?= detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1
test-asan: build
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
	  -DVARNOK_SANITIZE=ON -DVARNOK_BENCH=OFF
	cmake --build build-asan
	cd build-asan && ASAN_OPTIONS=$(ASAN_OPTIONS) UBSAN_OPTIONS=$(UBSAN_OPTIONS) \
	  ctest --output-on-failure -j2 --timeout 900

# Fails when a member function or type breaks the naming convention of .clang-tidy.
check-naming: build
	bash scripts/check_naming.sh build

# Fails when a tracked C++ file is not formatted by .clang-format.
check-format:
	bash scripts/check_format.sh

# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for
# FUZZ_SECONDS (60) on its corpus in fuzz-corpus/<name>, seeded from fuzz/seeds/<name>.
FUZZ_SECONDS ?= 60
fuzz:
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVARNOK_FUZZ=ON -DVARNOK_GUI=OFF -DVARNOK_BENCH=OFF
	cmake --build build-fuzz --target fuzzers
	@for f in build-fuzz/fuzz/fuzz_*; do \
	  name=$${f##*/fuzz_}; mkdir -p fuzz-corpus/$$name; \
	  seeds=""; [ -d fuzz/seeds/$$name ] && seeds=fuzz/seeds/$$name; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -malloc_limit_mb=64 -print_final_stats=1 fuzz-corpus/$$name $$seeds || exit 1; \
	done
