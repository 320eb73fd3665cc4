' A script client's use of Sirel.Sireler: creation by ProgID, defaults, settings, posting with
' variables that hold text, an omitted priority, names in any case, the list and the window.
On Error Resume Next

Dim s
Set s = CreateObject("Sirel.Sireler")
Check "created by ProgID", IsObject(s), True

Check "MinPriority default", s.MinPriority, 0
Check "MaxPriority default", s.MaxPriority, 9999999
Check "EnableEvents default", s.EnableEvents, True
Check "ReturnFocus default", s.ReturnFocus, True
Check "ShowCounter default", s.ShowCounter, False
Check "ShowPriority default", s.ShowPriority, False
Check "MaxListCount default", s.MaxListCount, 0
Check "FormVisible default", s.FormVisible, False

s.ClearList
Check "empty list count", s.Count, 0
Check "empty list last message", s.LastMessage, ""

' Script variables are Variants passed by reference; here they hold text.
Dim text, priority
text = "hello"
priority = "3"
s.ShowCounter = True
s.ShowPriority = True
s.DoSirel text, priority
Check "posted from text variables", s.LastMessage, "1: 3: hello"
Check "the variables keep their values", text & "/" & TypeName(priority) & "/" & priority, "hello/String/3"

s.DoSirel "no priority"
Check "omitted priority is -1", s.LastMessage, "2: -1: no priority"

s.dosirel "lower case", 4
Check "names in any case", s.LASTMESSAGE, "3: 4: lower case"
Check "count after three postings", s.Count, 3

s.ShowCounter = False
s.ShowPriority = False
s.MaxListCount = "2"
Check "limit given as text", s.MaxListCount, 2
s.DoSirel "a", 1
Check "a limit below the count trims one line per posting", s.Count, 3
s.ClearList
s.DoSirel "a", 1
s.DoSirel "b", 1
s.DoSirel "c", 1
Check "the limit holds", s.Count, 2
Check "newest line last", s.LastMessage, "c"

s.MinPriority = 50
s.MaxPriority = 10
s.DoSirel "dropped", 20
Check "the filter drops a priority between the bounds", s.LastMessage, "c"
s.DoSirel "kept", 60
Check "the filter keeps a priority above the lower bound", s.LastMessage, "kept"

s.ResetCounter
s.ShowCounter = True
s.DoSirel "first again", 1
Check "counter restarts after a reset", s.LastMessage, "1: first again"

' (Wine's VBScript has no ChrW: the C++ tests cover text beyond ASCII.)
Dim title
title = "Script caption"
s.Caption = title
Check "caption round trip", s.Caption, "Script caption"

s.SetLocation 600, 300
Check "top after SetLocation", s.Top, CSng(600)
Check "left after SetLocation", s.Left, CSng(300)
Check "hwnd is a window", s.hwnd <> 0, True

s.FormVisible = True
Check "shown", s.FormVisible, True
s.FormVisible = False
Check "hidden", s.FormVisible, False

s.SetParentWindow "NoSuchSirelWindowClass"
Check "re-parent by class name", Err.Number, 0
s.SetParentWindow "0"
Check "re-parent to the foreground window by numeric text", Err.Number, 0

s.ClearList
Check "cleared", s.Count, 0

Dim t
Set t = CreateObject("Sirel.Sireler")
t.MaxListCount = 7
Check "a second poster has its own settings", s.MaxListCount & "/" & t.MaxListCount, "2/7"
t.DoSirel "shared list"
Check "posters of one thread share the list", s.LastMessage, "shared list"

Finish "members"
