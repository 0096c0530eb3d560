#!/usr/bin/env bash
# The pictures the README shows and the AppStream metainfo lists are in docs/screenshots/, and
# scripts/screenshots still makes that same set on the display it documents (Xvfb with openbox).
# Pixels are not compared: a window that changed is a reason to run the script again, not a fault.
set -euo pipefail
checkout=$(cd "$(dirname "$0")/../.." && pwd)
shots=$checkout/docs/screenshots
metainfo=$checkout/packaging/org.vantorel.Vantorel.metainfo.xml
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
faults=()

named_in_readme=$(grep -o 'docs/screenshots/[A-Za-z0-9_-]*\.png' "$checkout/README.md" | sed 's|.*/||' | sort -u)
listed_in_metainfo=$(grep -o 'screenshots/[A-Za-z0-9_-]*\.png</image>' "$metainfo" | sed 's|</image>||; s|.*/||' | sort -u)
[ -n "$named_in_readme" ] || faults+=("the README shows no screenshot")
for name in $named_in_readme; do
  [ -f "$shots/$name" ] || faults+=("the README shows $name, which docs/screenshots/ lacks")
done
[ "$listed_in_metainfo" = "$named_in_readme" ] \
  || faults+=("the metainfo lists [$(echo "$listed_in_metainfo")], the README shows [$(echo "$named_in_readme")]")
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" >"$work/validate.log" 2>&1 \
    || faults+=("appstreamcli refuses the metainfo: $(cat "$work/validate.log")")
fi

if [ ${#faults[@]} -eq 0 ]; then
  # A second try where the first fails: now and then the program's first window is slow to reach
  # a fresh virtual display, which says nothing about the script.
  for try in 1 2; do
    status=0
    rm -rf "$work/made"
    timeout 150 "$checkout/scripts/screenshots" --check "$work/made" || status=$?
    [ "$status" -ne 77 ] || exit 77
    [ "$status" -ne 0 ] || break
    echo "scripts/screenshots --check failed (status $status) on try $try"
  done
  if [ "$status" -ne 0 ]; then
    faults+=("scripts/screenshots --check failed (status $status)")
  else
    made=$(cd "$work/made" && ls)
    committed=$(cd "$shots" && ls)
    [ "$made" = "$committed" ] || faults+=("the script makes [$(echo "$made")], docs/screenshots/ holds [$(echo "$committed")]")
  fi
fi

for fault in "${faults[@]}"; do echo "FAIL: $fault"; done
[ ${#faults[@]} -eq 0 ]
