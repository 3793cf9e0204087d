# The two set-up commands: `make run` (build and open the editor on the demo) and
# `make test` (build and pass the tests). Everything else is for developers.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 7200
REALINPUT_SOAK_PRESSES ?= 20000

.PHONY: deps configure build run test asan-test tsan-test bench fuzz fuzz-ci soak clean

deps:
	@bash scripts/deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd resources/demo && ../../$(BUILD)/app/qeb-editor

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

asan-test: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSX_SANITIZE=ON -DSX_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp ctest --output-on-failure -j $(JOBS)

# The document layer's suite, whose tokenizing of long documents takes two threads.
tsan-test: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSX_SANITIZE_THREAD=ON -DSX_APP=OFF -DSX_BENCH=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_document
	TSAN_OPTIONS=halt_on_error=1 $(TSAN_BUILD)/tests/test_document

bench: build
	@echo "Benchmarks are built in $(BUILD)/bench; see README for how to run them."

fuzz-ci: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSX_FUZZ=ON -DSX_BENCH=OFF -DSX_TESTS=OFF -DSX_APP=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	bash scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

fuzz:
	$(MAKE) fuzz-ci FUZZ_SECONDS=1800

# The random-use soak of the main window under the sanitizers, for SOAK_SECONDS, with a
# fresh seed (printed; SOAK_SEED=n replays one); then REALINPUT_SOAK_PRESSES real key
# presses against the sanitized program on Xvfb (REALINPUT_SEED=n replays a run).
soak: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSX_SANITIZE=ON -DSX_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target test_soak
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp SOAK_SECONDS=$(SOAK_SECONDS) SOAK_SEED=$${SOAK_SEED:-$$(date +%s)} \
	  ./tests/test_soak --gtest_filter=SoakTest.*
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target qeb-editor
	REALINPUT_SOAK_PRESSES=$(REALINPUT_SOAK_PRESSES) REALINPUT_SEED=$${REALINPUT_SEED:-$$(date +%s)} \
	  tests/desktop/run-with-display.sh tests/realinput/soak.sh $(ASAN_BUILD)/app/qeb-editor resources/demo

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
