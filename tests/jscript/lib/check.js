// Checks shared by the JScript suites; the runner (tests/wine.d/script-clients.sh) puts this file
// in front of each suite. cscript reports no script error and always exits 0, so every suite
// prints one line per check and ends with finish(), whose marker line the runner requires.
var checkFailures = 0;
var checkCount = 0;

function pass(name) {
    checkCount++;
    WScript.Echo("pass " + name);
}

function failed(name, why) {
    checkCount++;
    checkFailures++;
    WScript.Echo("FAIL " + name + ": " + why);
}

// action() must succeed and return a value of the same type as expected, and equal to it.
function check(name, action, expected) {
    var actual;
    try {
        actual = action();
    } catch (e) {
        failed(name, "threw " + hex(e.number) + " " + e.description);
        return;
    }
    if (typeof actual === typeof expected && actual === expected) {
        pass(name);
    } else {
        failed(name, "got [" + actual + "] (" + typeof actual + "), expected [" + expected +
            "] (" + typeof expected + ")");
    }
}

// action() must throw an error whose number, as an unsigned HRESULT, is hresult and whose
// description (unless null) is description.
function checkThrows(name, action, hresult, description) {
    try {
        action();
    } catch (e) {
        var why = "";
        if (e.number >>> 0 !== hresult) why += " number " + hex(e.number) + " <> " + hex(hresult);
        if (description !== null && e.description !== description) {
            why += " description [" + e.description + "]";
        }
        if (why === "") {
            pass(name + " (" + hex(e.number) + ": " + e.description + ")");
        } else {
            failed(name, why.substring(1));
        }
        return;
    }
    failed(name, "did not throw");
}

function hex(number) {
    return "0x" + (number >>> 0).toString(16).toUpperCase();
}

function finish(suite) {
    WScript.Echo("SIREL-JSCRIPT-DONE " + suite + " checks=" + checkCount + " failures=" + checkFailures);
}
