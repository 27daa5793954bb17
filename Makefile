# The two set-up commands of the README, and a few more for developers.
#   make run     installs what is missing, builds and starts the program
#   make test    installs what is missing, builds and runs the whole test suite
#   make package builds the Debian package build-package/package/helvarine_VERSION_ARCH.deb
#   make bench   builds and runs the benchmark (on a file, and on a private PostgreSQL server)

BUILD ?= build
# The benchmark's private PostgreSQL server, started and stopped around it.
BENCH_SERVER ?= /tmp/helvarine-bench-pg
# Its port on the loopback address, where the live list is measured as over a network.
BENCH_PORT ?= 54329
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test bench package build format clean

run:
	scripts/setup.sh run
	cmake $(CMAKE_FLAGS) -S . -B $(BUILD)
	cmake --build $(BUILD) --target helvarine
	$(BUILD)/bin/helvarine

# The whole suite twice: a normal build with warnings as errors, then a build with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer, where any report fails its test, and the
# fuzzers run for a bounded time. Then the areas whose code runs on more than one thread once
# more, built with clang and ThreadSanitizer, where any report fails its test.
test:
	scripts/setup.sh test
	cmake $(CMAKE_FLAGS) -DHELVARINE_WERROR=ON -S . -B $(BUILD)
	cmake --build $(BUILD)
	ctest --test-dir $(BUILD) --output-on-failure
	cmake -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DHELVARINE_WERROR=ON \
	      -DHELVARINE_SANITIZE=ON -DHELVARINE_FUZZ=ON -DHELVARINE_BUILD_BENCH=OFF \
	      -S . -B $(BUILD)-sanitize
	cmake --build $(BUILD)-sanitize
	ctest --test-dir $(BUILD)-sanitize --output-on-failure
	cmake -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DHELVARINE_WERROR=ON \
	      -DHELVARINE_SANITIZE=thread -DHELVARINE_BUILD_BENCH=OFF -S . -B $(BUILD)-tsan
	cmake --build $(BUILD)-tsan
	ctest --test-dir $(BUILD)-tsan --output-on-failure

bench:
	scripts/setup.sh test
	cmake $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -S . -B $(BUILD)-bench
	cmake --build $(BUILD)-bench --target helvarine_bench
	QT_QPA_PLATFORM=offscreen $(BUILD)-bench/bench/helvarine_bench
	HELVARINE_PG_TCP_PORT=$(BENCH_PORT) tests/pg_server.sh start $(BENCH_SERVER) \
	    data/schema-postgresql.sql
	QT_QPA_PLATFORM=offscreen \
	    HELVARINE_BENCH_SERVER="host=$(BENCH_SERVER)/socket port=$(BENCH_PORT) user=postgres" \
	    HELVARINE_BENCH_SERVER_TCP="host=127.0.0.1 port=$(BENCH_PORT) user=postgres" \
	    $(BUILD)-bench/bench/helvarine_bench; status=$$?; \
	    tests/pg_server.sh stop $(BENCH_SERVER); exit $$status

# A Release build of the program alone, packaged by CPack (see packaging/).
package:
	scripts/setup.sh package
	cmake $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DHELVARINE_BUILD_TESTS=OFF \
	      -DHELVARINE_BUILD_BENCH=OFF -S . -B $(BUILD)-package
	cmake --build $(BUILD)-package
	cd $(BUILD)-package && cpack -G DEB
	@ls $(BUILD)-package/package/helvarine_*.deb

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-sanitize $(BUILD)-tsan
