#!/usr/bin/env bash
# Start-up of the desktop program under Xvfb: milliseconds from exec to the main window's MapNotify on
# the root window, the processor time the program had used by then (user + system; on a busy machine the
# wall time grows with the load, this much less), and its peak resident memory (VmHWM) when the window
# appears and once the program has had SETTLE seconds to finish what it does at start. Several runs after one warm-up run (the first
# start copies the library template and writes the desktop entry, which later starts do not).
#
#   bench/startup/measure.sh [PROGRAM] [RUNS]      PROGRAM defaults to build/release/varneljs
#   env: SETTLE (seconds, default 1.5), EXTRA_ENV ("NAME=value ..." set for the program only),
#        RT=1 (as root: Xvfb and the program run with the real-time policy, so that on a machine busy with
#        builds the wall times come close to those of an idle machine)
#
# Needs Xvfb (package xvfb) and xev (package x11-utils). Prints one line per run and the range.
set -euo pipefail

here="$(cd "$(dirname "$0")/../.." && pwd)"
program="${1:-$here/build/release/varneljs}"
runs="${2:-7}"
settle="${SETTLE:-1.5}"
[ -x "$program" ] || { echo "no program at $program (cmake --preset release && cmake --build --preset release)" >&2; exit 2; }
command -v Xvfb >/dev/null && command -v xev >/dev/null || { echo "needs Xvfb and xev" >&2; exit 2; }

work="$(mktemp -d)"
nice_cmd=()
[ "${RT:-0}" = 1 ] && nice_cmd=(chrt -f 10)
# Xvfb picks a free display itself and writes its number.
${nice_cmd[@]+"${nice_cmd[@]}"} Xvfb -displayfd 5 -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 5>"$work/display" &
xvfb_pid=$!
cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "${xev_pid:-}" ] && kill "$xev_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# One home for every run, so all but the warm-up start as a returning user would.
mkdir -p "$work/home"
unset QT_QPA_PLATFORM

one_run() {
    local events="$work/events" line t0 t1
    rm -f "$events"; mkfifo "$events"
    stdbuf -oL xev -root -event substructure -event property >"$events" 2>/dev/null &
    xev_pid=$!
    exec 3<"$events"
    # xev has selected its events once it reports a change of a root window property.
    local synced=""
    for i in $(seq 100); do
        xprop -root -f _VARNEL_MEASURE 32c -set _VARNEL_MEASURE "$i"
        while IFS= read -r -t 0.1 line <&3; do
            [[ "$line" == PropertyNotify* ]] && { synced=1; break; }
        done
        [ -n "$synced" ] && break
    done
    [ -n "$synced" ] || { echo "xev did not start" >&2; exit 1; }
    t0=$EPOCHREALTIME
    env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
        XDG_CACHE_HOME="$work/home/.cache" ${EXTRA_ENV:-} ${nice_cmd[@]+"${nice_cmd[@]}"} "$program" >"$work/app.log" 2>&1 &
    app_pid=$!
    t1=""
    while IFS= read -r -t 20 line <&3; do
        if [[ "$line" == MapNotify* ]]; then t1=$EPOCHREALTIME; break; fi
    done
    exec 3<&-
    kill "$xev_pid" 2>/dev/null || true; wait "$xev_pid" 2>/dev/null || true; xev_pid=""
    [ -n "$t1" ] || { echo "no window within 20 s" >&2; cat "$work/app.log" >&2; exit 1; }
    local at_map hwm cpu
    at_map=$(awk '/^VmHWM/ {print $2}' "/proc/$app_pid/status")
    # utime and stime, fields 14 and 15 of stat (the command name in field 2 has no spaces here).
    cpu=$(awk -v hz="$(getconf CLK_TCK)" '{print int(($14 + $15) * 1000 / hz)}' "/proc/$app_pid/stat")
    sleep "$settle"
    hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$app_pid/status")
    kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; app_pid=""
    local ms=$(( (${t1/./} - ${t0/./}) / 1000 ))
    echo "$ms $cpu $((at_map / 1024)) $((hwm / 1024))"
}

one_run >/dev/null # warm-up
echo "program: $program ${EXTRA_ENV:+($EXTRA_ENV)} ${nice_cmd[@]+(${nice_cmd[*]})}; load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "run  ms-to-window  cpu-ms-to-window  peak-MB-at-window  peak-MB-after-${settle}s"
results=()
for i in $(seq "$runs"); do
    r=$(one_run)
    results+=("$r")
    read -r ms cpu m1 m2 <<<"$r"
    printf '%3d  %12d  %16d  %17d  %20d\n' "$i" "$ms" "$cpu" "$m1" "$m2"
done
printf '%s\n' "${results[@]}" | sort -n | awk '
    { ms[NR] = $1; cpu += $2; if ($4 > peak) peak = $4; if (min == "" || $4 < min) min = $4 }
    END { printf "ms to window: min %d, median %d, max %d; cpu ms to window: mean %d; peak RSS %d-%d MB\n",
                 ms[1], ms[int((NR + 1) / 2)], ms[NR], cpu / NR, min, peak }'
