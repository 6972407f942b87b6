#!/usr/bin/env bash
# Whole-process timings of quillpost-batch on address-shaped records, with the
# peak resident memory that /usr/bin/time -v reports: import-csv (appends and
# the 26 tags), reindex (pack and the 26 tags), the 26-tag build alone
# (reindex --no-pack, when the build has it) and a filtered listing in
# last-name order. Median of RUNS runs each.
#
#   bench/process_bench.sh [BUILD_DIR] [RECORDS] [RUNS]
#   bench/process_bench.sh [BUILD_DIR] SMALL:LARGE [RUNS]
#
# Defaults: build, 100000 records, 3 runs. With two sizes (100000:1000000)
# the runs alternate between them, and each operation's growth is printed:
# the large median over the small one, and the range of the pairs run one
# after the other (the steadier figure on a shared machine). A million
# records needs about 2 GB of free space in TMPDIR. Needs /usr/bin/time
# (package "time", installed by scripts/deps.sh --test).
set -euo pipefail

build=${1:-build}
sizes=${2:-100000}
runs=${3:-3}
IFS=: read -r -a sizes <<<"$sizes"
batch="$build/src/app/quillpost-batch"
[[ -x $batch ]] || { echo "no $batch: build the quillpost-batch target first" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is missing: run scripts/deps.sh --test" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/qp-process-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export QUILLPOST_HOME="$work/home"
mkdir -p "$QUILLPOST_HOME"

# Deterministic records: about one last name in twelve begins with "SM".
makeRecords() {
python3 - "$work/in$1.csv" "$1" <<'EOF'
import random, sys
path, count = sys.argv[1], int(sys.argv[2])
rng = random.Random(7)
last = ["Smith", "Johnson", "Williams", "Brown", "Jones", "Garcia", "Miller", "Davis",
        "Rodriguez", "Martinez", "Hernandez", "Lopez", "Gonzalez", "Wilson", "Anderson",
        "Thomas", "Taylor", "Moore", "Jackson", "Martin", "Lee", "Perez", "Thompson", "Smythe"]
first = ["James", "Mary", "John", "Patricia", "Robert", "Jennifer", "Michael", "Linda",
         "William", "Elizabeth", "David", "Barbara", "Richard", "Susan", "Joseph", "Jessica"]
streets = ["Main St", "Oak Ave", "Maple Dr", "Cedar Ln", "Elm St", "Washington Blvd",
           "Lake Rd", "Hill St", "Park Ave", "Pine Ct"]
places = [("New York", "NY", "100"), ("Boston", "MA", "021"), ("Chicago", "IL", "606"),
          ("Houston", "TX", "770"), ("Phoenix", "AZ", "850"), ("Denver", "CO", "802"),
          ("Seattle", "WA", "981"), ("Miami", "FL", "331"), ("Atlanta", "GA", "303")]
with open(path, "w", newline="") as out:
    for i in range(count):
        ln = rng.choice(last) + (str(rng.randrange(1000)) if rng.randrange(10) == 0 else "")
        fn = rng.choice(first)
        city, state, zip3 = rng.choice(places)
        out.write('"%s","%s","%s","%d %s","%s","%s","%s%02d","%s","(%03d) 555-%04d","%s.%s@example.com","C%d"\r\n' % (
            ln, fn, chr(65 + rng.randrange(26)), rng.randrange(1, 9999), rng.choice(streets),
            city, state, zip3, rng.randrange(100), "Apt %d" % rng.randrange(99) if rng.randrange(4) == 0 else "",
            rng.randrange(200, 999), rng.randrange(10000), fn.lower(), ln.lower(), rng.randrange(50)))
EOF
}

match="Last Name=1,First Name=2,Middle=3,Address 1=4,City=5,State=6,Zip/Postal Code=7,Address 2=8,Phone 1=9,Email=10,Codes=11"

# Runs "$@" under /usr/bin/time -v; appends "seconds kilobytes" to $2's list.
# What the run before left to write goes to disk first, untimed: otherwise
# the system writes it back during this run, and at a million records that
# is some 700 MB whose disk interrupts land on this run's processor time.
measure() {
    local list=$1
    shift
    sync
    /usr/bin/time -v -o "$work/time.txt" "$@" >"$work/out.txt" 2>&1 || {
        cat "$work/out.txt" >&2
        exit 1
    }
    local wall rss cpu
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, p, ":"); s = 0;
                       for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s}' "$work/time.txt")
    rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    cpu=$(awk -F': ' '/(User|System) time \(seconds\)/ {s += $2} END {print s}' "$work/time.txt")
    echo "$wall $rss $cpu" >>"$work/$list"
}

