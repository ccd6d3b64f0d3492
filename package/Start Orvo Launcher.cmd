@echo off
rem Starts Orvo Launcher with the settings file beside it, so its settings and its entries stay in
rem this folder wherever the folder is. The first expansion below is the folder of this file (with
rem a trailing backslash) whatever the current folder is; the quotes keep blanks and any other
rem characters of the path intact.
start "" "%~dp0Launcher.exe" "%~dp0Launcher.ini"
