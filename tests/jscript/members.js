// A JScript client's use of Sirel.Sireler: creation with new ActiveXObject, defaults, settings,
// and how JScript's values arrive: integers as VT_I4, other numbers as VT_R8 (rounded to even),
// undefined as VT_EMPTY, Booleans as VT_BOOL, text beyond ASCII as it is.
var s = new ActiveXObject("Sirel.Sireler");
check("created with new ActiveXObject", function () { return typeof s; }, "object");

check("MinPriority default", function () { return s.MinPriority; }, 0);
check("MaxPriority default", function () { return s.MaxPriority; }, 9999999);
check("EnableEvents default", function () { return s.EnableEvents; }, true);
check("ShowCounter default", function () { return s.ShowCounter; }, false);
check("FormVisible default", function () { return s.FormVisible; }, false);

s.ClearList();
check("empty list", function () { return s.Count + "/" + s.LastMessage; }, "0/");

s.ShowCounter = true;
s.ShowPriority = true;
s.DoSirel("hello", 3);
check("posted with an integer priority", function () { return s.LastMessage; }, "1: 3: hello");
s.DoSirel("no priority");
check("an omitted priority is -1", function () { return s.LastMessage; }, "2: -1: no priority");
s.dosirel("lower case", 4);
check("names in any case", function () { return s.LASTMESSAGE; }, "3: 4: lower case");

var rows = [
    // [what, text, priority, the line]
    ["a fraction rounds to even (2.5)", "r", 2.5, "2: r"],
    ["a fraction rounds to even (3.5)", "r", 3.5, "4: r"],
    ["a priority given as text", "t", "7", "7: t"],
    ["undefined as the priority is Empty, 0", "u", undefined, "0: u"],
    ["a number as the text", 12.5, 1, "1: 12.5"],
    ["undefined as the text is Empty, no text", undefined, 1, "1: "],
    ["text beyond ASCII", "\u00fc\u4e2d\u20ac", 1, "1: \u00fc\u4e2d\u20ac"]
];
s.ShowCounter = false;
for (var i = 0; i < rows.length; i++) {
    s.DoSirel(rows[i][1], rows[i][2]);
    check(rows[i][0], function () { return s.LastMessage; }, rows[i][3]);
}

s.ShowPriority = false;
s.ClearList();
s.MaxListCount = 2.7;
check("a fractional limit rounds", function () { return s.MaxListCount; }, 3);
s.MaxListCount = 2;
s.DoSirel("a", 1);
s.DoSirel("b", 1);
s.DoSirel("c", 1);
check("the limit holds", function () { return s.Count + "/" + s.LastMessage; }, "2/c");
s.MaxListCount = 0;

s.Caption = "Script caption";
check("caption round trip", function () { return s.Caption; }, "Script caption");
s.SetLocation(600, 300);
check("Top is a number", function () { return s.Top; }, 600);
check("hwnd is a window", function () { return s.hwnd !== 0; }, true);
s.FormVisible = true;
check("shown", function () { return s.FormVisible; }, true);
s.FormVisible = false;
check("an unknown property reads as undefined", function () { return s.NoSuchProperty; }, undefined);

var t = new ActiveXObject("Sirel.Sireler");
t.DoSirel("shared list");
check("posters of one thread share the list", function () { return s.LastMessage; }, "shared list");

finish("members");
