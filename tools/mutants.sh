#!/usr/bin/env bash
# How many plausible faults the tests catch. tools/mutants.txt lists small textual changes to files
# in src/ ("mutants": an off-by-one, an inverted condition, a missing CR LF conversion...) and the
# CTest tests that should notice each one. For every mutant this script backs up the file, makes
# the change, rebuilds the listed tests incrementally, runs them offscreen, and puts the file back
# byte for byte with its old modification time. A mutant that does not build is "invalid", one
# that makes a listed test fail or time out is "killed", any other "survived". The summary gives
# the counts, the kill rate (killed of killed + survived) and the survivors.
#
#   tools/mutants.sh --check              check mutants.txt only: no build, nothing changed
#   tools/mutants.sh [--build DIR] [NAME-FILTER]
#                                         run the mutants whose name contains NAME-FILTER
#
# A full run takes a rebuild and a test run per mutant: with ~100 mutants, typically one to a few
# hours (a build of one file and its test programs is tens of seconds; the browser and window tests
# take a minute or more each). It changes files in src/ while it runs, so it refuses to start when
# src/ has uncommitted changes, and nobody else should build from the tree meanwhile. Before the
# mutants, the tests they list are built and run once as the tree is: a test that fails (or is not
# defined in this build) already leaves the mutants listing it unmeasured. Once a file is put back,
# the objects compiled from the mutant are removed, so the next build compiles that file again
# (Ninja would otherwise take the restored, older file for built).
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
list=${MUTANTS_LIST:-"$here/tools/mutants.txt"}
build="$here/build"
check_only=false
filter=""

usage() {
    sed -n '2,/^set -uo/p' "${BASH_SOURCE[0]}" | sed '$d' | sed 's/^# \{0,1\}//'
}

while [ $# -gt 0 ]; do
    case "$1" in
    --check) check_only=true ;;
    --build)
        [ $# -ge 2 ] || { echo "mutants: --build needs a folder" >&2; exit 2; }
        build=$2
        shift
        ;;
    --build=*) build=${1#--build=} ;;
    -h | --help) usage; exit 0 ;;
    -*) echo "mutants: unknown option $1" >&2; exit 2 ;;
    *)
        [ -z "$filter" ] || { echo "mutants: only one name filter" >&2; exit 2; }
        filter=$1
        ;;
    esac
    shift
done
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac

# ---------------------------------------------------------------------------------------------
# Reading the list

names=() files=() finds=() replaces=() testlists=() equivalents=() lines=()
problems=()

problem() { problems+=("$(basename "$list"):$1: $2"); }

