#include "dtutool/app/Startup.h"

#include "core/common/Codepage.h"
#include "core/net/PortUrl.h"
#include "driver/serial/BufferedPort.h"
#include "driver/serial/PortList.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "ui/app/MainWindow.h"
#include "ui/common/FastReplies.h"
#include "ui/common/Language.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Settings.h"

#include <QApplication>
#include <QCommandLineParser>

#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

namespace {

// A bench holds a few dozen DTUs; each simulated one is a thread and a
// pseudo-terminal.
constexpr int kMaxSimulated = 64;

}  // namespace

int Startup::Run(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // QSettings keeps the tool's settings in ~/.config/dtutool/dtutool.conf.
    QApplication::setOrganizationName(QStringLiteral("dtutool"));
    QApplication::setApplicationName(QStringLiteral("dtutool"));
    QApplication::setApplicationVersion(QStringLiteral(DTU_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/dtu.svg")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Configures, tests and upgrades a DTU over a serial line."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Start N simulated DTUs (one when N is not given) and list "
                                                     "their terminals first; the bench checks them."));
    const QCommandLineOption simulateLog(QStringLiteral("simulate-log"),
                                         QStringLiteral("With --simulate: log the simulated line on stderr."));
    const QCommandLineOption fast(QStringLiteral("fast"),
                                  QStringLiteral("Fast replies: a whole reply is handled at once instead of after "
                                                 "0.4 s of silence on the line."));
    const QCommandLineOption resetSettings(QStringLiteral("reset-settings"),
                                           QStringLiteral("Forget the remembered port, settings, folders and window "
                                                          "places, and start from the defaults."));
    const QCommandLineOption lang(QStringLiteral("lang"),
                                  QStringLiteral("The window's language: zh (Chinese) or en (English). Default: the "
                                                 "one chosen on the about page, else English under an English "
                                                 "locale, else Chinese."),
                                  QStringLiteral("zh|en"));
    parser.addOption(simulate);
    parser.addOption(simulateLog);
    parser.addOption(fast);
    parser.addOption(resetSettings);
    parser.addOption(lang);
    parser.addPositionalArgument(QStringLiteral("port"),
                                 QStringLiteral("Serial devices, or network ports rfc2217://HOST:PORT or "
                                                "socket://HOST:PORT, to list first; the bench checks them."),
                                 QStringLiteral("[port...]"));
    // "--simulate N": the count is optional, which the parser cannot say.
    QStringList arguments = app.arguments();
    int simulated = 0;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString& a = arguments[i];
        if (a.startsWith(QStringLiteral("--simulate=")) || a == QStringLiteral("--simulate")) {
            const bool inline_ = a.contains(u'=');
            const QString count = inline_ ? a.section(u'=', 1) : i + 1 < arguments.size() ? arguments[i + 1] : QString();
            bool number = false;
            const int n = count.toInt(&number);
            if (number && n >= 1 && n <= kMaxSimulated) {
                simulated = n;
                if (!inline_)
                    arguments.removeAt(i + 1);
            } else if (inline_) {
                std::cerr << "dtutool: --simulate takes a count from 1 to " << kMaxSimulated << "\n";
                return 2;
            } else {
                simulated = 1;
            }
            a = QStringLiteral("--simulate");
        }
    }
    parser.process(arguments);
    if (parser.isSet(lang) && !ui::ParseLanguage(parser.value(lang))) {
        std::cerr << "dtutool: --lang takes zh or en\n";
        return 2;
    }

    ui::RememberSettings(true);
    {
        const auto settings = ui::Remembered();
        if (parser.isSet(resetSettings))
            settings->clear();
        ui::FastReplies::instance().setForThisRun(parser.isSet(fast) ||
                                                  settings->value(QStringLiteral("fastReplies"), false).toBool());
    }
    const auto remembered = ui::RememberedLanguage();
    ui::InstallLanguage(ui::ChooseLanguage(parser.value(lang),
                                           remembered ? ui::LanguageName(*remembered) : QString(),
                                           ui::MessagesLocale()));
    QApplication::setApplicationDisplayName(tr("DTU参数配置工具"));

    std::vector<std::unique_ptr<sim::SimulatedDtu>> dtus;
    for (int i = 0; i < simulated; ++i) {
        sim::SimulatedDtu::Options options;
        if (parser.isSet(simulateLog))
            options.log = &std::cerr;
        auto dtu = std::make_unique<sim::SimulatedDtu>(options);
        if (!dtu->Start()) {
            qWarning("dtutool: no simulated DTU: %s", dtu->error().c_str());
            break;
        }
        dtus.push_back(std::move(dtu));
    }

    QStringList first = parser.positionalArguments();
    SerialSettingsPage::PortNames names;
    for (std::size_t i = dtus.size(); i-- > 0;) {
        first.prepend(QString::fromStdString(dtus[i]->TerminalPath()));
        names.insert(first.front(), dtus.size() == 1 ? tr("模拟DTU") : tr("模拟DTU %1").arg(i + 1));
    }
    // Listed without opening anything (an open raises an adapter's DTR and
    // RTS); the page marks the ports other programs hold.
    const auto ports = [first]() {
        QStringList list;
        for (const QString& path : first) {
            std::error_code ec;
            if (net::LooksLikeUrl(path.toStdString()) || std::filesystem::exists(path.toStdString(), ec))
                list << path;
        }
        for (const std::string& path : serial::ListPorts())
            if (!list.contains(QString::fromStdString(path)))
                list << QString::fromStdString(path);
        return list;
    };

    int code = 0;
    {
        MainWindow window(ports, nullptr, {}, names);
        if (!text::CodepageAvailable())
            ui::ShowMessage(nullptr, ui::AppCaption(),
                            tr("本机无法进行 GBK 编码转换（缺少 glibc 的 gconv 模块），中文不能正确收发："
                                           "发出的中文会变成“?”，收到的中文显示为“\uFFFD”。\n"
                                           "请重新安装软件包 libc6：sudo apt-get install --reinstall libc6"),
                            ui::Buttons::Ok, QMessageBox::Warning);
        QObject::connect(&window, &MainWindow::closed, &app, &QApplication::quit);
        window.SetNamedPorts(first);
        window.show();
        // A device or the simulated DTU named on the command line is what
        // the user came for; otherwise the port of the last run, if it is
        // still there. Opening sends nothing.
        if (first.isEmpty())
            window.OpenRememberedPort();
        code = app.exec();
    }
    // The reader stops before the simulated line goes away under it.
    g_Serial.Close();
    return code;
}
