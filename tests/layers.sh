#!/usr/bin/env bash
# Each part of the source includes only the parts it builds on, so that no include circle can
# form: model on nothing of ours; orient, symmetry and report on model (orient also for the
# search); the placement table on model and orient, the fit tests on the table, the engine's loop
# on both, the parallel search on the engine, the front end on all of them (the fast search's
# record of the puzzle also on the target's symmetries); the driver on everything. The platform
# layer, what differs between systems, builds on nothing of ours, and any part may build on it.
set -euo pipefail
src="$1"
allowed() {
  case "$1" in
    platform/*) echo "platform" ;;
    model/*) echo "model" ;;
    orient/*) echo "model orient" ;;
    symmetry/*) echo "model symmetry" ;;
    report/*) echo "model report" ;;
    search/placement_table.*) echo "model orient search/placement_table.hpp" ;;
    search/fit_tests.*) echo "model search/placement_table.hpp search/fit_tests.hpp" ;;
    search/engine.*) echo "model orient search/placement_table.hpp search/fit_tests.hpp search/engine.hpp" ;;
    search/parallel.*) echo "model search/placement_table.hpp search/engine.hpp search/parallel.hpp" ;;
    search/fast_puzzle.*) echo "model orient symmetry search" ;;
    search/*) echo "model orient search" ;;
    driver/*) echo "model orient search symmetry report driver" ;;
  esac
}
faults=0
cd "$src"
for file in */*.hpp */*.cpp; do
  for included in $(sed -n 's/^#include "\([^"]*\)"/\1/p' "$file"); do
    ok=no
    for part in platform $(allowed "$file"); do
      case "$included" in "$part" | "$part"/*) ok=yes ;; esac
    done
    if [ "$ok" = no ]; then
      echo "$file includes $included"
      faults=$((faults + 1))
    fi
  done
done
[ "$faults" -eq 0 ] && echo "every include follows the layers"
exit $((faults > 0))
