#!/usr/bin/env bash
# Sets up, builds and starts Vantrel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
exec build/release/vantrel "$@"
