#pragma once
// Texts of the editing tools and the rotation dialog, as GBK (code page 936)
// byte strings. The caption and "no pages" notice are shared: ui/texts.h.

namespace orvix::edit_texts {

// "当前没有可编辑的图像信息！" (full-width exclamation mark)
inline constexpr char kNothingToEdit[] =
    "\xb5\xb1\xc7\xb0\xc3\xbb\xd3\xd0\xbf\xc9\xb1\xe0\xbc\xad\xb5\xc4\xcd\xbc\xcf\xf1\xd0\xc5\xcf\xa2\xa3\xa1";
// "请选择待填充区域!"
inline constexpr char kSelectAreaToFill[] = "\xc7\xeb\xd1\xa1\xd4\xf1\xb4\xfd\xcc\xee\xb3\xe4\xc7\xf8\xd3\xf2!";

// "自定义角度旋转"
inline constexpr char kRotateCaption[] = "\xd7\xd4\xb6\xa8\xd2\xe5\xbd\xc7\xb6\xc8\xd0\xfd\xd7\xaa";
// "顺时针旋转"
inline constexpr char kClockwise[] = "\xcb\xb3\xca\xb1\xd5\xeb\xd0\xfd\xd7\xaa";
// "逆时针旋转"
inline constexpr char kAnticlockwise[] = "\xc4\xe6\xca\xb1\xd5\xeb\xd0\xfd\xd7\xaa";
// "自定义旋转角度："
inline constexpr char kAngleLabel[] = "\xd7\xd4\xb6\xa8\xd2\xe5\xd0\xfd\xd7\xaa\xbd\xc7\xb6\xc8\xa3\xba";
// "&O确定"
inline constexpr char kOk[] = "&O\xc8\xb7\xb6\xa8";
// "&C取消"
inline constexpr char kCancel[] = "&C\xc8\xa1\xcf\xfb";

// "宋体": the user-interface font and the face of drawText.
inline constexpr char kSongTi[] = "\xcb\xce\xcc\xe5";

}  // namespace orvix::edit_texts
