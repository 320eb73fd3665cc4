' A script client that never yields, for the picture checks of tests/wine.d/e2e.sh:
'   cscript busy_client.vbs <parent> <caption> <top twips> <left twips> <lines>
' <parent> is "foreground" (the window stays where creating the poster put it: with no
' foreground window, on its own), "nothing" (a class name that matches no window) or a window
' class name. Shows the window, posts "Script line 1".."Script line <lines>" one every 100 ms
' without running any messages, then waits in a message box for 6 seconds. Prints "posting",
' "waiting" and "done" as it goes.
Option Explicit
Dim args, poster, shell, i, started
Set args = WScript.Arguments
Set poster = CreateObject("Sirel.Sireler")
Select Case args(0)
    Case "foreground"
    Case "nothing": poster.SetParentWindow "no class has this name"
    Case Else: poster.SetParentWindow args(0)
End Select
poster.Caption = args(1)
poster.SetLocation CSng(args(2)), CSng(args(3))
poster.FormVisible = True
WScript.Echo "posting"
For i = 1 To CLng(args(4))
    poster.DoSirel "Script line " & i
    started = Timer
    Do While Timer - started < 0.1 And Timer >= started
    Loop
Next
WScript.Echo "waiting"
Set shell = CreateObject("WScript.Shell")
shell.Popup "The script waits", 6, "Script waits"
WScript.Echo "done"
