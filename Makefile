# Two commands matter: `make run` starts the program, `make test` runs every test.
.PHONY: test build run demo screenshot fuzz dist

test:
	scripts/test.sh

build:
	scripts/deps.sh
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j2

# The release in build/dist/: the zip, SHA256SUMS, the winget and Scoop manifests.
dist:
	scripts/dist.sh

# Starts the program on your Wine prefix ($$WINEPREFIX, or ~/.wine).
run:
	scripts/run.sh

# Starts the program on a demo prefix under build/, seeded afresh each time.
demo:
	scripts/demo.sh

# Remakes docs/screenshot.png from the demo.
screenshot:
	scripts/screenshot.sh

# Fuzzes the portable core for FUZZ_SECONDS per target: make fuzz FUZZ_SECONDS=600
FUZZ_SECONDS ?= 60
fuzz:
	scripts/deps.sh
	scripts/fuzz.sh $(FUZZ_SECONDS)

# Measures the program on long lists against the floor of its work and
# against Wine's own two lists, its uninstaller and Add/Remove Programs;
# writes docs/performance.md. Not a test: it takes about half an hour.
.PHONY: bench
bench:
	scripts/bench.sh
