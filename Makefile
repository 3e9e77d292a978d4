# Two commands matter: `make run` starts the program, `make test` runs every test.
.PHONY: test build

test:
	scripts/test.sh

build:
	scripts/deps.sh
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j2
