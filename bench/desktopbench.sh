#!/bin/bash
# SPDX-FileCopyrightText: 2026 KZemvik developers
# SPDX-License-Identifier: GPL-2.0-or-later
#
# Desktop start-up benchmark: start-up time (process start to the signed-in window showing the
# whole buddy list) and peak memory (max RSS) of kzemvik against the local service, beside the
# same two figures for Pidgin on a buddy list of the same size, in one run under one Xvfb.
# Everything runs on 127.0.0.1 in a temporary directory; all it starts is stopped at the end.
# See bench/README.md.
set -euo pipefail

SCRIPT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SOURCE_DIR=$(dirname "$SCRIPT_DIR")

RUNS=3
WARMUP=1
BUDDIES=5000
GROUP_COUNT=50
SETTLE=2
TIMEOUT=60
BUILD_DIR=
KEEP=0
KZEMVIK_ENV=()
PASSWORD=bench1234
OWNER_NAME=bench
DOMAIN=zemvik.example

usage() {
    cat <<EOF
usage: $(basename "$0") [options]
  --build DIR     build tree with bin/kzemvik and bin/zemvik-localservice
                  (default: build-release, else build, under the source tree)
  --runs N        measured runs of each program (default $RUNS); medians are printed
  --warmup N      unmeasured runs of each program first (default $WARMUP)
  --buddies N     buddies on the list (default $BUDDIES)
  --groups N      groups they are spread over (default $GROUP_COUNT)
  --settle S      seconds a program keeps running after its window is shown, so the peak
                  memory covers the first drawing of the list (default $SETTLE)
  --timeout S     seconds a start-up may take before the run fails (default $TIMEOUT)
  --keep          keep the temporary directory (logs, generated data) and print its path
  --kzemvik-env VAR=VALUE
                  extra environment for kzemvik only (repeatable; for experiments, e.g.
                  QT_XCB_GL_INTEGRATION=none); the figures are then labelled with it
Installs pidgin, time, xdotool, x11-utils, xvfb and xauth with apt-get when missing (as root).
EOF
}

die() {
    echo "desktopbench: $*" >&2
    exit 1
}

ARGS=("$@")
while [ $# -gt 0 ]; do
    case "$1" in
    --build) BUILD_DIR=${2:?}; shift 2 ;;
    --runs) RUNS=${2:?}; shift 2 ;;
    --warmup) WARMUP=${2:?}; shift 2 ;;
    --buddies) BUDDIES=${2:?}; shift 2 ;;
    --groups) GROUP_COUNT=${2:?}; shift 2 ;;
    --settle) SETTLE=${2:?}; shift 2 ;;
    --timeout) TIMEOUT=${2:?}; shift 2 ;;
    --keep) KEEP=1; shift ;;
    --kzemvik-env)
        [[ "${2:-}" == [A-Za-z_]*=* ]] || die "--kzemvik-env takes VAR=VALUE"
        KZEMVIK_ENV+=("$2")
        shift 2
        ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
    esac
done
for n in "$RUNS" "$WARMUP" "$BUDDIES" "$GROUP_COUNT" "$SETTLE" "$TIMEOUT"; do
    [[ "$n" =~ ^[0-9]+$ ]] || die "\"$n\" is not a whole number"
done
if [ "$RUNS" -lt 1 ] || [ "$GROUP_COUNT" -lt 1 ] || [ "$BUDDIES" -lt "$GROUP_COUNT" ]; then
    die "need --runs >= 1 and --buddies >= --groups >= 1"
fi
[ "$BUDDIES" -le 99999 ] || die "at most 99999 buddies"

if [ -z "$BUILD_DIR" ]; then
    for dir in "$SOURCE_DIR/build-release" "$SOURCE_DIR/build"; do
        if [ -x "$dir/bin/kzemvik" ]; then
            BUILD_DIR=$dir
            break
        fi
    done
fi
[ -n "$BUILD_DIR" ] || die "no build tree with bin/kzemvik; build one: cmake --preset release && ninja -C build-release kzemvik zemvik-localservice"
KZEMVIK=$BUILD_DIR/bin/kzemvik
SERVICE=$BUILD_DIR/bin/zemvik-localservice
[ -x "$KZEMVIK" ] || die "$KZEMVIK is missing"
[ -x "$SERVICE" ] || die "$SERVICE is missing"

