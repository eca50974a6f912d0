// The camera path with the virtual cameras of vcam_test.sh registered before the
// control is made; camera_capture_check.sh looks at the JPEGs it writes:
// the lists, the preview, three captured pages that differ, the live frame and
// the stop. Sizes come from the format the script picks.
var o = new ActiveXObject("orvixcam.Orvix");

check(o.camCount >= 1, "a camera is listed");
var name = o.getCamName(0);
check(name.length > 0, "the camera has a name");
checkEq(o.getCamName(o.camCount), "", "no name past the last camera");
checkEq(o.getCamName(-1), "", "no name before the first camera");

var count = o.getCurrentCamSupportFormatCount();
check(count >= 1, "the camera lists formats");
var formats = [];
for (var i = 0; i < count; i++) formats.push(o.getCurrentCamSupportFormatName(i));
WScript.Echo("camera: " + name + "; formats: " + formats.join(", "));
checkEq(o.getCurrentCamSupportFormatName(count), "", "no format past the last");

// The last format, usually the largest: frames are stretched to its size.
var pick = count - 1;
var size = /(\d+)x(\d+)$/.exec(formats[pick]);
check(size !== null, "a format name ends in its size");
checkEq(o.setCurrentCamFormat(count), false, "a format past the end is refused");
checkEq(o.setCurrentCamFormat(pick), true, "the format is chosen");

checkEq(o.getCurrentFrame(), "", "no live frame before the preview");
checkEq(o.startCam(), true, "the preview starts");
WScript.Sleep(300);
var live = o.getCurrentFrame();
check(live.length > 0, "a live frame while previewing");

for (var p = 0; p < 3; p++) {
    WScript.Sleep(250);  // the camera's pattern moves between frames
    checkEq(o.capCurrentPicture(), true, "page " + p + " captured");
}
checkEq(o.getImageCount(), 3, "three pages");
var jpegs = [];
for (var j = 0; j < 3; j++) {
    jpegs.push(o.getJpegDataById(j));
    check(jpegs[j].length > 0, "page " + j + " as JPEG");
    saveText("capture-page" + j + ".jpg.b64", jpegs[j]);
}
saveText("capture-live.jpg.b64", live);
saveText("capture-size.txt", size[1] + "x" + size[2]);
check(jpegs[0] !== jpegs[1] && jpegs[1] !== jpegs[2], "the pages differ");

checkEq(o.startCam(), true, "a restart while previewing");
checkEq(o.stopCam(), true, "the preview stops");
checkEq(o.getCurrentFrame(), "", "no live frame after the stop");
checkEq(o.stopCam(), true, "stopping twice is harmless");
checkEq(o.capCurrentPicture(), true, "a capture after the stop takes what the view shows");
checkEq(o.getImageCount(), 4, "four pages");
finish();
