// WScript.Sleep runs the message loop: timer events arrive during it and only then.
var probe = new ActiveXObject("OrvixHost.Probe");
var ticks = [];
function p_Tick(count) { ticks.push(count); }
WScript.ConnectObject(probe, "p_");

probe.StartTicks(3, 10);
checkEq(ticks, [], "no timer event before the script yields");
// Generous: the probe stops by itself after three ticks.
for (var i = 0; i < 100 && ticks.length < 3; i++) WScript.Sleep(50);
checkEq(ticks, [1, 2, 3], "timer events arrive in order while sleeping");

WScript.Sleep(0);
check(true, "Sleep(0) returns");
checkThrows(function () { WScript.Sleep(-1); }, 0x80070057 | 0, "Sleep rejects a negative time");
checkThrows(function () { WScript.Sleep(); }, 0x80070057 | 0, "Sleep needs a time");
finish();