# ---------------------------------------------------------------------------------------------
# Outside the display: install what is missing, then run again under a private Xvfb.
if [ -z "${DESKTOPBENCH_UNDER_XVFB:-}" ]; then
    missing=()
    command -v pidgin > /dev/null || missing+=(pidgin)
    [ -x /usr/bin/time ] || missing+=(time)
    command -v xdotool > /dev/null || missing+=(xdotool)
    command -v xwininfo > /dev/null || missing+=(x11-utils)
    command -v xvfb-run > /dev/null || missing+=(xvfb)
    command -v xauth > /dev/null || missing+=(xauth)
    if [ ${#missing[@]} -gt 0 ]; then
        [ "$(id -u)" = 0 ] || die "missing packages: ${missing[*]} (run as root, or: apt-get install -y --no-install-recommends ${missing[*]})"
        echo "desktopbench: installing ${missing[*]}" >&2
        export DEBIAN_FRONTEND=noninteractive
        if ! apt-get install -y --no-install-recommends "${missing[@]}" > /dev/null; then
            apt-get update -qq
            apt-get install -y --no-install-recommends "${missing[@]}" > /dev/null
        fi
    fi
    # xvfb-run stops its Xvfb when the inner run ends, also on an interrupt.
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" env DESKTOPBENCH_UNDER_XVFB=1 bash "${BASH_SOURCE[0]}" "${ARGS[@]}"
fi

# ---------------------------------------------------------------------------------------------
# Under Xvfb.
TMP_BASE=${TMPDIR:-/tmp}
# The service database takes one commit per account: a memory-backed directory keeps that quick.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    TMP_BASE=/dev/shm
fi
WORK=$(mktemp -d "$TMP_BASE/desktopbench.XXXXXX")
SERVICE_PID=
CLIENT_TIME_PID=
DISPATCH_PORT=
WEB_KEYS=

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    if [ -n "$CLIENT_TIME_PID" ]; then
        stop_measured "$CLIENT_TIME_PID"
    fi
    exec 9>&- 2> /dev/null || true
    if [ -n "$SERVICE_PID" ] && kill -0 "$SERVICE_PID" 2> /dev/null; then
        kill "$SERVICE_PID" 2> /dev/null || true
        wait "$SERVICE_PID" 2> /dev/null || true
    fi
    if [ "$KEEP" = 1 ]; then
        echo "desktopbench: kept $WORK" >&2
    else
        rm -rf "$WORK"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Ends a program started under /usr/bin/time (its only child) and waits for time's report.
stop_measured() {
    local time_pid=$1 child
    child=$(pgrep -P "$time_pid" || true)
    if [ -n "$child" ]; then
        kill -TERM "$child" 2> /dev/null || true
        for _ in $(seq 50); do
            kill -0 "$time_pid" 2> /dev/null || break
            sleep 0.1
        done
        kill -KILL "$child" 2> /dev/null || true
    fi
    wait "$time_pid" 2> /dev/null || true
}

now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

buddy_id() {
    printf 'buddy%05d@%s' "$1" "$DOMAIN"
}

#! The group a buddy sits in: buddies go round the groups in turn.
group_name() {
    echo "그룹 $((($1 - 1) % GROUP_COUNT + 1))"
}

# ---------------------------------------------------------------------------------------------
# The local service with one account holding the whole list.
populate_service() {
    local data=$1 i
    mkdir -p "$data"
    echo "desktopbench: generating an account with $BUDDIES buddies in $GROUP_COUNT groups..." >&2
    "$SERVICE" --data "$data" add-account "$OWNER_NAME@$DOMAIN" "$PASSWORD" "벤치 사용자" > /dev/null
    for ((i = 1; i <= BUDDIES; i++)); do
        "$SERVICE" --data "$data" add-account "$(buddy_id "$i")" "$PASSWORD" "$(printf '친구 %05d' "$i")" > /dev/null
    done
    for ((i = 1; i <= BUDDIES; i++)); do
        "$SERVICE" --data "$data" add-buddy "$OWNER_NAME@$DOMAIN" "$(buddy_id "$i")" "$(group_name "$i")" > /dev/null
    done
}

start_service() {
    local data=$1 line i
    # The service ends by itself when this script goes away: its standard input is our fd 9.
    mkfifo "$WORK/service.in"
    "$SERVICE" --data "$data" --listen 127.0.0.1 --dispatch-port 0 --web-port 0 --no-bots --watch-stdin \
        < "$WORK/service.in" > "$WORK/service.out" 2> "$WORK/service.err" &
    SERVICE_PID=$!
    exec 9> "$WORK/service.in"
    for ((i = 0; i < 200; i++)); do
        line=$(grep -m1 '^dispatch ' "$WORK/service.out" || true)
        if [ -n "$line" ]; then
            DISPATCH_PORT=${line##*:}
            # The web pages, where the service serves them; otherwise the local default stays.
            line=$(grep -m1 '^web ' "$WORK/service.out" || true)
            if [ -n "$line" ]; then
                WEB_KEYS=$(printf '%s=%s\n' Web_Host "${line#web }" Portal_Host "${line#web }" Mavrelo_Host "${line#web }")
            fi
            return 0
        fi
        kill -0 "$SERVICE_PID" 2> /dev/null || break
        sleep 0.05
    done
    cat "$WORK/service.err" >&2
    die "the local service did not start"
}

write_kzemvik_home() {
    local home=$1
    mkdir -p "$home/.config"
    cat > "$home/.config/kzemvikrc" << EOF
[Config_Service]
Dispatch_Host=127.0.0.1
Dispatch_Port=$DISPATCH_PORT
$WEB_KEYS
[Login]
ID=$OWNER_NAME
Domain=$DOMAIN
Password=$PASSWORD
AutoLogin=true
EOF
    chmod 600 "$home/.config/kzemvikrc"
}

# ---------------------------------------------------------------------------------------------
# Pidgin: the same list in its documented buddy list file, on one disabled XMPP account.
PIDGIN_ACCOUNT="$OWNER_NAME@$DOMAIN/desktopbench"

write_pidgin_home() {
    local purple=$1/.purple
    mkdir -p "$purple"
    chmod 700 "$purple"
    cat > "$purple/accounts.xml" << EOF
<?xml version='1.0' encoding='UTF-8' ?>
<account version='1.0'>
 <account>
  <protocol>prpl-jabber</protocol>
  <name>$PIDGIN_ACCOUNT</name>
  <settings>
   <setting name='connect_server' type='string'>127.0.0.1</setting>
  </settings>
  <settings ui='gtk-gaim'>
   <setting name='auto-login' type='bool'>0</setting>
  </settings>
 </account>
</account>
EOF
    # Offline buddies and empty groups shown: the list is drawn as far as Pidgin draws it. The tray
    # icon is known not to embed (as after any earlier start on a display without a system tray);
    # otherwise the first start waits five seconds for a tray before it shows the list.
    cat > "$purple/prefs.xml" << 'EOF'
<?xml version='1.0' encoding='UTF-8' ?>
<pref version='1' name='/'>
 <pref name='pidgin'>
  <pref name='blist'>
   <pref name='show_offline_buddies' type='bool' value='1'/>
   <pref name='show_empty_groups' type='bool' value='1'/>
   <pref name='list_visible' type='bool' value='1'/>
  </pref>
  <pref name='docklet'>
   <pref name='gtk'>
    <pref name='embedded' type='bool' value='0'/>
   </pref>
  </pref>
 </pref>
</pref>
EOF
    awk -v buddies="$BUDDIES" -v groups="$GROUP_COUNT" -v account="$PIDGIN_ACCOUNT" -v domain="$DOMAIN" -v q="'" 'BEGIN {
        print "<?xml version=" q "1.0" q " encoding=" q "UTF-8" q " ?>"
        print "<purple version=" q "1.0" q ">"
        print " <blist>"
        for (g = 1; g <= groups; g++) {
            print "  <group name=" q "그룹 " g q ">"
            print "   <setting name=" q "collapsed" q " type=" q "bool" q ">0</setting>"
            for (i = g; i <= buddies; i += groups) {
                print "   <contact>"
                print "    <buddy account=" q account q " proto=" q "prpl-jabber" q ">"
                printf "     <name>buddy%05d@%s</name>\n", i, domain
                printf "     <alias>친구 %05d</alias>\n", i
                print "    </buddy>"
                print "   </contact>"
            }
            print "  </group>"
        }
        print " </blist>"
        print " <privacy>"
        print "  <account proto=" q "prpl-jabber" q " name=" q account q " mode=" q "1" q "/>"
        print " </privacy>"
        print "</purple>"
    }' > "$purple/blist.xml"
}

# ---------------------------------------------------------------------------------------------
# Measuring.

#! True when a mapped top-level window of the class has exactly that title.
window_shown() {
    local class=$1 title=$2 id info
    for id in $(xdotool search --onlyvisible --classname "^$class\$" 2> /dev/null || true); do
        # Read whole: a pipe cut short would fail under pipefail.
        info=$(xwininfo -id "$id" 2> /dev/null || true)
        if [[ "$info" == *"Window id: $(printf '0x%x' "$id") \"$title\""* ]]; then
            return 0
        fi
    done
    return 1
}

kzemvik_window() {
    window_shown kzemvik "Zemvik 메신저"
}

#! The window alone says nothing about the list: the client writes the file once it shows it.
kzemvik_ready() {
    [ -s "$1/ready" ]
}

pidgin_window() {
    window_shown pidgin "Buddy List"
}

pidgin_ready() {
    true
}

#! CPU time the local service has used so far, in milliseconds.
service_cpu_ms() {
    local stat
    stat=$(< "/proc/$SERVICE_PID/stat")
    stat=${stat##*) }
    # shellcheck disable=SC2086 # the fields are numbers
    set -- $stat
    echo $(((${12} + ${13}) * 1000 / CLK_TCK))
}

# measure PROGRAM LABEL: one start in a fresh home; sets RUN_MS (window shown with the list),
# RUN_FIRST_MS (window first mapped), RUN_KB (max RSS), RUN_CPU_MS (the program's CPU time) and
# RUN_SERVICE_MS (the service's CPU time until the list was shown).
measure() {
    local program=$1 label=$2 dir=$WORK/$2 start ready_at first_at service_before
    rm -rf "${dir:?}"
    mkdir -p "$dir/home" "$dir/runtime"
    chmod 700 "$dir/runtime"
    local -a command
    case "$program" in
    kzemvik)
        write_kzemvik_home "$dir/home"
        command=(env "${KZEMVIK_ENV[@]}" "KZEMVIK_BENCH_READY_FILE=$dir/ready" "$KZEMVIK")
        ;;
    pidgin)
        write_pidgin_home "$dir/home"
        command=(pidgin "--config=$dir/home/.purple")
        ;;
    esac
    service_before=$(service_cpu_ms)
    start=$(now_ms)
    HOME=$dir/home XDG_CONFIG_HOME=$dir/home/.config XDG_DATA_HOME=$dir/home/.local/share \
        XDG_CACHE_HOME=$dir/home/.cache XDG_RUNTIME_DIR=$dir/runtime \
        /usr/bin/time -v -o "$dir/time.txt" "${command[@]}" > "$dir/out.log" 2>&1 &
    CLIENT_TIME_PID=$!
    ready_at=
    first_at=
    while :; do
        if [ -z "$first_at" ] && "${program}_window"; then
            first_at=$(now_ms)
        fi
        if [ -n "$first_at" ] && "${program}_ready" "$dir"; then
            # The list may be ready before the poll saw the window: then both count as one moment.
            ready_at=$(now_ms)
            break
        fi
        if ! kill -0 "$CLIENT_TIME_PID" 2> /dev/null; then
            tail -n 20 "$dir/out.log" >&2
            die "$label: $program ended before its window was shown"
        fi
        if [ $(($(now_ms) - start)) -gt $((TIMEOUT * 1000)) ]; then
            tail -n 20 "$dir/out.log" >&2
            die "$label: $program showed no window within $TIMEOUT s"
        fi
        sleep 0.01
    done
    RUN_SERVICE_MS=$(($(service_cpu_ms) - service_before))
    sleep "$SETTLE"
    stop_measured "$CLIENT_TIME_PID"
    CLIENT_TIME_PID=
    RUN_MS=$((ready_at - start))
    RUN_FIRST_MS=$((first_at - start))
    RUN_KB=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$dir/time.txt")
    RUN_CPU_MS=$(awk -F': ' '/User time|System time/ { t += $2 } END { printf "%d", t * 1000 }' "$dir/time.txt")
    [ -n "$RUN_KB" ] || die "$label: no memory figure from /usr/bin/time"
    if [ "$program" = kzemvik ]; then
        local headers rows
        read -r headers rows < "$dir/ready"
        [ "$rows" = "$BUDDIES" ] || die "$label: the list shows $rows rows, not $BUDDIES"
        [ "$headers" -ge "$GROUP_COUNT" ] || die "$label: the list shows $headers headers, fewer than $GROUP_COUNT groups"
    fi
    if [ "$program" = pidgin ] && [ -e "$dir/home/.purple/blist.xml~" ]; then
        die "$label: Pidgin could not read the generated blist.xml (it kept it as blist.xml~)"
    fi
    if [ "$KEEP" = 0 ]; then
        rm -rf "${dir:?}/home"
    fi
}

median() {
    printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
}

secs() {
    awk -v ms="$1" 'BEGIN { printf "%.2f", ms / 1000 }'
}

mib() {
    awk -v kb="$1" 'BEGIN { printf "%.1f", kb / 1024 }'
}

CLK_TCK=$(getconf CLK_TCK)
export LC_ALL=C.UTF-8
# Neither program gets a session bus (nor starts one): both run as on a bare display.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$WORK/no-session-bus
unset SESSION_MANAGER

populate_service "$WORK/service"
start_service "$WORK/service"

declare -a KZ_MS=() KZ_FIRST=() KZ_KB=() KZ_CPU=() KZ_SERVICE=() PG_MS=() PG_FIRST=() PG_KB=() PG_CPU=()
for ((w = 1; w <= WARMUP; w++)); do
    echo "desktopbench: warm-up $w" >&2
    measure kzemvik "warmup$w-kzemvik"
    measure pidgin "warmup$w-pidgin"
done
# The two programs take turns, so drift of the machine touches both alike.
for ((r = 1; r <= RUNS; r++)); do
    measure kzemvik "run$r-kzemvik"
    KZ_MS+=("$RUN_MS")
    KZ_FIRST+=("$RUN_FIRST_MS")
    KZ_KB+=("$RUN_KB")
    KZ_CPU+=("$RUN_CPU_MS")
    KZ_SERVICE+=("$RUN_SERVICE_MS")
    echo "desktopbench: run $r kzemvik $RUN_MS ms (window $RUN_FIRST_MS ms) $(mib "$RUN_KB") MiB" >&2
    measure pidgin "run$r-pidgin"
    PG_MS+=("$RUN_MS")
    PG_FIRST+=("$RUN_FIRST_MS")
    PG_KB+=("$RUN_KB")
    PG_CPU+=("$RUN_CPU_MS")
    echo "desktopbench: run $r pidgin  $RUN_MS ms $(mib "$RUN_KB") MiB" >&2
done

kz_ms=$(median "${KZ_MS[@]}")
kz_kb=$(median "${KZ_KB[@]}")
pg_ms=$(median "${PG_MS[@]}")
pg_kb=$(median "${PG_KB[@]}")
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt" 2> /dev/null || true)
pidgin_version=$(pidgin --version 2> /dev/null | head -n 1)

row() {
    printf '%-36s %13s %13s %15s %9s\n' "$@"
}
echo
echo "Desktop start-up: $BUDDIES buddies in $GROUP_COUNT groups, Xvfb 1280x1024x24, median of $RUNS runs"
echo "start-up: process start to the window shown with the list (kzemvik: signed in, every row in the"
echo "view; Pidgin: its buddy list window mapped); first window: the window first mapped; peak RSS and"
echo "CPU: until $SETTLE s after start-up"
row "" "start-up (ms)" "first window" "peak RSS (MiB)" "CPU (s)"
row "kzemvik (${build_type:-unknown build})" "$kz_ms" "$(median "${KZ_FIRST[@]}")" "$(mib "$kz_kb")" "$(secs "$(median "${KZ_CPU[@]}")")"
row "${pidgin_version:-Pidgin}" "$pg_ms" "$(median "${PG_FIRST[@]}")" "$(mib "$pg_kb")" "$(secs "$(median "${PG_CPU[@]}")")"
row "kzemvik / Pidgin" "$(ratio "$kz_ms" "$pg_ms")" "" "$(ratio "$kz_kb" "$pg_kb")" ""
echo "local service CPU per kzemvik sign-in: $(secs "$(median "${KZ_SERVICE[@]}")") s"
echo "runs (ms): kzemvik ${KZ_MS[*]}; Pidgin ${PG_MS[*]}"
echo "runs (KiB): kzemvik ${KZ_KB[*]}; Pidgin ${PG_KB[*]}"
verdict() {
    awk -v a="$1" -v b="$2" 'BEGIN { print (a <= b) ? "yes" : "no" }'
}
echo "target met: not slower $(verdict "$kz_ms" "$pg_ms"), not larger $(verdict "$kz_kb" "$pg_kb")"
if [ ${#KZEMVIK_ENV[@]} -gt 0 ]; then
    echo "note: kzemvik ran with ${KZEMVIK_ENV[*]}"
fi
if [ "$build_type" != Release ]; then
    echo "note: $BUILD_DIR is not a Release build; its figures are not the ones to compare"
fi
