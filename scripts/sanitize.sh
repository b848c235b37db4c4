#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ (a build
# of its own, nothing shared with build/) and runs every test there. Any report of either fails
# the test that caused it.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer" >/dev/null
cmake --build "$top/build-asan" --parallel "$(nproc)"
cd "$top/build-asan"
# The leak check's own record of dynamic TLS misreads the blocks this glibc allocates with malloc,
# and its tracer then crashes at the end of a test, as the heap happens to lie; those blocks are
# heap chunks that the check reaches from each thread's TLS anyway.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:intercept_tls_get_addr=0:suppressions=$top/scripts/asan.supp"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 1200
