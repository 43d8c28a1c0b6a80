#!/usr/bin/env bash
# Set-up on a fresh Debian 12 machine, from nothing but git and this repo.
#   ./setup.sh run       install what is missing, build, run the permafrost example
#   ./setup.sh test      install what is missing, build, pass every test
#   ./setup.sh sanitize  build in build-asan/ with address and undefined-behaviour
#                        sanitizers and pass every test there
#   ./setup.sh fuzz [S]  build the fuzz harnesses in build-fuzz/ and run each for S
#                        seconds (default 60) from a copy of its seed corpus fuzz/corpus/NAME/
# Packages are installed with apt-get when run as root; otherwise the one
# apt-get line to run is printed (and the script stops if the build needs it).
set -euo pipefail
cd "$(dirname "$0")"

packages=(gcc g++ cmake make libgtest-dev libbenchmark-dev libcli11-dev clang
          libclang-rt-14-dev python3-dev pybind11-dev python3-pybind11 python3-numpy python3-pandas
          python3-matplotlib python3-distributed python3-pytest python3-xarray
          python3-netcdf4 python3-tqdm)

# Installs the missing packages; stops if one of "$@" is missing and cannot be.
install_missing() {
  local missing=() pkg
  for pkg in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
    return 0
  fi
  echo "missing packages; as root, run:"
  echo "  apt-get update && apt-get install -y ${missing[*]}"
  for pkg in "$@"; do
    if [[ " ${missing[*]} " == *" $pkg "* ]]; then exit 1; fi
  done
}

jobs=${JOBS:-2}

case "${1:-}" in
  run)
    install_missing gcc g++ cmake make libcli11-dev
    cmake -S . -B build
    cmake --build build -j"$jobs" --target v2_patchy_freq_loop
    mkdir -p out
    status=0
    (cd out && ../build/v2_patchy_freq_loop < ../examples/permafrost.deck > report.txt) || status=$?
    echo "exit status $status (40 is a normal end)"
    echo "results of the permafrost example: $(pwd)/out/ (report: out/report.txt," \
         "velocity: out/vp_eq.phiw, 1000/Q: out/1000_over_q_eq.phiw)"
    [ "$status" -eq 40 ]
    ;;
  test)
    install_missing "${packages[@]}"
    cmake -S . -B build
    cmake --build build -j"$jobs"
    ctest --test-dir build -j"$jobs" --output-on-failure
    ;;
  sanitize)
    install_missing gcc g++ cmake make libcli11-dev libgtest-dev
    cmake -S . -B build-asan -DV2PFL_SANITIZE=ON
    cmake --build build-asan -j"$jobs"
    ctest --test-dir build-asan -j"$jobs" --output-on-failure
    ;;
  fuzz)
    install_missing clang libclang-rt-14-dev cmake make
    seconds=${2:-60}
    cmake -S . -B build-fuzz -DV2PFL_FUZZ=ON -DBUILD_TESTING=OFF \
          -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
    for harness in fuzz/*.cpp; do
      name=$(basename "$harness" .cpp)
      cmake --build build-fuzz -j"$jobs" --target "fuzz_$name"
      corpus=$(mktemp -d)
      [ -d fuzz/corpus/"$name" ] && cp fuzz/corpus/"$name"/* "$corpus"/
      echo "fuzzing $name for $seconds s"
      status=0
      build-fuzz/fuzz/fuzz_"$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix=build-fuzz/ -print_final_stats=1 "$corpus" > build-fuzz/"$name".log 2>&1 \
        || status=$?
      rm -rf "$corpus"
      grep -E '^(stat::number_of_executed_units|==|SUMMARY|Done)' build-fuzz/"$name".log || true
      if [ "$status" -ne 0 ]; then
        tail -40 build-fuzz/"$name".log
        echo "fuzz_$name found a failing input: build-fuzz/crash-* (or leak-*, timeout-*)"
        exit 1
      fi
    done
    ;;
  *)
    sed -n '2,12p' "$0"
    exit 2
    ;;
esac
