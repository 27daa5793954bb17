# The two set-up commands of the README, and a few more for developers.
#   make run     installs what is missing, builds and starts the program
#   make test    installs what is missing, builds and runs the whole test suite
#   make bench   builds and runs the benchmark

BUILD ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test bench build format clean

run:
	scripts/setup.sh run
	cmake $(CMAKE_FLAGS) -S . -B $(BUILD)
	cmake --build $(BUILD) --target helvarine
	$(BUILD)/bin/helvarine

test:
	scripts/setup.sh test
	cmake $(CMAKE_FLAGS) -DHELVARINE_WERROR=ON -S . -B $(BUILD)
	cmake --build $(BUILD)
	ctest --test-dir $(BUILD) --output-on-failure

bench:
	scripts/setup.sh test
	cmake $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -S . -B $(BUILD)-bench
	cmake --build $(BUILD)-bench --target helvarine_bench
	QT_QPA_PLATFORM=offscreen $(BUILD)-bench/bench/helvarine_bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD)-bench
