#!/usr/bin/env bash
# The source tree's layout holds: the loader's stages point one way (read, check, scene), the
# programs know the loader by its public header alone, and no source folder has a name that
# tools take for build output.
#   layout_check.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 1
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

includes() { # folder, then the pattern of includes it may not have
    grep -rnE "^#include \"Tarnel/($2)/" "$1" || true
}
found=$(includes Tarnel/Read 'Check|Scene')
[ -z "$found" ] || fail "the readers include a later stage:"$'\n'"$found"
found=$(includes Tarnel/Check 'Scene')
[ -z "$found" ] || fail "the check includes the scene builder:"$'\n'"$found"
found=$(grep -rnE '^#include "Tarnel/' app | grep -v '"Tarnel/Tarnel.h"' || true)
[ -z "$found" ] || fail "the programs include the loader's inner headers:"$'\n'"$found"
found=$(find app Tarnel -type d -iname build)
[ -z "$found" ] || fail "a source folder is named as build output: $found"

[ "$failures" = 0 ] && echo "ok: the layout holds"
exit $((failures != 0))
