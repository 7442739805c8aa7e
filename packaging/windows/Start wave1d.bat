@echo off
rem wave1d in a window of 1000 x 400 pixels, which holds the whole string.
rem The program is found beside this file, wherever the folder was unpacked.
"%~dp0wave1d.exe" -geometry 1000x400 %*