# The median run (by wall time): its wall and processor (user + system)
# seconds, and the largest peak memory of all runs. On a busy machine the
# processor time is the steadier figure.
report() {
    local name=$1 list=$2
    sort -n "$work/$list" | awk -v name="$name" '
        {wall[NR] = $1; cpu[NR] = $3; if ($2 > rss) rss = $2}
        END {m = int((NR + 1) / 2)
             printf "%-40s %8.2f s wall %8.2f s cpu %9.1f MB\n", name, wall[m], cpu[m], rss / 1024}'
}

# One run of every operation on RECORDS records, each timing added to the
# list named after the operation and the size.
usage=$("$batch" reindex 2>&1 || true)
runAll() {
    local n=$1 file="$work/ADDR$1.DBF"
    rm -f "$work/ADDR$n".*
    "$batch" create "$file" >/dev/null
    measure "import.$n" "$batch" import-csv "$file" "$work/in$n.csv" --match "$match"
    measure "reindex.$n" "$batch" reindex "$file"
    # The 26-tag build alone: a reindex that keeps every record (no pack).
    [[ $usage == *--no-pack* ]] && measure "tags.$n" "$batch" reindex "$file" --no-pack
    measure "list.$n" "$batch" list "$file" --order LNAME --criteria LNAME=SM
    matches=$(($(wc -l <"$work/out.txt") - 1))
}

for n in "${sizes[@]}"; do makeRecords "$n"; done
for ((run = 1; run <= runs; run++)); do
    for n in "${sizes[@]}"; do runAll "$n"; done
done

names=("import-csv" "reindex" "reindex --no-pack (the 26 tags alone)"
    "list --order LNAME --criteria LNAME=SM")
ops=(import reindex tags list)
for n in "${sizes[@]}"; do
    echo "quillpost-batch on $n records (median of $runs; peak resident memory)"
    for i in "${!ops[@]}"; do
        [[ -s $work/${ops[i]}.$n ]] && report "${names[i]}" "${ops[i]}.$n"
    done
done
echo "(the last listing printed $matches records)"

# Processor time of the large size over the small, run by run, and of the
# fastest run of each: other work on a shared machine only ever adds time,
# so the fastest runs are the least disturbed.
if ((${#sizes[@]} == 2)); then
    echo "growth from ${sizes[0]} to ${sizes[1]} records (processor time)"
    for i in "${!ops[@]}"; do
        small="$work/${ops[i]}.${sizes[0]}" large="$work/${ops[i]}.${sizes[1]}"
        [[ -s $small ]] || continue
        paste -d' ' "$small" "$large" | awk -v name="${names[i]}" '
            # /usr/bin/time counts hundredths: a run shorter reads as 0.
            {s[NR] = $3 > 0 ? $3 : 0.01; l[NR] = $6; r[NR] = l[NR] / s[NR]}
            function median(a, n,   i, j, t) {
                for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
                    if (a[j] < a[i]) {t = a[i]; a[i] = a[j]; a[j] = t}
                return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
            }
            END {fs = s[1]; fl = l[1]
                 for (i = 2; i <= NR; i++) {if (s[i] < fs) fs = s[i]; if (l[i] < fl) fl = l[i]}
                 ms = median(s, NR); ml = median(l, NR); mr = median(r, NR)
                 printf "%-40s %6.2f times (pairs: median %.2f, %.2f to %.2f; fastest runs %.2f)\n",
                        name, ml / ms, mr, r[1], r[NR], fl / fs}'
    done
fi
