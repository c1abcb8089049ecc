# The two commands: `make run` (GUI on the simulated mesh) and `make test`.
BUILD    ?= build
JOBS     ?= 2
PACKAGES := cmake ninja-build g++ clang python3 qt6-base-dev qt6-serialport-dev libqt6serialport6-dev \
            libgl1-mesa-dev libgtest-dev libgmock-dev libbenchmark-dev socat xvfb

.PHONY: all deps configure build run test asan fuzz format clean

all: build

# Installs only what this machine lacks (Debian 12; needs root or sudo).
deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/orvalis --demo

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure --timeout 300

# Tests under AddressSanitizer and UBSan.
asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVALIS_SANITIZE=ON -DORVALIS_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan -j $(JOBS) --output-on-failure --timeout 600

# libFuzzer targets (clang); run one with e.g. build-fuzz/fuzz/fuzz_dispatcher -max_total_time=60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVALIS_FUZZ=ON -DORVALIS_GUI=OFF -DORVALIS_TESTS=OFF -DORVALIS_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-asan build-fuzz
