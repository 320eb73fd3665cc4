# Sirel from PowerShell (64-bit PowerShell needs the x64 Sirel.dll registered, the x86
# PowerShell the x86 one).   powershell -File hello.ps1
# Checked by the project's tests, without PowerShell (none runs on the build machine): parsed
# with the tree-sitter PowerShell grammar, and every member and the event are exactly the type
# library's.
$sirel = New-Object -ComObject Sirel.Sireler
$sirel.ShowCounter = $true
$sirel.ShowPriority = $true
$sirel.FormVisible = $true

# Events arrive through the connection point while PowerShell waits or works.
$null = Register-ObjectEvent -InputObject $sirel -EventName AfterSirel -Action {
    Write-Host "Shown: $($Event.SourceArgs[0]) (priority $($Event.SourceArgs[1]))"
}

$sirel.DoSirel("Hello from PowerShell")        # priority left out: -1
$sirel.DoSirel("An important message", 10)
"{0} lines; the last one is: {1}" -f $sirel.Count, $sirel.LastMessage

try {
    $sirel.SetParentWindow(1e20)
} catch {
    "Error: $($_.Exception.Message)"
}

Read-Host "Press Enter to end the sample"
