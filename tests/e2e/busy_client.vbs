' A script client that never yields, for the picture checks of tests/wine.d/e2e.sh:
'   cscript busy_client.vbs <parent> <caption> <top twips> <left twips> <lines> [<hidden>]
' <parent> is "foreground" (the window stays where creating the poster put it: with no
' foreground window, on its own), "nothing" (a class name that matches no window) or a window
' class name. Posts "Hidden line 1".."Hidden line <hidden>" with the window hidden, shows it,
' keeps busy for 2 seconds without posting, then posts "Script line 1".."Script line <lines>"
' one every 100 ms, all without running any messages, then waits in a message box for
' 6 seconds. Prints "shown", "posting", "waiting" and "done" as it goes.
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
If args.Count > 5 Then
    For i = 1 To CLng(args(5))
        poster.DoSirel "Hidden line " & i
    Next
End If
poster.FormVisible = True
WScript.Echo "shown"
Busy 2
WScript.Echo "posting"
For i = 1 To CLng(args(4))
    poster.DoSirel "Script line " & i
    Busy 0.1
Next
WScript.Echo "waiting"
Set shell = CreateObject("WScript.Shell")
shell.Popup "The script waits", 6, "Script waits"
WScript.Echo "done"

' Keeps the thread busy for that many seconds without running its messages.
Sub Busy(seconds)
    started = Timer
    Do While Timer - started < seconds And Timer >= started
    Loop
End Sub
