@echo off
rem Removes what install.cmd registered for the current user: the x64 and the x86 Sirel.dll of
rem this folder. Removing what is not registered is not an error. The files stay where they are.
rem (install.cmd calls it with /find, which only names the regsvr32 programs to use.)
set "here=%~dp0"
if /i "%~1"=="/find" goto find
setlocal
call :find
if errorlevel 1 exit /b 1
set failed=
if defined SIREL_REGSVR32_X64 call :unregister "%SIREL_REGSVR32_X64%" x64
if defined SIREL_REGSVR32_X86 call :unregister "%SIREL_REGSVR32_X86%" x86
if defined failed (
  echo Removing%failed% failed.
  exit /b 1
)
echo Sirel is no longer registered for %USERNAME%.
exit /b 0

:unregister
"%~1" /s /u /n /i:user "%here%%2\Sirel.dll"
if errorlevel 1 (
  set "failed=%failed% %2\Sirel.dll"
  exit /b 1
)
echo Removed the registration of %here%%2\Sirel.dll.
exit /b 0

rem Which regsvr32 serves which bitness, whoever started the script:
rem   a 64-bit prompt on 64-bit Windows: System32 is 64-bit, SysWOW64 32-bit;
rem   a 32-bit prompt on 64-bit Windows: Sysnative is 64-bit, System32 32-bit;
rem   32-bit Windows: System32 only, for the x86 DLL.
:find
set SIREL_REGSVR32_X64=
set SIREL_REGSVR32_X86=
if exist "%SystemRoot%\Sysnative\regsvr32.exe" (
  set "SIREL_REGSVR32_X64=%SystemRoot%\Sysnative\regsvr32.exe"
  set "SIREL_REGSVR32_X86=%SystemRoot%\System32\regsvr32.exe"
) else if exist "%SystemRoot%\SysWOW64\regsvr32.exe" (
  set "SIREL_REGSVR32_X64=%SystemRoot%\System32\regsvr32.exe"
  set "SIREL_REGSVR32_X86=%SystemRoot%\SysWOW64\regsvr32.exe"
) else (
  set "SIREL_REGSVR32_X86=%SystemRoot%\System32\regsvr32.exe"
)
if not exist "%here%x86\Sirel.dll" (
  echo x86\Sirel.dll is not next to %~nx0: unpack the whole archive first.
  exit /b 1
)
if defined SIREL_REGSVR32_X64 if not exist "%here%x64\Sirel.dll" (
  echo x64\Sirel.dll is not next to %~nx0: unpack the whole archive first.
  exit /b 1
)
exit /b 0
