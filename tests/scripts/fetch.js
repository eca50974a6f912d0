// Loading pages and the watermark picture from urls served by fetch.serve.py
// (HTTP, HTTPS, FTP), through WinInet.
var o = new ActiveXObject("orvixcam.Orvix");

function load(url, pages, what) {
    checkEq(o.loadImageFromUrl(url), true, what + ": result");
    checkEq(o.getImageCount(), pages, what + ": pages");
}

load(HTTP + "/pages.tif", 3, "three-page TIFF");
load(HTTP + "/frames.gif", 5, "five-frame GIF");
load(HTTP + "/photo.jpg", 1, "JPEG as image/jpeg");
load(HTTP + "/photo.bin", 0, "JPEG as application/octet-stream");
load(HTTP + "/missing", 0, "404 with an HTML body");
load(HTTP + "/unannounced.tif", 3, "TIFF without Content-Length");
load(HTTP + "/big.tif", 3, "TIFF of many 64 KiB pieces");
load(HTTP + "/slow.tif", 3, "TIFF whose body pauses");
load(HTTPS + "/pages.tif", 3, "https, self-signed certificate");
load(FTP + "/frames.gif", 5, "ftp, anonymous");
load(FTP_USER + "/pages.tif", 3, "ftp with user and password");
load(FTP + "/none.tif", 0, "ftp file that is not there");
load("http://127.0.0.1", 0, "no path after the host");
load("C:\\orvix-fixtures\\page1.bmp", 0, "a local path");
load(HTTP + "/photo.jpg", 1, "after failed fetches");
saveText("fetched.tif.b64", o.allImageAsTIFFData());

checkEq(o.loadWaterMarkPicFromUrl(HTTP + "/logo.png"), true, "watermark picture");
checkEq(o.drawWaterMark(0, 0, 4, 2), true, "stamp the fetched picture");
checkEq(o.loadWaterMarkPicFromUrl(HTTP + "/missing"), true, "watermark from a 404 page");
checkEq(o.loadWaterMarkPicFromUrl("nothing"), true, "watermark from no url");
checkEq(o.getImageCount(), 1, "watermark loads leave the pages");
finish();
