// WScript.ConnectObject and DisconnectObject against the probe's DProbeEvents.
var probe = new ActiveXObject("OrvixHost.Probe");
var seen = [];

function first_Pinged(number, text) { seen.push("first " + number + " " + text); }
function first_Adjust(value) { seen.push("adjust " + value + " " + typeof value); }
function second_Pinged(number, text) { seen.push("second " + number); }
function noisy_Unhandled() { throw new Error("thrown by a handler"); }

WScript.ConnectObject(probe, "first_");
probe.Fire(7, "中文");
checkEq(seen, ["first 7 中文"], "an event reaches prefix + event name with its arguments");

seen = [];
checkEq(probe.FireByRef(12), 12, "a by-reference argument comes back unchanged");
checkEq(seen, ["adjust 12 number"], "a by-reference short reaches the handler as a number");

seen = [];
probe.FireUnhandled();
checkEq(seen, [], "an event without a handler is ignored");

WScript.ConnectObject(probe, "second_");
seen = [];
probe.Fire(8, "x");
checkEq(seen, ["first 8 x", "second 8"], "two connections each get the event, in order");

WScript.DisconnectObject(probe);
seen = [];
probe.Fire(9, "y");
checkEq(seen, [], "no events after DisconnectObject");

var noisy = new ActiveXObject("OrvixHost.Probe");
WScript.ConnectObject(noisy, "noisy_");
noisy.FireUnhandled();
check(true, "the script goes on after a handler threw");

var E_INVALIDARG = 0x80070057 | 0;
var cases = [
    ["a number", function () { WScript.ConnectObject(5, "x_"); }, E_INVALIDARG],
    ["no prefix", function () { WScript.ConnectObject(probe); }, E_INVALIDARG],
    ["an object without events", function () { WScript.ConnectObject(new ActiveXObject("Scripting.Dictionary"), "d_"); }, undefined],
    ["a script object", function () { WScript.ConnectObject({}, "o_"); }, undefined]
];
for (var i = 0; i < cases.length; i++) {
    var threw = false;
    try { cases[i][1](); } catch (e) {
        threw = true;
        if (cases[i][2] !== undefined) checkEq(e.number, cases[i][2], "ConnectObject with " + cases[i][0] + ": error number");
        check(e.description.indexOf("ConnectObject") === 0, "ConnectObject with " + cases[i][0] + ": description names it");
    }
    check(threw, "ConnectObject with " + cases[i][0] + " throws");
}

checkThrows(function () { probe.Fail(0x80070005 | 0, "denied by the probe"); }, 0x80070005 | 0,
            "an object's error reaches the script with its number");
finish();
