# Trovane Setup: every set-up step on a fresh Debian 12 machine goes through
# this file. `make run` and `make test` install what is missing first.

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

# Debian packages the build, the tests and the window need.
PACKAGES := build-essential cmake ninja-build libgtest-dev libgmock-dev \
            libbenchmark-dev qt6-base-dev qt6-qpa-plugins

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all build deps test test-asan run bench screenshot format tidy clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' \
	    || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

build: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: deps build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DTROVANE_SANITIZE=ON \
	  -DTROVANE_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

run: deps build
	examples/run-demo.sh $(BUILD)

bench: deps build
	@for b in $(BUILD)/bin/*_bench; do echo "== $$b"; $$b || exit 1; done

screenshot: deps build
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/window_screenshot $(BUILD)/window.png
	@echo "Screenshot: $(BUILD)/window.png"

format:
	clang-format -i $$(git ls-files '*.cc' '*.h')

tidy: build
	clang-tidy -p $(BUILD) --quiet $$(git ls-files '*.cc' | grep -v '^tests/')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
