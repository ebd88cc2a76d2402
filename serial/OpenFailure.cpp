#include "serial/OpenFailure.h"

#include <system_error>

namespace serial {

std::string OpenFailureText(SerialError error, int err, const std::string& path, bool explained)
{
    switch (error) {
    case SerialError::NotFound:
        return "找不到设备 " + path + "。";
    case SerialError::Permission:
        if (explained)
            return "没有权限打开 " + path + "。";
        return "没有权限打开 " + path +
               "：请把当前用户加入 dialout 组（sudo usermod -aG dialout $USER），重新登录后再打开。";
    case SerialError::Busy:
        if (explained)
            return path + " 正被其他程序占用。";
        return path + " 正被其他程序占用，请先关闭该程序。";
    case SerialError::NotATerminal:
        return path + " 不是串口设备。";
    case SerialError::Settings:
        return path + " 不支持所选的波特率或效验位。";
    default:
        // Not strerror: the command line opens ports from many threads.
        return "无法打开 " + path + "：" + std::generic_category().message(err);
    }
}

std::string WriteFailureText(const WriteResult& result)
{
    switch (result.error) {
    case SerialError::None:
        return {};
    case SerialError::TimedOut:
        return "发送失败：串口 " + std::to_string(CXSerial::kWriteWaitMs * CXSerial::kMaxStalledWaits / 1000) +
               " 秒未能发出数据";
    case SerialError::Lost:
        return "发送失败：串口已断开";
    case SerialError::Closed:
        return "发送失败：串口已关闭";
    default:
        return "发送失败：" + std::generic_category().message(result.err);
    }
}

}  // namespace serial
