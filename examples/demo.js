// OrvixCam demo: creates the control, captures pages from the (virtual) camera,
// adds a sample page from a file,
// edits and stamps them, exports them as TIFF, PDF and JPEG and uploads them to
// the demo's own web server (SERVER, from examples/demo_server.py). Run by
// scripts/demo under orvixhost.exe, which decodes the Base64 texts written to
// C:\orvix-demo-out into out/; the server keeps the uploads in out/uploads/.
var pages = "C:\\orvix-demo\\";
var OUT = "C:\\orvix-demo-out\\";
var say = function () { WScript.Echo(Array.prototype.join.call(arguments, " ")); };
var fso = new ActiveXObject("Scripting.FileSystemObject");
function save(name, text) {
  var f = fso.CreateTextFile(OUT + name, true);
  f.Write(text);
  f.Close();
  say("  wrote", name + ":", text.length, "Base64 characters");
}

var o = new ActiveXObject("orvixcam.Orvix");
function ev_OnCreate() { say("event: OnCreate"); }
WScript.ConnectObject(o, "ev_");
say("created orvixcam.Orvix, caption:", o.Caption);
say("pages at start:", o.getImageCount());

say("cameras:", o.camCount);
for (var c = 0; c < o.camCount; c++) say("  camera", c + ":", o.getCamName(c));
var formats = [];
for (var f = 0; f < o.getCurrentCamSupportFormatCount(); f++) formats.push(o.getCurrentCamSupportFormatName(f));
say("formats of camera 0:", formats.join(", "));
say("setCurrentCamFormat(1) ->", o.setCurrentCamFormat(1));
say("startCam ->", o.startCam());
for (var p = 0; p < 3; p++) {
  WScript.Sleep(400);
  say("capCurrentPicture ->", o.capCurrentPicture(), "; pages:", o.getImageCount());
}
save("live.jpg.b64", o.getCurrentFrame());
say("stopCam ->", o.stopCam());

say("adding a sample page through the control's open dialog");
WScript.AnswerNextFileDialog(pages + "page3.png");
say("openMultiPictureWithDialog ->", o.openMultiPictureWithDialog());
say("pages now:", o.getImageCount());

say("turning every page a quarter left and stamping a line of text and a seal");
o.rotateAll(90);
o.drawText(40, 40, "OrvixCam 演示", 28, 200, 0, 0);
// The seal's white background turns transparent when it is loaded.
say("loadWaterMarkPicFromUrl ->", o.loadWaterMarkPicFromUrl(SERVER + "watermark.png"));
say("drawWaterMark ->", o.drawWaterMark(40, 120, 96, -1));

say("exporting");
save("demo.tiff.b64", o.allImageAsTIFFData());
save("demo.pdf.b64", o.allImageAsPdfData());
save("page1.jpg.b64", o.getJpegDataById(0));

say("uploading to", SERVER);
say("  uploadToServer (one TIFF) ->", o.uploadToServer(SERVER + "tiff", "demo-1", "OrvixCam 演示"));
say("  uploadPdfToServer ->", o.uploadPdfToServer(SERVER + "pdf", "demo-2", "pdf"));
say("  uploadAllasEachJpgToUrl ->", o.uploadAllasEachJpgToUrl(SERVER + "jpg", "demo-3", "jpg", 85));

say("deleteAt(1) ->", o.deleteAt(1), "; pages now:", o.getImageCount());
try {
  o.deleteAt(-1);
} catch (e) {
  say("deleteAt(-1) fails as it should: 0x" + (e.number >>> 0).toString(16).toUpperCase(), e.description);
}

o.clearAll();
say("after clearAll:", o.getImageCount(), "pages");
