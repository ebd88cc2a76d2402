#include "serial/OpenFailure.h"


#include <system_error>

namespace serial {

std::string OpenFailureText(SerialError error, int err, const std::string& path, bool explained,
                            const std::string& serverSaid)
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
    case SerialError::BadUrl:
        return path + " 不是可用的网络端口：请写作 rfc2217://主机:端口 或 socket://主机:端口。";
    case SerialError::HostNotFound:
        return "找不到主机：" + path + "。请检查主机名和网络。";
    case SerialError::Refused:
        return path + " 拒绝连接：该主机的这个端口上没有服务在运行。";
    case SerialError::ConnectTimedOut:
        return "连接 " + path + " 超时：主机没有应答，请检查地址、网络和防火墙。";
    case SerialError::ServerClosed:
        if (!serverSaid.empty())
            return path + " 的服务器关闭了连接，它说：“" + serverSaid + "”";
        return path + " 的服务器在设置线路之前关闭了连接：该端口可能正被另一用户使用，或服务器打不开它的串口。";
    case SerialError::NoComPort:
        return path + " 的服务器不支持 RFC 2217，无法设置波特率和效验位；请改用 socket:// 并在服务器上设置串口。";
    case SerialError::LineRefused:
        return path + " 的服务器不接受所选的波特率或效验位（服务器答复 " + std::to_string(err) + " 波特）。";
    case SerialError::LineUnconfirmed:
        return path + " 的服务器没有确认所选的波特率和效验位，线路设置未知，端口未打开。";
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
