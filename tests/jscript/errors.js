// Failing calls as a JScript client sees them: exceptions, whose number is the HRESULT as a
// signed 32-bit number. The poster's own errors carry the error table's text; the dispatch
// layer's refusals reach Wine's JScript as the bare DISP_E_ status with no description.
var s = new ActiveXObject("Sirel.Sireler");
s.ClearList();

var rows = [
    // [what, call, HRESULT, description or null]
    ["a window handle beyond 32 bits", function () { s.SetParentWindow(1e20); }, 0x800A0006, "Overflow"],
    ["null as the window", function () { s.SetParentWindow(null); }, 0x800A005E, "Invalid use of Null"],
    ["a priority that is no number", function () { s.DoSirel("refused", "many"); }, 0x80020005, null],
    ["null as the priority", function () { s.DoSirel("refused", null); }, 0x80020005, null],
    ["null as the text", function () { s.DoSirel(null, 1); }, 0x80020005, null],
    ["a limit beyond 32 bits", function () { s.MaxListCount = 1e10; }, 0x8002000A, null],
    ["too many arguments", function () { s.DoSirel("a", 1, 2); }, 0x8002000E, null],
    ["the text left out", function () { s.DoSirel(); }, 0x8002000F, null],
    ["Count cannot be set", function () { s.Count = 5; }, 0x80020003, null],
    ["an unknown method", function () { s.NoSuchMember(); }, 0x800A01B6,
     "Object doesn't support this property or method"],
    ["an unknown ProgID", function () { new ActiveXObject("Sirel.NoSuchClass"); }, 0x800A01AD,
     "Automation server can't create object"]
];
for (var i = 0; i < rows.length; i++) {
    checkThrows(rows[i][0], rows[i][1], rows[i][2], rows[i][3]);
}
check("nothing posted by the refused calls", function () { return s.Count; }, 0);
check("the limit unchanged", function () { return s.MaxListCount; }, 0);

// The table's number is the low word, as VBScript's Err.Number shows it.
try {
    s.SetParentWindow(1e20);
} catch (e) {
    check("the error table's number in the low word", function () { return e.number & 0xFFFF; }, 6);
}
s.DoSirel("still works", 1);
check("the poster still works after failures", function () { return s.LastMessage; }, "still works");

finish("errors");
