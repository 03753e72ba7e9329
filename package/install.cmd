@echo off
rem Installs the KORUNEX screen saver for every user of this computer.
rem Run it from a command prompt opened with "Run as administrator".
setlocal
set "HERE=%~dp0"
set "SYSDIR=%SystemRoot%\System32"
rem A 32-bit command prompt sees the 32-bit system folder under that name.
if exist "%SystemRoot%\Sysnative\cmd.exe" set "SYSDIR=%SystemRoot%\Sysnative"
set "INI=%SystemRoot%\KORUNEX.ini"

rem Only an administrator may write the system folder.
copy /y nul "%SYSDIR%\KORUNEX-install.tmp" >nul 2>&1
if not exist "%SYSDIR%\KORUNEX-install.tmp" goto not_admin
del "%SYSDIR%\KORUNEX-install.tmp" >nul 2>&1

copy /y "%HERE%KORUNEX64.SCR" "%SYSDIR%\KORUNEX64.SCR" >nul
if errorlevel 1 goto copy_failed
echo Copied KORUNEX64.SCR into %SYSDIR%.

rem The ini file holds the user's settings and shapes: never overwrite it.
if exist "%INI%" goto keep_ini
copy /y "%HERE%KORUNEX.ini" "%INI%" >nul
if errorlevel 1 goto ini_failed
echo Copied KORUNEX.ini into %SystemRoot%.
goto grant

:keep_ini
echo Kept the existing %INI% with its settings and shapes.

:grant
rem A 64-bit program gets no file virtualization: without this right a
rem standard user's settings could never be saved. S-1-5-32-545 is the
rem local Users group in every language of Windows.
icacls "%INI%" /grant *S-1-5-32-545:M >nul
if errorlevel 1 goto grant_failed
echo The Users group may now change %INI%.
echo Done: choose KORUNEX64 in the screen saver settings.
exit /b 0

:not_admin
echo install: please run this from a command prompt opened with "Run as administrator". 1>&2
exit /b 1
:copy_failed
echo install: could not copy KORUNEX64.SCR into %SYSDIR%; is the screen saver running? 1>&2
exit /b 1
:ini_failed
echo install: could not copy KORUNEX.ini into %SystemRoot%. 1>&2
exit /b 1
:grant_failed
echo install: could not give the Users group the right to change %INI%. 1>&2
exit /b 1
