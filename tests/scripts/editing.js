// Rotating and stamping every page from a script; editing.check.sh looks at the
// exported pages (rotated size, red text pixels) with outside tools.
var F = "C:\\orvix-fixtures\\";

var o = new ActiveXObject("orvixcam.Orvix");
o.rotateAll(90);  // no pages: nothing to turn, no failure
checkEq(o.drawWaterMark(0, 0, 10, 10), false, "no pages, no watermark");

WScript.AnswerNextFileDialog(F + "page1.bmp|" + F + "page2.ppm");
checkEq(o.openMultiPictureWithDialog(), true, "two pages");
o.rotateAll(90);
saveText("turned.jpg.b64", o.getJpegDataById(1));
checkEq(o.drawWaterMark(0, 0, 10, 10), false, "no watermark picture loaded");

// A large white page to write on, red text in the Song face through GDI.
WScript.AnswerNextFileDialog(F + "blank.png");
checkEq(o.openMultiPictureWithDialog(), true, "blank page");
o.drawText(10, 10, "数量", 36, 255, 0, 0);
o.drawTextTo(10, 75, "OK", "Arial", 14, 0, 0, 255, 40);  // alpha has no effect
saveText("text.jpg.b64", o.getJpegDataById(2));
checkEq(o.getImageCount(), 3, "stamping adds no pages");
finish();
