// Sirel from JScript:  cscript hello.js [seconds]   (register Sirel.dll first with install.cmd;
// a 32-bit script host needs the x86 DLL registered, a 64-bit one the x64 DLL). The window stays
// up for the given seconds (default 30) while a message box waits.
// Checked by the release tests: run with Wine's 64-bit cscript from the unpacked archive.
var sirel = new ActiveXObject("Sirel.Sireler");
sirel.ShowCounter = true;
sirel.ShowPriority = true;
sirel.FormVisible = true;

sirel.DoSirel("Hello from JScript");          // priority left out: -1, always shown
sirel.DoSirel("An important message", 10);

// A failing call throws. The error's number is the HRESULT as a signed 32-bit number; its low
// 16 bits are the error table's number (the VBScript Err.Number), its description the table's text.
try {
    sirel.SetParentWindow(1e20);
} catch (e) {
    WScript.Echo("Error " + (e.number & 0xFFFF) + ": " + e.description);
}

WScript.Echo(sirel.Count + " lines; the last one is: " + sirel.LastMessage);
// A message box with a timeout runs the thread's messages, so the window paints meanwhile.
var seconds = WScript.Arguments.length > 0 ? parseInt(WScript.Arguments(0), 10) : 30;
new ActiveXObject("WScript.Shell").Popup("Close this box to end the sample.", seconds, "Sirel");
