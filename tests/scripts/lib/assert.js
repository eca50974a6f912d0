// Assertions for page scripts run by orvixhost. Load this file first:
//   orvixhost.exe lib/assert.js my-test.js
// check(cond, what), checkEq(actual, expected, what), checkThrows(fn, number, what), finish().

var assertPassed = 0;
var assertFailed = 0;

function assertShow(value) {
    if (value === undefined) return "undefined";
    if (value === null) return "null";
    if (typeof value === "string") return "\"" + value + "\"";
    if (value instanceof Array) {
        var parts = [];
        for (var i = 0; i < value.length; i++) parts.push(assertShow(value[i]));
        return "[" + parts.join(",") + "]";
    }
    return String(value);
}

// Error numbers read best as the HRESULT they are.
function assertHex(number) {
    if (typeof number !== "number") return assertShow(number);
    var hex = (number < 0 ? number + 0x100000000 : number).toString(16).toUpperCase();
    while (hex.length < 8) hex = "0" + hex;
    return "0x" + hex;
}

// Strict equality; arrays compare element by element.
function assertSame(a, b) {
    if (a === b) return true;
    if (!(a instanceof Array) || !(b instanceof Array) || a.length !== b.length) return false;
    for (var i = 0; i < a.length; i++) {
        if (!assertSame(a[i], b[i])) return false;
    }
    return true;
}

function assertRecord(ok, what, actualText, expectedText) {
    if (ok) {
        assertPassed++;
    } else {
        assertFailed++;
        WScript.Echo("FAIL: " + what + ": actual=" + actualText + ", expected=" + expectedText);
    }
    return ok;
}

function check(cond, what) {
    return assertRecord(!!cond, what, assertShow(cond), "true");
}

function checkEq(actual, expected, what) {
    return assertRecord(assertSame(actual, expected), what, assertShow(actual), assertShow(expected));
}

// number: the expected e.number as a signed 32-bit value (0x8000FFFF is -2147418113).
function checkThrows(fn, number, what) {
    try {
        fn();
    } catch (e) {
        return assertRecord(e.number === number, what, assertHex(e.number), assertHex(number));
    }
    return assertRecord(false, what, "no error", assertHex(number));
}

function finish() {
    WScript.Echo(assertPassed + " passed, " + assertFailed + " failed");
    WScript.Quit(assertFailed ? 1 : 0);
}
