' Checks shared by the VBScript suites; the runner (tests/wine.d/script-clients.sh) puts this file in
' front of each suite. cscript reports no script error and always exits 0, so every suite runs
' with On Error Resume Next, checks Err itself, prints one line per check and ends with Finish,
' whose marker line the runner requires.
Option Explicit

Dim checkFailures, checkCount
checkFailures = 0
checkCount = 0

' Numbers of any width compare as numbers; Booleans, strings and numbers never equal each other.
Function KindOf(value)
    Select Case VarType(value)
        Case 11: KindOf = "Boolean"
        Case 2, 3, 4, 5, 6, 14, 17: KindOf = "Number"
        Case 8: KindOf = "String"
        Case Else: KindOf = "VarType " & VarType(value)
    End Select
End Function

Sub Pass(name)
    checkCount = checkCount + 1
    WScript.Echo "pass " & name
End Sub

Sub Failed(name, why)
    checkCount = checkCount + 1
    checkFailures = checkFailures + 1
    WScript.Echo "FAIL " & name & ": " & why
End Sub

' The statement before must have succeeded, and actual must equal expected.
Sub Check(name, actual, expected)
    If Err.Number <> 0 Then
        Failed name, "error " & Err.Number & " " & Err.Description
        Err.Clear
    ElseIf KindOf(actual) = KindOf(expected) And CStr(actual) = CStr(expected) Then
        Pass name
    Else
        Failed name, "got [" & actual & "] (" & KindOf(actual) & "), expected [" & expected & _
            "] (" & KindOf(expected) & ")"
    End If
End Sub

' The statement before must have failed with this error number, and (unless "") with this
' description and source. Clears Err.
Sub CheckError(name, number, description, source)
    Dim why
    why = ""
    If Err.Number <> number Then why = why & " number " & Err.Number & " <> " & number
    If description <> "" And Err.Description <> description Then
        why = why & " description [" & Err.Description & "]"
    End If
    If source <> "" And Err.Source <> source Then why = why & " source [" & Err.Source & "]"
    If why = "" Then
        Pass name & " (error " & Err.Number & ": " & Err.Description & ")"
    Else
        Failed name, Trim(why)
    End If
    Err.Clear
End Sub

Sub Finish(suite)
    WScript.Echo "SIREL-VBSCRIPT-DONE " & suite & " checks=" & checkCount & " failures=" & checkFailures
End Sub
