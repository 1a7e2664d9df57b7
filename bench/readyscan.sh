#!/bin/sh
# readyscan's six checks with the same texts, as a user might write them in a POSIX shell instead:
# the comparison for the whole-process benchmark. Uses shell builtins and /bin/date only, so that
# the PATH under test is never searched.
if [ "${OS-}" != Windows_NT ]; then
  printf 'Our build environment support Windows 2000/XP only.'
  printf 'OS is Windows 2000 or XP. => [FAIL]\n'
  exit 1
fi
printf 'OS is Windows 2000 or XP. => [OK]\n'

if [ -n "${_CMDPROC+set}" ]; then
  [ "$_CMDPROC" = 4NT ] && printf "Our build environment don't support 4NT."
  [ "$_CMDPROC" = 4DOS ] && printf "Our build environment don't support 4DOS."
  printf 'Shell is cmd.exe. => [FAIL]\n'
  exit 1
fi
printf 'Shell is cmd.exe. => [OK]\n'

status=-1
if [ -n "${COMSPEC+set}" ] && [ -n "$COMSPEC" ] && [ -x "$COMSPEC" ]; then
  "$COMSPEC" /c 'perl -v '
  status=$?
fi
if [ "$status" = 1 ]; then
  printf "We can't find perl.  Please install perl."
  printf 'Perl installed. => [FAIL]\n'
  exit 1
fi
printf 'Perl installed. => [OK]\n'

# Walk PATH from separator to separator, then take the final entry, as readyscan does; empty
# entries count, and nothing is globbed or split on blanks.
if [ "${#PATH}" -ge 2 ]; then
  rest=$PATH
  while :; do
    case $rest in
      *';'*) entry=${rest%%;*} rest=${rest#*;} final=no ;;
      *) entry=$rest final=yes ;;
    esac
    case $entry in *'\') candidate="${entry}sh.exe" ;; *) candidate="${entry}\\sh.exe" ;; esac
    if [ -f "$candidate" ]; then
      if [ "$final" = yes ]; then printf '\n%s exist! \n ' "$candidate"; else printf '\n%s exist!\n' "$candidate"; fi
      printf 'sh.exe shall not exist in path. => [FAIL]\n'
      exit 1
    fi
    [ "$final" = yes ] && break
  done
fi
if [ -f sh.exe ]; then
  printf '\nsh.exe exist! \n'
  printf 'sh.exe shall not exist in path. => [FAIL]\n'
  exit 1
fi
printf 'sh.exe shall not exist in path. => [OK]\n'

tcc='C:\Progra~1\ARM\ADSv1_2\Bin\tcc.exe'
if [ ! -f "$tcc" ] || [ ! -r "$tcc" ]; then
  printf "%s shall doesn't exist!\n" "$tcc"
  printf '%s shall exist. => [FAIL]\n' "$tcc"
  exit 1
fi
printf '%s shall exist. => [OK]\n' "$tcc"

tcpp='C:\Program Files\ARM\ADSv1_2\Bin\tcpp.dll'
if [ ! -f "$tcpp" ] || [ ! -r "$tcpp" ]; then
  printf 'C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcpp.dll shall exist. => [FAIL]\n'
  exit 1
fi
if [ "$(/bin/date -r "$tcpp" +%Y%m%d)" -ge 20020903 ]; then
  printf '%s modified time shall later than 3/9/2002. => [OK]\n' "$tcpp"
  printf 'Build environment is ready!\n'
  exit 0
fi
printf '%s modified time is %s \n' "$tcpp" "$(/bin/date -r "$tcpp" +%-d/%-m/%Y)"
printf '%s modified time shall later than 2/9/2002. => [FAIL]\n' "$tcpp"
exit 1
