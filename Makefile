# Trovane Setup: every set-up step on a fresh Debian 12 machine goes through
# this file. `make run` and `make test` install what is missing first.

BUILD         ?= build
ASAN_BUILD    ?= build-asan
TSAN_BUILD    ?= build-tsan
FUZZ_BUILD    ?= build-fuzz
PACKAGE_BUILD ?= build-package
JOBS          ?= $(shell nproc)
CMAKE_ARGS    ?=

# Debian packages the build, the tests and the window need; tmux is the
# real terminal the tests run the terminal front end in.
PACKAGES := build-essential cmake ninja-build libgtest-dev libgmock-dev \
            qt6-base-dev qt6-qpa-plugins tmux
# What the style checks need on top.
CHECK_PACKAGES := clang-format clang-tidy
# What `make package` needs on top: dpkg-shlibdeps (dpkg-dev, which finds
# the programs with file), and the checkers of the package and its files.
PACKAGE_PACKAGES := dpkg-dev file lintian appstream desktop-file-utils man-db
# What the fuzz targets need: clang and its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES := clang libclang-rt-dev
# What `make bench` needs on top: fd, the second listing the benchmarks
# compare trovane-cmd with (find comes with the system), and column, which
# lays out the summary table.
BENCH_PACKAGES := fd-find bsdextrautils

# The fuzz targets, and how long `make fuzz` runs each one.
FUZZERS      := field_reader_fuzzer entry_line_fuzzer batch_line_fuzzer \
                drive_path_fuzzer listing_name_fuzzer
FUZZ_SECONDS ?= 60

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Installs the Debian packages named in $(1) that are missing.
define install_missing
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' \
	    || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi
endef

.PHONY: all build deps check-deps fuzz-deps bench-deps programs test \
        test-asan test-tsan fuzz run bench screenshot format check \
        format-check layers tidy package clean

all: build

deps:
	$(call install_missing,$(PACKAGES))

check-deps:
	$(call install_missing,$(PACKAGES) $(CHECK_PACKAGES))

fuzz-deps:
	$(call install_missing,$(PACKAGES) $(FUZZ_PACKAGES))

bench-deps:
	$(call install_missing,$(PACKAGES) $(BENCH_PACKAGES))

# Configuring needs the packages: under `make -j` it still waits for them.
$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Just the two programs, for the demo.
programs: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target trovane-setup trovane-cmd

test: deps build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DTROVANE_SANITIZE=ON \
	  -DTROVANE_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The same tests built with ThreadSanitizer, for the threads that list the
# disk; all but those of the Qt window (Qt*): Qt's own libraries are not
# built with it, so it cannot see how they synchronise their threads and
# reports races inside them.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DTROVANE_TSAN=ON \
	  -DTROVANE_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	TSAN_OPTIONS=halt_on_error=1 \
	  ctest --test-dir $(TSAN_BUILD) --output-on-failure -j $(JOBS) -E '^Qt'

# Each fuzz target for FUZZ_SECONDS, from a copy of its seed corpus (what it
# adds stays in the build folder). A finding stops the run; its input is
# left in $(FUZZ_BUILD) as TARGET-crash-*, to be kept as a seed or a test
# once fixed.
fuzz: fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
	  -DTROVANE_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZERS)
	@for f in $(FUZZERS); do \
	  corpus=$(FUZZ_BUILD)/corpus/$$f; \
	  rm -rf $$corpus && mkdir -p $$corpus && cp fuzz/corpus/$$f/* $$corpus/; \
	  echo "== $$f, $(FUZZ_SECONDS) s"; \
	  if ! $(FUZZ_BUILD)/bin/$$f $$corpus -max_total_time=$(FUZZ_SECONDS) \
	       -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/$$f- \
	       > $(FUZZ_BUILD)/$$f.log 2>&1; then \
	    tail -n 40 $(FUZZ_BUILD)/$$f.log; exit 1; \
	  fi; \
	  grep -E '^(Done|stat::number_of_executed_units)' $(FUZZ_BUILD)/$$f.log; \
	done

run: programs
	examples/run-demo.sh $(BUILD)

# Every benchmark in turn, each printing its own figures, then one table of
# the goals they measured. Their data (the million-entry tree among it) is
# made once and kept in the build folder; their output stays there too, in
# bench-logs. The cold listings drop the page cache, which needs root.
bench: bench-deps build
	bench/run-all $(BUILD)

screenshot: deps build
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/window_screenshot $(BUILD)/window.png \
	  $(BUILD)/window-scanning.png $(BUILD)/window-done.png \
	  $(BUILD)/window-summary.png
	@echo "Screenshots: $(BUILD)/window.png $(BUILD)/window-scanning.png" \
	  "$(BUILD)/window-done.png $(BUILD)/window-summary.png"

# The Debian package, built in a folder of its own without the tests and
# benchmarks, with the hardening flags Debian builds its packages with, then
# linted.
package: export DEB_BUILD_MAINT_OPTIONS := hardening=+all
package: deps
	$(call install_missing,$(PACKAGE_PACKAGES))
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DTROVANE_TESTS=OFF \
	  -DTROVANE_BENCHMARKS=OFF \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" $(CMAKE_ARGS)
	rm -f $(PACKAGE_BUILD)/*.deb
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target package
	packaging/lint $(PACKAGE_BUILD)/*.deb

format: check-deps
	clang-format -i $$(git ls-files '*.cc' '*.h')

# The style checks CI runs: formatting as clang-format wants it, and no
# clang-tidy finding in the program's sources.
check: format-check layers tidy

layers:
	.ci/check-layers

format-check: check-deps
	clang-format --dry-run --Werror $$(git ls-files '*.cc' '*.h')

tidy: check-deps build
	git ls-files '*.cc' | grep -v '^tests/' | \
	  xargs -P $(JOBS) -n 8 clang-tidy -p $(BUILD) --quiet

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
