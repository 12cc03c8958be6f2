@echo off
rem The release check: plays the scenario of the end-to-end tests on each program in this folder,
rem with the mouse and the keyboard as a person would, compares every window with its reviewed
rem snapshot, and writes check\report.txt. Start it in the unpacked release folder, with the
rem check's files beside the programs, and leave the mouse and the keyboard alone until it has
rem finished (up to a minute a program).
setlocal
set "here=%~dp0"
set "check=%here%check"
set "report=%check%\report.txt"
if not defined PRACTICUM_TIME_SCALE set "PRACTICUM_TIME_SCALE=1"
if not exist "%check%\screens" mkdir "%check%\screens"
set /a passed=0
set /a failed=0
set /a missing=0
> "%report%" echo Release check, started %DATE% %TIME%, of the programs in %here%
"%check%\e2e_driver.exe" --code-page >> "%report%"
>> "%report%" echo.
for %%p in (@RELEASE_CHECK_DELIVERABLES@) do call :play %%p
>> "%report%" echo.
set "summary=%passed% passed, %failed% failed, %missing% not in this folder"
if not "%failed%%missing%"=="00" goto :differs
>> "%report%" echo All %passed% programs passed: each does what the tested program does.
echo All %passed% programs passed. The report: %report%
pause
exit /b 0
:differs
>> "%report%" echo %summary%: this folder is not the release as tested.
echo %summary%. The report: %report%
pause
exit /b 1

rem One program: its scenario's output goes into the report.
:play
if exist "%here%%~1.exe" goto :present
>> "%report%" echo %~1: not in this folder
echo %~1: not in this folder
set /a missing+=1
goto :eof
:present
echo %~1: playing its scenario...
"%check%\e2e_driver.exe" %~1 "%here%%~1.exe" "%check%\windows\%~1.txt" "%check%\screens" ^
    --time-scale=%PRACTICUM_TIME_SCALE% > "%check%\%~1.log" 2>&1
if errorlevel 1 goto :failed
set /a passed+=1
echo %~1: passed
goto :logged
:failed
set /a failed+=1
echo %~1: FAILED (see the report)
:logged
type "%check%\%~1.log" >> "%report%"
goto :eof
