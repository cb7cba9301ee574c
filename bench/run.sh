#!/usr/bin/env bash
# Runs the benchmark programs of bench/programs with tarnwick, and the same work with the
# peer interpreters yabasic and brandy (and bwbasic with --bwbasic) when they are installed,
# then prints a table: statements executed, seconds, statements per second, and for each
# peer its time and the ratio peer time / tarnwick time.
#
# Every program prints a checksum; the script computes the expected one itself (awk, below)
# and fails when any program fails or prints a wrong checksum. Speed is never judged.
#
#   bench/run.sh                      full counts (a minute or two)
#   bench/run.sh --quick --no-peers   smoke test: tiny counts, a few seconds
#
# Options:
#   --quick            tiny counts (checks that everything runs and computes the right thing)
#   --no-peers         run tarnwick only
#   --bwbasic          also run bwbasic, at its own smaller counts (it is tens of times
#                      slower); its ratio compares time per unit of work
#   --repeat R         run every program R times and keep the fastest time (default 1)
#   --only A,B         run only the named benchmarks (for example --only for_loop,bm2)
#   --tarnwick PATH    use this tarnwick binary instead of building build-release/tarnwick
#   --no-build         do not build; use build-release/tarnwick as it is
#   --markdown         print the table as a Markdown table
#   -h, --help         this text
#
# Environment: BENCH_JOBS (parallel jobs of the build, default 1), BENCH_TIMEOUT (seconds
# one run may take before it counts as failed; default 600, or 60 with --quick).
#
# Exit status: 0 all programs ran and printed the right checksums; 1 some program failed;
# 2 usage error or tarnwick could not be built.

set -u
set -o pipefail
export LC_ALL=C  # a decimal point in the clock, awk and printf, whatever the user's locale

# Wall-clock time in seconds with a fraction, in REPLY.
if [ -n "${EPOCHREALTIME:-}" ]; then
    clock() { REPLY=$EPOCHREALTIME; }
else
    clock() { REPLY=$(date +%s.%N); }
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")

quick=0
peers=1
bwbasic=0
repeat=1
only=""
tarnwick=""
build=1
markdown=0

usage() { sed -n '2,/^$/p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; }

while [ $# -gt 0 ]; do
    case "$1" in
        --quick) quick=1 ;;
        --no-peers) peers=0 ;;
        --bwbasic) bwbasic=1 ;;
        --repeat) shift; repeat=${1:-}
            case "$repeat" in
                ''|*[!0-9]*|0) echo "run.sh: --repeat needs a count >= 1" >&2; exit 2 ;;
            esac ;;
        --only) shift; only=${1:-} ;;
        --tarnwick) shift; tarnwick=${1:-} ;;
        --no-build) build=0 ;;
        --markdown) markdown=1 ;;
        -h|--help) usage; exit 0 ;;
        *) echo "run.sh: unknown option '$1' (see --help)" >&2; exit 2 ;;
    esac
    shift
done

# --- The benchmarks and their counts ------------------------------------------------------
# name, full count, quick count, bwbasic count. Counts of bm4 to bm7 must be even (their
# checksum is N / 2 * 3 - 1, a whole number only then).
table="
for_loop    10000000  1000  100000
strings       400000   100   20000
nested_if      20000     3     300
gosub_call   1000000   100   50000
bm1         30000000  1000 1000000
bm2          2000000   100   50000
bm3          1000000   100   20000
bm4          1000000   100   20000
bm5          1000000   100   20000
bm6           500000   100   20000
bm7           500000   100   20000
bm8           500000    10   20000
"

names=()
declare -A full_n quick_n bwb_n
while read -r name f q b; do
    [ -n "$name" ] || continue
    names+=("$name"); full_n[$name]=$f; quick_n[$name]=$q; bwb_n[$name]=$b
done <<<"$table"

if [ -n "$only" ]; then
    selected=()
    IFS=',' read -r -a wanted <<<"$only"
    for w in "${wanted[@]}"; do
        if [ -z "${full_n[$w]+x}" ]; then
            echo "run.sh: unknown benchmark '$w' (known: ${names[*]})" >&2; exit 2
        fi
        selected+=("$w")
    done
    names=("${selected[@]}")
fi

