// Every text the DTU pages show, in one table, so that builders return them
// and pages only display them.
#pragma once

namespace dtu::msg {

// Status pane of the DTU page.
inline constexpr const char* kPending = "....";
inline constexpr const char* kSuccess = "Success!";
inline constexpr const char* kFail = "Fail!";

// Phone list.
inline constexpr const char* kPhoneListFull = "电话列表超出上限！";
inline constexpr const char* kPhoneEmpty = "加入的电话号码不能为空！";
inline constexpr const char* kPhoneTooShort = "输入电话号码格式不正确！";
inline constexpr const char* kPhoneTooLong = "输入电话号码超过11位，请检查文本格式！";
inline constexpr const char* kPhoneNotDigits = "电话录入错误，请检查格式是否正确！";

// Communication-ID list.
inline constexpr const char* kIdListFull = "MAC地址列表超出上限！";
inline constexpr const char* kIdEmpty = "MAC地址录入不能为空！";
inline constexpr const char* kIdTooShort = "MAC地址必需为6字节地址，请检查文本格式！";
inline constexpr const char* kIdTooLong = "MAC地址输入超过6个字节，请检查文本格式！";
inline constexpr const char* kIdNotHex = "MAC地址录入错误，请检查文本格式是否正确！";

// Clearing a list: OK clears the DTU's copy, Cancel the page's.
inline constexpr const char* kClearQuestion = "【确定】按钮清空MCU数据，【取消】按钮清空列表数据！";

// Server address and port.
inline constexpr const char* kDomainEmpty = "设置域名出错，文本不能为空！";
inline constexpr const char* kDomainTooLong = "设置域名出错，文本超出上限！";
inline constexpr const char* kPortEmpty = "设置远程端口错误，端口号不能为空！";
inline constexpr const char* kPortNotDigits = "设置远程端口错误，文本出现未能识别字符！";
inline constexpr const char* kPortTooLarge = "设置远程端口错误，端口号超出范围！";

// The wireless dialog. The frequency word holds up to 1023 MHz; a larger
// or empty value would set another frequency than the one shown.
inline constexpr const char* kRfFrequencyRange = "无线频率必须在 1 到 1023 MHz 之间（只发送整数部分），请检查后再写入！";

// Answers that end in a message box.
inline constexpr const char* kPacketsWritten = "写入成功!";
inline constexpr const char* kPacketsRead = "读取成功!";
inline constexpr const char* kRfWritten = "写入射频参数成功!";
inline constexpr const char* kRfRead = "读取射频参数成功!";

// Data pages.
inline constexpr const char* kAddressEmpty = "通信地址不能为空！";
inline constexpr const char* kAddressTooLong = "通信地址不能超过6个字节！";
// A short recipient would send the data to somebody else and an oversized
// frame cannot be carried.
inline constexpr const char* kAddressTooShort = "通信地址必须为6个字节（12位十六进制数字）！";
inline constexpr const char* kNumberTooShort = "手机号码不足11位，请检查号码！";
inline constexpr const char* kFrameTooLong = "发送数据过长，一帧最多255字节，请减少发送内容！";

}  // namespace dtu::msg
