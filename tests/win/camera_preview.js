// The camera members against the virtual camera: two cameras of one name and one of
// another are registered (vcam_test.sh). Frames go to C:\orvix-out for camera_preview.py.
var o = new ActiveXObject("orvixcam.Orvix");
var CAM = "OrvixCam Virtual Camera";

checkEq(o.camCount, 3, "three cameras");
checkEq(o.getCamName(0), CAM, "first camera");
checkEq(o.getCamName(1), CAM, "a second unit of the same model");
checkEq(o.getCamName(2), "OrvixCam Other Model", "the other model");
checkEq(o.getCamName(3), "", "past the list");

checkEq(o.getCurrentCamSupportFormatCount(), 4, "four formats");
checkEq(o.getCurrentCamSupportFormatName(0), "RGB24 640x480", "format 0");
checkEq(o.getCurrentCamSupportFormatName(1), "RGB24 1280x960", "format 1");
checkEq(o.getCurrentCamSupportFormatName(3), "RGB24 2592x1944", "format 3");
checkEq(o.getCurrentCamSupportFormatName(4), "", "past the formats");
checkEq(o.getCurrentFrame(), "", "no frame before the preview starts");

checkEq(o.setCurrentCamFormat(9), false, "a format outside the list");
checkEq(o.setCurrentCamFormat(1), true, "1280x960");
checkEq(o.startCam(), true, "startCam");
WScript.Sleep(1500);
var first = o.getCurrentFrame();
check(first.length > 1000, "a live frame as Base64");
saveText("camera_first.txt", first);
WScript.Sleep(500);
var later = o.getCurrentFrame();
check(later !== first, "the live frame changes");

checkEq(o.capCurrentPicture(), true, "capture a page");
checkEq(o.getImageCount(), 1, "one page");
checkEq(o.startCam(), true, "startCam again restarts the preview");
WScript.Sleep(1000);
checkEq(o.capCurrentPicture(), true, "capture another page");
checkEq(o.getImageCount(), 2, "two pages");

checkEq(o.stopCam(), true, "stopCam");
checkEq(o.getCurrentFrame(), "", "no frame after stopCam");
checkEq(o.stopCam(), true, "stopCam when nothing runs");

// The second camera of the same name is its own device.
checkEq(o.setCurrentCamIndex(1), true, "choose the second unit");
checkEq(o.startCam(), true, "start the second unit");
WScript.Sleep(1500);
var second = o.getCurrentFrame();
check(second.length > 1000, "a frame of the second unit");
saveText("camera_second.txt", second);
o.stopCam();
finish();