timeout_s=${BENCH_TIMEOUT:-$([ $quick = 1 ] && echo 60 || echo 600)}

# --- Expected checksums ---------------------------------------------------------------------
# An independent computation of what each program must print, one value per line.
expected() {
    awk -v name="$1" -v n="$2" 'BEGIN {
        if (name == "for_loop") { print n }
        else if (name == "strings") {
            s = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"; t = "X"; c = 0
            for (i = 1; i <= n; i++) {
                p = i - int(i / 26) * 26 + 1
                t = t substr(s, p, 1)
                if (length(t) > 40) t = substr(t, 1, 10) substr(t, 32, 10)
                c += length(t)
            }
            print c; print t
        }
        else if (name == "nested_if") {
            c = 0
            for (i = 1; i <= n; i++)
                for (j = 1; j <= 100; j++) {
                    if (j < 50) c += (i > j) ? 1 : 2
                    else if (j == 75 || i == j) c += 3
                }
            print c
        }
        else if (name == "gosub_call") { print 4 * n; print n }
        else if (name == "bm1") { print n + 1 }
        else if (name == "bm2") { print n }
        else if (name == "bm3") { print 2 * n }
        else if (name == "bm4" || name == "bm5") { print n / 2 * 3 - 1 }
        else if (name == "bm6" || name == "bm7") { print n / 2 * 3 - 1 + 6 }
        else if (name == "bm8") { print n + int(log(n) * 1000) + int(sin(n) * 1000) }
        else { print "?" }
    }'
}

# Compares the lines of $1 (actual) with those of $2 (expected): numerically where both are
# numbers (yabasic, brandy and bwbasic print numbers their own way), else as text.
same_output() {
    awk 'NR == FNR { want[++nw] = $0; next }
         { got[++ng] = $0 }
         END {
             if (ng != nw) exit 1
             for (i = 1; i <= nw; i++) {
                 num = "^[-+]?[0-9]+([.][0-9]*)?([eE][-+]?[0-9]+)?$"
                 if (got[i] ~ num && want[i] ~ num) { if (got[i] + 0 != want[i] + 0) exit 1 }
                 else if (got[i] != want[i]) exit 1
             }
         }' "$2" "$1"
}

# Keeps the last k non-empty lines of a file, without CRs and surrounding blanks.
last_lines() {
    tr -d '\r' <"$1" | sed 's/^[[:space:]]*//; s/[[:space:]]*$//' | grep -v '^$' | tail -n "$2"
}

# --- Tarnwick -------------------------------------------------------------------------------
if [ -z "$tarnwick" ]; then
    tarnwick="$root/build-release/tarnwick"
    if [ $build = 1 ]; then
        command -v cmake >/dev/null && command -v ninja >/dev/null || {
            echo "run.sh: cmake and ninja are needed to build tarnwick" \
                "(or pass --tarnwick PATH)" >&2
            exit 2
        }
        if [ ! -f "$root/build-release/build.ninja" ]; then
            echo "run.sh: configuring build-release/ (Release)" >&2
            cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
                -DTARNWICK_TESTS=OFF >&2 || { echo "run.sh: cmake failed" >&2; exit 2; }
        fi
        cmake --build "$root/build-release" --target tarnwick -j "${BENCH_JOBS:-1}" >&2 ||
            { echo "run.sh: the build of tarnwick failed" >&2; exit 2; }
    fi
fi
if [ ! -x "$tarnwick" ]; then
    echo "run.sh: no tarnwick binary at $tarnwick" >&2
    exit 2
fi

# The source tree as it is now, after the build (it may change while the programs run).
commit=$(git -C "$root" describe --always --dirty 2>/dev/null || echo unknown)

# --- Peers ----------------------------------------------------------------------------------
peer_list=()
if [ $peers = 1 ]; then
    for p in yabasic brandy; do
        if command -v "$p" >/dev/null; then peer_list+=("$p")
        else echo "run.sh: $p is not installed (apt-get install -y $p); skipping it" >&2
        fi
    done
    if [ $bwbasic = 1 ]; then
        if command -v bwbasic >/dev/null; then peer_list+=(bwbasic)
        else echo "run.sh: bwbasic is not installed (apt-get install -y bwbasic); skipping it" >&2
        fi
    fi
fi

