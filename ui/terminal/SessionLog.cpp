#include "ui/terminal/SessionLog.h"

#include <QCoreApplication>

#include <sys/stat.h>

namespace terminal {

QString SessionLog::Open(const QString& path, Existing existing)
{
    Close();
    file_.setFileName(path);
    // Unbuffered: each line reaches the kernel at once, and a full disk is
    // known at the line that met it.
    const QIODevice::OpenMode start = existing == Existing::Append ? QIODevice::Append : QIODevice::Truncate;
    if (!file_.open(QIODevice::WriteOnly | start | QIODevice::Unbuffered))
        return QCoreApplication::translate("TerminalWindow", "无法写入日志文件 %1：%2").arg(path, file_.errorString());
    return {};
}

void SessionLog::Close()
{
    if (file_.isOpen())
        file_.close();
}

QString SessionLog::Write(const QString& line)
{
    if (!file_.isOpen())
        return {};
    const QByteArray bytes = line.toUtf8() + '\n';
    QString failure;
    struct stat st {};
    if (file_.write(bytes) != bytes.size())
        failure = QCoreApplication::translate("TerminalWindow", "写入日志文件 %1 失败：%2")
                      .arg(file_.fileName(), file_.errorString());
    else if (::fstat(file_.handle(), &st) == 0 && st.st_nlink == 0)
        // Writes to a file that was removed still succeed, into nowhere.
        failure = QCoreApplication::translate("TerminalWindow", "日志文件 %1 已被删除（或其所在文件夹已被删除）")
                      .arg(file_.fileName());
    if (!failure.isEmpty())
        Close();
    return failure;
}

}  // namespace terminal
