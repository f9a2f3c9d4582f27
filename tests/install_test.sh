#!/usr/bin/env bash
# Installs a build into a temporary prefix, checks the layout, and runs the installed program in
# a temporary directory to its first unique solution, where it is stopped with SIGTERM (a
# program started in the background by a script ignores SIGINT).
# Usage: install_test.sh CMAKE BUILD-DIR VIEWER-PAGE-BUILT(1 or 0)
set -euo pipefail
cmake=$1 build=$2 viewer=$3
tmp=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$tmp/prefix" >/dev/null
solver=$tmp/prefix/bin/tandor-cube-solver
[ -x "$solver" ] || fail "no bin/tandor-cube-solver"
manual=$tmp/prefix/share/man/man1/tandor-cube-solver.1.gz
[ -f "$manual" ] || fail "no compressed manual page at share/man/man1/"
man_text=$(gzip -dc "$manual")
version=$("$solver" --version | sed -n 's/^tandor-cube-solver //p')
grep -q "^\.TH TANDOR-CUBE-SOLVER 1 .*\"Tandor Cube Solver $version\"" <<<"$man_text" ||
  fail "no manual page of version $version at share/man/man1/tandor-cube-solver.1.gz"
# The manual page describes every option that --help lists, in both its forms.
for option in $("$solver" --help | sed -n 's/^  \(-[a-zA-Z]\), \(--[a-z-]*\) .*/\1,\2/p'); do
  short=${option%,*} long=${option#*,}
  grep -qxF ".BR ${short//-/\\-} \", \" ${long//-/\\-}" <<<"$man_text" || fail "the manual page does not describe $option"
done
[ -f "$tmp/prefix/share/doc/tandor-cube-solver/copyright" ] || fail "no copyright file"
page=$tmp/prefix/share/tandor-cube-solver/tandor-cube-viewer.html
# The manual page names the page under the prefix it was installed to.
grep -qxF ".I $page" <<<"$man_text" || fail "the manual page does not name $page"
viewer_line="see the solutions: open $page in a browser and pick TandorCubeSolutions.txt"
if [ "$viewer" = 1 ]; then
  grep -q '<html' "$page" || fail "no viewer page at share/tandor-cube-solver/"
  grep -q 'Copyright 2010-[0-9]* Three.js Authors' "$page" || fail "the viewer page lost three.js's notice"
  "$solver" --help | grep -qxF "  open $page" || fail "--help does not name $page"
fi

mkdir "$tmp/run"
cd "$tmp/run"
"$solver" </dev/null >console.txt 2>errors.txt &
pid=$!
until grep -q '^Solution 1$' console.txt; do
  kill -0 "$pid" 2>/dev/null || fail "the installed program ended before its first solution: $(cat errors.txt)"
  sleep 0.1
done
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 143 ] || fail "the stopped run ended with status $status, not by SIGTERM"
head -n 1 TandorCubeSolutions.txt | grep -qx 'Tandor Cube Solver' || fail "no solutions file in the working directory"
grep -q '^Solution 1$' TandorCubeSolutions.txt || fail "the solutions file lacks the first solution"
if [ "$viewer" = 1 ]; then
  grep -qxF "$viewer_line" errors.txt || fail "the interrupt note does not point to the viewer page: $(cat errors.txt)"
fi
echo "installed into a temporary prefix; the installed program reached its first solution"
