#!/usr/bin/env bash
# Runs readyscan under valgrind memcheck, over a ready run and over failing ones, and fails on any
# memory error, any block not freed at exit, or any file descriptor left open beyond the standard
# three.
set -u
binary=$(realpath "${1:?usage: check_valgrind.sh readyscan}")
valgrind=$(command -v valgrind) || { echo "valgrind is not installed"; exit 1; }
# Nothing of ours may stand open when the program starts, or it would be counted against it.
for fd in $(ls /proc/$$/fd); do
  [ "$fd" -gt 2 ] && eval "exec $fd>&-"
done
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
printf '#!/bin/sh\necho banner\nexit "${STATUS:-0}"\n' > cmd
chmod +x cmd
touch 'C:\Progra~1\ARM\ADSv1_2\Bin\tcc.exe' 'C:\Program Files\ARM\ADSv1_2\Bin\tcpp.dll'
touch -d '2002-09-03 12:00 UTC' 'C:\Program Files\ARM\ADSv1_2\Bin\tcpp.dll'
mkdir bin && touch 'bin\sh.exe'

failures=0
run() {  # name, expected status, environment...
  local name=$1 expected=$2
  shift 2
  env -i "$@" "$valgrind" --leak-check=full --show-leak-kinds=all --errors-for-leak-kinds=all \
    --track-fds=yes --error-exitcode=99 "$binary" < /dev/null > "$dir/out" 2> "$dir/log"
  local status=$?
  local problems=()
  [ "$status" -eq "$expected" ] || problems+=("exit status $status, not $expected")
  grep -q 'ERROR SUMMARY: 0 errors' "$dir/log" || problems+=("memory errors")
  grep -q 'All heap blocks were freed' "$dir/log" || problems+=("blocks not freed at exit")
  grep -q 'FILE DESCRIPTORS: 3 open (3 std) at exit' "$dir/log" || problems+=("descriptors left open")
  if [ ${#problems[@]} -eq 0 ]; then
    echo "ok: $name"
  else
    echo "FAIL: $name: ${problems[*]}"
    sed 's/^/    /' "$dir/log"
    failures=$((failures + 1))
  fi
}

run "ready" 0 OS=Windows_NT COMSPEC="$dir/cmd" PATH='/a;/b' TZ=UTC
run "ready, no interpreter" 0 OS=Windows_NT COMSPEC= TZ=UTC
run "ready, CMD.EXE searched" 0 OS=Windows_NT PATH=/nonexistent TZ=UTC
run "not Windows NT" 1 OS=Windows_95
run "4NT" 1 OS=Windows_NT _CMDPROC=4NT
run "perl missing" 1 OS=Windows_NT COMSPEC="$dir/cmd" STATUS=1
run "sh.exe inside the path" 1 OS=Windows_NT COMSPEC= PATH="$dir/bin;/x"
run "sh.exe at the end of the path" 1 OS=Windows_NT COMSPEC= PATH="/x;$dir/bin"
touch -d '2002-09-02 12:00 UTC' 'C:\Program Files\ARM\ADSv1_2\Bin\tcpp.dll'
run "old tcpp.dll" 1 OS=Windows_NT COMSPEC= TZ=UTC
rm 'C:\Progra~1\ARM\ADSv1_2\Bin\tcc.exe'
run "no tcc.exe" 1 OS=Windows_NT COMSPEC=
[ "$failures" -eq 0 ]
