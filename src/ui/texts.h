#pragma once
// The frame's user texts, as GBK (code page 936) byte strings.

namespace orvix::texts {

// "提示"
inline constexpr char kCaptionNotice[] = "\xcc\xe1\xca\xbe";
// "数量:"
inline constexpr char kCountPrefix[] = "\xca\xfd\xc1\xbf:";
// "数量:0"
inline constexpr char kCountZero[] = "\xca\xfd\xc1\xbf:0";
// "真的删除这幅扫描结果吗？"
inline constexpr char kConfirmDelete[] =
    "\xd5\xe6\xb5\xc4\xc9\xbe\xb3\xfd\xd5\xe2\xb7\xf9\xc9\xa8\xc3\xe8\xbd\xe1\xb9\xfb\xc2\xf0\xa3\xbf";
// "请先选择要删除的图像!"
inline constexpr char kSelectImageToDelete[] =
    "\xc7\xeb\xcf\xc8\xd1\xa1\xd4\xf1\xd2\xaa\xc9\xbe\xb3\xfd\xb5\xc4\xcd\xbc\xcf\xf1!";
// "当前没有图像数据!"
inline constexpr char kNoImageData[] = "\xb5\xb1\xc7\xb0\xc3\xbb\xd3\xd0\xcd\xbc\xcf\xf1\xca\xfd\xbe\xdd!";
// "当前没有图像信息！"
inline constexpr char kNoImageInfo[] =
    "\xb5\xb1\xc7\xb0\xc3\xbb\xd3\xd0\xcd\xbc\xcf\xf1\xd0\xc5\xcf\xa2\xa3\xa1";

}  // namespace orvix::texts
