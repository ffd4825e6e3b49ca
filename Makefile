# Shortcuts for the scripts under scripts/ (which need nothing but bash).
BUILD ?= build
export BUILD

.PHONY: build run test bench install clean

build:
	@bash scripts/build.sh

run:
	@bash scripts/run.sh

test:
	@bash scripts/test.sh

bench: build
	@bash scripts/run-bench.sh $(BUILD)

install: build
	@cmake --install $(BUILD)

clean:
	rm -rf $(BUILD)
