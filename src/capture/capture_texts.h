#pragma once
// The camera start-up messages, as GBK (code page 936) byte strings.

namespace orvix::texts {

// "错误"
inline constexpr char kCaptionError[] = "\xb4\xed\xce\xf3";
// "未检测到设备信息!"
inline constexpr char kNoDevice[] = "\xce\xb4\xbc\xec\xb2\xe2\xb5\xbd\xc9\xe8\xb1\xb8\xd0\xc5\xcf\xa2!";
// "读取设备信息异常!"
inline constexpr char kDeviceReadFailed[] = "\xb6\xc1\xc8\xa1\xc9\xe8\xb1\xb8\xd0\xc5\xcf\xa2\xd2\xec\xb3\xa3!";

}  // namespace orvix::texts