peer_file() {
    case "$1" in
        yabasic) echo "$here/peers/yabasic/$2.yab" ;;
        brandy) echo "$here/peers/brandy/$2.bas" ;;
        bwbasic) echo "$here/peers/bwbasic/$2.bas" ;;
    esac
}

# Runs one peer on a file; its output (the checksum lines and possibly noise) goes to $3.
run_peer() {
    local peer=$1 file=$2 out=$3
    case "$peer" in
        yabasic) timeout "$timeout_s" yabasic "$file" >"$out" 2>"$out.err" </dev/null ;;
        # Debian's brandy is the SDL build: the dummy video driver keeps it off the terminal
        # and any display; the programs write their checksum to stderr (SYS "OS_Write0" with
        # R1 = R2 = 42), the only stream that reaches us.
        brandy) SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
                timeout "$timeout_s" brandy -quit "$file" >"$out.err" 2>"$out" </dev/null ;;
        bwbasic) timeout "$timeout_s" bwbasic "$file" >"$out" 2>"$out.err" </dev/null ;;
    esac
}

# --- Running --------------------------------------------------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-bench.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT

# Writes a copy of program $1 with its count set to $2 (the first line that sets N).
scaled() {
    local src=$1 n=$2 dst=$3
    sed -E "0,/^(([0-9]+ +)?(LET +)?[Nn] *= *)[0-9]+ *\$/s//\\1$n/" "$src" >"$dst"
    grep -Eq "^([0-9]+ +)?(LET +)?[Nn] *= *$n *\$" "$dst" || {
        echo "run.sh: $src has no line 'LET N = <count>' (or 'N = <count>') to scale" >&2
        return 1
    }
}

seconds_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

declare -A t_time t_stmts p_time
for name in "${names[@]}"; do
    if [ $quick = 1 ]; then n=${quick_n[$name]}; else n=${full_n[$name]}; fi
    prog="$work/$name.bas"
    scaled "$here/programs/$name.bas" "$n" "$prog" || { fail "$name: cannot scale"; continue; }
    expected "$name" "$n" >"$work/$name.want"
    lines=$(wc -l <"$work/$name.want")

    best=""
    for ((r = 1; r <= repeat; r++)); do
        clock; start=$REPLY
        timeout "$timeout_s" "$tarnwick" run --headless --stats "$prog" \
            >"$work/$name.out" 2>"$work/$name.err" </dev/null
        rc=$?
        clock; end=$REPLY
        secs=$(seconds_between "$start" "$end")
        if [ $rc != 0 ]; then
            fail "tarnwick $name: exit status $rc"; sed 's/^/    /' "$work/$name.err" >&2
            best=""; break
        fi
        if ! tr -d '\r' <"$work/$name.out" | same_output /dev/stdin "$work/$name.want"; then
            fail "tarnwick $name: wrong checksum"
            echo "    expected: $(tr '\n' ' ' <"$work/$name.want")" >&2
            echo "    printed:  $(tr '\n' ' ' <"$work/$name.out")" >&2
            best=""; break
        fi
        if [ -z "$best" ] || awk -v a="$secs" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$secs
        fi
    done
    stmts=$(sed -n 's/^Program Execution Concluded : \([0-9]*\) instructions executed.*/\1/p' \
        "$work/$name.err" | head -n 1)
    if [ -n "$best" ] && [ -z "$stmts" ]; then
        fail "tarnwick $name: no statement count in the --stats output"
    fi
    t_time[$name]=${best:-FAIL}
    t_stmts[$name]=${stmts:-?}

    for peer in "${peer_list[@]}"; do
        src=$(peer_file "$peer" "$name")
        key="$peer/$name"
        if [ ! -f "$src" ]; then p_time[$key]="-"; continue; fi
        pn=$n
        if [ "$peer" = bwbasic ] && [ $quick = 0 ]; then pn=${bwb_n[$name]}; fi
        pprog="$work/$peer-$name.${src##*.}"
        if ! scaled "$src" "$pn" "$pprog"; then
            fail "$peer $name: cannot scale"; p_time[$key]=FAIL; continue
        fi
        expected "$name" "$pn" >"$work/$peer-$name.want"
        pbest=""
        for ((r = 1; r <= repeat; r++)); do
            clock; start=$REPLY
            run_peer "$peer" "$pprog" "$work/$peer-$name.out"
            rc=$?
            clock; end=$REPLY
            secs=$(seconds_between "$start" "$end")
            last_lines "$work/$peer-$name.out" "$lines" >"$work/$peer-$name.got"
            if [ $rc != 0 ] || ! same_output "$work/$peer-$name.got" "$work/$peer-$name.want"; then
                fail "$peer $name: exit status $rc," \
                    "printed '$(tr '\n' ' ' <"$work/$peer-$name.got")'," \
                    "expected '$(tr '\n' ' ' <"$work/$peer-$name.want")'"
                pbest=""; break
            fi
            if [ -z "$pbest" ] || awk -v a="$secs" -v b="$pbest" 'BEGIN { exit !(a < b) }'; then
                pbest=$secs
            fi
        done
        p_time[$key]=${pbest:-FAIL}
    done
