// The control object seen from a page: conversions, errors, events and properties.
var o = new ActiveXObject("orvixcam.Orvix");

var created = 0;
function ev_OnCreate() { created++; }
WScript.ConnectObject(o, "ev_");
checkEq(created, 1, "OnCreate fires when the page connects");

// Chinese text survives the trip into the control's code page and back.
o.Caption = "数量:扫描结果";
checkEq(o.Caption, "数量:扫描结果", "Caption round trip");
o.HelpFile = "";
checkEq(o.HelpFile, "", "an empty text");

o.camCount = 5;  // accepted and ignored
o.SnapBuffer = 33;
checkEq(o.SnapBuffer, 33, "a form property keeps its value");
o.Visible = false;
checkEq(o.Visible, false, "Visible");

checkEq(typeof o.getImageCount(), "number", "a count is a number");
checkEq(typeof o.deleteAt(0), "boolean", "a flag is a boolean");

// No camera under this host: the control said so at creation, and the camera
// members answer as with no device.
checkEq(o.camCount, 0, "no cameras");
checkEq(o.getCamName(0), "", "no camera name");
checkEq(o.getCurrentCamSupportFormatCount(), 0, "no formats");
checkEq(o.startCam(), false, "startCam without a camera");
checkEq(o.stopCam(), true, "stopCam when nothing runs");
checkEq(o.getCurrentFrame(), "", "no live frame");

var notYet = ["hideEditPanels"];
for (var i = 0; i < notYet.length; i++) {
  var name = notYet[i];
  try {
    o[name]();
    check(false, name + " must say it is not built");
  } catch (e) {
    checkEq(e.number, 0x80004001 | 0, name + " number");
    checkEq(e.description, name + " is not available yet", name + " message");
  }
}
finish();
