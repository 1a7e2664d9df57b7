#!/usr/bin/env bash
# Reads readyscan.exe's headers and import table and fails on anything that would keep it from
# loading on Windows 2000: not 32-bit x86, not a console program, a subsystem version above 5.0,
# a DLL other than KERNEL32.dll and msvcrt.dll, or a function those DLLs lack on Windows 2000; and
# on the want of a version resource or of the asInvoker manifest.
set -u
exe=${1:?usage: check_win32_exe.sh readyscan.exe}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
dump=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }

# Functions known to be exported by Windows 2000's KERNEL32.dll and msvcrt.dll. Anything else
# must be checked against that system before it goes on this list.
kernel32_2000="
AreFileApisANSI CloseHandle CreateEventA CreateFileA CreateProcessA CreateSemaphoreA CreateSemaphoreW
DeleteCriticalSection DuplicateHandle EnterCriticalSection ExitProcess ExitThread FileTimeToDosDateTime
FileTimeToLocalFileTime FileTimeToSystemTime FreeEnvironmentStringsA FreeEnvironmentStringsW FreeLibrary
GetACP GetCommandLineA GetCommandLineW GetConsoleMode GetCPInfo GetCurrentProcess GetCurrentProcessId
GetCurrentThread GetCurrentThreadId GetEnvironmentStrings GetEnvironmentStringsA GetEnvironmentStringsW
GetEnvironmentVariableA GetExitCodeProcess GetFileAttributesA GetFileSize GetFileTime GetFileType
GetLastError GetModuleFileNameA GetModuleFileNameW GetModuleHandleA GetModuleHandleW GetOEMCP
GetProcAddress GetProcessHeap GetShortPathNameA GetStartupInfoA GetStartupInfoW GetStdHandle
GetSystemTimeAsFileTime GetTickCount GetVersion GetVersionExA HeapAlloc HeapFree HeapReAlloc HeapSize
InitializeCriticalSection InterlockedCompareExchange InterlockedDecrement InterlockedExchange
InterlockedIncrement IsDBCSLeadByte IsDBCSLeadByteEx LeaveCriticalSection LoadLibraryA LoadLibraryW
LocalFree MultiByteToWideChar QueryPerformanceCounter RaiseException ReadFile ReleaseSemaphore
ResetEvent RtlUnwind SetEvent SetLastError SetUnhandledExceptionFilter Sleep TerminateProcess TlsAlloc
TlsFree TlsGetValue TlsSetValue UnhandledExceptionFilter VirtualAlloc VirtualFree VirtualProtect
VirtualQuery WaitForSingleObject WideCharToMultiByte WriteFile"
msvcrt_2000="
__dllonexit __getmainargs __initenv __iob_func __lconv_init __mb_cur_max __p__acmdln __p__commode
__p__environ __p__fmode __set_app_type __setusermatherr __wgetmainargs _amsg_exit _assert _cexit
_close _errno _exit _fileno _fmode _initterm _iob _lock _onexit _read _setmode _unlock _write abort
atexit atoi calloc exit fflush fprintf fputc fputs free fwrite getenv localeconv malloc memchr memcmp
memcpy memmove memset printf realloc setlocale signal sprintf strchr strcmp strcoll strerror strftime
strlen strncmp strtol strtoul strxfrm towlower towupper vfprintf wcscoll wcsftime wcslen wcsxfrm"
# Seen in mingw-w64 builds and known to be missing from Windows 2000, named for a clearer message.
newer="AddVectoredExceptionHandler RemoveVectoredExceptionHandler GetTickCount64 InitializeCriticalSectionEx
EncodePointer DecodePointer GetModuleHandleExW GetModuleHandleExA FlsAlloc FlsGetValue FlsSetValue FlsFree
GetSystemTimePreciseAsFileTime SetThreadStackGuarantee GetNativeSystemInfo _time64 _localtime64 _gmtime64
_mktime64 _fstat64 _stat64 _wstat64 _ftime64 _difftime64 _ctime64 __lc_codepage _localtime32 _time32
_gmtime32"

problems=()
grep -q 'file format pei-i386' <<<"$dump" || problems+=("not a 32-bit x86 executable")
grep -Eq '^Magic[[:space:]]+010b' <<<"$dump" || problems+=("not PE32")
grep -Eq '^Subsystem[[:space:]]+00000003' <<<"$dump" || problems+=("not a console program")
major=$(awk '/^MajorSubsystemVersion/{print $2}' <<<"$dump")
minor=$(awk '/^MinorSubsystemVersion/{print $2}' <<<"$dump")
if [ -z "$major" ] || [ "$major" -gt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -gt 0 ]; }; then
  problems+=("subsystem version $major.$minor is above 5.0")
fi

# What Windows users expect to find: a version resource and a manifest that asks for asInvoker.
LC_ALL=C grep -qaP 'P\x00r\x00o\x00d\x00u\x00c\x00t\x00N\x00a\x00m\x00e' "$exe" || problems+=("no version resource")
grep -qa 'level="asInvoker"' "$exe" || problems+=("no asInvoker manifest")

imports=$(awk '/DLL Name:/{dll=$3} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/{print dll, $3}' <<<"$dump")
[ -n "$imports" ] || problems+=("no import table found")
while read -r dll function; do
  [ -n "$dll" ] || continue
  case "$dll" in
    KERNEL32.dll) known=$kernel32_2000 ;;
    msvcrt.dll) known=$msvcrt_2000 ;;
    *) problems+=("imports $function from $dll, a DLL other than KERNEL32.dll and msvcrt.dll"); continue ;;
  esac
  if grep -qw -- "$function" <<<"$newer"; then
    problems+=("$dll!$function is missing from Windows 2000")
  elif ! grep -qw -- "$function" <<<"$known"; then
    problems+=("$dll!$function is not known to be in Windows 2000")
  fi
done <<<"$imports"

if [ ${#problems[@]} -gt 0 ]; then
  echo "$exe would not load on Windows 2000:"
  printf '  %s\n' "${problems[@]}"
  echo "imports found:"
  sed 's/^/  /' <<<"$imports"
  exit 1
fi
echo "$exe: PE32 i386 console program, subsystem $major.$minor, $(wc -l <<<"$imports") imports, all in Windows 2000"