done

# --- The table ------------------------------------------------------------------------------
ratio() { # peer seconds, tarnwick seconds, peer count, tarnwick count
    awk -v p="$1" -v t="$2" -v pn="$3" -v tn="$4" 'BEGIN {
        if (p !~ /^[0-9.]+$/ || t !~ /^[0-9.]+$/ || t + 0 == 0) { print "-"; exit }
        printf "%.2f", (p * tn / pn) / t }'
}

header=(benchmark count statements seconds "stmts/s")
for peer in "${peer_list[@]}"; do header+=("$peer s" "ratio"); done

rows=()
for name in "${names[@]}"; do
    if [ $quick = 1 ]; then n=${quick_n[$name]}; else n=${full_n[$name]}; fi
    t=${t_time[$name]}
    s=${t_stmts[$name]}
    rate=$(awk -v s="$s" -v t="$t" 'BEGIN {
        if (s !~ /^[0-9]+$/ || t !~ /^[0-9.]+$/ || t + 0 == 0) print "-"
        else printf "%.0f", s / t }')
    row=("$name" "$n" "$s" "$t" "$rate")
    for peer in "${peer_list[@]}"; do
        pt=${p_time[$peer/$name]:--}
        pn=$n
        if [ "$peer" = bwbasic ] && [ $quick = 0 ]; then pn=${bwb_n[$name]}; fi
        row+=("$pt" "$(ratio "$pt" "$t" "$pn" "$n")")
    done
    rows+=("$(printf '%s\t' "${row[@]}")")
done

cpu=$(lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -n 1)
echo "tarnwick: $tarnwick (source tree $commit); $(nproc) cores, ${cpu:-unknown CPU}; $(date)"
if [ $markdown = 1 ]; then
    printf '| %s ' "${header[@]}"; echo "|"
    for h in "${header[@]}"; do printf '|---'; done; echo "|"
    for row in "${rows[@]}"; do
        IFS=$'\t' read -r -a cells <<<"$row"
        printf '| %s ' "${cells[@]}"; echo "|"
    done
else
    {
        printf '%s\t' "${header[@]}"; echo
        for row in "${rows[@]}"; do echo "$row"; done
    } | awk -F '\t' '
        { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) }
          if (NF > nf) nf = NF }
        END {
            for (r = 1; r <= NR; r++) {
                line = ""
                for (i = 1; i <= nf; i++) {
                    if (cell[r, i] == "" && i == nf) continue
                    # The name column left-aligned, the figures right-aligned.
                    if (i == 1) line = line sprintf("%-" w[i] "s", cell[r, i])
                    else line = line sprintf("  %" w[i] "s", cell[r, i])
                }
                print line
            }
        }'
fi
if [ ${#peer_list[@]} -gt 0 ]; then
    echo "ratio = peer time / tarnwick time for the same work (below 1: the peer is faster)."
fi
if [ $bwbasic = 1 ] && [ $quick = 0 ] && [ -n "${p_time[bwbasic/${names[0]}]+x}" ]; then
    echo "bwbasic runs at its own counts (bwbasic s is its time at those counts):"
    for name in "${names[@]}"; do printf '  %s=%s' "$name" "${bwb_n[$name]}"; done; echo
fi

if [ $failures -gt 0 ]; then
    echo "run.sh: $failures failure(s)" >&2
    exit 1
fi
exit 0
