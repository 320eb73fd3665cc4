' Failing calls as a script sees them: Err.Number, Err.Description and Err.Source, and nothing
' done by a call that the dispatch layer refuses.
On Error Resume Next

Dim s
Set s = CreateObject("Sirel.Sireler")
s.ClearList

s.SetParentWindow 1E+20
CheckError "a window handle beyond 32 bits", 6, "Overflow", "Sirel.Sireler"

s.SetParentWindow "3000000000"
CheckError "numeric text beyond 32 bits", 6, "Overflow", "Sirel.Sireler"

s.SetParentWindow Null
CheckError "Null as the window", 94, "Invalid use of Null", "Sirel.Sireler"

s.DoSirel "refused", "not a number"
CheckError "a priority that is no number", 13, "", ""
Check "nothing posted after a type mismatch", s.Count, 0

Dim notANumber
notANumber = "many"
s.MaxListCount = notANumber
CheckError "a limit that is no number", 13, "", ""
Check "the limit unchanged", s.MaxListCount, 0

s.DoSirel "a", 1, 2
CheckError "too many arguments", 450, "", ""
Check "nothing posted after too many arguments", s.Count, 0

s.DoSirel
CheckError "the text left out", 449, "", ""

s.Count = 5
CheckError "Count cannot be set", 438, "", ""
s.hwnd = 5
CheckError "hwnd cannot be set", 438, "", ""
s.LastMessage = "x"
CheckError "LastMessage cannot be set", 438, "", ""
s.NoSuchMember
CheckError "an unknown member", 438, "", ""

s.DoSirel "still works", 1
Check "the poster still works after failures", s.LastMessage, "still works"

Finish "errors"
