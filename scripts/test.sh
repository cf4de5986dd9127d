#!/usr/bin/env bash
# Builds and runs every test: the default build, the sanitizer build, and the
# 32-bit Windows compile check. Pass preset names to run only those.
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(default asan win32-check)
for preset in "${presets[@]}"; do
  echo "== $preset"
  cmake --workflow --preset "$preset"
done
