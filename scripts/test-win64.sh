#!/usr/bin/env bash
# The win64 build's tests under Wine; see scripts/test-wine.sh.
# Usage: scripts/test-win64.sh [build-folder] [extra ctest arguments...]
exec "$(dirname "${BASH_SOURCE[0]}")/test-wine.sh" win64 "$@"
