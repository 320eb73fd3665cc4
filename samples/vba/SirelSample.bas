Attribute VB_Name = "SirelSample"
' Run SirelSample.Demo from the Immediate window or a button. Import SirelEvents.cls as well.
' Checked by the project's tests, not in Office: the import format, and that every member and
' named argument is exactly the type library's.
Option Explicit

Private listener As SirelEvents

Public Sub Demo()
    Set listener = New SirelEvents
    listener.Start
    listener.Post "Hello from VBA"
    listener.Post "An important message", 10
    listener.Post "my password is 1234"     ' cancelled by the BeforeSirel handler
End Sub

' Late bound, without the reference: CreateObject and named arguments.
Public Sub LateBound()
    Dim poster As Object
    Set poster = CreateObject("Sirel.Sireler")
    poster.FormVisible = True
    poster.SetLocation Left:=300, Top:=600
    poster.DoSirel "Late bound from VBA"
    On Error Resume Next
    poster.SetParentWindow 1E+20
    If Err.Number <> 0 Then Debug.Print "Error " & Err.Number & ": " & Err.Description
End Sub
