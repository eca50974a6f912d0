// Uploads to the loopback peer of uploads.serve.py, which keeps each request;
// uploads.check.sh reads them with Werkzeug and compares the documents with
// the exports of the same pages, and finds no temporary file left behind.
var F = "C:\\orvix-fixtures\\";
var GOT = "\u6536\u5230";  // the peer's "ok" reply, sent in code page 936

var o = new ActiveXObject("orvixcam.Orvix");
checkEq(o.uploadToServer(UPLOAD + "ok/empty", "1", "d"), false, "no pages, no upload");
checkEq(o.uploadAllasEachJpgToUrl(UPLOAD + "ok/empty", "1", "d", 80), "", "no pages, no JPEG upload");

WScript.AnswerNextFileDialog(F + "page1.bmp|" + F + "page2.ppm|" + F + "page3.png");
checkEq(o.openMultiPictureWithDialog(), true, "three pages opened");
saveText("upload-pages.tif.b64", o.allImageAsTIFFData());
saveText("upload-pages.pdf.b64", o.allImageAsPdfData());

checkEq(o.uploadToServer(UPLOAD + "ok/tiff", "id-1", "desc"), true, "TIFF upload");
checkEq(o.uploadToServerWithCustResult(UPLOAD + "ok/tiff-text", "7", "\u6d4b\u8bd5"), GOT, "reply text in code page 936");
checkEq(o.uploadPdfToServer(UPLOAD + "ok/pdf", "8", ""), GOT, "PDF upload");
checkEq(o.uploadAllasEachJpgToUrl(UPLOAD + "ok/jpg", "9", "each", 50), GOT, "JPEG upload");
checkEq(o.uploadToServerWithCustResult(UPLOAD + "chunked", "1", "d"), "dechunked", "chunked reply");

checkEq(o.uploadToServer(UPLOAD + "fail", "1", "d"), false, "500 fails");
checkEq(o.uploadToServerWithCustResult(UPLOAD + "fail", "1", "d"), "", "500 gives no text");
checkEq(o.uploadPdfToServer(UPLOAD + "moved", "1", "d"), "", "302 gives no text");
checkEq(o.uploadToServer(UPLOAD.replace("http:", "https:") + "ok/never", "1", "d"), false, "https fails");
checkEq(o.uploadToServer("http://127.0.0.1:1/ok/refused", "1", "d"), false, "refused connection");

checkEq(o.getImageCount(), 3, "pages intact");
finish();