# The CTest tests the project defines: every tests/*/tst_*.cpp is a program of its own, and
# tests/CMakeLists.txt adds a few more by name.
declare -A known_tests=()
for source in "$here"/tests/*/tst_*.cpp; do
    [ -e "$source" ] || continue
    name=$(basename "$source" .cpp)
    known_tests[$name]=program
done
while IFS= read -r name; do
    [ -n "$name" ] && [ -z "${known_tests[$name]:-}" ] && known_tests[$name]=other
done < <(perl -ne 'print "$1\n" while /add_test\s*\(\s*NAME\s+([A-Za-z0-9_.-]+)/g' "$here/tests/CMakeLists.txt")

# The build targets a test needs: a program is its own target; another test needs the targets its
# command runs ($<TARGET_FILE:...>).
targets_of_test() {
    local name=$1
    if [ "${known_tests[$name]:-}" = program ]; then
        echo "$name"
        return
    fi
    NAME=$name perl -0777 -ne '
        while (/add_test\s*\(\s*NAME\s+(\S+)(.*?)\)/gs) {
            next unless $1 eq $ENV{NAME};
            my $command = $2;
            print "$1\n" while $command =~ /\$<TARGET_FILE:([A-Za-z0-9_.-]+)>/g;
        }' "$here/tests/CMakeLists.txt"
}

# How often `find` occurs in `file`, taken literally.
occurrences() {
    FIND=$2 perl -0777 -ne '$n = () = /\Q$ENV{FIND}\E/g; print $n + 0' "$1"
}

add_block() {
    local start=$1
    [ -z "$b_name$b_file$b_find$b_replace$b_tests$b_equivalent" ] && return
    local bad=false
    for key in name file find replace tests; do
        local var="b_$key"
        if [ -z "${!var}" ]; then
            problem "$start" "block has no $key:"
            bad=true
        fi
    done
    if [ -n "$b_name" ]; then
        for other in "${names[@]}"; do
            [ "$other" = "$b_name" ] && { problem "$start" "name used twice: $b_name"; bad=true; }
        done
    fi
    if [ -n "$b_file" ]; then
        case "$b_file" in
        src/*) ;;
        *) problem "$start" "file is not in src/: $b_file"; bad=true ;;
        esac
        if [ ! -f "$here/$b_file" ]; then
            problem "$start" "no such file: $b_file"
            bad=true
        elif [ -n "$b_find" ]; then
            local count
            count=$(occurrences "$here/$b_file" "$b_find")
            if [ "$count" != 1 ]; then
                problem "$start" "find text occurs $count times in $b_file (must be once): $b_find"
                bad=true
            fi
        fi
    fi
    if [ -n "$b_find" ] && [ "$b_find" = "$b_replace" ]; then
        problem "$start" "replace is the same as find"
        bad=true
    fi
    for test in $b_tests; do
        if [ -z "${known_tests[$test]:-}" ]; then
            problem "$start" "no such CTest test: $test"
            bad=true
        elif [ -z "$(targets_of_test "$test")" ]; then
            problem "$start" "no build target found for test $test"
            bad=true
        fi
    done
    $bad && return
    names+=("$b_name") files+=("$b_file") finds+=("$b_find") replaces+=("$b_replace")
    testlists+=("$b_tests") equivalents+=("$b_equivalent") lines+=("$start")
}

read_list() {
    local number=0 start=0 line key value
    b_name="" b_file="" b_find="" b_replace="" b_tests="" b_equivalent=""
    while IFS= read -r line || [ -n "$line" ]; do
        number=$((number + 1))
        line=${line%$'\r'}
        if [[ "$line" =~ ^[[:space:]]*$ ]]; then
            add_block "$start"
            b_name="" b_file="" b_find="" b_replace="" b_tests="" b_equivalent=""
            start=0
            continue
        fi
        [[ "$line" == \#* ]] && continue
        [ "$start" = 0 ] && start=$number
        if [[ ! "$line" =~ ^([a-z]+):\ (.*)$ ]]; then
            problem "$number" "not \"key: value\": $line"
            continue
        fi
        key=${BASH_REMATCH[1]}
        value=${BASH_REMATCH[2]}
        value=${value%"${value##*[![:space:]]}"} # trailing blanks go
        case "$key" in
        name | file | find | replace | tests | equivalent)
            local var="b_$key"
            if [ -n "${!var}" ]; then
                problem "$number" "$key: given twice in one block"
            else
                printf -v "$var" '%s' "$value"
            fi
            ;;
        *) problem "$number" "unknown key: $key" ;;
        esac
    done < "$list"
    add_block "$start"
}

[ -f "$list" ] || { echo "mutants: no list at $list" >&2; exit 2; }
read_list

if $check_only; then
    for p in "${problems[@]}"; do echo "$p"; done
    echo "mutants: ${#names[@]} well-formed mutants, ${#problems[@]} problems"
    [ ${#problems[@]} -eq 0 ]
    exit
fi

if [ ${#problems[@]} -gt 0 ]; then
    for p in "${problems[@]}"; do echo "$p" >&2; done
    echo "mutants: fix mutants.txt first (tools/mutants.sh --check)" >&2
    exit 2
fi

# ---------------------------------------------------------------------------------------------
# Running

cd "$here" || exit 2
if ! git diff --quiet -- src || ! git diff --cached --quiet -- src; then
    echo "mutants: src/ has uncommitted changes; a mutant would be mixed into them. Not started." >&2
    exit 2
fi
if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    echo "mutants: $build is no configured build folder (cmake -S . -B $build -G Ninja)" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quillora-mutants.XXXXXX")
active_file=""  # the source file changed at the moment, if any
active_backup=""

# The object files compiled from a source file. After the file is put back with its old time,
# they (built from the mutant) would look newer than it, and the next build would keep them:
# Ninja only asks whether an input is newer than its outputs. They are removed, so exactly that
# file is compiled again. Ninja is asked first; without it, compile_commands.json.
objects_of() {
    local source=$1
    if [ -f "$build/build.ninja" ] && command -v ninja >/dev/null 2>&1; then
        ninja -C "$build" -t query "$source" 2>/dev/null | BUILD=$build perl -ne '
            $in = /^\s+outputs:/ ? 1 : /^\s+\S+:/ ? 0 : $in;
            next unless $in && /^\s{4,}(\S+)\s*$/;
            my $output = $1;
            next unless $output =~ /\.o(bj)?$/;
            $output = "$ENV{BUILD}/$output" unless $output =~ m{^/};
            print "$output\n";'
        return 0
    fi
    [ -f "$build/compile_commands.json" ] || return 0
    SOURCE=$source perl -0777 -ne '
        while (/\{(.*?)\}/gs) {
            my $entry = $1;
            my ($file) = $entry =~ /"file"\s*:\s*"([^"]*)"/ or next;
            next unless $file eq $ENV{SOURCE};
            my ($dir) = $entry =~ /"directory"\s*:\s*"([^"]*)"/;
            my ($output) = $entry =~ /"output"\s*:\s*"([^"]*)"/;
            ($output) = $entry =~ /\s-o\s+(\S+)/ unless defined $output;
            next unless defined $output;
            $output = "$dir/$output" unless $output =~ m{^/};
            print "$output\n";
        }' "$build/compile_commands.json"
}

restore() {
    [ -n "$active_file" ] || return 0
    cat "$active_backup" > "$active_file"
    touch -r "$active_backup" "$active_file"
    if ! cmp -s "$active_backup" "$active_file"; then
        local kept="$build/$(basename "$active_file").mutants-original"
        cp -p "$active_backup" "$kept"
        echo "mutants: could not restore $active_file; its original is kept in $kept" >&2
        active_file=""
        return 1
    fi
    local object found=false
    while IFS= read -r object; do
        [ -n "$object" ] || continue
        rm -f "$object"
        found=true
    done < <(objects_of "$active_file")
    # Without its objects known, the file is made newer instead: built once more, whatever its time.
    if ! $found; then
        echo "mutants: no object file known for $active_file; its time is set to now" >&2
        touch "$active_file"
    fi
    active_file=""
    return 0
}

on_exit() {
    restore
    rm -rf "$work"
}
trap on_exit EXIT
trap 'echo; echo "mutants: interrupted" >&2; exit 130' INT TERM HUP

# Replaces the single occurrence of FIND in the file, in place (the file keeps its inode and mode).
apply_mutant() {
    FIND=$2 REPLACE=$3 perl -e '
        my $path = shift;
        open(my $in, "<:raw", $path) or die "$path: $!\n";
        local $/;
        my $text = <$in>;
        close $in;
        my $n = ($text =~ s/\Q$ENV{FIND}\E/$ENV{REPLACE}/);
        die "find text not found\n" unless $n;
        open(my $out, ">:raw", $path) or die "$path: $!\n";
        print $out $text;
        close $out or die "$path: $!\n";' "$1"
}

test_regex() {
    local names=() t
    for t in $1; do names+=("$(printf '%s' "$t" | sed 's/[.[\*^$+?(){}|\\]/\\&/g')"); done
    local IFS='|'
    echo "^(${names[*]})\$"
}

build_targets() {
    local targets=() t
    for t in $1; do
        while IFS= read -r target; do targets+=("$target"); done < <(targets_of_test "$t")
    done
    cmake --build "$build" -j2 --target $(printf '%s\n' "${targets[@]}" | sort -u) > "$2" 2>&1
}

run_tests() {
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -R "$(test_regex "$1")" --no-tests=error \
        --output-on-failure > "$2" 2>&1
}

selected=()
shopt -s nocasematch
for i in "${!names[@]}"; do
    [[ -z "$filter" || "${names[$i]}" == *"$filter"* ]] && selected+=("$i")
done
shopt -u nocasematch
if [ ${#selected[@]} -eq 0 ]; then
    echo "mutants: no mutant's name contains \"$filter\""
    exit 0
fi

# The tests are run once without any mutant: a test failing already would kill every mutant.
declare -A failing_alone=()
all_tests=$(for i in "${selected[@]}"; do echo ${testlists[$i]}; done | tr ' ' '\n' | sort -u | tr '\n' ' ')
echo "mutants: ${#selected[@]} mutants; building and running their tests without a mutant first"
if ! build_targets "$all_tests" "$work/baseline-build.log"; then
    echo "mutants: the unchanged tree does not build; see below" >&2
    tail -n 30 "$work/baseline-build.log" >&2
    exit 2
fi
for t in $all_tests; do
    if ! run_tests "$t" "$work/baseline-$t.log"; then
        failing_alone[$t]=1
        echo "mutants: $t fails without any mutant; mutants listing it are not measured"
    fi
done

killed=0 survived=0 invalid=0 unmeasured=0
survivors=()
started=$(date +%s)
for n in "${!selected[@]}"; do
    i=${selected[$n]}
    name=${names[$i]} file="$here/${files[$i]}" tests=${testlists[$i]}
    printf '[%d/%d] %s (%s) ... ' $((n + 1)) ${#selected[@]} "$name" "${files[$i]}"
    skip=false
    for t in $tests; do [ -n "${failing_alone[$t]:-}" ] && skip=true; done
    if $skip; then
        unmeasured=$((unmeasured + 1))
        echo "not measured (a listed test fails without the mutant)"
        continue
    fi

    active_backup="$work/backup"
    cp -p "$file" "$active_backup" || { echo "mutants: cannot back up $file" >&2; exit 2; }
    active_file=$file
    if ! apply_mutant "$file" "${finds[$i]}" "${replaces[$i]}"; then
        restore
        invalid=$((invalid + 1))
        echo "invalid (could not be applied)"
        continue
    fi

    if ! build_targets "$tests" "$work/build.log"; then
        result=invalid
    elif run_tests "$tests" "$work/test.log"; then
        result=survived
    else
        result=killed
    fi
    restore || exit 2

    case $result in
    killed)
        killed=$((killed + 1))
        echo "killed ($(sed -n '/tests FAILED:/,$p' "$work/test.log" | grep -E '^[[:space:]]+[0-9]+ - ' |
            sed -E 's/^[[:space:]]+[0-9]+ - //' | tr '\n' ',' | sed 's/,$//; s/,/, /g'))"
        ;;
    survived)
        survived=$((survived + 1))
        survivors+=("$i")
        if [ -n "${equivalents[$i]}" ]; then
            echo "survived (equivalent: ${equivalents[$i]})"
        else
            echo "survived"
        fi
        ;;
    invalid)
        invalid=$((invalid + 1))
        echo "invalid (does not build)"
        grep -m 3 -E 'error:' "$work/build.log" | sed 's/^/    /'
        ;;
    esac
done

# The objects removed above are compiled again from the restored sources, so the build folder
# holds the program as it is in src/.
echo "mutants: rebuilding the restored sources"
build_targets "$all_tests" "$work/final-build.log" ||
    echo "mutants: the final rebuild failed; see $build (cmake --build)" >&2

elapsed=$(($(date +%s) - started))
echo
echo "Summary ($((elapsed / 60)) min):"
echo "  killed:   $killed"
echo "  survived: $survived"
echo "  invalid:  $invalid"
[ "$unmeasured" -gt 0 ] && echo "  not measured: $unmeasured"
if [ $((killed + survived)) -gt 0 ]; then
    echo "  kill rate: $(awk -v k=$killed -v s=$survived 'BEGIN { printf "%.1f%%", 100 * k / (k + s) }')" \
        "($killed of $((killed + survived)))"
else
    echo "  kill rate: n/a"
fi
if [ ${#survivors[@]} -gt 0 ]; then
    echo "Survivors:"
    for i in "${survivors[@]}"; do
        line="  - ${names[$i]} (${files[$i]}; tests: ${testlists[$i]})"
        [ -n "${equivalents[$i]}" ] && line+=" [equivalent: ${equivalents[$i]}]"
        echo "$line"
    done
fi
if ! git diff --quiet -- src; then
    echo "mutants: src/ differs from what it was before the run" >&2
fi
exit 0
