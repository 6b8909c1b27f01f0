# Quaffometer: every command sets up what it needs (as root on Debian 12).
.PHONY: all build test run bench fuzz package reproduce format coverage mutate clean

all: build

build:
	tools/build.sh

test:
	tools/test.sh

run:
	tools/run.sh

bench:
	tools/bench.sh

fuzz:
	tools/fuzz.sh

package:
	tools/package.sh

reproduce:
	tools/reproduce.sh

format:
	tools/format.sh

coverage:
	tools/coverage.sh

mutate:
	tools/mutate.sh

clean:
	rm -rf build
