# The two commands of this project:
#   make demo   installs what is missing, builds, and runs the demo client under Wine
#   make test   installs what is missing, configures, builds and runs every test
# and the release: make dist writes dist/Sirel-<version>.zip and the two installers.
# Other targets are steps of those two.

JOBS ?= $(shell nproc)

.PHONY: test x86-skips-reset demo deps native native-asan win64 win32 native-tests asan-tests wine-tests static-checks dist reproducible bench clean

# The last line says which x86 checks were skipped, and why: on a machine that runs no 32-bit
# programs (or with SIREL_NO_X86=1) the x86 DLL is built and checked statically, not run.
test: x86-skips-reset deps native-tests asan-tests win32 static-checks dist reproducible wine-tests
	@echo "ALL TESTS PASSED"
	@bash scripts/probe-x86.sh --summary

# Each check skipped for want of 32-bit programs notes itself in build/x86-skipped.txt.
x86-skips-reset:
	@rm -f build/x86-skipped.txt

deps:
	bash scripts/install-deps.sh

native:
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

native-asan:
	cmake --preset native-asan >/dev/null
	cmake --build --preset native-asan -j $(JOBS)

win64:
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS)

win32:
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

native-tests: native
	ctest --test-dir build/native --output-on-failure -j $(JOBS)

asan-tests: native-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir build/native-asan --output-on-failure -j $(JOBS)

static-checks: win32 win64
	bash scripts/static-checks.sh

# Both DLLs in their Release builds (only the DLL targets), then the archive and the installers.
dist: deps
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 --target Sirel -j $(JOBS)
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 --target Sirel -j $(JOBS)
	bash scripts/make-dist.sh

# A second release built in another folder from the same files, compared with dist/ file by file.
reproducible: dist
	JOBS=$(JOBS) bash scripts/check-reproducible.sh

# Both builds, each in its own 64-bit prefix: x64 with the 64-bit loader, x86 with the 32-bit
# one (skipped, with the reason, on a machine that runs no 32-bit programs). A failure of the
# first does not stop the second.
# The release tests (tests/wine.d/release-*.sh) install from dist/.
wine-tests: win64 win32 dist
	@status=0; for build in build/win64 build/win32; do \
	  bash scripts/run-wine-tests.sh $$build || status=1; \
	done; exit $$status

demo: deps win64
	bash scripts/run-demo.sh build/win64

bench: deps native win64 win32
	./build/native/bench/sirel_core_bench
	bash scripts/run-wine-bench.sh build/win64 build/win32

clean:
	rm -rf build dist
