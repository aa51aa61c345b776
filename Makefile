# Trovane Setup: every set-up step on a fresh Debian 12 machine goes through
# this file. `make run` and `make test` install what is missing first.

BUILD         ?= build
ASAN_BUILD    ?= build-asan
TSAN_BUILD    ?= build-tsan
FUZZ_BUILD    ?= build-fuzz
PACKAGE_BUILD ?= build-package
WINDOWS_BUILD ?= build-windows
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
# What the Windows build needs: the cross compiler (its posix flavour, for
# std::thread) and a compiler for the tool that draws the icon, CMake and
# GoogleTest's sources, Wine to run the tests and a display without a
# screen for the window's, and for the screenshot Wine's fonts and the tool
# that turns it into a PNG.
WINDOWS_PACKAGES := cmake ninja-build g++ libgtest-dev \
                    g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb \
                    xauth imagemagick

# The fuzz targets, and how long `make fuzz` runs each one.
FUZZERS      := field_reader_fuzzer entry_line_fuzzer batch_line_fuzzer \
                drive_path_fuzzer listing_name_fuzzer listing_index_fuzzer
FUZZ_SECONDS ?= 60

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Wine for the Windows build: a prefix of the build folder's own, without
# Wine's messages and without the prompts for Mono and Gecko. Made once,
# with windows drawn by Wine itself (there is no window manager under
# Xvfb) and Wine's fonts, which their captions need.
WINE_ENV := WINEPREFIX=$(abspath $(WINDOWS_BUILD))/wine-prefix WINEDEBUG=-all \
            WINEDLLOVERRIDES=mscoree,mshtml=
define wine_prefix
	@export $(WINE_ENV); \
	if [ ! -e "$$WINEPREFIX/.trovane-ready" ]; then \
	  echo "Making the Wine prefix $$WINEPREFIX"; \
	  wineboot -i && \
	  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
	    > /dev/null && \
	  cp /usr/share/wine/fonts/* "$$WINEPREFIX/drive_c/windows/Fonts/" && \
	  wineserver -w && touch "$$WINEPREFIX/.trovane-ready"; \
	fi
endef
# Runs $(1) on a display without a screen while one Wine server serves
# every program it starts (a start then costs tenths of a second, not
# seconds); the server ends with it, whatever $(1) ends with. Wine's own
# services are started first, holding none of $(1)'s pipes: ctest reads a
# test program's list of tests through a pipe, and waits for every process
# that holds it.
define with_wine
	@export $(WINE_ENV); wineserver -p; \
	xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
	  'wine cmd /c exit < /dev/null > /dev/null 2>&1; $(1)'; status=$$?; \
	wineserver -k; exit $$status
endef

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
        format-check layers tidy package clean windows-deps windows \
        test-windows screenshot-windows windows-package tidy-windows

all: build

deps:
	$(call install_missing,$(PACKAGES))

check-deps:
	$(call install_missing,$(PACKAGES) $(CHECK_PACKAGES))

fuzz-deps:
	$(call install_missing,$(PACKAGES) $(FUZZ_PACKAGES))

bench-deps:
	$(call install_missing,$(PACKAGES) $(BENCH_PACKAGES))
windows-deps:
	$(call install_missing,$(WINDOWS_PACKAGES))

# The Windows build, cross-built with mingw-w64 and linked statically:
# build-windows/bin/trovane-setup.exe and trovane-cmd.exe.
$(WINDOWS_BUILD)/build.ninja: | windows-deps
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake $(CMAKE_ARGS)

windows: windows-deps $(WINDOWS_BUILD)/build.ninja
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target trovane-setup trovane-cmd

# The portable tests and the Windows backend's, window's and interpreter's
# own, under Wine; then the demo run twice by both builds, whose results
# must agree (.ci/windows-demo-run, a few seconds): it needs the Linux
# programs too.
test-windows: windows-deps programs $(WINDOWS_BUILD)/build.ninja
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	$(wine_prefix)
	$(call with_wine,ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS) && \
	  .ci/windows-demo-run $(BUILD) $(WINDOWS_BUILD))

# The window while the scan batch lists the disk, and at the problems box.
screenshot-windows: windows-deps $(WINDOWS_BUILD)/build.ninja
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target win32_window_driver
	$(wine_prefix)
	$(call with_wine,wine $(WINDOWS_BUILD)/bin/win32_window_driver.exe \
	  screenshot $(WINDOWS_BUILD)/window-scanning.bmp $(WINDOWS_BUILD)/window.bmp)
	convert $(WINDOWS_BUILD)/window-scanning.bmp $(WINDOWS_BUILD)/window-scanning.png
	convert $(WINDOWS_BUILD)/window.bmp $(WINDOWS_BUILD)/window.png
	@echo "Screenshots: $(WINDOWS_BUILD)/window.png $(WINDOWS_BUILD)/window-scanning.png"

# The programs, stripped, with the README and the licence in a zip file.
windows-package: windows-deps $(WINDOWS_BUILD)/build.ninja
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target windows_package

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
check: format-check layers tidy tidy-windows

layers:
	.ci/check-layers

format-check: check-deps
	clang-format --dry-run --Werror $$(git ls-files '*.cc' '*.h')

# The Windows build's own files are not in the Linux build's compile
# commands: tidy-windows checks them with the Windows build's, clang taking
# the cross compiler's headers. The system passes handles and pointers as
# integers (a message's parameters, a control's identifier, a resource's
# number), so the check against integers made pointers is left out there.
tidy: check-deps build
	git ls-files '*.cc' | grep -v -e '^tests/' -e '/windows/' | \
	  xargs -P $(JOBS) -n 8 clang-tidy -p $(BUILD) --quiet

MINGW_CXX_HEADERS := /usr/lib/gcc/x86_64-w64-mingw32/12-posix/include/c++
tidy-windows: check-deps windows-deps $(WINDOWS_BUILD)/build.ninja
	git ls-files '*.cc' | grep '/windows/' | grep -v '^tests/' | \
	  xargs -P $(JOBS) -n 4 clang-tidy -p $(WINDOWS_BUILD) --quiet \
	    --checks=-performance-no-int-to-ptr \
	    --extra-arg=--target=x86_64-w64-mingw32 \
	    --extra-arg=-isystem$(MINGW_CXX_HEADERS) \
	    --extra-arg=-isystem$(MINGW_CXX_HEADERS)/x86_64-w64-mingw32 \
	    --extra-arg=-isystem/usr/x86_64-w64-mingw32/include

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD) \
	  $(WINDOWS_BUILD)
