#!/usr/bin/env bash
# Configures and builds Tarnview into ./build: the programs alone, or with --tests everything
# (the test programs and benchmarks too, about as much again).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "$#" -gt 1 ] || { [ "$#" -eq 1 ] && [ "$1" != "--tests" ]; }; then
    echo "usage: scripts/build.sh [--tests]" >&2
    exit 2
fi
if [ "${1:-}" = "--tests" ]; then
    cmake --build build -j"$(nproc)"
else
    cmake --build build -j"$(nproc)" --target tarnview tarnreg tarnras tarnras_sim
fi
