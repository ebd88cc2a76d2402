// The page's setup findings: what a check of the system found wrong with the
// ports, said in Linux terms with the command that fixes it. The checks read
// every process's descriptors and the udev rule folders: they run on the
// thread pool, and only the newest result is shown.
#include "ui/serial/SerialSettingsPage.h"
#include "ui/serial/SerialSettingsPageInternal.h"

#include "driver/serial/OpenFailure.h"
#include "driver/serial/SetupCheck.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFutureWatcher>
#include <QStringList>
#include <QtConcurrent/QtConcurrentRun>

#include <type_traits>

using ui::serial_internal::FailureText;
using ui::serial_internal::Say;

namespace {

// One setup finding: what is wrong, then the command on a line of its own.
QString FindingText(const serial::Finding& f)
{
    const QString device = QString::fromStdString(f.device);
    const QString group = QString::fromStdString(f.group);
    const QString program = QString::fromStdString(f.program);
    QString what;
    switch (f.problem) {
    case serial::Problem::NotInGroup:
        what = QCoreApplication::translate("SerialSettingsPage",
                                           "%1 只允许 %2 组的用户打开，当前用户不在该组。执行下面的命令，"
                                           "然后注销并重新登录（新的登录才带有该组）：")
                   .arg(device, group);
        break;
    case serial::Problem::NeedsNewLogin:
        what = QCoreApplication::translate("SerialSettingsPage",
                                           "当前用户已加入 %1 组，但本次登录早于此，还不带有该组：请注销并重新登录；"
                                           "在此之前，可在下面命令打开的终端中启动本工具：")
                   .arg(group);
        break;
    case serial::Problem::HeldByProgram:
        if (f.program == "ModemManager")
            what = QCoreApplication::translate(
                       "SerialSettingsPage",
                       "%1 正被 ModemManager（进程 %2）占用：它向一切像调制解调器的设备发送 AT 命令，"
                       "DTU 也不例外。用下面的 udev 规则让它忽略串口适配器，"
                       "或停止它（sudo systemctl stop ModemManager）：")
                       .arg(device)
                       .arg(f.pid);
        else
            what = QCoreApplication::translate("SerialSettingsPage", "%1 正被 %2（进程 %3）占用。请关闭该程序，或结束它：")
                       .arg(device, program)
                       .arg(f.pid);
        break;
    case serial::Problem::ModemManager:
        what = QCoreApplication::translate(
            "SerialSettingsPage",
            "ModemManager 正在运行，且没有 udev 规则让它忽略串口适配器：它可能打开 DTU 的串口"
            "并发送 AT 命令。安装下面的规则，或停止它（sudo systemctl stop ModemManager）：");
        break;
    case serial::Problem::BrlttyClaimed:
        what =
            QCoreApplication::translate("SerialSettingsPage",
                                        "USB %1 上的 CH340/CH341 适配器没有串口：盲文显示服务 brltty 占用了这类适配器。"
                                        "卸载 brltty（若使用盲文显示器，请改为停用其针对 1a86:7523 的规则），"
                                        "然后重新插拔适配器：")
                .arg(device);
        break;
    }
    return what + QStringLiteral("\n    ") + QString::fromStdString(f.fix);
}

QString FindingsText(const std::vector<serial::Finding>& findings)
{
    QStringList parts;
    for (const serial::Finding& f : findings)
        parts << FindingText(f);
    return parts.join(QStringLiteral("\n"));
}

// Runs `work` on the thread pool and `done` with its result on the page's
// thread. The watcher goes with the page, so a page closed meanwhile hears
// nothing; `work` must hold no reference into the page.
template <class Work, class Done>
void Aside(QObject* page, Work work, Done done)
{
    auto* watcher = new QFutureWatcher<std::invoke_result_t<Work>>(page);
    QObject::connect(watcher, &QFutureWatcherBase::finished, page, [watcher, done = std::move(done)] {
        done(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

serial::SetupEnv SetupEnvFor(const serial::Roots& roots)
{
    serial::SetupEnv env = serial::SetupEnv::Current();
    env.roots = roots;
    return env;
}

}  // namespace

QString ui::serial_internal::FailureText(SerialError error, int err, const QString& path, bool explained,
                                         const std::string& serverSaid)
{
    return QString::fromStdString(serial::OpenFailureText(error, err, path.toStdString(), explained, serverSaid));
}

void SerialSettingsPage::ShowSetup()
{
    SaySetup();
    const int asked = ++setupAsked_;
    Aside(
        this, [env = SetupEnvFor(roots_)] { return serial::CheckSetup(env); },
        [this, asked](const std::vector<serial::Finding>& findings) {
            if (asked != setupAsked_)
                return;
            findings_ = FindingsText(findings);
            SaySetup();
        });
}

void SerialSettingsPage::SaySetup()
{
    QString text;
    if (portCombo_->count() == 0)
        text = tr("没有找到可以打开的串口。");
    if (!findings_.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + findings_;
    Say(setup_, text);
}

void SerialSettingsPage::SayFailure(const QString& text)
{
    ++failureAsked_;
    Say(failure_, text);
}

void SerialSettingsPage::SayOpenFailure(SerialError error, int err, const QString& path)
{
    // Said at once; who holds the port or which group is missing follows
    // from a worker, unless the user has moved on.
    SayFailure(FailureText(error, err, path, false));
    const int asked = failureAsked_;
    Aside(
        this, [env = SetupEnvFor(roots_), port = path.toStdString()] { return serial::CheckPort(env, port); },
        [this, asked, error, err, path](std::vector<serial::Finding> findings) {
            std::erase_if(findings, [error](const serial::Finding& f) { return !serial::Explains(f, error); });
            if (asked == failureAsked_ && !findings.empty())
                Say(failure_, FailureText(error, err, path, true) + QStringLiteral("\n") + FindingsText(findings));
        });
}
