# What a person types: make run | test | build | lint | format | bench | accuracy | gallery |
# fuzz | check-asan | check-tsan | install | package | windows-check | clean.
# Every target first installs the Debian packages it needs when they are missing.

BUILD      ?= build
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

# Everything the build, the tests, the tuner and the benchmarks use.
PACKAGES = cmake g++ make pkg-config \
           libgtest-dev libgmock-dev libbenchmark-dev \
           libwxgtk3.2-dev portaudio19-dev libasound2-dev libsndfile1-dev libfftw3-dev libcairo2-dev \
           xvfb xauth openbox x11-utils fonts-liberation2 imagemagick clang-format clang-tidy \
           librsvg2-bin desktop-file-utils appstream dpkg-dev file \
           fonts-dejavu-core python3-fonttools libasound2-plugins
FUZZ_PACKAGES = clang libclang-rt-14-dev
# The Windows cross-build of the core and Wine to run its tests.
WINDOWS_PACKAGES = g++-mingw-w64-x86-64-posix wine wine64 googletest
WINDOWS_BUILD ?= build-windows
# The accuracy benchmark renders instrument notes and measures them.
ACCURACY_PACKAGES = fluidsynth fluid-soundfont-gm python3-numpy

# Off-screen pictures run under a private X server, never on the user's display.
XRUN = tests/support/run-under-xvfb.sh

.PHONY: all deps build run test lint format bench accuracy accuracy-deps gallery fuzz fuzz-deps \
        check-asan check-tsan clean install package windows-check

all: build

define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing || exit 1; \
	  else \
	    echo "Missing packages. Run this first:"; \
	    echo "  sudo apt-get update && sudo apt-get install -y$$missing"; \
	    exit 1; \
	  fi; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

fuzz-deps: deps
	$(call install_missing,$(FUZZ_PACKAGES))

accuracy-deps: deps
	$(call install_missing,$(ACCURACY_PACKAGES))

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	@./tools/check-format.sh
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Installs under PREFIX (default /usr/local); DESTDIR is honoured for staging.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A .deb of the programs, their resources, the desktop entry, icons and man
# pages, with dependencies read off the binaries; written to $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/*.deb

# The wx-free core (units, analysis, tuning, persistence) and its tests built
# for Windows with MinGW-w64 and run under Wine.
windows-check:
	$(call install_missing,$(WINDOWS_PACKAGES))
	cmake -S windows -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS)

# The tuner needs a display: say so before building anything, then build
# only the tuner.
run: deps
	@./tools/run-tuner.sh --check-display
	@$(MAKE) --no-print-directory $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target zelvo-tuner
	@./tools/run-tuner.sh $(BUILD)

# The format check, then clang-tidy over every source of the build.
lint: build
	@./tools/check-format.sh
	$(BUILD)/bin/zelvo-include-check . $(BUILD)/include-graph.txt
	@./tools/run-clang-tidy.sh $(BUILD)

format: deps
	@./tools/check-format.sh --fix

bench: build
	@./tools/run-benchmarks.sh $(BUILD)

# Readings of rendered instrument notes and exact tones against their true
# pitch, per mode, quality and rate (takes minutes; not part of make test).
# The rendered set stays in $(BUILD)/accuracy; delete it to render it anew.
accuracy: accuracy-deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target zelvo-analyze
	/usr/bin/python3 tools/accuracy/accuracy.py --analyze $(BUILD)/bin/zelvo-analyze --out $(BUILD)/accuracy

# Once at scale 1 and once as a HiDPI desktop at scale 2 shows it.
gallery: build
	$(XRUN) $(BUILD)/bin/zelvo-gallery $(BUILD)/gallery
	GDK_SCALE=2 $(XRUN) $(BUILD)/bin/zelvo-gallery $(BUILD)/gallery/scale2
	@echo "Pictures written to $(BUILD)/gallery/ and, at scale 2, $(BUILD)/gallery/scale2/"

fuzz: fuzz-deps
	cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DZELVO_FUZZ=ON -DZELVO_BUILD_TESTS=OFF -DZELVO_BUILD_BENCH=OFF
	cmake --build $(BUILD)-fuzz -j $(JOBS) --target zelvo_fuzzers
	./fuzz/run-fuzzers.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer,
# and with ThreadSanitizer, each in a folder of its own (build-asan,
# build-tsan). Third-party reports are suppressed by tests/sanitizers/*.supp.
SANITIZER_JOBS ?= 2

check-asan: deps
	./tools/run-sanitizers.sh asan $(SANITIZER_JOBS)

check-tsan: deps
	./tools/run-sanitizers.sh tsan $(SANITIZER_JOBS)

clean:
	rm -rf $(BUILD) $(BUILD)-fuzz build-asan build-tsan $(WINDOWS_BUILD)
