#!/usr/bin/env bash
# The system calls of a run, under strace: exactly one open per PATH candidate, one for "sh.exe",
# one per toolchain file, in that order, no other probing call (stat, access, readlink) on any of
# those names, and, with standard output redirected, exactly two writes to it for a ready run
# (before the command starts, and at the end); on a terminal, one write per text.
set -u
binary=$(realpath "${1:?usage: check_syscalls.sh readyscan}")
strace=$(command -v strace) || { echo "strace is not installed"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
printf '#!/bin/sh\necho banner\n' > cmd
chmod +x cmd
touch 'C:\Progra~1\ARM\ADSv1_2\Bin\tcc.exe' 'C:\Program Files\ARM\ADSv1_2\Bin\tcpp.dll'
touch -d '2002-09-03 12:00 UTC' 'C:\Program Files\ARM\ADSv1_2\Bin\tcpp.dll'

failures=0
check() {  # name, number of PATH entries, COMSPEC value
  local name=$1 entries=$2 comspec=$3
  local path expected
  path=$(awk -v n="$entries" 'BEGIN { for (i = 0; i < n; i++) printf "%s%s", (i ? ";" : ""), (i % 3 ? "C:\\dir" i "\\" : "/absent/dir" i) }')
  # The names readyscan must open, in order, as strace shows them (a backslash doubled).
  expected=$(awk -v n="$entries" 'BEGIN {
      for (i = 0; i < n; i++) print (i % 3 ? "C:\\\\dir" i "\\\\sh.exe" : "/absent/dir" i "\\\\sh.exe")
      print "sh.exe"; print "C:\\\\Progra~1\\\\ARM\\\\ADSv1_2\\\\Bin\\\\tcc.exe"
      print "C:\\\\Program Files\\\\ARM\\\\ADSv1_2\\\\Bin\\\\tcpp.dll" }')
  env -i OS=Windows_NT COMSPEC="$comspec" TZ=UTC PATH="$path" "$strace" -qq -s 100000 -o "$dir/trace" \
    -e trace=open,openat,openat2,creat,stat,lstat,newfstatat,statx,access,faccessat,faccessat2,readlink,readlinkat,write \
    "$binary" > "$dir/out" < /dev/null
  local status=$? problems=()
  [ "$status" -eq 0 ] || problems+=("exit status $status")
  # Opens of the program's own names: everything but the loader's and the time-zone files.
  local opened
  opened=$(grep -E '^open(at|at2)?\(' "$dir/trace" | sed -E 's/^[^"]*"((\\.|[^"\\])*)".*/\1/' |
    grep -vE '^(/etc/|/lib|/usr/lib|/usr/share/zoneinfo)')
  [ "$opened" = "$expected" ] || problems+=("opens differ from one per candidate, sh.exe, tcc.exe, tcpp.dll")
  # No call that probes by name may name a candidate or a toolchain file.
  local probing
  probing=$(grep -E '^(stat|lstat|newfstatat|statx|access|faccessat|faccessat2|readlink|readlinkat)\(' "$dir/trace" |
    grep -vE '^[a-z0-9]+\((AT_FDCWD, )?"(/etc/|/lib|/usr/lib|/usr/share/zoneinfo)|^newfstatat\([0-9]+, ""' || true)
  [ -z "$probing" ] || problems+=("probing calls by name: $(head -n 3 <<<"$probing")")
  local writes
  writes=$(grep -c '^write(1,' "$dir/trace")
  [ "$writes" -eq 2 ] || problems+=("$writes writes to standard output, not 2")
  if [ ${#problems[@]} -eq 0 ]; then
    echo "ok: $name ($entries entries, $writes writes)"
  else
    echo "FAIL: $name: ${problems[*]}"
    diff <(echo "$expected") <(echo "$opened") | head -n 10
    failures=$((failures + 1))
  fi
}

# On a terminal every text goes out at once: one write per text.
console() {  # name, expected writes, environment...
  local name=$1 expected=$2
  shift 2
  rm -f "$dir/tty-trace"
  local command="env -i"
  for setting in "$@"; do command+=" $(printf '%q' "$setting")"; done
  command+=" $strace -qq -o $dir/tty-trace -e trace=write $binary"
  script -qec "$command" /dev/null < /dev/null > /dev/null
  local writes
  writes=$(grep -c '^write(1,' "$dir/tty-trace" 2>/dev/null)
  if [ "$writes" = "$expected" ]; then
    echo "ok: $name on a terminal ($writes writes)"
  else
    echo "FAIL: $name on a terminal: ${writes:-no} writes, not $expected"
    failures=$((failures + 1))
  fi
}

check "ready, no interpreter" 20 ""
check "ready, with an interpreter" 20 "$dir/cmd"
check "ready, 8,000 entries" 8000 ""
check "ready, one entry" 1 "$dir/cmd"
console "ready" 7 OS=Windows_NT COMSPEC= TZ=UTC 'PATH=C:\a;C:\b'
console "not Windows NT" 2 OS=Windows_95
console "4NT" 3 OS=Windows_NT _CMDPROC=4NT
[ "$failures" -eq 0 ]
