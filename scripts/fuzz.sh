#!/usr/bin/env bash
# make fuzz: builds the loader fuzzers with clang (installing it from Debian's
# packages when missing) and runs every target for FUZZ_SECONDS (60 by
# default) from a seed corpus made of the assembled data tree and the kept
# regressions. Prints, per target, the runs, the coverage reached and any
# finding; exits non-zero when a target found something. Findings land in
# build-fuzz/fuzz/<target>/findings/: once fixed, copy the input into
# tests/fuzz/regressions/<target>/ so that make test replays it for good.
set -euo pipefail
cd "$(dirname "$0")/.."

FUZZ_BUILD=${FUZZ_BUILD:-build-fuzz}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
JOBS=${JOBS:-$(nproc)}
ONLY=${FUZZ_TARGETS:-}

packages=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
	dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
	echo "Installing: ${missing[*]}"
	sudo=""
	[ "$(id -u)" -ne 0 ] && sudo="sudo"
	export DEBIAN_FRONTEND=noninteractive
	$sudo apt-get update -qq
	$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

CC=clang CXX=clang++ cmake -S . -B "$FUZZ_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	-DTALVEX_FUZZ=ON -DTALVEX_TESTS=OFF -DTALVEX_BENCHMARKS=OFF >/dev/null
cmake --build "$FUZZ_BUILD" -j"$JOBS" --target talvex_fuzz data_tree

bin=$PWD/$FUZZ_BUILD/bin
fuzzer=$bin/talvex_fuzz
work=$PWD/$FUZZ_BUILD/fuzz
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# Mesa's and the window system's own leaks are listed in the fuzzer itself;
# ASan's default of aborting on the first report is what a finding is.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_odr_violation=0}

found=0
printf '%-18s %12s %8s %8s  %s\n' target runs cov features finding
while read -r name seeds suffix dict; do
	if [ -n "$ONLY" ] && ! grep -qw "$name" <<<"$ONLY"; then
		continue
	fi
	dir=$work/$name
	# Each run starts from the seeds alone, as on a fresh clone.
	rm -rf "$dir/findings" "$dir/corpus"
	mkdir -p "$dir/corpus" "$dir/findings"
	# Seeds: the shipped files the target reads, and every kept regression.
	if [ -d "$bin/$seeds" ]; then
		find "$bin/$seeds" -maxdepth 1 -type f -name "*$suffix" -exec cp -t "$dir/corpus" {} + 2>/dev/null || true
	fi
	if [ -d "tests/fuzz/regressions/$name" ]; then
		cp tests/fuzz/regressions/"$name"/* "$dir/corpus/" 2>/dev/null || true
	fi
	args=(-max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=4096 -close_fd_mask=1
		-print_final_stats=1 -artifact_prefix="$dir/findings/")
	[ "$dict" != "-" ] && args+=(-dict="$PWD/tests/fuzz/dicts/$dict")
	set +e
	(cd "$bin" && TALVEX_FUZZ_TARGET=$name "$fuzzer" "${args[@]}" "$dir/corpus") >"$dir/log.txt" 2>&1
	status=$?
	set -e
	runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/log.txt" | grep -o '[0-9]*$' || echo 0)
	cov=$(grep -oE '(DONE|INITED).* cov: [0-9]+' "$dir/log.txt" | tail -n1 | grep -oE '[0-9]+$' || echo 0)
	ft=$(grep -oE '(DONE|INITED).* ft: [0-9]+' "$dir/log.txt" | tail -n1 | grep -oE '[0-9]+$' || echo 0)
	finding=-
	if [ "$status" -ne 0 ] || [ -n "$(ls -A "$dir/findings")" ]; then
		finding="FOUND (exit $status): $(ls "$dir/findings" | head -n1) — see $dir/log.txt"
		found=1
	fi
	printf '%-18s %12s %8s %8s  %s\n' "$name" "${runs:-0}" "${cov:-0}" "${ft:-0}" "$finding"
done < <(TALVEX_FUZZ_LIST=1 "$fuzzer")

exit $found
