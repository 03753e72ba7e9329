@echo off
rem Removes the KORUNEX screen saver. The settings and shapes in KORUNEX.ini stay.
rem Run it from a command prompt opened with "Run as administrator".
setlocal
set "SYSDIR=%SystemRoot%\System32"
if exist "%SystemRoot%\Sysnative\cmd.exe" set "SYSDIR=%SystemRoot%\Sysnative"

copy /y nul "%SYSDIR%\KORUNEX-install.tmp" >nul 2>&1
if not exist "%SYSDIR%\KORUNEX-install.tmp" goto not_admin
del "%SYSDIR%\KORUNEX-install.tmp" >nul 2>&1

if not exist "%SYSDIR%\KORUNEX64.SCR" goto not_installed
del "%SYSDIR%\KORUNEX64.SCR"
if exist "%SYSDIR%\KORUNEX64.SCR" goto delete_failed
echo Removed KORUNEX64.SCR from %SYSDIR%.
goto kept

:not_installed
echo KORUNEX64.SCR was not installed in %SYSDIR%.

:kept
if exist "%SystemRoot%\KORUNEX.ini" echo Kept %SystemRoot%\KORUNEX.ini with your settings and shapes; delete it yourself if you no longer want them.
exit /b 0

:not_admin
echo uninstall: please run this from a command prompt opened with "Run as administrator". 1>&2
exit /b 1
:delete_failed
echo uninstall: could not remove %SYSDIR%\KORUNEX64.SCR; is the screen saver running? 1>&2
exit /b 1
