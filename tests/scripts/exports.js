// Documents as Base64 text: the script writes them to C:\orvix-out, where
// exports.check.sh decodes them and hands them to libtiff, qpdf and poppler.
var F = "C:\\orvix-fixtures\\";

var o = new ActiveXObject("orvixcam.Orvix");
checkEq(o.allImageAsTIFFData(), "", "no pages, no TIFF");
checkEq(o.allImageAsPdfData(), "", "no pages, no PDF");
checkEq(o.getJpegDataById(0), "", "no pages, no JPEG");

WScript.AnswerNextFileDialog(F + "page1.bmp|" + F + "page2.ppm|" + F + "page3.png");
checkEq(o.openMultiPictureWithDialog(), true, "three pages opened");

var tiff = o.allImageAsTIFFData();
check(tiff.length > 0, "TIFF text");
checkEq(tiff.indexOf("\r\n"), 76, "Base64 lines of 76 characters");
saveText("pages.tif.b64", tiff);
saveText("pages.pdf.b64", o.allImageAsPdfData());
saveText("page1.jpg.b64", o.getJpegDataById(1));
checkEq(o.getJpegDataById(3), "", "getJpegDataById(count)");
checkEq(o.getJpegDataById(-1), "", "getJpegDataById(-1)");
finish();
