// The page-strip members as a page script uses them.
var F = "C:\\orvix-fixtures\\";
var o = new ActiveXObject("orvixcam.Orvix");

checkEq(o.getImageCount(), 0, "a new control has no pages");
checkEq(o.deleteAt(0), true, "deleteAt past the end answers true");
checkThrows(function () { o.deleteAt(-1); }, 0x8000FFFF | 0, "deleteAt(-1)");
try { o.deleteAt(-1); } catch (e) { checkEq(e.description, "List index out of bounds (-1)", "its message"); }

WScript.AnswerNextFileDialog(F + "page1.bmp|" + F + "page2.ppm|" + F + "page3.png");
checkEq(o.openMultiPictureWithDialog(), true, "three files opened");
checkEq(o.getImageCount(), 3, "three pages");

WScript.AnswerNextFileDialog("");
checkEq(o.openMultiPictureWithDialog(), false, "a cancelled dialog");
checkEq(o.getImageCount(), 3, "cancel adds nothing");

// A file that does not decode is skipped; the others still arrive.
WScript.AnswerNextFileDialog(F + "broken.jpg|" + F + "page1.bmp");
checkEq(o.openMultiPictureWithDialog(), false, "a broken file is reported");
checkEq(o.getImageCount(), 4, "only the good file became a page");

checkEq(o.deleteAt(0), true, "deleteAt(0)");
checkEq(o.getImageCount(), 3, "one page fewer");
checkEq(o.deleteAt(3), true, "deleteAt(count)");
checkEq(o.getImageCount(), 3, "nothing deleted past the end");

o.clearAll();
checkEq(o.getImageCount(), 0, "clearAll empties the strip");
finish();
