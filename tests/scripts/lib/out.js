// Writes a text the page script got from the control to C:\orvix-out, where the
// script's NAME.check.sh looks at it with outside tools.
var OUT = "C:\\orvix-out\\";
var outFiles = new ActiveXObject("Scripting.FileSystemObject");
function saveText(name, text) {
  var f = outFiles.CreateTextFile(OUT + name, true);
  f.Write(text);
  f.Close();
}
