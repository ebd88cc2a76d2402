// Every text the DTU pages show, in one table, so that builders return them
// and pages only display them, translated (core/common/Tr.h). What dtuctl prints
// too (the checks of phone numbers, IDs, domain and port) is written in
// English; the rest keeps the captions' Chinese.
#pragma once

#include "core/common/Tr.h"

namespace dtu::msg {

// Status pane of the DTU page.
inline constexpr const char* kPending = "....";
inline constexpr const char* kSuccess = "Success!";
inline constexpr const char* kFail = "Fail!";

// Phone list.
inline constexpr const char* kPhoneListFull = DTU_TR_NOOP("dtu::msg", "The phone list is full!");
inline constexpr const char* kPhoneEmpty = DTU_TR_NOOP("dtu::msg", "The phone number to add must not be empty!");
inline constexpr const char* kPhoneTooShort = DTU_TR_NOOP("dtu::msg", "The phone number is not in the right format!");
inline constexpr const char* kPhoneTooLong =
    DTU_TR_NOOP("dtu::msg", "The phone number has more than 11 digits, please check it!");
inline constexpr const char* kPhoneNotDigits =
    DTU_TR_NOOP("dtu::msg", "The phone number is wrong, please check its format!");

// Communication-ID list.
inline constexpr const char* kIdListFull = DTU_TR_NOOP("dtu::msg", "The MAC address list is full!");
inline constexpr const char* kIdEmpty = DTU_TR_NOOP("dtu::msg", "The MAC address must not be empty!");
inline constexpr const char* kIdTooShort = DTU_TR_NOOP("dtu::msg", "The MAC address must be 6 bytes, please check it!");
inline constexpr const char* kIdTooLong =
    DTU_TR_NOOP("dtu::msg", "The MAC address has more than 6 bytes, please check it!");
inline constexpr const char* kIdNotHex = DTU_TR_NOOP("dtu::msg", "The MAC address is wrong, please check its format!");

// Clearing a list: OK clears the DTU's copy, Cancel the page's.
inline constexpr const char* kClearQuestion =
    DTU_TR_NOOP("dtu::msg", "【确定】按钮清空MCU数据，【取消】按钮清空列表数据！");

// Server address and port.
inline constexpr const char* kDomainEmpty =
    DTU_TR_NOOP("dtu::msg", "Cannot set the domain name: it must not be empty!");
inline constexpr const char* kDomainTooLong = DTU_TR_NOOP("dtu::msg", "Cannot set the domain name: it is too long!");
inline constexpr const char* kPortEmpty =
    DTU_TR_NOOP("dtu::msg", "Cannot set the remote port: the port must not be empty!");
inline constexpr const char* kPortNotDigits =
    DTU_TR_NOOP("dtu::msg", "Cannot set the remote port: the text holds characters that are not digits!");
inline constexpr const char* kPortTooLarge =
    DTU_TR_NOOP("dtu::msg", "Cannot set the remote port: the port is out of range!");

// The wireless dialog. The frequency word holds up to 1023 MHz; a larger
// or empty value would set another frequency than the one shown.
inline constexpr const char* kRfFrequencyRange =
    DTU_TR_NOOP("dtu::msg", "无线频率必须在 1 到 1023 MHz 之间（只发送整数部分），请检查后再写入！");

// Answers that end in a message box.
inline constexpr const char* kPacketsWritten = DTU_TR_NOOP("dtu::msg", "写入成功!");
inline constexpr const char* kPacketsRead = DTU_TR_NOOP("dtu::msg", "读取成功!");
inline constexpr const char* kRfWritten = DTU_TR_NOOP("dtu::msg", "写入射频参数成功!");
inline constexpr const char* kRfRead = DTU_TR_NOOP("dtu::msg", "读取射频参数成功!");

// Data pages.
inline constexpr const char* kAddressEmpty = DTU_TR_NOOP("dtu::msg", "通信地址不能为空！");
inline constexpr const char* kAddressTooLong = DTU_TR_NOOP("dtu::msg", "通信地址不能超过6个字节！");
// A short recipient would send the data to somebody else and an oversized
// frame cannot be carried.
inline constexpr const char* kAddressTooShort = DTU_TR_NOOP("dtu::msg", "通信地址必须为6个字节（12位十六进制数字）！");
inline constexpr const char* kNumberTooShort = DTU_TR_NOOP("dtu::msg", "手机号码不足11位，请检查号码！");
inline constexpr const char* kFrameTooLong = DTU_TR_NOOP("dtu::msg", "发送数据过长，一帧最多255字节，请减少发送内容！");

}  // namespace dtu::msg
