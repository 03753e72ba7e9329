# What the tests of the korunex tools share; sourced with the test's own
# arguments KORUNEX SOURCE_DIR: a scratch folder (removed at the end, read-only
# parts included) and a tally of failures.
set -u
korunex=$1
source_dir=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
