// saveAllWithDialog as a page script sees it: the dialog is answered by the
// host; saves.check.sh hands the files to libtiff, qpdf and poppler.
var F = "C:\\orvix-fixtures\\";
var fso = new ActiveXObject("Scripting.FileSystemObject");
var names = ["all.tif", "all.pdf", "all.gif", "all.jpg", "cancelled.tif"];
// Earlier runs' files would bring up the overwrite question.
for (var i = 0; i < names.length; i++) {
  if (fso.FileExists(OUT + names[i])) fso.DeleteFile(OUT + names[i]);
}

var o = new ActiveXObject("orvixcam.Orvix");
checkEq(o.saveAllWithDialog(), false, "no pages: nothing to save");

WScript.AnswerNextFileDialog(F + "page1.bmp|" + F + "page2.ppm|" + F + "page3.png");
checkEq(o.openMultiPictureWithDialog(), true, "three pages opened");

var saved = ["all.tif", "all.pdf", "all.gif"];
for (var s = 0; s < saved.length; s++) {
  WScript.AnswerNextFileDialog(OUT + saved[s]);
  checkEq(o.saveAllWithDialog(), true, "saved " + saved[s]);
  check(fso.FileExists(OUT + saved[s]), saved[s] + " exists");
}

// No multi-page JPEG writer: false, so the script knows nothing was saved.
WScript.AnswerNextFileDialog(OUT + "all.jpg");
checkEq(o.saveAllWithDialog(), false, "all pages as .jpg");
check(!fso.FileExists(OUT + "all.jpg"), "no .jpg written");

WScript.AnswerNextFileDialog("");
checkEq(o.saveAllWithDialog(), false, "cancelled dialog");
checkEq(o.getImageCount(), 3, "pages kept");
finish();
