# The targets behind README.md's two set-up commands, scripts/run and
# scripts/test, which install the Debian packages (make among them) first:
#   make run    installs the packages, builds, and runs the analysis of an example
#   make test   installs the packages, builds, and runs every test
# Variables: BUILD (build), JOBS (2, parallel jobs of the build and the tests),
# CMAKE_FLAGS (more options for cmake's configuration).
BUILD ?= build
ASAN_BUILD ?= build-asan
COVERAGE_BUILD ?= build-coverage
CMAKE_FLAGS ?=
JOBS ?= 2

.PHONY: all deps configure build run test package uninstall sanitize coverage bench format clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-example $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package of the suite, in $(BUILD) (see README.md, "Installing the suite").
package: build
	cd $(BUILD) && cpack -G DEB

# Removes what the last `cmake --install $(BUILD)` laid out (with sudo for
# a system prefix), and updates the MIME and desktop databases there.
uninstall:
	cmake --build $(BUILD) --target uninstall

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSUITE_SANITIZE=ON -DSUITE_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# Every test again, built with gcov's counters (Debug, so that the counts
# follow the lines), then the line and branch coverage of the core code of
# each folder below: gcovr reads only the core libraries' counts, so a
# folder's windows and its tests are not counted, and branches that only
# throw are left out. The report of every file is left in
# $(COVERAGE_BUILD)/coverage.txt. A failing test fails the target after the table.
COVERAGE_FOLDERS ?= analysis/circuit analysis/engine analysis/polezero analysis/spice analysis/tolerance \
                    analysis/design analysis/shell editor/files editor/formula editor/netlist editor/library common
GCOVR = gcovr --root . --exclude-throw-branches --exclude-unreachable-branches

coverage: deps
	cmake -S . -B $(COVERAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSUITE_COVERAGE=ON -DSUITE_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(COVERAGE_BUILD) -j $(JOBS)
	find $(COVERAGE_BUILD) -name '*.gcda' -delete
	cd $(COVERAGE_BUILD) && { ctest --output-on-failure -j $(JOBS); echo $$? > ctest-status; }
	$(GCOVR) -j $(JOBS) --json $(COVERAGE_BUILD)/coverage.json $$(cat $(COVERAGE_BUILD)/coverage-objects.txt)
	$(GCOVR) -a $(COVERAGE_BUILD)/coverage.json $(addprefix --filter ,$(addsuffix /,$(COVERAGE_FOLDERS))) \
	    -o $(COVERAGE_BUILD)/coverage.txt
	@printf '%-20s %24s %24s\n' folder lines branches
	@for d in $(COVERAGE_FOLDERS) total; do \
	    if [ $$d = total ]; then f='$(addprefix --filter ,$(addsuffix /,$(COVERAGE_FOLDERS)))'; else f="--filter $$d/"; fi; \
	    $(GCOVR) -a $(COVERAGE_BUILD)/coverage.json $$f --print-summary -o /dev/null | \
	    awk -v d=$$d '/^lines:/ {l = $$2 " " $$3 "/" $$6} /^branches:/ {b = $$2 " " $$3 "/" $$6} \
	        END {printf "%-20s %24s %24s\n", d, l, b}'; \
	done
	@exit $$(cat $(COVERAGE_BUILD)/ctest-status)

bench: build
	scripts/run-bench $(BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(COVERAGE_BUILD)
