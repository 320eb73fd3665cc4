' Sirel from VBScript:  cscript hello.vbs [seconds]   (register Sirel.dll first with install.cmd;
' a 32-bit script host needs the x86 DLL registered, a 64-bit one the x64 DLL). The window stays
' up for the given seconds (default 30) while a message box waits.
' Checked by the release tests: run with Wine's 64-bit cscript from the unpacked archive.
Option Explicit

Dim sirel
Set sirel = CreateObject("Sirel.Sireler")
sirel.ShowCounter = True
sirel.ShowPriority = True
sirel.FormVisible = True

sirel.DoSirel "Hello from VBScript"          ' priority left out: -1, always shown
sirel.DoSirel "An important message", 10

' A failing call is a run-time error of the script, with the error table's number and text.
On Error Resume Next
sirel.SetParentWindow 1E+20
If Err.Number <> 0 Then WScript.Echo "Error " & Err.Number & ": " & Err.Description
On Error GoTo 0

WScript.Echo sirel.Count & " lines; the last one is: " & sirel.LastMessage
' A message box with a timeout runs the thread's messages, so the window paints meanwhile.
Dim seconds
seconds = 30
If WScript.Arguments.Count > 0 Then seconds = CLng(WScript.Arguments(0))
CreateObject("WScript.Shell").Popup "Close this box to end the sample.", seconds, "Sirel"
