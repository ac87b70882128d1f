#!/bin/bash
# Makes the release zip, unpacks it into an empty folder and runs release_tests.exe on that
# folder under Wine: what the zip holds must be all that the programs need.
#   release_test.sh BUILD ZIP_NAME TESTS_EXE
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
name="$2"
tests="$3"

rm -f "$build/release/$name.zip"
cpack --config "$build/CPackConfig.cmake" >/dev/null
zip="$build/release/$name.zip"
if [ ! -f "$zip" ]; then
    echo "release_test: CPack made no $zip" >&2
    exit 1
fi

unpacked="$(mktemp -d "$build/release-test.XXXXXX")"
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$zip")
folder="$unpacked/$name"
if [ ! -d "$folder" ]; then
    echo "release_test: the zip does not unpack into one folder $name" >&2
    exit 1
fi
echo "release_test: $zip unpacked into $folder"

VANTRO_RELEASE_FOLDER="Z:${folder//\//\\}" "$here/../e2e/wine-session.sh" run "$build" "$tests"
