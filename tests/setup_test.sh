#!/usr/bin/env bash
# The set-up of a fresh machine, checked without installing anything:
#   setup_test.sh configure CMAKE SOURCE-DIR   a plain configure needs no GoogleTest
#   setup_test.sh bootstrap SOURCE-DIR         tools/bootstrap, neither root nor able to sudo,
#                                              installs nothing and prints the command that would
set -euo pipefail
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

case $1 in
configure)
  "$2" -S "$3" -B "$tmp/build" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DTANDOR_VIEWER=OFF >/dev/null ||
    fail "a configure without BUILD_TESTING looked for GoogleTest"
  ;;
bootstrap)
  # The tools the script uses, without cmake and without sudo; run as nobody when we are root,
  # from a copy that the user nobody can read.
  chmod 755 "$tmp"
  cp "$2/tools/bootstrap" "$tmp/bootstrap"
  mkdir "$tmp/bin"
  for tool in bash env id grep find g++ make apt-get; do
    ln -s "$(command -v "$tool")" "$tmp/bin/"
  done
  as=()
  [ "$(id -u)" -ne 0 ] || as=("$(command -v setpriv)" --reuid=65534 --regid=65534 --clear-groups)
  status=0
  out=$("${as[@]}" /usr/bin/env -i PATH="$tmp/bin" "$tmp/bootstrap" solve 2>&1) || status=$?
  echo "$out"
  [ "$status" -eq 1 ] || fail "exit status $status, not 1"
  grep -q "^  su -c '\(apt-get update && \)\?apt-get install -y --no-install-recommends cmake'$" <<<"$out" ||
    fail "no command to install cmake as root"
  ;;
esac
