// WScript.Echo: how values print; run-host-tests.sh compares the lines.
WScript.Echo("plain text");
WScript.Echo("中文：提示", "文档摄像头");
WScript.Echo(1, -2, 2.5, true, false);
WScript.Echo(null, undefined);
WScript.Echo();
WScript.Echo("a\tb", "");
