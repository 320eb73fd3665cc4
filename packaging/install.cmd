@echo off
rem Registers Sirel for the current user only; no administrator rights are needed.
rem   x64\Sirel.dll for 64-bit hosts (64-bit Office, PowerShell, cscript), on 64-bit Windows;
rem   x86\Sirel.dll for 32-bit hosts (32-bit Office, SysWOW64\cscript).
rem The DLLs stay where they are: keep this folder, or move it first and run this again.
rem Works from any current folder, in folders whose names hold spaces or any other character.
setlocal
set "here=%~dp0"
call "%here%uninstall.cmd" /find
if errorlevel 1 exit /b 1

rem x86 first: where one view of the user's classes serves both bitnesses (Wine), the x64 DLL,
rem registered last, serves the 64-bit hosts. Windows keeps a view per bitness.
set failed=
if defined SIREL_REGSVR32_X86 call :register "%SIREL_REGSVR32_X86%" x86
if defined SIREL_REGSVR32_X64 call :register "%SIREL_REGSVR32_X64%" x64
if defined failed goto failed
echo Sirel is registered for %USERNAME%. uninstall.cmd removes it.
exit /b 0

rem Half a registration is worse than none: undo both when one fails.
:failed
call "%here%uninstall.cmd" >nul 2>&1
echo Sirel is NOT registered: %failed% failed.
exit /b 1

:register
"%~1" /s /n /i:user "%here%%2\Sirel.dll"
if errorlevel 1 (
  set "failed=%failed% %2\Sirel.dll"
  exit /b 1
)
echo Registered %here%%2\Sirel.dll for the current user.
exit /b 0
