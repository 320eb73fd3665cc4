' DoSirel late bound from VBScript under cscript, the window hidden and shown, at 100, 1,000 and
' 32,767 lines (MaxListCount = N on a full list: each posting appends one line and removes one),
' against a floor: the bare list work of a posting, measured by the COM benchmark in the same
' run (handed over in SIREL_BENCH_LIST_FLOOR as "lines:ns,..."), plus the cheapest member (the
' ShowCounter get) called from this script. Best of seven rounds. Goals: shown within 1.5 times
' hidden; hidden within 1.3 times the floor. Run by scripts/run-wine-bench.sh.
Option Explicit

Const kCalls = 10000
Const kRounds = 7

Dim poster, shell, floors, sizes, lines, round, best, i
Set poster = CreateObject("Sirel.Sireler")
Set shell = CreateObject("WScript.Shell")
poster.SetParentWindow "no class has this name"

' The list floor of each size, from the environment; 0 when it was not given.
Function ListFloorNs(lines)
    Dim pair, parts
    ListFloorNs = 0
    For Each pair In Split(shell.Environment("PROCESS")("SIREL_BENCH_LIST_FLOOR"), ",")
        parts = Split(pair, ":")
        If UBound(parts) = 1 Then
            If CLng(parts(0)) = lines Then ListFloorNs = CDbl(parts(1))
        End If
    Next
End Function

' Nanoseconds per call of kCalls postings (or gets when posting is False); best of kRounds.
Function TimeCalls(posting)
    Dim r, n, started, took, value
    TimeCalls = 1E+300
    For r = 1 To kRounds
        started = Timer
        If posting Then
            For n = 1 To kCalls
                poster.DoSirel "A benchmark message of ordinary length", 5
            Next
        Else
            For n = 1 To kCalls
                value = poster.ShowCounter
            Next
        End If
        took = (Timer - started) * 1E+9 / kCalls
        If took < TimeCalls Then TimeCalls = took
    Next
End Function

Function Fixed(value, width)
    Fixed = Right(Space(width) & FormatNumber(value, 0, True, False, False), width)
End Function

WScript.Echo "Sirel VBScript benchmark (cscript, late bound): best of " & kRounds & " rounds x " & _
    kCalls & " calls, nanoseconds per posting"
WScript.Echo "lines    hidden     shown    s/h     floor      list  h/floor    hidden/s     shown/s"
Dim hidden, shown, getter, listNs, floor
For Each lines In Array(100, 1000, 32767)
    poster.FormVisible = False
    poster.MaxListCount = lines
    poster.ClearList
    For i = 1 To lines
        poster.DoSirel "A benchmark message of ordinary length", 5
    Next
    getter = TimeCalls(False)
    hidden = TimeCalls(True)
    poster.FormVisible = True
    shown = TimeCalls(True)
    poster.FormVisible = False
    listNs = ListFloorNs(lines)
    floor = listNs + getter
    If poster.Count <> lines Then WScript.Echo "(the list holds " & poster.Count & " lines!)"
    WScript.Echo Fixed(lines, 5) & Fixed(hidden, 10) & Fixed(shown, 10) & _
        Right("      " & FormatNumber(shown / hidden, 2), 7) & "x" & Fixed(floor, 9) & _
        Fixed(listNs, 10) & Right("      " & FormatNumber(hidden / floor, 2), 8) & "x" & _
        Fixed(1E+9 / hidden, 12) & Fixed(1E+9 / shown, 12)
Next
WScript.Echo "goals: shown/hidden (s/h) <= 1.50, hidden/floor (h/floor) <= 1.30"
WScript.Echo "SIREL-VBSCRIPT-BENCH-DONE"
