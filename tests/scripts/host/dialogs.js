// Message boxes and file dialogs opened by an in-process object are answered as queued,
// or given their default; run-host-tests.sh checks the lines recorded for them.
var probe = new ActiveXObject("OrvixHost.Probe");
var shell = new ActiveXObject("WScript.Shell");
var MB_OKCANCEL = 1, MB_ABORTRETRYIGNORE = 2, MB_YESNOCANCEL = 3, MB_YESNO = 4, MB_RETRYCANCEL = 5;
var MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_ICONQUESTION = 0x20, MB_ICONINFORMATION = 0x40;
var IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

function showA(text, caption, flags) { return probe.ShowBoxA(text, caption, flags); }
function showW(text, caption, flags) { return probe.ShowBoxW(text, caption, flags); }
function popup(text, caption, flags) { return shell.Popup(text, 0, caption, flags); }

// [how, flags, queued answer]
var answered = [
    [showA, MB_YESNO, IDNO],
    [showA, MB_YESNOCANCEL, IDCANCEL],
    [showW, MB_ABORTRETRYIGNORE, IDIGNORE],
    [showW, MB_OKCANCEL | MB_DEFBUTTON2, IDOK],
    [popup, MB_YESNO, IDYES]
];
for (var i = 0; i < answered.length; i++) {
    WScript.AnswerNextMessageBox(answered[i][2]);
    checkEq(answered[i][0]("answered " + i, "answers", answered[i][1]), answered[i][2],
            "answered box " + i + " returns the queued button");
}

// [flags, the button MessageBox documents as default]
var unanswered = [
    [0, IDOK],
    [MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL],
    [MB_YESNOCANCEL, IDYES],
    [MB_YESNOCANCEL | MB_DEFBUTTON2, IDNO],
    [MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL],
    [MB_YESNO | MB_DEFBUTTON2, IDNO],
    [MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE],
    [MB_RETRYCANCEL, IDRETRY]
];
for (var k = 0; k < unanswered.length; k++) {
    checkEq(showW("default " + k, "defaults", unanswered[k][0]), unanswered[k][1],
            "unanswered box " + k + " gets its default button");
}
checkEq(popup("popup default", "defaults", MB_YESNO | MB_DEFBUTTON2), IDNO, "an unanswered Popup gets its default");

// Recorded exactly: ANSI text in the thread's code page, and a two-line text.
WScript.AnswerNextMessageBox(IDYES);
checkEq(showA("是否保存当前图像？", "提示", MB_YESNO | MB_ICONQUESTION), IDYES, "an ANSI box with Chinese text");
checkEq(showA("第一行\n第二行", "提示", MB_ICONINFORMATION), IDOK, "a two-line ANSI box");

// File dialogs, in a folder whose name has a blank (Unix file names need not take Chinese).
var fso = new ActiveXObject("Scripting.FileSystemObject");
var dir = fso.GetSpecialFolder(2).Path + "\\orvixhost dialogs";
if (!fso.FolderExists(dir)) fso.CreateFolder(dir);
var a = dir + "\\a.png", b = dir + "\\b 2.jpg";
fso.CreateTextFile(a, true).Close();
fso.CreateTextFile(b, true).Close();
if (fso.FileExists(dir + "\\new.png")) fso.DeleteFile(dir + "\\new.png");
var OFN_OVERWRITEPROMPT = 0x2, OFN_ALLOWMULTISELECT = 0x200, OFN_FILEMUSTEXIST = 0x1000, OFN_EXPLORER = 0x80000;
var filter = "图像|*.png;*.jpg|全部|*.*";
var open = OFN_EXPLORER | OFN_FILEMUSTEXIST;

function openA(flags) { return probe.PickOpenA("打开图像", filter, flags); }
function openW(flags) { return probe.PickOpenW("Open", filter, flags); }
function saveA(flags) { return probe.PickSaveA("保存图像", filter, flags); }

// [what, how, flags, queued answer or null for none, expected result, message box answers queued]
var files = [
    ["one file, ANSI", openA, open, a, a, []],
    ["one file, wide", openW, open, b, b, []],
    ["two files", openA, open | OFN_ALLOWMULTISELECT, a + "|" + b, a + "|" + b, []],
    ["an empty answer cancels", openA, open, "", "", []],
    ["nobody answered", openW, open, null, "", []],
    ["a new file to save", saveA, OFN_EXPLORER | OFN_OVERWRITEPROMPT, dir + "\\new.png", dir + "\\new.png", []],
    ["overwrite confirmed", saveA, OFN_EXPLORER | OFN_OVERWRITEPROMPT, a, a, [IDYES]],
    ["a missing file is refused", openA, open, dir + "\\missing.png", "", []]
];
for (var f = 0; f < files.length; f++) {
    var c = files[f];
    if (c[3] !== null) WScript.AnswerNextFileDialog(c[3]);
    for (var m = 0; m < c[5].length; m++) WScript.AnswerNextMessageBox(c[5][m]);
    checkEq(c[1](c[2]), c[4], "file dialog: " + c[0]);
}
finish();
