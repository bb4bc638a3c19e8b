#!/usr/bin/env bash
# Installs what is missing, builds lumora with warnings as errors under
# AddressSanitizer and UBSan, and runs every test beside a private sound server.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMORA_WERROR=ON -DLUMORA_SANITIZE=ON >/dev/null
cmake --build build/test
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
scripts/with-pulse.sh ctest --test-dir build/test --output-on-failure --no-tests=error -j2 "$@"
