#!/usr/bin/env bash
# Runs Trovane Setup once on the bundled demo drive: a fresh copy of
# examples/demo/drive under the build folder becomes drive C, the two built
# executables go into its Run folder, and the run's databank and logs are
# shown afterwards. With --installed PREFIX the installed programs in
# PREFIX/bin run instead, given the Run folder as their argument.
# Usage: examples/run-demo.sh [--installed PREFIX] [BUILD_FOLDER]
set -euo pipefail

prefix=
if [ "${1:-}" = --installed ]; then
  prefix=$(cd "$2" && pwd)
  shift 2
fi
build=$(cd "${1:-build}" && pwd)
source_drive=$(cd "$(dirname "$0")/demo/drive" && pwd)
drive="$build/demo-drive"

rm -rf "$drive"
cp -a "$source_drive" "$drive"
if [ -n "$prefix" ]; then
  program=("$prefix/bin/trovane-setup" "$drive/Run")
else
  cp "$build/bin/trovane-setup" "$build/bin/trovane-cmd" "$drive/Run/"
  program=(./trovane-setup)
fi

echo "Drive C is $drive"
status=0
(
  cd "$drive/Run"
  # The demo's own temporary folder, whatever the caller's environment says.
  unset VEK TMP
  export VEK_DRIVE_C="$drive" TEMP="$drive/Temp"
  exec "${program[@]}"
) || status=$?

case $status in
  0) outcome="ended without problems" ;;
  1) outcome="ended with problems (the message, or something not written)" ;;
  2) outcome="ended before completion" ;;
  3) outcome="could not start" ;;
  *) outcome="failed" ;;
esac
echo
echo "Trovane Setup $outcome (exit status $status)."
echo "  databank:       $drive/Trovane"
echo "  activity log:   $drive/Run/Trovane.Log"
echo "  databank I/O:   $drive/Run/Database_IO.log"
echo "  scan batch:     $drive/Run/Map.bat"
echo "  what it said:   $drive/Run/Map.err"
echo "  disk map:       $drive/Temp/Trovane.txt"
echo
echo "The databank C:\\Trovane now holds:"
sed 's/\r$//; s/^/  /' "$drive/Trovane"
# A run that ends with the problems message still ran as it should.
[ "$status" -le 1 ]
