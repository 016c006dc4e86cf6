# What a person types: make build | run | test | bench | gallery | fuzz | clean.
# Every target first installs the Debian packages it needs when they are missing.

BUILD      ?= build
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

# Everything the build, the tests, the tuner and the benchmarks use.
PACKAGES = cmake g++ make pkg-config \
           libgtest-dev libgmock-dev libbenchmark-dev \
           libwxgtk3.2-dev portaudio19-dev libasound2-dev libsndfile1-dev libfftw3-dev \
           xvfb xauth fonts-liberation2 imagemagick
FUZZ_PACKAGES = clang libclang-rt-14-dev

# GUI tests and the tuner need a display; without one they run under Xvfb.
ifeq ($(strip $(DISPLAY)),)
  XRUN = xvfb-run -a -s "-screen 0 1600x1200x24"
else
  XRUN =
endif

.PHONY: all deps build run test bench gallery fuzz fuzz-deps clean

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

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && $(XRUN) ctest --output-on-failure -j $(JOBS)

run: build
	@./tools/run-tuner.sh $(BUILD)

bench: build
	@./tools/run-benchmarks.sh $(BUILD)

gallery: build
	$(XRUN) $(BUILD)/bin/zelvo-gallery $(BUILD)/gallery
	@echo "Pictures written to $(BUILD)/gallery/"

fuzz: fuzz-deps
	cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DZELVO_FUZZ=ON -DZELVO_BUILD_TESTS=OFF -DZELVO_BUILD_BENCH=OFF -DZELVO_BUILD_TOOLS=OFF \
	  -DZELVO_COMPONENTS="analysis;tuning;persistence"
	cmake --build $(BUILD)-fuzz -j $(JOBS)
	./fuzz/run-fuzzers.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD)-fuzz
