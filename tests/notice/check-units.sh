#!/usr/bin/env bash
# The user's systemd timer and service as shipped: both pass `systemd-analyze verify` (the
# service's program the one built here), and the timer's calendar, as systemd reads it,
# fires at 20:30, 20:45 ... 22:45 Japan time on weekdays, whatever the machine's zone, and
# on weekends only at 20:30 (the day's deadline notice; the check asks no server then).
#   check-units.sh DIST_DIR NUMIRA_CHECK
set -euo pipefail
dist=${1:?usage: check-units.sh DIST_DIR NUMIRA_CHECK}
program=${2:?usage: check-units.sh DIST_DIR NUMIRA_CHECK}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-units: $*" >&2; exit 1; }

sed "s|@NUMIRA_CHECK_PROGRAM@|$program|" "$dist/numira-check.service.in" >"$work/numira-check.service"
cp "$dist/numira-check.timer" "$work/"
grep -q '@' "$work/numira-check.service" && fail "a placeholder is left in the service"
(cd "$work" && systemd-analyze verify numira-check.timer numira-check.service) || fail "systemd-analyze verify"
# The same service naming a program that is not there is refused: the verify above looked.
sed "s|@NUMIRA_CHECK_PROGRAM@|$work/missing/numira-check|" "$dist/numira-check.service.in" >"$work/numira-check.service"
if (cd "$work" && systemd-analyze verify numira-check.service) 2>/dev/null; then fail "verify took a missing program"; fi

timer="$work/numira-check.timer"
grep -qx 'Persistent=true' "$timer" || fail "the timer is not Persistent"
grep -qE '^RandomizedDelaySec=[1-9][0-9]*min$' "$timer" || fail "the timer has no randomised delay of minutes"
grep -qx 'Type=oneshot' "$dist/numira-check.service.in" || fail "the service is not a oneshot"

mapfile -t expressions < <(sed -n 's/^OnCalendar=//p' "$timer")
[ "${#expressions[@]}" -ge 1 ] || fail "no OnCalendar="
seen=()
weekend=0
for expr in "${expressions[@]}"; do
  [[ "$expr" == *" Asia/Tokyo" ]] || fail "\"$expr\" is not in Japan's time"
  out=$(TZ=UTC systemd-analyze calendar --iterations=40 "$expr") || fail "systemd-analyze calendar \"$expr\""
  # Each elapse is shown in the zone of TZ: UTC here, read back as Japan's time.
  while read -r when; do
    jst=$(TZ=Asia/Tokyo date -d "$when" '+%a %H:%M')
    case "$jst" in Mon*|Tue*|Wed*|Thu*|Fri*|"Sat 20:30"|"Sun 20:30") ;; *) fail "\"$expr\" fires on $jst ($when)" ;; esac
    [[ "$jst" == Sat* ]] && weekend=1
    seen+=("${jst#* }")
  done < <(sed -nE 's/^ *(Next elapse|Iter\. #[0-9]+): [A-Za-z]{3} ([0-9-]+ [0-9:]+ UTC)$/\2/p' <<<"$out")
done
[ "${#seen[@]}" -ge 40 ] || fail "systemd-analyze calendar showed ${#seen[@]} elapses"
times=$(printf '%s\n' "${seen[@]}" | sort -u | tr '\n' ' ')
[ "$times" = "20:30 20:45 21:00 21:15 21:30 21:45 22:00 22:15 22:30 22:45 " ] || fail "the timer fires at $times(JST)"
[ "$weekend" = 1 ] || fail "the timer never fires on a weekend: no deadline notice then"
echo "check-units: verified; weekdays at $times(JST), weekends at 20:30"
